// The settings file and the word library when the system fails them: saves
// on a full disk, special files and hostile sizes in their place, a file with
// more sections than the reader once kept, temporaries left by a kill.
#include "settings_fixture.h"

#include "platform/atomic_save.h"
#include "reading/preparation.h"
#include "storage/ini_file.h"
#include "words/library.h"

#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utime.h>

namespace {

enum Kind { Settings, Library };

QString fileName(int kind) {
    return kind == Settings ? QStringLiteral("kestrix.ini") : QStringLiteral("library.txt");
}

QString savedText() {
    return QStringLiteral("Новый текст книги, совсем короткий. ");
}

// A small save through the real code; the messages the reader would see.
QStringList saveSmall(int kind, const QString& path) {
    if (kind == Settings) {
        ReadingState st;
        st.entryCount = cutWhole(st.words, savedText());
        TestView v(st);
        saveSettings(v, st, path);
        return v.messages;
    }
    WordLibrary lib;
    lib.setEntries({QStringLiteral("нов"), QStringLiteral("книг")});
    const QString error = lib.save(path);
    return error.isEmpty() ? QStringList() : QStringList{saveFailedMessage(error)};
}

QString saveMessage(int kind, const QString& reason) {
    return kind == Settings ? QStringLiteral("Не удалось сохранить настройки и закладки. [") +
                                  reason + QLatin1Char(']')
                            : saveFailedMessage(reason);
}

QString loadMessage(int kind, const QString& reason) {
    return kind == Settings ? QStringLiteral("Не удалось прочитать настройки и закладки.  [") +
                                  reason + QLatin1Char(']')
                            : loadFailedMessage(reason);
}

// A stored book of 48 KB, which a save replaces by a short one.
QByteArray oldBook() {
    QByteArray b = "[Config]\r\nTextLength=4000\r\n[Content]\r\n";
    for (int i = 0; b.size() < 48 * 1024; ++i)
        b += "word_" + QByteArray::number(i) + "=" + QStringLiteral("старое").toUtf8() + "\r\n";
    return b;
}

QStringList filesIn(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

} // namespace

class TestFileFaults : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void failedSaveKeepsTheFile_data();
    void failedSaveKeepsTheFile();
    void saveOnARealFullDisk();
    void unreadableFileIsNeverSavedOver_data();
    void unreadableFileIsNeverSavedOver();
    void saveAfterSeventyThousandSections();
    void staleTemporariesGo_data();
    void staleTemporariesGo();
};

void TestFileFaults::failedSaveKeepsTheFile_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("reason");
    const auto row = [](const char* name, int kind, SaveStep step, int error, const char16_t* why) {
        QTest::newRow(name) << kind << int(step) << error << QString::fromUtf16(why);
    };
    const char16_t noSpace[] = u"на устройстве не осталось места";
    row("settings: no space at the flush", Settings, SaveStep::Sync, ENOSPC, noSpace);
    row("library: no space at the flush", Library, SaveStep::Sync, ENOSPC, noSpace);
    row("settings: quota at a write", Settings, SaveStep::Write, EDQUOT,
        u"исчерпана дисковая квота");
    row("library: I/O error at the close", Library, SaveStep::Close, EIO, u"ошибка ввода-вывода");
    row("settings: read-only file system", Settings, SaveStep::Create, EROFS,
        u"файловая система доступна только для чтения");
    row("library: rename refused", Library, SaveStep::Rename, EACCES, u"нет прав доступа");
}

void TestFileFaults::failedSaveKeepsTheFile() {
    QFETCH(int, kind);
    QFETCH(int, step);
    QFETCH(int, error);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(fileName(kind));
    const QByteArray old = oldBook();
    QVERIFY(writeAll(path, old));

    QStringList messages;
    {
        const SaveFaultHook hook([&](SaveStep s) { return int(s) == step ? error : 0; });
        messages = saveSmall(kind, path);
    }
    QCOMPARE(messages, QStringList{saveMessage(kind, reason)});
    QCOMPARE(readAll(path), old);
    QCOMPARE(filesIn(dir.path()), QStringList{fileName(kind)}); // no temporary left

    // Without the fault the same save goes through and stays small.
    QCOMPARE(saveSmall(kind, path), QStringList());
    QVERIFY(readAll(path) != old && readAll(path).size() <= 16 * 1024);
}

