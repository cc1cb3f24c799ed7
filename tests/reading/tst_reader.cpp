// The reading handlers: Start, the word and statistics ticks, the playback
// controls and the shortcut keys, on the real windows with the system's
// services replaced.
#include "reader_fixture.h"

#include "corpus.h"
#include "reading/duration.h"
#include "reading/preparation.h"
#include "storage/memory_settings_view.h"
#include "storage/settings.h"
#include "ui/state_progress_bar.h"
#include "words/word_root.h"

#include <QtTest>

namespace {
const QString sample = QStringLiteral("Привет, мир. Как дела? ");

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TestReader : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startRefusesShortTexts_data();
    void startRefusesShortTexts();
    void startEntersReading();
    void wordTicksShowAndPace_data();
    void wordTicksShowAndPace();
    void lastEntryEndsReading();
    void bookmarkBeyondTheTextEndsAtTheLastEntry();
    void learningModeDoublesNewWords();
    void zeroBaseIntervalHaltsOnTheEntry();
    void statistics_data();
    void statistics();
    void readingTimeIsADuration_data();
    void readingTimeIsADuration();
    void pauseToggle();
    void jumpBack_data();
    void jumpBack();
    void jumpBackAndRestartBeforeAnyStart();
    void startOffersPauseAfterRestart();
    void speedKeys_data();
    void speedKeys();
    void spaceAndEnterPressStart_data();
    void spaceAndEnterPressStart();
    void textChangeReleasesKeysAndKeepsThePosition();
    void bookmarkFollowsTheBook_data();
    void bookmarkFollowsTheBook();
    void measuredSpeed_data();
    void measuredSpeed();
    void libraryWiring_data();
    void libraryWiring();
    void speedListTakesOnlyTheUsersChoice();
};

void TestReader::startRefusesShortTexts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("starts");
    QTest::newRow("9 characters") << u"1234 6789"_qs << false;
    QTest::newRow("10 characters with a space") << u"1234 67890"_qs << true;
    QTest::newRow("no space") << u"1234567890abc"_qs << false;
    QTest::newRow("line break counts two") << u"1234\n 678"_qs << true;
    QTest::newRow("only no-break spaces") << u"1234\u00a067890\u00a0abc"_qs << false;
}

void TestReader::startRefusesShortTexts() {
    QFETCH(QString, text);
    QFETCH(bool, starts);
    ReaderFixture f;
    f.start(text);
    QCOMPARE(f.reader.wordTimer.enabled(), starts);
    QCOMPARE(f.form.startButton->isEnabled(), !starts);
    QCOMPARE(f.hotkeys.isRegistered(), starts);
}

void TestReader::startEntersReading() {
    ReaderFixture f;
    f.clock.time = QDateTime(QDate(2026, 3, 1), QTime(9, 5, 7));
    f.form.textBox->setPlainText(sample);
    f.state.position = 3; // a bookmark restored with the text
    f.reader.takeTextAsBook();
    f.form.startButton->clickFromCode();
    QCOMPARE(f.marks(), u"sPrmT"_qs);
    QCOMPARE(f.reader.wordTimer.interval(), 1000u);
    QVERIFY(f.reader.statisticsTimer.enabled());
    QVERIFY(f.reader.libraryTimer.enabled());
    QCOMPARE(f.state.entryCount, 8);
    QCOMPARE(f.state.baseIntervalMs, 150);
    QCOMPARE(f.state.position, 3); // Start resumes where the reader was
    QCOMPARE(f.state.startedAt, u"09:05:07"_qs);
    QCOMPARE(f.closing.progressBar->maximum(), 8 * 0 + sample.size() / 5);
}

void TestReader::wordTicksShowAndPace_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QList<int>>("intervals");
    const QString blank = u"      / /        "_qs;
    QTest::newRow("sentence ends pause")
        << sample << QStringList{u"Пр/и/вет,"_qs, u"м/и/р."_qs, blank, blank, u"К/а/к"_qs}
        << QList<int>{270, 150, 270, 270, 120};
    QTest::newRow("time of day") << u"В 19:00 всё "_qs
                                 << QStringList{u"/В/"_qs, u"/1/9:"_qs, u"/0/0"_qs}
                                 << QList<int>{120, 486, 216};
}

