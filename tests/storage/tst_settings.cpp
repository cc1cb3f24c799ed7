// loadSettings and saveSettings: settings, the rebuilt text, the bookmark and
// failures.
#include "settings_fixture.h"

#include "corpus.h"
#include "file_size_limit.h"
#include "platform/time_format.h"
#include "reading/preparation.h"
#include "storage/ini_file.h"
#include "storage/memory_settings_view.h"
#include "storage/settings.h"

#include <QRandomGenerator>

#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>

#include <csignal>
#include <sys/resource.h>

class TestSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();

    void firstRunWithoutFile();
    void settings_data();
    void settings();
    void restoredText_data();
    void restoredText();
    void damagedTextLengthStaysBounded_data();
    void damagedTextLengthStaysBounded();
    void garbageFilesLoad();
    void unreadableFileReported();
    void splashShowsProgressAndTimeLeft();
    void splashFollowsTheFileBeforeItsEntries();

private:
    QTemporaryDir m_dir;
    QString m_path;
};

void TestSettings::init() {
    QVERIFY(m_dir.isValid());
    m_path = m_dir.filePath(QStringLiteral("kestrix.ini"));
    QFile::remove(m_path);
}

void TestSettings::firstRunWithoutFile() {
    ReadingState st;
    st.explainLearningMode = true;
    st.position = 7;
    TestView v(st);
    FixedClock clock;
    load(v, st, m_path, clock);
    QCOMPARE(v.hotkeyReleases, 1);
    QCOMPARE(v.study, false);
    QVERIFY(v.booAtClick.isEmpty());
    QCOMPARE(v.progress, ProgressState::Normal);
    QCOMPARE(v.speed, 3);
    QCOMPARE(st.entryCount, 0);
    QCOMPARE(st.position, 0);
    QCOMPARE(st.speedBaseline, 0);
    QCOMPARE(st.explainLearningMode, true);
    QCOMPARE(v.text, welcome);
    QCOMPARE(v.textSets, 0);
    QCOMPARE(v.splashVisible, false);
    QVERIFY(v.messages.isEmpty());
    QVERIFY(!QFile::exists(m_path));
}

void TestSettings::settings_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("study");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<int>("progress");
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("bookmark");
    // The bar starts out paused here, so that "unchanged" can be seen.
    const int normal = int(ProgressState::Normal);
    const int paused = int(ProgressState::Paused);
    const int error = int(ProgressState::Error);
    auto row = [](const char* name, const QByteArray& config, bool study, int clicks, int progress,
                  int speed, int bookmark) {
        QTest::newRow(name) << QByteArray("[Config]\r\n" + config) << study << clicks << progress
                            << speed << bookmark;
    };
    row("empty section", "", false, 0, normal, 3, 0);
    row("study mode on", "StudyMode=1\r\n", true, 1, normal, 3, 0);
    row("study mode any non-zero", "StudyMode=-4\r\n", true, 1, normal, 3, 0);
    row("study mode garbage is off", "StudyMode=on\r\n", false, 0, normal, 3, 0);
    row("red", "ProgressBar=red\r\n", false, 0, error, 3, 0);
    row("yellow", "ProgressBar=yellow\r\n", false, 0, paused, 3, 0);
    row("green", "ProgressBar=green\r\n", false, 0, normal, 3, 0);
    row("Red keeps the bar", "ProgressBar=Red\r\n", false, 0, paused, 3, 0);
    row("unknown colour keeps the bar", "ProgressBar=blue\r\n", false, 0, paused, 3, 0);
    row("quoted colour", "ProgressBar=\"red\"\r\n", false, 0, error, 3, 0);
    row("speed 18 unchanged", "Speed=18\r\n", false, 0, normal, 18, 0);
    row("speed -1 unchanged", "Speed=-1\r\n", false, 0, normal, -1, 0);
    row("speed not a number", "Speed=fast\r\n", false, 0, normal, 3, 0);
    row("bookmark", "TextPosition=42\r\n", false, 0, normal, 3, 42);
    row("bookmark beyond the text", "TextLength=2\r\nTextPosition=500\r\n", false, 0, normal, 3,
        500);
    row("negative bookmark is the start", "TextPosition=-3\r\n", false, 0, normal, 3, 0);
    row("keys in any case", "studymode=1\r\nSPEED=9\r\n", true, 1, normal, 9, 0);
}

