#include "platform/regular_file.h"

#include "platform/file_errors.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>

namespace {

constexpr qint64 firstChunk = 64 * 1024;
constexpr qint64 largestChunk = 4 * 1024 * 1024;

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

FileContents failed(QString error) {
    FileContents c;
    c.exists = true;
    c.error = std::move(error);
    return c;
}

// Checks what stat found: a regular file of at most maxBytes bytes.
QString refusal(const struct stat& st, qint64 maxBytes) {
    if (!S_ISREG(st.st_mode))
        return notRegularFileText(st.st_mode);
    if (st.st_size > maxBytes)
        return fileTooLargeText(maxBytes);
    return {};
}

} // namespace

FileContents readRegularFile(const QString& path, qint64 maxBytes,
                             const std::function<void(qint64, qint64)>& progress) {
    maxBytes = std::clamp<qint64>(maxBytes, 0, std::numeric_limits<qint64>::max() - 1);
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return {};
        return failed(fileErrorText(errno));
    }
    if (QString why = refusal(st, maxBytes); !why.isEmpty())
        return failed(why);
    // O_NONBLOCK: should a FIFO have taken the file's place since the stat,
    // the open does not wait for a writer; the fstat then refuses it.
    const Descriptor fd(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0)
        return failed(fileErrorText(errno));
    if (::fstat(fd.get(), &st) != 0)
        return failed(fileErrorText(errno));
    if (QString why = refusal(st, maxBytes); !why.isEmpty())
        return failed(why);

    FileContents c;
    c.exists = true;
    // Room for the size the file announces (within the bound), so that a file
    // that keeps it is read without moving its bytes; one that grows or
    // shrinks meanwhile is read all the same.
    c.bytes.reserve(static_cast<qsizetype>(std::min<qint64>(st.st_size, maxBytes) + 1));
    qint64 chunk = firstChunk;
    for (;;) {
        // One byte more than allowed tells a file that grew past the bound.
        qint64 want = std::min(chunk, maxBytes + 1 - c.bytes.size());
        const qsizetype before = c.bytes.size();
        // The room there is first.
        if (c.bytes.capacity() > before)
            want = std::min<qint64>(want, c.bytes.capacity() - before);
        if (c.bytes.capacity() < before + want)
            c.bytes.reserve(std::max<qsizetype>(before + want, c.bytes.capacity() * 2));
        c.bytes.resize(before + want);
        const ssize_t got = ::read(fd.get(), c.bytes.data() + before, static_cast<size_t>(want));
        if (got < 0) {
            c.bytes.resize(before);
            if (errno == EINTR)
                continue;
            return failed(fileErrorText(errno));
        }
        c.bytes.resize(before + got);
        if (got == 0)
            return c;
        if (c.bytes.size() > maxBytes)
            return failed(fileTooLargeText(maxBytes));
        if (progress)
            progress(c.bytes.size(), st.st_size);
        chunk = std::min(chunk * 2, largestChunk);
    }
}