void TestReader::wordTicksShowAndPace() {
    QFETCH(QString, text);
    QFETCH(QStringList, shown);
    QFETCH(QList<int>, intervals);
    ReaderFixture f;
    f.start(text);
    for (int i = 0; i < shown.size(); ++i) {
        QCOMPARE(f.tick(), shown[i]);
        QCOMPARE(int(f.reader.wordTimer.interval()), intervals[i]);
    }
}

void TestReader::lastEntryEndsReading() {
    ReaderFixture f;
    f.start(u"раз два три "_qs);
    f.tick();
    f.tick();
    QCOMPARE(f.marks(), u"sPrmT"_qs);
    QCOMPARE(f.tick(), u"/т/ри"_qs);
    QCOMPARE(f.state.position, 2);
    QCOMPARE(f.marks(), u"SpRMt"_qs);
    QVERIFY(!f.reader.statisticsTimer.enabled());
    QVERIFY(!f.reader.libraryTimer.enabled());
    QCOMPARE(f.reader.wordTimer.interval(), 150u);
}

void TestReader::bookmarkBeyondTheTextEndsAtTheLastEntry() {
    ReaderFixture f;
    f.form.textBox->setPlainText(u"раз два три "_qs);
    f.state.position = 5000;
    f.reader.takeTextAsBook();
    f.form.startButton->clickFromCode();
    QCOMPARE(f.tick(), u"/т/ри"_qs);
    QCOMPARE(f.state.position, 2);
    QCOMPARE(f.marks(), u"SpRMt"_qs);
}

void TestReader::learningModeDoublesNewWords() {
    ReaderFixture f;
    f.form.learningModeBox->setChecked(true);
    f.start(u"слово дело слово "_qs);
    QList<int> intervals;
    for (int i = 0; i < 3; ++i) {
        f.tick();
        intervals << int(f.reader.wordTimer.interval());
    }
    QCOMPARE(intervals, (QList<int>{300, 300, 150}));
    QCOMPARE(f.library.entries(), (QStringList{wordRoot(u"слово"_qs), wordRoot(u"дело"_qs)}));
}

void TestReader::zeroBaseIntervalHaltsOnTheEntry() {
    ReaderFixture f;
    f.form.speedList->setCurrentIndex(18); // a stored speed outside the list
    QCOMPARE(f.form.speedList->currentIndex(), -1);
    f.start(sample);
    QCOMPARE(f.state.baseIntervalMs, 0);
    f.tick();
    QCOMPARE(f.reader.wordTimer.interval(), 0u);
    QVERIFY(f.reader.wordTimer.enabled());
    f.reader.togglePause(); // counts as running: pauses
    QCOMPARE(f.pauseCaption(), Reader::resumeCaption());
}

void TestReader::statistics_data() {
    QTest::addColumn<QTime>("startTime");
    QTest::addColumn<QTime>("now");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QString>("readingTime");
    QTest::addColumn<QString>("speed");
    QTest::newRow("first tick") << QTime(10, 0, 0) << QTime(10, 0, 1) << 1 << u"0:00:01"_qs
                                << u"240"_qs;
    QTest::newRow("across midnight")
        << QTime(23, 59, 58) << QTime(0, 0, 3) << 5 << u"0:00:05"_qs << u"48"_qs;
    QTest::newRow("half rounds to even")
        << QTime(10, 0, 0) << QTime(10, 0, 8) << 8 << u"0:00:08"_qs << u"30"_qs;
}

void TestReader::statistics() {
    QFETCH(QTime, startTime);
    QFETCH(QTime, now);
    QFETCH(int, ticks);
    QFETCH(QString, readingTime);
    QFETCH(QString, speed);
    ReaderFixture f;
    f.clock.time = QDateTime(QDate(2026, 3, 1), startTime);
    f.start(sample);
    f.state.position = 4;
    f.clock.time = QDateTime(QDate(2026, 3, 2), now);
    for (int i = 0; i < ticks; ++i)
        f.reader.updateStatistics();
    QCOMPARE(f.form.readingTimeLabel->text(), readingTime);
    QCOMPARE(f.form.wordsReadLabel->text(), u"4 / 7"_qs);
    QCOMPARE(f.form.measuredSpeedLabel->text(), speed);
    QCOMPARE(f.form.progressBar->maximum(), 7);
    QCOMPARE(f.form.progressBar->value(), 4);
}

