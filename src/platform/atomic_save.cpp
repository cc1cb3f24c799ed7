#include "platform/atomic_save.h"

#include "platform/file_errors.h"
#include "platform/write_protection.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>

namespace {

std::atomic<const SaveFaultHook::Fault*> currentFault{nullptr};

// The errno value the test hook wants for this step, or 0.
int injected(SaveStep step) {
    const SaveFaultHook::Fault* fault = currentFault.load();
    return fault ? (*fault)(step) : 0;
}

// A temporary file being written; removed again unless it was renamed.
class Temporary {
public:
    ~Temporary() {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_name.isEmpty())
            ::unlink(m_name.constData());
    }
    // Creates a new file next to `target`; returns 0 or the errno value.
    int create(const QString& folder, const QString& fileName) {
        int error = EEXIST;
        for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
            if ((error = injected(SaveStep::Create)) != 0)
                return error;
            const QByteArray name =
                QFile::encodeName(folder + QLatin1Char('/') + saveTemporaryPrefix(fileName) +
                                  QString::number(::getpid()) + QLatin1Char('-') + randomSuffix());
            m_fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            error = m_fd < 0 ? errno : 0;
            if (m_fd >= 0)
                m_name = name;
        }
        return error;
    }
    int write(QByteArrayView data, const SaveProgress& progress) {
        const qsizetype chunk = progress ? progressChunk : 1 << 30;
        const qsizetype total = data.size();
        qsizetype done = 0;
        while (done < total) {
            if (const int error = injected(SaveStep::Write))
                return error;
            const ssize_t n = ::write(m_fd, data.data() + done,
                                      static_cast<size_t>(std::min(total - done, chunk)));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return n < 0 ? errno : EIO;
            if (progress) {
                // What is written goes to the disk now: the progress follows
                // the disk, not the cache. A failure shows in the sync.
                ::sync_file_range(m_fd, done, n,
                                  SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE |
                                      SYNC_FILE_RANGE_WAIT_AFTER);
                progress(static_cast<int>((done + n) * writtenShare / total));
            }
            done += n;
        }
        return 0;
    }
    int sync() {
        if (const int error = injected(SaveStep::Sync))
            return error;
        return ::fsync(m_fd) == 0 ? 0 : errno;
    }
    int close() {
        const int error = injected(SaveStep::Close);
        const int rc = ::close(m_fd);
        const int closeError = errno;
        m_fd = -1;
        if (error != 0)
            return error;
        return rc == 0 || closeError == EINTR ? 0 : closeError;
    }
    int renameTo(const QByteArray& target) {
        if (const int error = injected(SaveStep::Rename))
            return error;
        if (::rename(m_name.constData(), target.constData()) != 0)
            return errno;
        m_name.clear();
        return 0;
    }
    int fd() const { return m_fd; }

    static QString saveTemporaryPrefix(const QString& fileName) {
        return QLatin1Char('.') + fileName + QLatin1String(".kestrix-save-");
    }
    static constexpr int suffixLength = 6;
    // With a progress to tell: the bytes written at a time, and the share of
    // the save (in thousandths) that writing them is; the sync and the rename
    // are the rest.
    static constexpr qsizetype progressChunk = 4 << 20;
    static constexpr int writtenShare = 980;

private:
    static QString randomSuffix() {
        static constexpr char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
        QString s;
        for (int i = 0; i < suffixLength; ++i)
            s += QLatin1Char(digits[QRandomGenerator::global()->bounded(int(sizeof digits) - 1)]);
        return s;
    }

    int m_fd = -1;
    QByteArray m_name;
};

// The file a save of `path` replaces: the target of a symbolic link.
QString targetOf(const QString& path) {
    const QFileInfo info(path);
    if (!info.isSymLink())
        return info.absoluteFilePath();
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.symLinkTarget() : canonical;
}

void syncFolder(const QString& folder) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd); // the rename is done; a folder that cannot be synced changes nothing
        ::close(fd);
    }
}

// When this program started (near enough: when its libraries were loaded).
const qint64 programStartMs = QDateTime::currentMSecsSinceEpoch();

} // namespace

QString saveFileAtomically(const QString& path, QByteArrayView data, const SaveProgress& progress) {
    const QString target = targetOf(path);
    if (isKeptFromSaves(path) || isKeptFromSaves(target))
        return {};
    const QByteArray targetName = QFile::encodeName(target);
    struct stat existing {};
    const bool exists = ::stat(targetName.constData(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
        return notRegularFileText(existing.st_mode);
    if (exists && isWriteProtected(targetName, existing))
        return writeProtectedText();

    const QFileInfo info(target);
    Temporary temp;
    int error = temp.create(info.absolutePath(), info.fileName());
    if (error == 0 && exists)
        ::fchmod(temp.fd(), existing.st_mode & 07777);
    if (error == 0)
        error = temp.write(data, progress);
    if (error == 0)
        error = temp.sync();
    if (error == 0)
        error = temp.close();
    if (error == 0)
        error = temp.renameTo(targetName);
    if (error != 0)
        return fileErrorText(error);
    syncFolder(info.absolutePath());
    if (progress)
        progress(1000);
    return {};
}

void removeStaleSaveTemporaries(const QStringList& paths) {
    for (const QString& path : paths) {
        const QString candidates[] = {QFileInfo(path).absoluteFilePath(), targetOf(path)};
        for (const QString& file : candidates) {
            const QFileInfo info(file);
            const QString prefix = Temporary::saveTemporaryPrefix(info.fileName());
            const QDir folder(info.absolutePath());
            const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
            for (const QString& name : names) {
                if (!name.startsWith(prefix))
                    continue;
                // ".NAME.kestrix-save-PID-XXXXXX", or of older programs
                // ".NAME.kestrix-save-XXXXXX".
                const QStringView tail = QStringView(name).mid(prefix.size());
                const qsizetype dash = tail.indexOf(QLatin1Char('-'));
                const bool withOwner =
                    dash > 0 && tail.size() == dash + 1 + Temporary::suffixLength;
                if (!withOwner && tail.size() != Temporary::suffixLength)
                    continue;
                bool numeric = false;
                const qint64 owner = withOwner ? tail.first(dash).toLongLong(&numeric) : 0;
                if (withOwner && (!numeric || owner <= 0))
                    continue;
                const QByteArray full = QFile::encodeName(folder.filePath(name));
                struct stat st {};
                if (::lstat(full.constData(), &st) != 0 || !S_ISREG(st.st_mode) ||
                    st.st_uid != ::geteuid())
                    continue;
                if (withOwner) {
                    // Only the temporaries of a process that no longer runs:
                    // another program may be saving right now.
                    const auto pid = static_cast<pid_t>(owner);
                    if (pid == ::getpid() || ::kill(pid, 0) == 0 || errno == EPERM)
                        continue;
                    ::unlink(full.constData());
                    continue;
                }
                const qint64 mtimeMs =
                    qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
                if (mtimeMs < programStartMs)
                    ::unlink(full.constData());
            }
        }
    }
}

SaveFaultHook::SaveFaultHook(Fault fault)
    : m_fault(std::move(fault)), m_previous(currentFault.exchange(&m_fault)) {}

SaveFaultHook::~SaveFaultHook() {
    currentFault.store(m_previous);
}
