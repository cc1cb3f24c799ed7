#include "platform/write_protection.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

namespace {

// The file system's own flags of the file that forbid changing it.
bool keptUnchangedByFileSystem(const QByteArray& name) {
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false; // unreadable: the permission check answers
    int flags = 0;
    const bool known = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    ::close(fd);
    return known && (flags & (FS_IMMUTABLE_FL | FS_APPEND_FL)) != 0;
}

} // namespace

bool isWriteProtected(const QByteArray& name, const struct stat& st) {
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return true;
    // As the kernel would decide for this process: EACCES without permission,
    // EPERM for an immutable file. A read-only file system is told as such
    // by the save itself.
    if (::faccessat(AT_FDCWD, name.constData(), W_OK, AT_EACCESS) != 0 &&
        (errno == EACCES || errno == EPERM))
        return true;
    return keptUnchangedByFileSystem(name);
}