void TestReader::readingTimeIsADuration_data() {
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<QString>("shown");
    QTest::newRow("nothing yet") << qint64(0) << u"0:00:00"_qs;
    QTest::newRow("three seconds") << qint64(3999) << u"0:00:03"_qs;
    QTest::newRow("an hour and more") << qint64(3723000) << u"1:02:03"_qs;
    QTest::newRow("more than a day") << qint64(27 * 3600000LL) << u"27:00:00"_qs;
    QTest::newRow("negative") << qint64(-5000) << u"0:00:00"_qs;
}

// Never a time of day, whatever the locale (an English one once showed
// "12:00:03 AM").
void TestReader::readingTimeIsADuration() {
    QFETCH(qint64, ms);
    QFETCH(QString, shown);
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const auto restore = qScopeGuard([&] { QLocale::setDefault(before); });
    QCOMPARE(durationText(ms), shown);
}

void TestReader::pauseToggle() {
    ReaderFixture f;
    f.start(sample);
    f.form.pauseButton->clickFromCode();
    QCOMPARE(f.pauseCaption(), Reader::resumeCaption());
    QCOMPARE(f.marks(), u"sPRMt"_qs);
    QVERIFY(f.reader.statisticsTimer.enabled()); // statistics go on counting
    f.form.pauseButton->clickFromCode();
    QCOMPARE(f.pauseCaption(), Reader::pauseCaption());
    QCOMPARE(f.marks(), u"sPrmT"_qs);
}

void TestReader::jumpBack_data() {
    QTest::addColumn<int>("speedIndex");
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("situation");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("marks");
    const QString pause = Reader::pauseCaption();
    const QString resume = Reader::resumeCaption();
    QTest::newRow("reading, 150 wpm") << 0 << 40 << u"reading"_qs << 25 << resume << u"sPRMt"_qs;
    QTest::newRow("reading, 1000 wpm")
        << 17 << 400 << u"reading"_qs << 100 << resume << u"sPRMt"_qs;
    QTest::newRow("from below the step") << 3 << 30 << u"reading"_qs << 0 << resume << u"sPRMt"_qs;
    QTest::newRow("paused stays paused") << 3 << 100 << u"paused"_qs << 35 << resume << u"sPRMt"_qs;
    // After the end the words stay stopped; Start reads on from the entry.
    QTest::newRow("at the end stays stopped")
        << 3 << 100 << u"ended"_qs << 35 << pause << u"SpRMt"_qs;
    QTest::newRow("after an edit stays stopped")
        << 3 << 100 << u"edited"_qs << 35 << resume << u"SpRMt"_qs;
}

void TestReader::jumpBack() {
    QFETCH(int, speedIndex);
    QFETCH(int, from);
    QFETCH(QString, situation);
    QFETCH(int, to);
    QFETCH(QString, caption);
    QFETCH(QString, marks);
    const QString book = corpus::read(QStringLiteral("ru_chekhov_toska.txt"));
    ReaderFixture f;
    f.form.speedList->setCurrentIndex(speedIndex);
    f.start(book);
    f.state.position = from;
    if (situation == u"paused")
        f.reader.togglePause();
    if (situation == u"edited") {
        f.reader.togglePause();
        f.form.textBox->appendPlainText(u"ещё"_qs);
    }
    if (situation == u"ended") {
        f.state.position = f.state.words.written() - 1;
        f.tick();
        f.state.position = from;
    }
    f.form.jumpBackButton->clickFromCode();
    QCOMPARE(f.state.position, to);
    QCOMPARE(f.form.displayField->letter(), f.state.words.letter(to));
    QCOMPARE(f.pauseCaption(), caption);
    QCOMPARE(f.marks(), marks);
    // Resuming shows the entry moved to first.
    if (!f.reader.wordTimer.enabled())
        f.reader.togglePause();
    f.tick();
    QCOMPARE(f.form.displayField->left() + f.form.displayField->letter() +
                 f.form.displayField->rest(),
             f.state.words.joined(to));
}

