// Where the reader's files live: the per-user folders, the old layout read
// from once, and --portable, with the program run in the test's process under
// a temporary home folder.
#include "program_run.h"
#include "storage/ini_file.h"
#include "ui/flat_button.h"
#include "ui/text_box.h"
#include "words/library.h"

#include <QComboBox>
#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Sets an environment variable while it lives.
class EnvironmentValue {
public:
    EnvironmentValue(const char* name, const QString& value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name)) {
        qputenv(name, value.toLocal8Bit());
    }
    ~EnvironmentValue() {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

// Every file under `folder`, by its path within it, with its bytes.
// The files in `folder` but the bookshelf (a file of its own, made at the
// first start wherever the settings are read from).
QMap<QString, QByteArray> contents(const QString& folder) {
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (QFileInfo(path).fileName().startsWith(u"books.sqlite"))
            continue;
        files.insert(QDir(folder).relativeFilePath(path), fileBytes(path));
    }
    return files;
}

void put(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

} // namespace

class TestUserFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // As main() names the program, so the folders are those of a real start.
    void initTestCase() { QCoreApplication::setApplicationName(u"Kestrix"_qs); }
    void filesLiveInTheirPlaces_data();
    void filesLiveInTheirPlaces();
};

void TestUserFiles::filesLiveInTheirPlaces_data() {
    QTest::addColumn<QString>("old");  // "files": kestrix.ini (speed 7) and library.txt
                                       // "beside" by the executable, library.txt "old" in
                                       // the working folder; "folders": the same names
                                       // as folders, which cannot be read; or nothing
    QTest::addColumn<bool>("perUser"); // kestrix.ini (speed 5), library.txt "new"
    QTest::addColumn<bool>("portable");
    QTest::addColumn<int>("speed");       // restored
    QTest::addColumn<QString>("learned"); // the library's first entry after the start
    QTest::addColumn<QString>("savedIn"); // "user", "beside" or "nowhere"

    QTest::newRow("first start") << QString() << false << false << 3 << QString() << u"user"_qs;
    QTest::newRow("old layout read once")
        << u"files"_qs << false << false << 7 << u"old"_qs << u"user"_qs;
    QTest::newRow("per-user files before old ones")
        << u"files"_qs << true << false << 5 << u"new"_qs << u"user"_qs;
    QTest::newRow("old files unreadable: nothing takes their place")
        << u"folders"_qs << false << false << 3 << QString() << u"nowhere"_qs;
    QTest::newRow("portable") << u"files"_qs << true << true << 7 << u"beside"_qs << u"beside"_qs;
    QTest::newRow("portable, first start")
        << QString() << false << true << 3 << QString() << u"beside"_qs;
}

void TestUserFiles::filesLiveInTheirPlaces() {
    QFETCH(QString, old);
    QFETCH(bool, perUser);
    QFETCH(bool, portable);
    QFETCH(int, speed);
    QFETCH(QString, learned);
    QFETCH(QString, savedIn);

    QTemporaryDir tmp;
    const QString home = tmp.filePath(u"home"_qs);
    const QString exe = tmp.filePath(u"opt/kestrix"_qs);
    const QString work = tmp.filePath(u"work"_qs);
    QVERIFY(QDir().mkpath(home) && QDir().mkpath(exe) && QDir().mkpath(work));
    const EnvironmentValue homeVar("HOME", home);
    const EnvironmentValue configVar("XDG_CONFIG_HOME", home + u"/.config"_qs);
    const EnvironmentValue dataVar("XDG_DATA_HOME", home + u"/.local/share"_qs);
    const QString userIni = home + u"/.config/Kestrix/kestrix.ini"_qs;
    const QString userLibrary = home + u"/.local/share/Kestrix/library.txt"_qs;
    if (old == u"files") {
        put(exe + u"/kestrix.ini"_qs, "[Config]\r\nSpeed=7\r\n[Extra]\r\nkept=1\r\n");
        put(exe + u"/library.txt"_qs, "beside\r\n");
        put(work + u"/library.txt"_qs, "old\r\n");
    } else if (old == u"folders") {
        QVERIFY(QDir().mkpath(exe + u"/kestrix.ini/x"_qs));
        QVERIFY(QDir().mkpath(work + u"/library.txt/x"_qs));
    }
    if (perUser) {
        put(userIni, "[Config]\r\nSpeed=5\r\n");
        put(userLibrary, "new\r\n");
    }
    const auto homeBefore = contents(home);
    const auto exeBefore = contents(exe);
    const auto workBefore = contents(work);

    Run r(userFiles(portable, exe, work));
    int restoredSpeed = -1;
    QString firstEntry;
    r.run([&] {
        MainWindow* f = r.program.mainWindow;
        restoredSpeed = f->speedList->currentIndex();
        firstEntry = r.program.library->entries().value(0);
        f->textBox->setPlainText(u"Раз два три четыре пять шесть семь."_qs);
        f->startButton->clickFromCode();
        f->close();
    });
    QCOMPARE(restoredSpeed, speed);
    QCOMPARE(firstEntry, learned);

    if (savedIn == u"nowhere") {
        // Told once at start for each file, and once at the end that this
        // run's settings were not saved; nothing saved over what could not
        // be read.
        QCOMPARE(r.boxes.shown.size(), 3);
        QVERIFY(r.boxes.shown[2].text.contains(exe + u"/kestrix.ini"_qs));
        QCOMPARE(contents(home), homeBefore);
        QCOMPARE(contents(exe), exeBefore);
        QCOMPARE(contents(work), workBefore);
        return;
    }
    const bool beside = savedIn == u"beside";
    const QString savedIni = beside ? exe + u"/kestrix.ini"_qs : userIni;
    const QString savedLibrary = beside ? exe + u"/library.txt"_qs : userLibrary;
    IniFile ini;
    QVERIFY(ini.load(savedIni));
    QVERIFY(ini.intValue(u"Config", u"TextLength", 0) > 0);
    QCOMPARE(ini.intValue(u"Config", u"Speed", -1), speed);
    // The saved file carries on from the one read, other sections included.
    QCOMPARE(ini.hasSection(u"Extra"), old == u"files" && (portable || !perUser));
    QVERIFY(QFile::exists(savedLibrary));
    QCOMPARE(fileBytes(savedLibrary),
             learned.isEmpty() ? QByteArray() : learned.toLatin1() + "\r\n");
    // Nothing was written anywhere else: the old files are as they were.
    QCOMPARE(contents(work), workBefore);
    QCOMPARE(contents(beside ? home : exe), beside ? homeBefore : exeBefore);
    // From now on the files are read where they were saved.
    QCOMPARE(r.program.files().settings.readPath(), savedIni);
    QCOMPARE(r.program.files().library.readPath(), savedLibrary);
}

QTEST_MAIN(TestUserFiles)
#include "tst_user_files.moc"
