// Every way the program ends saves the library and the bookmark: a close of
// the main window, SIGTERM, SIGINT and SIGHUP sent to the test's own process,
// the end of the desktop session (and a checkpoint of it does not end the
// program), and failures at that time are told where they can be seen.
#include "app/ending_message_boxes.h"
#include "corpus.h"
#include "program_run.h"
#include "reading/reader.h"
#include "reading/timer.h"
#include "storage/ini_file.h"
#include "storage/settings_saver.h"
#include "ui/closing_dialog.h"
#include "ui/flat_button.h"
#include "ui/text_box.h"

#include <QComboBox>
#include <QDir>
#include <QMessageBox>
#include <QSessionManager>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

// What the process writes to its standard error output while this lives.
class CapturedErrors {
public:
    CapturedErrors() {
        m_file.open();
        std::fflush(stderr);
        m_saved = ::dup(2);
        ::dup2(m_file.handle(), 2);
    }
    ~CapturedErrors() { restore(); }
    QString text() {
        restore();
        m_file.seek(0);
        return QString::fromUtf8(m_file.readAll());
    }

private:
    void restore() {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, 2);
        ::close(m_saved);
        m_saved = -1;
    }
    QTemporaryFile m_file;
    int m_saved = -1;
};

const QString librarySaveFailed = u"Не удалось сохранить словарь.  ["_qs;
const QString settingsSaveFailed = u"Не удалось сохранить настройки и закладки. ["_qs;

// The text between the brackets of a failure message.
QString cause(const QString& message) {
    const qsizetype open = message.indexOf(QLatin1Char('['));
    return message.mid(open + 1, message.lastIndexOf(QLatin1Char(']')) - open - 1);
}

} // namespace

class TestEndings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void signalSavesTheBookmark_data();
    void signalSavesTheBookmark();
    void signalClosesOpenDialogs();
    void failuresAtTheEnd_data();
    void failuresAtTheEnd();
    void stopSavesTheBookmark_data();
    void stopSavesTheBookmark();
    void checkpointSavesAndReadingGoesOn();
    void unreadSettingsAreToldOnceAtTheEnd_data();
    void unreadSettingsAreToldOnceAtTheEnd();
};

void TestEndings::signalSavesTheBookmark_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<bool>("againDuringTheSave");
    QTest::newRow("SIGTERM") << int(SIGTERM) << false;
    QTest::newRow("SIGINT") << int(SIGINT) << false;
    QTest::newRow("SIGHUP") << int(SIGHUP) << false;
    QTest::newRow("SIGTERM, another during the save") << int(SIGTERM) << true;
}

void TestEndings::signalSavesTheBookmark() {
    QFETCH(int, number);
    QFETCH(bool, againDuringTheSave);
    const QString book = corpus::read(u"ru_chekhov_toska.txt"_qs);
    QVERIFY(!book.isEmpty());
    QTemporaryDir dir;
    Run r(dir.path());
    QVERIFY(r.termination.active());
    // A second signal while the program saves must not end the process.
    if (againDuringTheSave)
        connect(&r.program, &Program::loopEnded, this, [number] { ::kill(::getpid(), number); });
    bool sent = false;
    const int code = r.run([&] {
        MainWindow* f = r.program.mainWindow;
        f->textBox->setPlainText(book);
        f->speedList->setCurrentIndex(17);
        connect(&r.program.reader->wordTimer, &Timer::timeout, f, [&] {
            if (!sent && r.program.state.position >= 5) {
                sent = true;
                ::kill(::getpid(), number);
            }
        });
        f->startButton->clickFromCode();
        // Should the signal go unnoticed, a close ends the run and the exit
        // code tells.
        QTimer::singleShot(60000, f, [f] { f->close(); });
    });
    QCOMPARE(code, 128 + number);
    QCOMPARE(r.program.mainWindow->pauseButton->text(), Reader::resumeCaption());
    IniFile ini;
    QVERIFY(ini.load(dir.filePath(u"kestrix.ini"_qs)));
    QVERIFY(r.program.state.position >= 5);
    QCOMPARE(ini.intValue(u"Config", u"TextPosition", -1), r.program.state.position);
    QCOMPARE(ini.intValue(u"Config", u"TextLength", -1), r.program.state.entryCount);
    QCOMPARE(ini.keyCount(u"Content"), r.program.state.entryCount);
    QVERIFY(QFile::exists(dir.filePath(u"library.txt"_qs)));
    QVERIFY(r.boxes.shown.isEmpty());
}