void TestReader::jumpBackAndRestartBeforeAnyStart() {
    ReaderFixture f;
    f.state.position = 500; // a restored bookmark
    f.form.jumpBackButton->clickFromCode();
    QCOMPARE(f.state.position, 500);
    f.form.restartButton->clickFromCode(); // rereading a restored book from its beginning
    QCOMPARE(f.state.position, 0);
    QCOMPARE(f.marks(), u"SpRMt"_qs);
    QCOMPARE(f.shown(), u"//"_qs); // nothing read outside the sequence
}

// Start after a pause and a restart offers a pause again, and the jump back
// then pauses as while reading.
void TestReader::startOffersPauseAfterRestart() {
    ReaderFixture f;
    f.start(sample);
    f.tick();
    f.tick();
    f.reader.togglePause();
    f.form.restartButton->clickFromCode();
    QCOMPARE(f.state.position, 0);
    QCOMPARE(f.shown(), u"Пр/и/вет,"_qs);
    QCOMPARE(f.pauseCaption(), Reader::resumeCaption());
    QCOMPARE(f.marks(), u"SpRMt"_qs);
    f.form.startButton->clickFromCode();
    QCOMPARE(f.pauseCaption(), Reader::pauseCaption());
    f.state.position = 7;
    f.form.jumpBackButton->clickFromCode();
    QVERIFY(!f.reader.wordTimer.enabled());
    QCOMPARE(f.pauseCaption(), Reader::resumeCaption());
    f.hotkeys.press(32); // Space resumes
    QVERIFY(f.reader.wordTimer.enabled());
    QCOMPARE(f.pauseCaption(), Reader::pauseCaption());
}

void TestReader::speedKeys_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("to");
    QTest::newRow("plus") << 3 << 107 << 4;
    QTest::newRow("up") << 3 << 38 << 4;
    QTest::newRow("minus") << 3 << 109 << 2;
    QTest::newRow("down") << 3 << 40 << 2;
    QTest::newRow("plus at 1000") << 17 << 107 << 17;
    QTest::newRow("up at 1000") << 17 << 38 << 17;
    QTest::newRow("minus at 150") << 0 << 109 << 0;
    QTest::newRow("down at 150") << 0 << 40 << 0;
    QTest::newRow("up from no selection") << -1 << 38 << 0;
    QTest::newRow("down from no selection") << -1 << 40 << -1;
}

void TestReader::speedKeys() {
    QFETCH(int, from);
    QFETCH(int, key);
    QFETCH(int, to);
    ReaderFixture f;
    f.start(sample);
    f.form.speedList->setCurrentIndex(from);
    f.reader.wordTimer.setInterval(777);
    f.reader.playbackKey(key);
    QCOMPARE(f.form.speedList->currentIndex(), to);
    const int expected = to >= 0 ? baseInterval(to) : 150;
    QCOMPARE(f.state.baseIntervalMs, expected);
    QCOMPARE(int(f.reader.wordTimer.interval()), expected); // re-applied even at the ends
}

void TestReader::spaceAndEnterPressStart_data() {
    QTest::addColumn<QString>("focus"); // the focused control's name
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("marks"); // afterwards
    QTest::newRow("space, start button focused") << u"startButton"_qs << 32 << u"sPrmT"_qs;
    QTest::newRow("enter, start button focused") << u"startButton"_qs << 13 << u"sPrmT"_qs;
    QTest::newRow("space, view button focused") << u"viewButton"_qs << 32 << u"sPrmT"_qs;
    QTest::newRow("space, text box focused") << u"textBox"_qs << 32 << u"SpRMt"_qs;
    QTest::newRow("enter, speed list focused") << u"speedList"_qs << 13 << u"SpRMt"_qs;
    QTest::newRow("enter, learning-mode box focused") << u"learningModeBox"_qs << 13 << u"SpRMt"_qs;
}

// Space and Enter press Start when there is nothing to pause, unless the
// focused control takes them itself.
void TestReader::spaceAndEnterPressStart() {
    QFETCH(QString, focus);
    QFETCH(int, id);
    QFETCH(QString, marks);
    ReaderFixture f;
    f.form.findChild<QWidget*>(focus)->setFocus();
    QCOMPARE(f.form.focusWidget()->objectName(), focus);
    f.reader.wordTimer.setInterval(1000);
    f.state.baseIntervalMs = 150;
    f.reader.playbackKey(id);
    QCOMPARE(f.marks(), marks);
    // Start leads in with a second; otherwise the speed's interval is set again.
    QCOMPARE(f.reader.wordTimer.interval(), marks.startsWith(u's') ? 1000u : 150u);
    // Focus left on a disabled start button goes to the pause button.
    if (focus == u"startButton")
        QCOMPARE(f.form.focusWidget(), f.form.pauseButton);
}

