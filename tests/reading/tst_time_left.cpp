// The time a stretch of the word sequence stays on screen, against the sum of
// the intervals the word tick sets.
#include "corpus.h"
#include "reading/pacing.h"
#include "reading/preparation.h"
#include "reading/reading_state.h"
#include "reading/time_left.h"

#include <QFileInfo>
#include <QtTest>

namespace {

qint64 sumOfIntervals(const WordSequence& words, int first, int baseMs) {
    qint64 sum = 0;
    for (int i = first; i < words.written(); ++i)
        sum += wordInterval(baseMs, 1, words.rest(i));
    return sum;
}

} // namespace

class TestTimeLeft : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void equalsTheSumOfIntervals_data();
    void equalsTheSumOfIntervals();
    void followsASequenceBeingCut();
    void stretchesAndBounds();
};

void TestTimeLeft::equalsTheSumOfIntervals_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("speedIndex");
    for (const QString& path : corpus::files()) {
        for (int speed : {0, 7, 17})
            QTest::addRow("%s at %d", qPrintable(QFileInfo(path).fileName()), speed)
                << path << speed;
    }
}

void TestTimeLeft::equalsTheSumOfIntervals() {
    QFETCH(QString, path);
    QFETCH(int, speedIndex);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    WordSequence words;
    cutWhole(words, QString::fromUtf8(file.readAll()));
    PaceProfile profile;
    profile.update(words);
    const int n = words.written();
    QCOMPARE(profile.size(), n);
    const int base = baseInterval(speedIndex);
    for (int position : {0, 1, 255, 256, 257, n / 3, n - 1, n})
        QCOMPARE(profile.durationMs(position, n, base),
                 sumOfIntervals(words, qBound(0, position, n), base));
}

// Updated after every slice of a cut, slots given back included, the profile
// counts what a profile of the finished sequence counts.
void TestTimeLeft::followsASequenceBeingCut() {
    const QString text = startText(
        u"Начало.\n\nслово\nещё слово, и 12:00 \n\n\nконец.\r\n Дальше-то что? Ничего.\n"_qs
            .repeated(300));
    WordSequence words;
    Preparation preparation(words, text);
    PaceProfile growing;
    while (!preparation.step(7))
        growing.update(words);
    growing.update(words);
    PaceProfile whole;
    whole.update(words);
    QCOMPARE(growing.size(), words.written());
    for (int position : {0, 100, words.written() / 2})
        QCOMPARE(growing.durationMs(position, words.written(), 150),
                 whole.durationMs(position, words.written(), 150));
    QCOMPARE(growing.durationMs(0, words.written(), 150), sumOfIntervals(words, 0, 150));

    // Another sequence is counted from its own start.
    Preparation other(words, startText(u"Совсем другой текст. "_qs));
    other.runToEnd();
    growing.update(words);
    QCOMPARE(growing.size(), words.written());
    QCOMPARE(growing.durationMs(0, words.written(), 150), sumOfIntervals(words, 0, 150));
}

void TestTimeLeft::stretchesAndBounds() {
    WordSequence words;
    cutWhole(words, u"Привет, мир. Как дела? Я 12, хорошо\n"_qs);
    PaceProfile profile;
    QCOMPARE(profile.durationMs(0, 10, 150), 0); // nothing counted yet
    profile.update(words);
    // Entries 0 and 1: Пр/и/вет, 270 ms and м/и/р. 150 ms; a digit and a comma 486 ms.
    QCOMPARE(profile.durationMs(0, 2, 150), 420);
    QCOMPARE(profile.durationMs(9, 10, 150), 486);
    QCOMPARE(profile.durationMs(5, 5, 150), 0);
    QCOMPARE(profile.durationMs(7, 3, 150), 0);
    QCOMPARE(profile.durationMs(-5, 2, 150), 420);
    QCOMPARE(profile.durationMs(0, 1000, 150), profile.durationMs(0, words.written(), 150));
    QCOMPARE(profile.durationMs(0, words.written(), 0), 0);
    profile.clear();
    QCOMPARE(profile.size(), 0);
}

QTEST_GUILESS_MAIN(TestTimeLeft)
#include "tst_time_left.moc"
