// The paused position in the whole program: the context panel opened by a
// pause and at the end of the text, a click on one of its words, the
// stepping keys, and the panel gone when words run again.
#include "program_run.h"
#include "reading/context_navigation.h"
#include "reading/reader.h"
#include "ui/context_panel.h"
#include "ui/flat_button.h"
#include "ui/status_bar.h"
#include "ui/text_box.h"

#include <QApplication>
#include <QGroupBox>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString text = u"Первое предложение тут. Второе предложение чуть длиннее, с запятой! "
                     u"Третье.\nНовый абзац начинается здесь и идёт дальше."_qs;

QString word(const WordSequence& s, int i) {
    if (i < 0)
        return QStringLiteral("-");
    QString w = s.joined(i);
    while (w.endsWith(QLatin1Char('\r')) || w.endsWith(QLatin1Char('\n')))
        w.chop(1);
    return w;
}

int entryOf(const WordSequence& s, const QString& w) {
    for (int i = 0; i < s.written(); ++i) {
        if (ReadingContext::isWord(s, i) && word(s, i) == w)
            return i;
    }
    return -1;
}

// The word marked red in the panel.
QString marked(const ContextPanel* panel) {
    return panel->text().mid(panel->markStart(), panel->markLength());
}

// Whether the cell of the character `index` of the panel has red pixels in a
// picture of the panel.
bool drawnRed(ContextPanel* panel, qsizetype index) {
    const QImage picture = panel->grab().toImage();
    const QRect cell = panel->characterRect(index);
    const qreal ratio = picture.devicePixelRatio();
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
        for (int x = cell.left(); x <= cell.right(); ++x) {
            const QColor c = picture.pixelColor(QPoint(int(x * ratio), int(y * ratio)));
            if (c.red() > 150 && c.green() < 100 && c.blue() < 100)
                return true;
        }
    }
    return false;
}

// Starts reading `text` and lets `ticks` words run (the word tick called
// directly, so that no real time is waited for), then pauses.
void startAndPause(Run& r, int ticks) {
    MainWindow* f = r.program.mainWindow;
    f->textBox->setPlainText(text);
    f->startButton->click();
    QVERIFY(!r.program.reader->preparing());
    for (int i = 0; i < ticks; ++i)
        r.program.reader->showNextWord();
    f->pauseButton->click();
}

} // namespace

class TestContext : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pauseShowsThePositionInRed_data();
    void pauseShowsThePositionInRed();
    void clickMovesThePositionAndResumeReadsOnFromIt();
    void steppingKeys_data();
    void steppingKeys();
    void jumpBackWhilePausedMovesThePanel();
    void roomFollowsTheViewAndGoesAway();
    void endOfTextOpensThePanel();
};

void TestContext::pauseShowsThePositionInRed_data() {
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QString>("shown"); // in the display field and red in the panel
    QTest::newRow("on a word: the word the next tick shows") << 2 << u"тут."_qs;
    QTest::newRow("on the pause after a sentence: the word before") << 3 << u"тут."_qs;
    QTest::newRow("on the first word") << 0 << u"Первое"_qs;
}

void TestContext::pauseShowsThePositionInRed() {
    QFETCH(int, ticks);
    QFETCH(QString, shown);
    QTemporaryDir dir;
    Run r(dir.path());
    r.run([&] {
        MainWindow* f = r.program.mainWindow;
        ContextPanel* panel = f->contextPanel;
        QVERIFY(!panel->isVisibleTo(f));
        startAndPause(r, ticks);
        QCOMPARE(r.program.state.position, ticks);
        QVERIFY(panel->isVisibleTo(f));
        QCOMPARE(r.shown().trimmed(), shown);
        QCOMPARE(marked(panel), shown);
        QVERIFY(panel->text().contains(u"Второе предложение"));
        // The display field and the buttons stay where they are, above it.
        QVERIFY(panel->geometry().top() > f->viewButton->geometry().bottom());
        QVERIFY(panel->geometry().bottom() < f->statusBar->geometry().top());
        QVERIFY(drawnRed(panel, panel->markStart()));
        QVERIFY(!drawnRed(panel, panel->text().indexOf(u"Второе")));
        f->pauseButton->click();
        QVERIFY(!panel->isVisibleTo(f));
        f->close();
    });
}

void TestContext::clickMovesThePositionAndResumeReadsOnFromIt() {
    QTemporaryDir dir;
    Run r(dir.path());
    r.run([&] {
        MainWindow* f = r.program.mainWindow;
        ContextPanel* panel = f->contextPanel;
        startAndPause(r, 1);
        const WordSequence& words = r.program.state.words;
        const QRect cell = panel->characterRect(panel->text().indexOf(u"абзац") + 2);
        QVERIFY(!cell.isEmpty());
        QTest::mouseClick(panel, Qt::LeftButton, {}, cell.center());
        QCOMPARE(r.program.state.position, entryOf(words, u"абзац"_qs));
        QCOMPARE(r.shown(), u"абзац"_qs);
        QCOMPARE(marked(panel), u"абзац"_qs);
        QVERIFY(!r.program.reader->wordTimer.enabled());
        QVERIFY(drawnRed(panel, panel->markStart()));
        // Resume: the panel goes, and the next tick shows the word clicked.
        f->pauseButton->click();
        QVERIFY(r.program.reader->wordTimer.enabled());
        QVERIFY(!panel->isVisibleTo(f));
        r.program.reader->showNextWord();
        QCOMPARE(r.shown(), u"абзац"_qs);
        f->close();
    });
}