void TestFileFaults::saveOnARealFullDisk() {
    // A 1 MiB tmpfs filled to the brim in a private mount namespace, with a
    // 48 KB kestrix.ini on it: the probe stores a short text as the program
    // saves its settings.
    QTemporaryDir dir;
    const QString old = dir.filePath(QStringLiteral("old.ini"));
    QVERIFY(writeAll(old, oldBook()));
    const QString text = dir.filePath(QStringLiteral("text.txt"));
    QVERIFY(writeAll(text, savedText().toUtf8()));
    const QString mountPoint = dir.filePath(QStringLiteral("full"));
    QVERIFY(QDir().mkpath(mountPoint));
    const QString script = QStringLiteral("mount -t tmpfs -o size=1m tmpfs \"$1\" || exit 77\n"
                                          "cp \"$2\" \"$1/kestrix.ini\" || exit 78\n"
                                          "dd if=/dev/zero of=\"$1/fill\" bs=4096 2>/dev/null\n"
                                          "\"$3\" store \"$4\" \"$1/kestrix.ini\"; echo \"rc=$?\"\n"
                                          "cmp -s \"$1/kestrix.ini\" \"$2\" && echo kept\n"
                                          "ls -A \"$1\" | tr '\\n' ' '\n");
    QProcess p;
    p.start(QStringLiteral("unshare"),
            {QStringLiteral("--user"), QStringLiteral("--map-root-user"), QStringLiteral("--mount"),
             QStringLiteral("sh"), QStringLiteral("-c"), script, QStringLiteral("sh"), mountPoint,
             old, QStringLiteral(KESTRIX_PROBE), text});
    if (!p.waitForStarted(30000))
        QSKIP("no unshare here: cannot make a full file system without root");
    QVERIFY(p.waitForFinished(120000));
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    const QString err = QString::fromUtf8(p.readAllStandardError());
    if (p.exitCode() != 0 || !out.contains(QStringLiteral("rc=")))
        QSKIP(qPrintable(QStringLiteral("no private tmpfs here (%1)").arg(err.trimmed())));
    QVERIFY2(out.contains(QStringLiteral("rc=1")), qPrintable(out + err));
    QVERIFY2(out.contains(QStringLiteral("kept")), qPrintable(out + err));
    QCOMPARE(out.section(QLatin1Char('\n'), -1).trimmed(), QStringLiteral("fill kestrix.ini"));
    QVERIFY2(err.contains(saveMessage(Settings, QStringLiteral("на устройстве не осталось места"))),
             qPrintable(err));
}

void TestFileFaults::unreadableFileIsNeverSavedOver_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("reason");
    const QString fifo = QStringLiteral("это канал (FIFO), а не обычный файл");
    const QString device = QStringLiteral("это устройство, а не обычный файл");
    QTest::newRow("settings: FIFO") << int(Settings) << QStringLiteral("fifo") << fifo;
    QTest::newRow("library: FIFO") << int(Library) << QStringLiteral("fifo") << fifo;
    QTest::newRow("settings: link to /dev/zero")
        << int(Settings) << QStringLiteral("zero") << device;
    QTest::newRow("library: link to /dev/zero") << int(Library) << QStringLiteral("zero") << device;
    QTest::newRow("settings: sparse 100 GB") << int(Settings) << QStringLiteral("sparse")
                                             << QStringLiteral("файл больше допустимых 1024 МБ");
    QTest::newRow("library: sparse 100 GB") << int(Library) << QStringLiteral("sparse")
                                            << QStringLiteral("файл больше допустимых 128 МБ");
}

void TestFileFaults::unreadableFileIsNeverSavedOver() {
    QFETCH(int, kind);
    QFETCH(QString, what);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(fileName(kind));
    const QByteArray name = QFile::encodeName(path);
    constexpr qint64 sparseSize = 100LL * 1000 * 1000 * 1000;
    if (what == u"fifo") {
        QCOMPARE(::mkfifo(name.constData(), 0600), 0);
    } else if (what == u"zero") {
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    } else {
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT, 0600);
        QVERIFY(fd >= 0);
        const bool grown = ::ftruncate(fd, sparseSize) == 0;
        ::close(fd);
        if (!grown)
            QSKIP("this file system has no sparse files of 100 GB");
    }
    const auto unchanged = [&] {
        const QFileInfo info(path);
        if (what == u"fifo")
            return !info.isFile() && info.exists() && !info.isSymLink();
        if (what == u"zero")
            return info.isSymLink() && info.symLinkTarget() == u"/dev/zero";
        return info.isFile() && info.size() == sparseSize;
    };

    // The load refuses at once and says why, once; the saves that follow
    // (at shut-down, periodic, on pause) leave the file alone and say nothing.
    QStringList messages;
    if (kind == Settings) {
        ReadingState st;
        TestView v(st);
        FixedClock clock;
        load(v, st, path, clock);
        QCOMPARE(v.text, welcome);
        messages = v.messages;
        for (int i = 0; i < 2; ++i)
            messages += saveSmall(kind, path);
    } else {
        WordLibrary lib;
        lib.setEntries({QStringLiteral("old")});
        const QString error = lib.load(path);
        messages << loadFailedMessage(error);
        QCOMPARE(lib.entries(), QStringList{QStringLiteral("old")});
        QSignalSpy finished(&lib, &WordLibrary::saveFinished);
        lib.saveAsync(path);
        QVERIFY(finished.wait(60000));
        QCOMPARE(finished.at(0).at(0).toString(), QString());
        QCOMPARE(lib.save(path), QString());
    }
    QCOMPARE(messages, QStringList{loadMessage(kind, reason)});
    QVERIFY(unchanged());
    QCOMPARE(filesIn(dir.path()).size(), 1);
}