void TestReader::textChangeReleasesKeysAndKeepsThePosition() {
    ReaderFixture f;
    f.start(sample);
    f.state.position = 5;
    f.reader.togglePause();
    QVERIFY(f.hotkeys.isRegistered());
    f.form.textBox->insertPlainText(u"x"_qs);
    QVERIFY(!f.hotkeys.isRegistered());
    QCOMPARE(f.state.position, 5); // until another text is started
    QCOMPARE(f.marks(), u"SpRMt"_qs);
    QVERIFY(!f.hotkeys.press(32)); // typing works again
}

// What happens to the reading position and the stored book (the word
// sequence) along the ways a reader edits, starts and restarts. Steps:
// "restore" (book A at entry 5, as the settings load leaves it), "read" (book
// A started and read to entry 5), "pause", "type" (a click selects all, one
// letter replaces it), "undo", "paste_A", "paste_B" (another text), "paste_C"
// (A with one letter changed), "start", "restart".
void TestReader::bookmarkFollowsTheBook_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("baseline");
    QTest::addColumn<QString>("book"); // first entry of the sequence
    QTest::newRow("restored, edit undone, Start")
        << u"restore type undo start"_qs << 5 << 5 << u"раз"_qs;
    QTest::newRow("restored, same text again, Start")
        << u"restore paste_A start"_qs << 5 << 5 << u"раз"_qs;
    QTest::newRow("restored, another text, Start")
        << u"restore paste_B start"_qs << 0 << 0 << u"другой"_qs;
    QTest::newRow("restored, one letter other, Start")
        << u"restore paste_C start"_qs << 0 << 0 << u"раз"_qs;
    QTest::newRow("restored, another text, no Start") << u"restore paste_B"_qs << 5 << 5 << u""_qs;
    QTest::newRow("restored, Restart before Start") << u"restore restart"_qs << 0 << 0 << u""_qs;
    QTest::newRow("read, paused, edited") << u"read pause type"_qs << 5 << 0 << u"раз"_qs;
    QTest::newRow("read, paused, edit undone, Start")
        << u"read pause type undo start"_qs << 5 << 5 << u"раз"_qs;
    QTest::newRow("read, paused, another text, Start")
        << u"read pause paste_B start"_qs << 0 << 0 << u"другой"_qs;
    QTest::newRow("read, paused, Restart") << u"read pause restart"_qs << 0 << 0 << u"раз"_qs;
}

void TestReader::bookmarkFollowsTheBook() {
    QFETCH(QString, steps);
    QFETCH(int, position);
    QFETCH(int, baseline);
    QFETCH(QString, book);
    const QString a = u"раз два три четыре пять шесть семь восемь "_qs;
    const QString b = u"другой текст совсем другой "_qs;
    ReaderFixture f;
    TextBox* box = f.form.textBox;
    for (const QString& step : steps.split(QLatin1Char(' '))) {
        if (step == u"restore") {
            box->setPlainText(a);
            f.state.position = f.state.speedBaseline = 5;
            f.reader.takeTextAsBook();
        } else if (step == u"read") {
            f.start(a);
            for (int i = 0; i < 5; ++i)
                f.tick();
        } else if (step == u"pause") {
            f.reader.togglePause();
        } else if (step == u"type" || step.startsWith(u"paste_")) {
            box->selectAll();
            box->insertPlainText(step == u"type"      ? u"x"_qs
                                 : step == u"paste_A" ? a
                                 : step == u"paste_B" ? b
                                                      : QString(a).replace(u"три"_qs, u"тре"_qs));
        } else if (step == u"undo") {
            box->undo();
        } else if (step == u"start") {
            f.form.startButton->clickFromCode();
        } else if (step == u"restart") {
            f.form.restartButton->clickFromCode();
        }
    }
    QCOMPARE(f.state.position, position);
    QCOMPARE(f.state.speedBaseline, baseline);
    QCOMPARE(f.state.words.isEmpty() ? QString() : f.state.words.joined(0), book);
}