void TestContext::steppingKeys_data() {
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QList<int>>("keys"); // Qt keys; a negative one with Ctrl
    QTest::addColumn<bool>("inTextBox");  // the focus on the text box
    QTest::addColumn<QString>("shown");
    const int left = Qt::Key_Left;
    const int right = Qt::Key_Right;
    QTest::newRow("Right") << 5 << QList<int>{right} << false << u"предложение"_qs;
    QTest::newRow("Right twice") << 5 << QList<int>{right, right} << false << u"чуть"_qs;
    QTest::newRow("Left over a sentence's pause") << 5 << QList<int>{left} << false << u"тут."_qs;
    QTest::newRow("Right from a pause: the word after it")
        << 3 << QList<int>{right} << false << u"Второе"_qs;
    QTest::newRow("Ctrl+Left from inside a sentence")
        << 8 << QList<int>{-left} << false << u"Второе"_qs;
    QTest::newRow("Ctrl+Left twice: the sentence before")
        << 8 << QList<int>{-left, -left} << false << u"Первое"_qs;
    QTest::newRow("the text box keeps its arrows")
        << 5 << QList<int>{right, -left} << true << u"Второе"_qs;
}

void TestContext::steppingKeys() {
    QFETCH(int, ticks);
    QFETCH(QList<int>, keys);
    QFETCH(bool, inTextBox);
    QFETCH(QString, shown);
    QTemporaryDir dir;
    Run r(dir.path());
    r.run([&] {
        MainWindow* f = r.program.mainWindow;
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f, 30000));
        startAndPause(r, ticks);
        QWidget* to = inTextBox ? static_cast<QWidget*>(f->textBox) : f->pauseButton;
        to->setFocus(Qt::OtherFocusReason);
        const int before = r.program.state.position;
        for (int key : keys)
            QTest::keyClick(to, Qt::Key(qAbs(key)), key < 0 ? Qt::ControlModifier : Qt::NoModifier);
        QCOMPARE(r.shown().trimmed(), shown);
        QCOMPARE(marked(f->contextPanel), shown);
        if (inTextBox)
            QCOMPARE(r.program.state.position, before);
        else
            QCOMPARE(word(r.program.state.words, r.program.state.position), shown);
        // While words run the keys step nothing.
        f->pauseButton->click();
        const int running = r.program.state.position;
        QTest::keyClick(f->pauseButton, Qt::Key_Right);
        QCOMPARE(r.program.state.position, running);
        f->close();
    });
}

void TestContext::jumpBackWhilePausedMovesThePanel() {
    QTemporaryDir dir;
    Run r(dir.path());
    r.run([&] {
        MainWindow* f = r.program.mainWindow;
        startAndPause(r, 8);
        QCOMPARE(marked(f->contextPanel), u"длиннее,"_qs);
        f->jumpBackButton->click(); // 65 entries back at 300 words per minute
        QCOMPARE(r.program.state.position, 0);
        QVERIFY(!r.program.reader->wordTimer.enabled());
        QCOMPARE(marked(f->contextPanel), u"Первое"_qs);
        QCOMPARE(r.shown(), u"Первое"_qs);
        f->close();
    });
}

void TestContext::roomFollowsTheViewAndGoesAway() {
    QTemporaryDir dir;
    Run r(dir.path());
    r.run([&] {
        MainWindow* f = r.program.mainWindow;
        QCOMPARE(f->height(), 200);
        startAndPause(r, 2);
        const int room = f->contextRoom();
        QVERIFY(room >= ContextNavigation::minimumRoom);
        QCOMPARE(f->height(), 200 + room);
        f->viewButton->click();
        QCOMPARE(f->height(), 555 + room);
        QVERIFY(f->textBox->isVisibleTo(f));
        QCOMPARE(f->textBox->y(), 184 + room);
        QVERIFY(f->contextPanel->geometry().bottom() < f->textBox->y());
        QVERIFY(f->textBox->isEnabled());
        f->pauseButton->click(); // resume
        QCOMPARE(f->height(), 555);
        QCOMPARE(f->textBox->y(), 184);
        QCOMPARE(f->informationBox->y(), 427);
        f->pauseButton->click(); // pause again, then restart
        QVERIFY(f->contextPanel->isVisibleTo(f));
        f->restartButton->click();
        QVERIFY(!f->contextPanel->isVisibleTo(f));
        QCOMPARE(f->height(), 555);
        f->viewButton->click();
        QCOMPARE(f->height(), 200);
        f->close();
    });
}

void TestContext::endOfTextOpensThePanel() {
    QTemporaryDir dir;
    Run r(dir.path());
    r.run([&] {
        MainWindow* f = r.program.mainWindow;
        f->textBox->setPlainText(text);
        f->startButton->click();
        while (r.program.reader->wordTimer.enabled())
            r.program.reader->showNextWord();
        QVERIFY(f->contextPanel->isVisibleTo(f));
        QCOMPARE(marked(f->contextPanel), u"дальше."_qs);
        // An edit of the text closes it.
        f->textBox->appendPlainText(u"Ещё"_qs);
        QVERIFY(!f->contextPanel->isVisibleTo(f));
        QCOMPARE(f->height(), 200);
        f->close();
    });
}

QTEST_MAIN(TestContext)
#include "tst_context.moc"
