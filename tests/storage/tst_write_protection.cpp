// A settings file or a word library the reader protected from writing is
// never replaced: the save is refused with the usual message and the file
// stays byte for byte. The saves run as a user without the superuser's
// rights (a child process drops them when the test runs as root).
#include "settings_fixture.h"

#include "reading/preparation.h"
#include "words/library.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <grp.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace {

enum Kind { Settings, Library };
enum Protection { ReadOnlyFile, OtherUsersFile, Immutable, AppendOnly, ReadOnlyFolder };

constexpr uid_t unprivileged = 65534; // "nobody"

// A short save through the real code; the messages the reader would see.
QStringList saveSmall(int kind, const QString& path) {
    if (kind == Settings) {
        ReadingState st;
        st.entryCount = cutWhole(st.words, QStringLiteral("Новый текст книги, совсем короткий. "));
        TestView v(st);
        saveSettings(v, st, path);
        return v.messages;
    }
    WordLibrary lib;
    lib.setEntries({QStringLiteral("нов"), QStringLiteral("книг")});
    const QString error = lib.save(path);
    return error.isEmpty() ? QStringList() : QStringList{saveFailedMessage(error)};
}

// Runs `work` without the superuser's rights: in a child process that became
// "nobody" when this process is root, here otherwise. Nothing when the rights
// could not be dropped.
std::optional<QStringList> asReader(const std::function<QStringList()>& work) {
    if (::geteuid() != 0)
        return work();
    int fds[2];
    if (::pipe(fds) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        if (::setgroups(0, nullptr) != 0 || ::setgid(unprivileged) != 0 ||
            ::setuid(unprivileged) != 0)
            ::_exit(77);
        const QByteArray out = work().join(QLatin1Char('\n')).toUtf8();
        const bool written = ::write(fds[1], out.constData(), size_t(out.size())) == out.size();
        ::_exit(written ? 0 : 1);
    }
    ::close(fds[1]);
    QByteArray out;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) != 0;) {
        if (n > 0)
            out.append(buffer, n);
        else if (errno != EINTR)
            break;
    }
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return out.isEmpty() ? QStringList() : QString::fromUtf8(out).split(QLatin1Char('\n'));
}

// Sets or clears the file system's flags of `path`; false where this system
// or this user cannot.
bool setFileFlags(const QString& path, int flags) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool set = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return set;
}

// Gives `path` to the unprivileged user (when this process may).
void giveAway(const QString& path) {
    if (::geteuid() == 0)
        QVERIFY(::chown(QFile::encodeName(path).constData(), unprivileged, unprivileged) == 0);
}

} // namespace

class TestWriteProtection : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void protectedFileStays_data();
    void protectedFileStays();
    void readOnlyFileStaysForTheSuperuser();
};

void TestWriteProtection::protectedFileStays_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("protection");
    QTest::addColumn<QString>("reason");
    const QString protectedFile = QStringLiteral("файл защищён от записи");
    QTest::newRow("settings: mode 0444") << int(Settings) << int(ReadOnlyFile) << protectedFile;
    QTest::newRow("library: mode 0444") << int(Library) << int(ReadOnlyFile) << protectedFile;
    QTest::newRow("settings: another user's file")
        << int(Settings) << int(OtherUsersFile) << protectedFile;
    QTest::newRow("settings: immutable") << int(Settings) << int(Immutable) << protectedFile;
    QTest::newRow("library: immutable") << int(Library) << int(Immutable) << protectedFile;
    QTest::newRow("library: append-only") << int(Library) << int(AppendOnly) << protectedFile;
    // The file may be written, its folder not: no temporary can be made.
    QTest::newRow("settings: read-only folder")
        << int(Settings) << int(ReadOnlyFolder) << QStringLiteral("нет прав доступа");
}

void TestWriteProtection::protectedFileStays() {
    QFETCH(int, kind);
    QFETCH(int, protection);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(kind == Settings ? QStringLiteral("kestrix.ini")
                                                       : QStringLiteral("library.txt"));
    const QByteArray old =
        kind == Settings ? QByteArray("[Config]\r\nTextLength=2\r\n[Content]\r\nword_0=Старая\r\n")
                         : QByteArray("стар\r\nкниг\r\n");
    QVERIFY(writeAll(path, old));
    giveAway(dir.path());
    if (protection != OtherUsersFile)
        giveAway(path);
    else if (::geteuid() != 0)
        QSKIP("another user's file needs root to make");
    mode_t mode = 0644;
    if (protection == ReadOnlyFile)
        mode = 0444;
    QVERIFY(::chmod(QFile::encodeName(path).constData(), mode) == 0);
    if (protection == ReadOnlyFolder) {
        QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0555) == 0);
        if (::geteuid() == 0)
            QVERIFY(::chown(QFile::encodeName(dir.path()).constData(), 0, 0) == 0);
    }
    const int flags = protection == Immutable    ? FS_IMMUTABLE_FL
                      : protection == AppendOnly ? FS_APPEND_FL
                                                 : 0;
    if (flags != 0 && !setFileFlags(path, flags))
        QSKIP("cannot set the file's immutable or append-only flag here (needs root and ext4, "
              "xfs, btrfs or tmpfs)");

    const std::optional<QStringList> messages = asReader([&] { return saveSmall(kind, path); });
    if (flags != 0)
        QVERIFY(setFileFlags(path, 0));
    ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
    if (!messages)
        QSKIP("cannot drop the superuser's rights here: the save would not be refused as a "
              "reader's would");
    const QString failed = kind == Settings
                               ? QStringLiteral("Не удалось сохранить настройки и закладки. [")
                               : QStringLiteral("Не удалось сохранить словарь.  [");
    QCOMPARE(*messages, QStringList{failed + reason + QLatin1Char(']')});
    QCOMPARE(readAll(path), old);
    struct stat st {};
    QVERIFY(::stat(QFile::encodeName(path).constData(), &st) == 0);
    QCOMPARE(st.st_mode & 07777, mode);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no temporary
}

void TestWriteProtection::readOnlyFileStaysForTheSuperuser() {
    // The superuser may write any file; a file that grants nobody writing is
    // still the reader's word.
    if (::geteuid() != 0)
        QSKIP("runs as root only");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("library.txt"));
    QVERIFY(writeAll(path, "стар\r\n"));
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                                            QFileDevice::ReadOther));
    QCOMPARE(saveSmall(Library, path),
             QStringList{saveFailedMessage(QStringLiteral("файл защищён от записи"))});
    QCOMPARE(readAll(path), QByteArray("стар\r\n"));
}

QTEST_GUILESS_MAIN(TestWriteProtection)
#include "tst_write_protection.moc"
