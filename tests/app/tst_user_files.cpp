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
QMap<QString, QByteArray> contents(const QString& folder) {
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
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
    QTest::addColumn<bool>("besideExecutable"); // kestrix.ini (speed 7), library.txt "beside"
    QTest::addColumn<bool>("inWorkingFolder");  // library.txt "old"
    QTest::addColumn<bool>("perUser");          // kestrix.ini (speed 5), library.txt "new"
    QTest::addColumn<bool>("portable");
    QTest::addColumn<int>("speed");       // restored
    QTest::addColumn<QString>("learned"); // the library's first entry after the start
    QTest::addColumn<bool>("savedBeside");

    QTest::newRow("first start") << false << false << false << false << 3 << QString() << false;
    QTest::newRow("old layout read once")
        << true << true << false << false << 7 << u"old"_qs << false;
    QTest::newRow("per-user files before old ones")
        << true << true << true << false << 5 << u"new"_qs << false;
    QTest::newRow("portable") << true << true << true << true << 7 << u"beside"_qs << true;
    QTest::newRow("portable, first start")
        << false << true << false << true << 3 << QString() << true;
}

void TestUserFiles::filesLiveInTheirPlaces() {
    QFETCH(bool, besideExecutable);
    QFETCH(bool, inWorkingFolder);
    QFETCH(bool, perUser);
    QFETCH(bool, portable);
    QFETCH(int, speed);
    QFETCH(QString, learned);
    QFETCH(bool, savedBeside);

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
    if (besideExecutable) {
        put(exe + u"/kestrix.ini"_qs, "[Config]\r\nSpeed=7\r\n[Extra]\r\nkept=1\r\n");
        put(exe + u"/library.txt"_qs, "beside\r\n");
    }
    if (inWorkingFolder)
        put(work + u"/library.txt"_qs, "old\r\n");
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

    const QString savedIni = savedBeside ? exe + u"/kestrix.ini"_qs : userIni;
    const QString savedLibrary = savedBeside ? exe + u"/library.txt"_qs : userLibrary;
    IniFile ini;
    QVERIFY(ini.load(savedIni));
    QVERIFY(ini.intValue(u"Config", u"TextLength", 0) > 0);
    QCOMPARE(ini.intValue(u"Config", u"Speed", -1), speed);
    // The saved file carries on from the one read, other sections included.
    QCOMPARE(ini.hasSection(u"Extra"), besideExecutable && (portable || !perUser));
    QVERIFY(QFile::exists(savedLibrary));
    QCOMPARE(fileBytes(savedLibrary),
             learned.isEmpty() ? QByteArray() : learned.toLatin1() + "\r\n");
    // Nothing was written anywhere else: the old files are as they were.
    QCOMPARE(contents(work), workBefore);
    QCOMPARE(contents(savedBeside ? home : exe), savedBeside ? homeBefore : exeBefore);
    // From now on the files are read where they were saved.
    QCOMPARE(r.program.files().settings.readPath(), savedIni);
    QCOMPARE(r.program.files().library.readPath(), savedLibrary);
}

QTEST_MAIN(TestUserFiles)
#include "tst_user_files.moc"