// The measured speed: entries read since the last Start over the seconds
// spent reading, never below zero.
void TestReader::measuredSpeed_data() {
    QTest::addColumn<int>("bookmark"); // restored with the text
    QTest::addColumn<bool>("otherText");
    QTest::addColumn<int>("readTo");
    QTest::addColumn<int>("readingTicks");
    QTest::addColumn<int>("pausedTicks");
    QTest::addColumn<QString>("speed");
    QTest::newRow("from the bookmark") << 1500 << false << 1504 << 1 << 0 << u"240"_qs;
    QTest::newRow("another text after a bookmark") << 1500 << true << 4 << 1 << 0 << u"240"_qs;
    QTest::newRow("paused seconds do not count") << 0 << false << 4 << 1 << 3 << u"240"_qs;
    QTest::newRow("back before the Start") << 1500 << false << 1400 << 2 << 0 << u"0"_qs;
}

void TestReader::measuredSpeed() {
    QFETCH(int, bookmark);
    QFETCH(bool, otherText);
    QFETCH(int, readTo);
    QFETCH(int, readingTicks);
    QFETCH(int, pausedTicks);
    QFETCH(QString, speed);
    ReaderFixture f;
    f.form.textBox->setPlainText(sample);
    f.state.position = f.state.speedBaseline = bookmark;
    f.reader.takeTextAsBook();
    if (otherText)
        f.form.textBox->setPlainText(u"Другой текст. "_qs);
    f.form.startButton->clickFromCode();
    f.state.position = readTo;
    for (int i = 0; i < readingTicks; ++i)
        f.reader.updateStatistics();
    f.reader.togglePause();
    for (int i = 0; i < pausedTicks; ++i)
        f.reader.updateStatistics();
    QCOMPARE(f.form.measuredSpeedLabel->text(), speed);
}

// The word library's file: reloaded by Start in learning mode only, and
// saved by the library timer.
void TestReader::libraryWiring_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("entries");                // in memory afterwards
    QTest::addColumn<QByteArray>("file");                    // afterwards
    const QByteArray stored("\xea\xee\xf0\xe5\xed\xfc\r\n"); // "корень" in Windows-1251
    QTest::newRow("Start in learning mode reloads")
        << u"start learning"_qs << QStringList{u"корень"_qs} << stored;
    QTest::newRow("Start outside learning mode does not") << u"start"_qs << QStringList{} << stored;
    QTest::newRow("the library timer saves")
        << u"timer"_qs << QStringList{u"новый"_qs} << QByteArray("\xed\xee\xe2\xfb\xe9\r\n");
}

void TestReader::libraryWiring() {
    QFETCH(QString, action);
    QFETCH(QStringList, entries);
    QFETCH(QByteArray, file);
    ReaderFixture f;
    const QString path = f.dir.filePath(u"library.txt"_qs);
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write("\xea\xee\xf0\xe5\xed\xfc\r\n");
    out.close();
    if (action == u"timer") {
        f.library.setEntries({u"новый"_qs});
        Q_EMIT f.reader.libraryTimer.timeout();
    } else {
        f.form.learningModeBox->setChecked(action.endsWith(u"learning"));
        f.start(sample);
    }
    QCOMPARE(f.library.entries(), entries);
    QTRY_COMPARE_WITH_TIMEOUT(readAll(path), file, 60000);
}

// Only a choice of the user in the speed list applies a speed at once; a
// selection from code (the settings load) waits for Start.
void TestReader::speedListTakesOnlyTheUsersChoice() {
    ReaderFixture f;
    f.state.baseIntervalMs = 150;
    f.reader.wordTimer.setInterval(777);
    f.form.speedList->setCurrentIndex(10);
    QCOMPARE(f.reader.wordTimer.interval(), 777u);
    QCOMPARE(f.state.baseIntervalMs, 150);
    QTest::keyClick(f.form.speedList, Qt::Key_Down);
    QCOMPARE(f.form.speedList->currentIndex(), 11);
    QCOMPARE(f.reader.wordTimer.interval(), 65u);
}

QTEST_MAIN(TestReader)
#include "tst_reader.moc"