void TestSettings::settings() {
    QFETCH(QByteArray, file);
    QFETCH(bool, study);
    QFETCH(int, clicks);
    QFETCH(int, progress);
    QFETCH(int, speed);
    QFETCH(int, bookmark);
    QVERIFY(writeAll(m_path, file));
    ReadingState st;
    st.explainLearningMode = true;
    TestView v(st);
    const bool missingProgress = !file.contains("ProgressBar");
    v.progress = missingProgress ? ProgressState::Paused : ProgressState::Paused;
    FixedClock clock;
    load(v, st, m_path, clock);
    QCOMPARE(v.study, study);
    // The click handler runs only on a change, and with the explanation off.
    QCOMPARE(v.booAtClick, QList<bool>(clicks, false));
    QCOMPARE(st.explainLearningMode, true);
    // A missing key reads "green", which sets the normal state.
    QCOMPARE(int(v.progress), progress);
    QCOMPARE(v.speed, speed);
    QCOMPARE(st.position, bookmark);
    QCOMPARE(st.speedBaseline, bookmark);
    QVERIFY(v.messages.isEmpty());
    QCOMPARE(v.splashVisible, false);
}

void TestSettings::restoredText_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("textLength");
    QTest::addColumn<QString>("text");
    auto row = [](const char* name, const QByteArray& file, int textLength, const QString& text) {
        QTest::newRow(name) << QByteArray("[Config]\r\n" + file) << textLength << text;
    };
    row("no text", "TextLength=0\r\n[Content]\r\nword_0=a\r\n", 0, welcome);
    row("negative length reads nothing", "TextLength=-5\r\n[Content]\r\nword_0=a\r\n", -5, welcome);
    row("words", "TextLength=3\r\n[Content]\r\nword_0=Раз,\r\nword_1=два.\r\nword_2=три\r\n", 3,
        QStringLiteral(" Раз, два. три "));
    row("no Content section", "TextLength=3\r\n", 3, QStringLiteral(" \n\r \n\r \n\r"));
    row("blank and line-break entries",
        "TextLength=3\r\n[Content]\r\nword_0=               \r\n"
        "word_1=\r\r\nword_2=\n\r\n",
        3, QStringLiteral(" \n\r \n\r \n\r"));
    row("quoted word loses its quotes",
        "TextLength=2\r\n[Content]\r\nword_0=\"привет\"\r\n"
        "word_1='пока'\r\n",
        2, QStringLiteral(" привет пока "));
    row("old files: one key fewer", "TextLength=3\r\n[Content]\r\nword_0=a\r\nword_1=b\r\n", 3,
        QStringLiteral(" a b \n\r"));
    row("keys in any order and case", "TextLength=2\r\n[content]\r\nWORD_1=b\r\nword_0=a\r\n", 2,
        QStringLiteral(" a b "));
    row("keys beyond the length ignored", "TextLength=1\r\n[Content]\r\nword_0=a\r\nword_1=b\r\n",
        1, QStringLiteral(" a "));
    row("one missing entry", "TextLength=1\r\n", 1, QStringLiteral(" \n\r"));
    // Missing entries cost no more than those present: a million announced
    // and none stored restores nothing; a long run of missing entries is one
    // line break, a short one keeps the bookmark aligned.
    row("a million announced, none stored", "TextLength=999999\r\n", 999999, QString());
    row("long run of missing entries",
        "TextLength=9000\r\n[Content]\r\nword_0=a\r\nword_8999=b\r\n", 9000,
        QStringLiteral(" a \n\r b "));
    row("short runs of missing entries", "TextLength=9\r\n[Content]\r\nword_2=a\r\nword_5=b\r\n", 9,
        QStringLiteral(" \n\r \n\r a \n\r \n\r b \n\r \n\r \n\r"));
}

void TestSettings::restoredText() {
    QFETCH(QByteArray, file);
    QFETCH(int, textLength);
    QFETCH(QString, text);
    QVERIFY(writeAll(m_path, file));
    ReadingState st;
    TestView v(st);
    FixedClock clock;
    load(v, st, m_path, clock);
    QCOMPARE(st.entryCount, textLength);
    QCOMPARE(v.text, text);
    QCOMPARE(v.textSets, textLength > 0 ? 1 : 0);
}

void TestSettings::damagedTextLengthStaysBounded_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("text");
    QTest::newRow("no keys") << QByteArray() << QString();
    QTest::newRow("three keys") << QByteArray("word_0=a\r\nword_1=b\r\nword_2=c\r\n")
                                << QStringLiteral(" a b c ");
    QTest::newRow("gap") << QByteArray("word_0=a\r\nword_2=c\r\n") << QStringLiteral(" a \n\r c ");
    QTest::newRow("leading zeros are other keys")
        << QByteArray("word_0=a\r\nword_0000099=z\r\n") << QStringLiteral(" a ");
}

void TestSettings::damagedTextLengthStaysBounded() {
    QFETCH(QByteArray, content);
    QFETCH(QString, text);
    QVERIFY(writeAll(m_path, "[Config]\r\nTextLength=2000000000\r\n[Content]\r\n" + content));
    ReadingState st;
    TestView v(st);
    FixedClock clock;
    load(v, st, m_path, clock);
    QCOMPARE(st.entryCount, 2000000000);
    QCOMPARE(v.text, text);

    // A stray key far out does not make the load pad up to it.
    QVERIFY(writeAll(m_path, "[Config]\r\nTextLength=2000000000\r\n[Content]\r\n" + content +
                                 "word_1999999999=x\r\n"));
    load(v, st, m_path, clock);
    QVERIFY2(v.text.size() < 4 * loadPaddingAllowance, qPrintable(QString::number(v.text.size())));
}