void TestEndings::signalClosesOpenDialogs() {
    QTemporaryDir dir;
    Run r(dir.path());
    bool guardFired = false;
    const int code = r.run([&] {
        QMessageBox box(QMessageBox::Question, u"Kestrix"_qs, u"?"_qs,
                        QMessageBox::Ok | QMessageBox::Cancel, r.program.mainWindow);
        QTimer::singleShot(0, &box, [] { ::kill(::getpid(), SIGTERM); });
        QTimer::singleShot(60000, &box, [&] {
            guardFired = true;
            box.reject();
        });
        box.exec();
    });
    QVERIFY(!guardFired);
    QCOMPARE(code, 128 + SIGTERM);
}

void TestEndings::failuresAtTheEnd_data() {
    QTest::addColumn<bool>("bySignal");
    QTest::newRow("close: boxes over the closing dialog") << false;
    QTest::newRow("SIGTERM: the standard error output, no box") << true;
}

void TestEndings::failuresAtTheEnd() {
    QFETCH(bool, bySignal);
    QTemporaryDir dir;
    // A file where the folder of both files should be: every save fails, as
    // for root too.
    QFile blocker(dir.filePath(u"blocker"_qs));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Run r(filesIn(blocker.fileName()));
    QList<bool> dialogOnScreen;
    r.boxes.whileOpen = [&](const ScriptedMessageBoxes::Shown&) {
        dialogOnScreen.append(r.program.closingDialog->isVisible());
    };
    CapturedErrors errors;
    const int code = r.run([&] {
        MainWindow* f = r.program.mainWindow;
        f->textBox->setPlainText(u"Раз два три четыре пять шесть семь."_qs);
        f->startButton->clickFromCode();
        if (bySignal)
            ::kill(::getpid(), SIGTERM);
        else
            f->close();
    });
    const QString written = errors.text();
    QCOMPARE(code, bySignal ? 128 + SIGTERM : 0);

    QStringList told; // the failures in the order told, wherever
    QList<ScriptedMessageBoxes::Shown> boxes = r.boxes.shown;
    if (bySignal) {
        QVERIFY(boxes.isEmpty());
        for (const QString& line : written.split(QLatin1Char('\n'))) {
            if (line.startsWith(u"kestrix: "_qs))
                told.append(line.mid(9));
        }
    } else {
        for (const auto& b : std::as_const(boxes)) {
            QCOMPARE(b.owner, r.program.closingDialog);
            told.append(b.text);
        }
        QCOMPARE(dialogOnScreen, QList<bool>(boxes.size(), true));
    }
    QCOMPARE(told.size(), 2);
    QVERIFY2(told[0].startsWith(librarySaveFailed), qPrintable(told[0]));
    QVERIFY2(told[1].startsWith(settingsSaveFailed), qPrintable(told[1]));
    for (const QString& t : std::as_const(told)) {
        QVERIFY2(!cause(t).isEmpty() && !cause(t).contains(u"Unknown"_qs), qPrintable(t));
    }
}

void TestEndings::stopSavesTheBookmark_data() {
    QTest::addColumn<bool>("byPause");
    QTest::newRow("pause, twice") << true;
    QTest::newRow("end of the text") << false;
}

void TestEndings::stopSavesTheBookmark() {
    QFETCH(bool, byPause);
    const QString text = byPause ? corpus::read(u"ru_chekhov_toska.txt"_qs)
                                 : u"Раз два три четыре пять шесть семь."_qs;
    QVERIFY(!text.isEmpty());
    QTemporaryDir dir;
    const QString path = dir.filePath(u"kestrix.ini"_qs);
    Run r(dir.path());
    QList<int> stoppedAt; // the position when reading stopped
    QList<int> saved;     // the bookmark in the file after each save
    bool runningAtSave = true;
    r.run([&] {
        MainWindow* f = r.program.mainWindow;
        f->textBox->setPlainText(text);
        f->speedList->setCurrentIndex(17);
        connect(r.program.reader.get(), &Reader::stopped, f,
                [&] { stoppedAt.append(r.program.state.position); });
        connect(&r.program.reader->wordTimer, &Timer::timeout, f, [&, f] {
            if (byPause && r.program.state.position >= 5 * (stoppedAt.size() + 1) &&
                f->pauseButton->text() == Reader::pauseCaption())
                f->pauseButton->clickFromCode();
        });
        connect(r.program.settingsSaver.get(), &SettingsSaver::saveFinished, f,
                [&, f](const QString& error) {
                    IniFile ini;
                    const bool read = error.isEmpty() && ini.load(path);
                    saved.append(read ? ini.intValue(u"Config", u"TextPosition", -1) : -1);
                    runningAtSave = runningAtSave && !r.program.closing();
                    if (byPause && saved.size() == 1)
                        f->pauseButton->clickFromCode(); // read on
                    else
                        f->close();
                });
        f->startButton->clickFromCode();
        QTimer::singleShot(60000, f, [f] { f->close(); });
    });
    QCOMPARE(saved.size(), byPause ? 2 : 1);
    QCOMPARE(saved, stoppedAt);
    QVERIFY(saved.first() > 0);
    QVERIFY(runningAtSave); // saved while reading goes on, not at the end
}

