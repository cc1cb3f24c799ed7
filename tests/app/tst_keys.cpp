// The whole program steered by keys alone, as a reader without a mouse does:
// key events through the real playback-key filter, the file dialog answered
// by the test.
#include "app/book_opener.h"
#include "corpus.h"
#include "keys_run.h"
#include "platform/hotkeys_qt.h"
#include "program_run.h"
#include "reading/reader.h"
#include "storage/ini_file.h"
#include "ui/flat_button.h"
#include "ui/text_box.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {} // namespace

class TestKeys : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void wholeCycleByKeys();
    void bookFromTheCommandLineLeavesTheKeysTaken_data();
    void bookFromTheCommandLineLeavesTheKeysTaken();
    void spaceTicksTheFocusedLearningModeBoxOnce_data();
    void spaceTicksTheFocusedLearningModeBoxOnce();
    void restartBeforeAnyStartIsKept();
    void lookIsKept_data();
    void lookIsKept();
};

void TestKeys::wholeCycleByKeys() {
    QTemporaryDir dir;
    const QString book = dir.filePath(u"тоска.txt"_qs);
    {
        QFile f(book);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(corpus::read(u"ru_chekhov_toska.txt"_qs).toUtf8());
    }
    KeysRun r(dir.path());
    r.fileDialog.paths = {book};
    r.run([&] {
        MainWindow* f = r.program.mainWindow;
        Reader& reader = *r.program.reader;
        QCOMPARE(QApplication::focusWidget(), f->startButton);
        r.type(Qt::Key_O, Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(!r.program.bookOpener->busy(), 30000);
        QVERIFY(f->textBox->toPlainText().startsWith(
            corpus::read(u"ru_chekhov_toska.txt"_qs).left(20)));
        // Space on the start button reads the book.
        r.type(Qt::Key_Space);
        QVERIFY(reader.wordTimer.enabled());
        QTRY_VERIFY_WITH_TIMEOUT(r.program.state.position > 3, 30000);
        r.type(Qt::Key_Space);
        QVERIFY(!reader.wordTimer.enabled());
        QCOMPARE(f->pauseButton->text(), Reader::resumeCaption());
        r.type(Qt::Key_Up);
        QCOMPARE(f->speedList->currentIndex(), 4);
        r.type(Qt::Key_1, Qt::ControlModifier);
        QCOMPARE(f->displayField->face(), DisplayField::Face::A);
        r.type(Qt::Key_T, Qt::ControlModifier);
        QVERIFY(f->textBox->isVisible());
        r.type(Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(r.program.state.position, 0);
        QVERIFY(f->startButton->isEnabled());
        // Ctrl+Enter from the text box.
        f->textBox->setFocus();
        r.type(Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(reader.wordTimer.enabled());
        QCOMPARE(f->pauseButton->text(), Reader::pauseCaption());
        QTRY_VERIFY_WITH_TIMEOUT(r.program.state.position > 1, 30000);
        r.type(Qt::Key_Left, Qt::AltModifier);
        QVERIFY(!reader.wordTimer.enabled());
        QCOMPARE(r.program.state.position, 0);
        // Enter resumes.
        r.type(Qt::Key_Return);
        QVERIFY(reader.wordTimer.enabled());
    });
    QVERIFY(r.boxes.shown.isEmpty());
}

void TestKeys::bookFromTheCommandLineLeavesTheKeysTaken_data() {
    QTest::addColumn<bool>("handedOver");
    QTest::newRow("FILE at start") << false;
    QTest::newRow("FILE handed over by a second start") << true;
}

void TestKeys::bookFromTheCommandLineLeavesTheKeysTaken() {
    QFETCH(bool, handedOver);
    QTemporaryDir dir;
    const QString book = dir.filePath(u"книга.txt"_qs);
    {
        QFile f(book);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("Ну что, князь, Генуя и Лукка стали не больше как поместьями.");
    }
    Run r(dir.path());
    if (!handedOver)
        r.program.openBookAtStart(book);
    bool taken = false;
    r.run([&] {
        if (handedOver)
            r.program.takeHandedOver(book);
        QTRY_VERIFY_WITH_TIMEOUT(r.program.mainWindow->textBox->toPlainText().contains(u"Генуя"),
                                 30000);
        QTRY_VERIFY_WITH_TIMEOUT(!r.program.bookOpener->busy(), 30000);
        taken = r.hotkeys.isRegistered();
        r.program.mainWindow->close();
    });
    QVERIFY(taken);
}

void TestKeys::spaceTicksTheFocusedLearningModeBoxOnce_data() {
    QTest::addColumn<Qt::Key>("answer"); // typed into the explanation box
    QTest::newRow("answered by Space") << Qt::Key_Space;
    QTest::newRow("answered by Enter") << Qt::Key_Return;
}

// The explanation is a real modal box here, answered by a key.
void TestKeys::spaceTicksTheFocusedLearningModeBoxOnce() {
    QFETCH(Qt::Key, answer);
    QTemporaryDir dir;
    KeysRun r(dir.path());
    bool answered = false;
    int toggles = 0;
    r.boxes.whileOpen = [&](const ScriptedMessageBoxes::Shown& shown) {
        QMessageBox box(QMessageBox::NoIcon, QString(), shown.text, QMessageBox::Ok, shown.owner);
        QTimer::singleShot(0, &box, [&] {
            if (QTest::qWaitForWindowActive(&box, 30000)) {
                // On a desktop the OK button has the focus; offscreen it may not yet.
                QWidget* to = box.focusWidget();
                if (!to)
                    to = box.button(QMessageBox::Ok);
                QTest::keyClick(to, answer);
            }
            answered = !box.isVisible();
            box.reject();
        });
        box.exec();
    };
    r.run([&] {
        MainWindow* f = r.program.mainWindow;
        connect(f->learningModeBox, &QCheckBox::toggled, f, [&] { ++toggles; });
        f->learningModeBox->setFocus();
        r.type(Qt::Key_Space);
    });
    QCOMPARE(r.boxes.shown.size(), 1);
    QVERIFY(answered);
    QCOMPARE(toggles, 1);
}

namespace {

QByteArray storedBook(int position, const QByteArray& moreConfig = {}) {
    return "[Config]\r\nStudyMode=0\r\nSpeed=5\r\nTextLength=3\r\nTextPosition=" +
           QByteArray::number(position) + "\r\n" + moreConfig +
           "[Content]\r\nword_0=раз\r\nword_1=два\r\nword_2=три\r\n";
}

void write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

// Restart before any Start: the stored book stays, its bookmark at 0.
void TestKeys::restartBeforeAnyStartIsKept() {
    QTemporaryDir dir;
    const QString ini = dir.filePath(u"kestrix.ini"_qs);
    write(ini, storedBook(2));
    Run r(dir.path());
    r.run([&] {
        r.program.mainWindow->restartButton->click();
        r.program.mainWindow->close();
    });
    IniFile stored;
    QVERIFY(stored.load(ini));
    QCOMPARE(stored.intValue(u"Config", u"TextPosition", -1), 0);
    QCOMPARE(stored.intValue(u"Config", u"TextLength", -1), 3);
    QCOMPARE(stored.value(u"Content", u"word_2"), u"три"_qs);
    Run again(dir.path());
    again.run([&] {
        QCOMPARE(again.program.state.position, 0);
        QCOMPARE(again.program.mainWindow->textBox->toPlainText().simplified(), u"раз два три"_qs);
        again.program.mainWindow->close();
    });
}

void TestKeys::lookIsKept_data() {
    QTest::addColumn<QByteArray>("stored"); // Config's keys of the look
    QTest::addColumn<bool>("full");
    QTest::addColumn<bool>("faceA");
    QTest::addColumn<bool>("small");
    QTest::newRow("an old file: the start-up look") << QByteArray() << false << false << false;
    QTest::newRow("full, face A, small")
        << QByteArray("View=full\r\nDisplayFace=A\r\nDisplaySize=small\r\n") << true << true
        << true;
    QTest::newRow("compact, face B, small")
        << QByteArray("View=compact\r\nDisplayFace=B\r\nDisplaySize=small\r\n") << false << false
        << true;
    QTest::newRow("values not known: the start-up look")
        << QByteArray("View=wide\r\nDisplayFace=C\r\nDisplaySize=9\r\n") << false << false << false;
}

// The look is restored at start (the focus on the start button in either
// view), and what the reader chose is there at the next start, also when
// nothing was read.
void TestKeys::lookIsKept() {
    QFETCH(QByteArray, stored);
    QFETCH(bool, full);
    QFETCH(bool, faceA);
    QFETCH(bool, small);
    QTemporaryDir dir;
    write(dir.filePath(u"kestrix.ini"_qs), storedBook(1, stored));
    const auto look = [](const MainWindow* f) {
        return QStringList{f->textBox->isVisibleTo(f) ? u"full"_qs : u"compact"_qs,
                           f->displayField->face() == DisplayField::Face::A ? u"A"_qs : u"B"_qs,
                           f->displayField->isSmall() ? u"small"_qs : u"large"_qs};
    };
    const QStringList expected{full ? u"full"_qs : u"compact"_qs, faceA ? u"A"_qs : u"B"_qs,
                               small ? u"small"_qs : u"large"_qs};
    QStringList restored;
    QStringList chosen;
    QWidget* focus = nullptr;
    {
        KeysRun r(dir.path());
        r.run([&] {
            MainWindow* f = r.program.mainWindow;
            restored = look(f);
            focus = QApplication::focusWidget();
            QCOMPARE(focus, f->startButton);
            r.type(Qt::Key_T, Qt::ControlModifier);
            r.type(Qt::Key_2, Qt::ControlModifier);
            chosen = look(f);
        });
    }
    QCOMPARE(restored, expected);
    Run again(dir.path());
    QStringList next;
    again.run([&] {
        next = look(again.program.mainWindow);
        again.program.mainWindow->close();
    });
    QCOMPARE(next, chosen);
}

QTEST_MAIN(TestKeys)
#include "tst_keys.moc"