void TestSettings::garbageFilesLoad() {
    QRandomGenerator rng(77);
    const QByteArray pieces[] = {"[Config]\r\n",
                                 "[Content]\r\n",
                                 "TextLength=",
                                 "TextPosition=",
                                 "word_",
                                 "=",
                                 "\r\n",
                                 "\n\r",
                                 "2147483647",
                                 "-1",
                                 "99",
                                 "\xD0",
                                 "\x00",
                                 "\"",
                                 " ",
                                 "Speed="};
    for (int round = 0; round < 60; ++round) {
        QByteArray bytes;
        const int n = static_cast<int>(rng.bounded(1, 400));
        for (int i = 0; i < n; ++i) {
            if (round % 3 == 0)
                bytes += char(rng.bounded(256));
            else
                bytes += pieces[rng.bounded(static_cast<int>(std::size(pieces)))];
        }
        QVERIFY(writeAll(m_path, bytes));
        ReadingState st;
        TestView v(st);
        FixedClock clock;
        load(v, st, m_path, clock);
        QVERIFY(v.messages.isEmpty());
        QVERIFY(st.position >= 0);
        QVERIFY(!v.splashVisible);
        QVERIFY(v.text.size() <=
                    4 * qMax(0, qMin(st.entryCount, loadPaddingAllowance)) + bytes.size() + 2 ||
                v.text == welcome);
    }
}

void TestSettings::unreadableFileReported() {
    ReadingState st;
    st.position = 5;
    TestView v(st);
    v.speed = 9;
    v.splashVisible = true;
    FixedClock clock;
    load(v, st, m_dir.path(), clock); // a directory where the file should be
    QCOMPARE(v.messages.size(), 1);
    const QString m = v.messages.first();
    QVERIFY2(m.startsWith(QStringLiteral("Не удалось прочитать настройки и закладки.  [")) &&
                 m.endsWith(QLatin1Char(']')) && m.size() > 47,
             qPrintable(m));
    QCOMPARE(v.speed, 9);
    QCOMPARE(v.text, welcome);
    QCOMPARE(st.position, 5);
    QVERIFY(!v.splashVisible);
}

void TestSettings::splashShowsProgressAndTimeLeft() {
    QByteArray file = "[Config]\r\nTextLength=10000\r\n[Content]\r\n";
    for (int i = 0; i < 10000; ++i)
        file += "word_" + QByteArray::number(i) + "=w" + QByteArray::number(i) + "\r\n";
    QVERIFY(writeAll(m_path, file));
    ReadingState st;
    TestView v(st);
    const SteppingClock clock(100000); // 100 s per reading of the clock
    load(v, st, m_path, clock);
    QCOMPARE(v.eventRounds, 3); // once per slice of 4096 entries
    QCOMPARE(v.splashMaximum, 10000);
    QCOMPARE(v.splashPosition, 8192);
    // At 4096: elapsed 100 s, total 100 * 10000 / 4096 = 244 s, left 244 - 200.
    // At 8192: the second reading of the clock has passed the estimate.
    QCOMPARE(v.timeLabels, (QStringList{QStringLiteral("Осталось: 00:00:44"),
                                        QStringLiteral("Осталось: 00:00:00")}));
    QVERIFY(!v.splashVisible);
    QVERIFY(v.text.startsWith(QStringLiteral(" w0 w1 ")));
    QVERIFY(v.text.endsWith(QStringLiteral(" w9999 ")));
}

// A long file moves the splash while it is read and parsed, before the first
// entry is taken: by bytes and lines, in order, up to the whole file.
void TestSettings::splashFollowsTheFileBeforeItsEntries() {
    QByteArray file = "[Config]\r\nTextLength=300000\r\n[Content]\r\n";
    for (int i = 0; i < 300000; ++i)
        file += "word_" + QByteArray::number(i) + "=w\r\n";
    QVERIFY(writeAll(m_path, file));
    ReadingState st;
    TestView v(st);
    const SteppingClock clock(1);
    load(v, st, m_path, clock);
    QVERIFY2(v.fileProgress.size() >= 6, qPrintable(QString::number(v.fileProgress.size())));
    QVERIFY(std::is_sorted(v.fileProgress.begin(), v.fileProgress.end()));
    QVERIFY(v.fileProgress.front() > 0);
    QVERIFY(v.fileProgress.back() > 400 && v.fileProgress.back() <= 1000);
    QCOMPARE(st.entryCount, 300000);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