void TestEndings::checkpointSavesAndReadingGoesOn() {
    // The session manager's checkpoint reaches the program as Qt's
    // commitDataRequest, its die as a request to quit the application.
    QSessionManager* manager = qApp->findChild<QSessionManager*>();
    if (manager == nullptr)
        QSKIP("this Qt has no session management");
    const QString book = corpus::read(u"ru_chekhov_toska.txt"_qs);
    QVERIFY(!book.isEmpty());
    QTemporaryDir dir;
    Run r(dir.path());
    int atCheckpoint = -1;
    int savedAtCheckpoint = -2;
    bool closingAfterCheckpoint = true;
    bool quitAccepted = false;
    const int code = r.run([&] {
        MainWindow* f = r.program.mainWindow;
        f->textBox->setPlainText(book);
        f->speedList->setCurrentIndex(17);
        connect(&r.program.reader->wordTimer, &Timer::timeout, f, [&] {
            const int position = r.program.state.position;
            if (atCheckpoint < 0 && position >= 5) {
                atCheckpoint = position;
                Q_EMIT qApp->commitDataRequest(*manager);
                // Saved when the session manager hears back.
                IniFile ini;
                if (ini.load(dir.filePath(u"kestrix.ini"_qs)))
                    savedAtCheckpoint = ini.intValue(u"Config", u"TextPosition", -1);
                closingAfterCheckpoint = r.program.closing();
            } else if (atCheckpoint >= 0 && position >= atCheckpoint + 5 && !r.program.closing()) {
                QEvent quit(QEvent::Quit);
                QCoreApplication::sendEvent(qApp, &quit);
                quitAccepted = quit.isAccepted();
            }
        });
        f->startButton->clickFromCode();
        QTimer::singleShot(60000, f, [f] { f->close(); });
    });
    QCOMPARE(code, 0);
    QCOMPARE(savedAtCheckpoint, atCheckpoint);
    QVERIFY(!closingAfterCheckpoint);
    QVERIFY(r.program.state.position >= atCheckpoint + 5); // reading went on
    QVERIFY(quitAccepted);
    QVERIFY(static_cast<EndingMessageBoxes&>(r.program.boxes()).unattended());
    IniFile ini;
    QVERIFY(ini.load(dir.filePath(u"kestrix.ini"_qs)));
    QCOMPARE(ini.intValue(u"Config", u"TextPosition", -1), r.program.state.position);
    QVERIFY(r.boxes.shown.isEmpty());
}

void TestEndings::unreadSettingsAreToldOnceAtTheEnd_data() {
    QTest::addColumn<bool>("bySignal");
    QTest::newRow("close: a box over the closing dialog") << false;
    QTest::newRow("SIGTERM: the standard error output") << true;
}

void TestEndings::unreadSettingsAreToldOnceAtTheEnd() {
    QFETCH(bool, bySignal);
    QTemporaryDir dir;
    // A folder in the settings file's place cannot be read: it is kept from
    // every save of the run.
    const QString path = dir.filePath(u"kestrix.ini"_qs);
    QVERIFY(QDir().mkdir(path));
    Run r(dir.path());
    CapturedErrors errors;
    const int code = r.run([&] {
        MainWindow* f = r.program.mainWindow;
        f->textBox->setPlainText(u"Раз два три четыре пять шесть семь."_qs);
        f->startButton->clickFromCode();
        f->pauseButton->clickFromCode();
        if (bySignal)
            ::kill(::getpid(), SIGTERM);
        else
            f->close();
    });
    const QString written = errors.text();
    QCOMPARE(code, bySignal ? 128 + SIGTERM : 0);
    QStringList atTheEnd;
    for (const auto& b : std::as_const(r.boxes.shown)) {
        if (b.owner == r.program.closingDialog)
            atTheEnd.append(b.text);
    }
    for (const QString& line : written.split(QLatin1Char('\n'))) {
        if (line.startsWith(u"kestrix: "_qs))
            atTheEnd.append(line.mid(9));
    }
    QCOMPARE(atTheEnd.size(), 1);
    QVERIFY2(atTheEnd[0].startsWith(settingsSaveFailed) && atTheEnd[0].contains(path),
             qPrintable(atTheEnd[0]));
    QCOMPARE(written.contains(u"kestrix: "_qs), bySignal);
    QVERIFY(QFileInfo(path).isDir());
    QVERIFY(QDir(path).isEmpty());
}

QTEST_MAIN(TestEndings)
#include "tst_endings.moc"