void TestFileFaults::saveAfterSeventyThousandSections() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kestrix.ini"));
    QByteArray bytes;
    for (int i = 0; i < 70000; ++i)
        bytes += "[s" + QByteArray::number(i) + "]\r\nk=" + QByteArray::number(i) + "\r\n";
    QVERIFY(writeAll(path, bytes));
    ReadingState st;
    TestView v(st);
    FixedClock clock;
    load(v, st, path, clock);
    QCOMPARE(saveSmall(Settings, path), QStringList());

    ReadingState back;
    TestView bv(back);
    load(bv, back, path, clock);
    QCOMPARE(v.messages + bv.messages, QStringList());
    QCOMPARE(bv.text, QStringLiteral(" Новый текст книги, совсем короткий. \n\r \n\r"));
    IniFile ini;
    QVERIFY(ini.load(path));
    QCOMPARE(ini.value(u"s69999", u"k"), QStringLiteral("69999"));
}

void TestFileFaults::staleTemporariesGo_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("old");
    QTest::addColumn<bool>("removed");
    // An empty name stands for the temporary a real save of kestrix.ini uses
    // (of this process, which still runs); %dead and %running for the process
    // number of a program that ended and of one that runs.
    QTest::newRow("this program's save, however old") << QString() << true << false;
    QTest::newRow("of a program that ended")
        << u".kestrix.ini.kestrix-save-%dead-abc123"_qs << false << true;
    QTest::newRow("of a program that runs, however old")
        << u".kestrix.ini.kestrix-save-%running-abc123"_qs << true << false;
    QTest::newRow("of an older program, older than this one")
        << u".kestrix.ini.kestrix-save-abc123"_qs << true << true;
    QTest::newRow("of an older program, written since the start")
        << u".kestrix.ini.kestrix-save-abc123"_qs << false << false;
    QTest::newRow("the library's") << u".library.txt.kestrix-save-zz9zz9"_qs << true << true;
    QTest::newRow("the user's backup") << u"kestrix.ini.backup"_qs << true << false;
    QTest::newRow("another name pattern")
        << u".kestrix.ini.kestrix-save-abc1234"_qs << true << false;
    QTest::newRow("another file's") << u".other.txt.kestrix-save-abc123"_qs << true << false;
}

void TestFileFaults::staleTemporariesGo() {
    QFETCH(QString, name);
    QFETCH(bool, old);
    QFETCH(bool, removed);
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("kestrix.ini"));
    QProcess running;
    running.start(QStringLiteral("sleep"), {QStringLiteral("600")});
    QVERIFY(running.waitForStarted(60000));
    QProcess ended;
    ended.start(QStringLiteral("true"), {});
    QVERIFY(ended.waitForStarted(60000));
    const qint64 endedPid = ended.processId();
    QVERIFY(ended.waitForFinished(60000));
    name.replace(u"%running"_qs, QString::number(running.processId()));
    name.replace(u"%dead"_qs, QString::number(endedPid));
    if (name.isEmpty()) {
        // The name of the temporary while the save writes it, as a kill
        // would leave it behind.
        const SaveFaultHook hook([&](SaveStep s) {
            if (s == SaveStep::Sync)
                name = filesIn(dir.path()).value(0);
            return 0;
        });
        QCOMPARE(saveSmall(Settings, ini), QStringList());
        QVERIFY(name.startsWith(u".kestrix.ini."_qs));
    }
    const QString stale = dir.filePath(name);
    QVERIFY(writeAll(stale, "[Config]\r\n"));
    if (old) {
        const utimbuf anHourAgo{time(nullptr) - 3600, time(nullptr) - 3600};
        QCOMPARE(::utime(QFile::encodeName(stale).constData(), &anHourAgo), 0);
    }
    removeStaleSaveTemporaries({ini, dir.filePath(QStringLiteral("library.txt"))});
    QCOMPARE(QFile::exists(stale), !removed);
    running.kill();
    running.waitForFinished(60000);
}

QTEST_MAIN(TestFileFaults)
#include "tst_file_faults.moc"
