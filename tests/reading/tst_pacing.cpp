// How long each entry stays on screen.
#include "reading/pacing.h"
#include "reading/reading_state.h"

#include <QtTest>

class TestPacing : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lengthClassesAtEverySpeed_data();
    void lengthClassesAtEverySpeed();
    void extensions_data();
    void extensions();
    void halvesRoundToEven_data();
    void halvesRoundToEven();
    void speedTableEdges();
};

void TestPacing::lengthClassesAtEverySpeed_data() {
    QTest::addColumn<int>("speedIndex");
    QTest::addColumn<QList<int>>("expected"); // <2, 2-5, 6-7, >=8, then the same with k = 2
    const QList<QList<int>> table = {
        {280, 224, 280, 364, 504, 448, 560, 728, 1008},
        {220, 176, 220, 286, 396, 352, 440, 572, 792},
        {200, 160, 200, 260, 360, 320, 400, 520, 720},
        {150, 120, 150, 195, 270, 240, 300, 390, 540},
        {142, 114, 142, 185, 256, 227, 284, 369, 511},
        {133, 106, 133, 173, 239, 213, 266, 346, 479},
        {100, 80, 100, 130, 180, 160, 200, 260, 360},
        {91, 73, 91, 118, 164, 146, 182, 237, 328},
        {82, 66, 82, 107, 148, 131, 164, 213, 295},
        {75, 60, 75, 98, 135, 120, 150, 195, 270},
        {70, 56, 70, 91, 126, 112, 140, 182, 252},
        {65, 52, 65, 84, 117, 104, 130, 169, 234},
        {60, 48, 60, 78, 108, 96, 120, 156, 216},
        {55, 44, 55, 72, 99, 88, 110, 143, 198},
        {50, 40, 50, 65, 90, 80, 100, 130, 180},
        {48, 38, 48, 62, 86, 77, 96, 125, 173},
        {46, 37, 46, 60, 83, 74, 92, 120, 166},
        {44, 35, 44, 57, 79, 70, 88, 114, 158},
    };
    for (int i = 0; i < table.size(); ++i)
        QTest::addRow("%d wpm", 150 + 50 * i) << i << table[i];
}

void TestPacing::lengthClassesAtEverySpeed() {
    QFETCH(int, speedIndex);
    QFETCH(QList<int>, expected);
    const int j = baseInterval(speedIndex);
    QCOMPARE(j, expected[0]);
    // Rests of 1, 5, 7 and 8 characters sit at the edges of the classes.
    const QStringList rests = {u"a"_qs, u"abcde"_qs, u"abcdefg"_qs, u"abcdefgh"_qs};
    for (int k = 1; k <= 2; ++k) {
        for (int c = 0; c < rests.size(); ++c)
            QCOMPARE(wordInterval(j, k, rests[c]), expected[1 + (k - 1) * 4 + c]);
    }
    QCOMPARE(wordInterval(j, 1, u""), expected[1]);
    QCOMPARE(wordInterval(j, 1, u"ab"), j);
    QCOMPARE(wordInterval(j, 1, u"abcdef"), expected[3]);
    QCOMPARE(wordInterval(j, 1, u"abcdefghijklmnop"), expected[4]);
}

void TestPacing::extensions_data() {
    QTest::addColumn<int>("j");
    QTest::addColumn<int>("k");
    QTest::addColumn<QString>("rest");
    QTest::addColumn<int>("interval");
    QTest::newRow("one-letter rest") << 150 << 1 << u"т"_qs << 120;
    QTest::newRow("question mark does not lengthen") << 150 << 1 << u"ла?"_qs << 150;
    QTest::newRow("comma") << 150 << 1 << u"вет,"_qs << 270;
    QTest::newRow("colon") << 150 << 1 << u"ab:"_qs << 270;
    QTest::newRow("semicolon") << 150 << 1 << u"ab;"_qs << 270;
    QTest::newRow("eight letters") << 150 << 1 << u"абвгдежз"_qs << 270;
    QTest::newRow("eight letters and a comma") << 150 << 1 << u"абвгдежз,"_qs << 486;
    QTest::newRow("blank entry") << 150 << 1 << u"        "_qs << 270;
    QTest::newRow("digit after colon") << 150 << 1 << u"9:"_qs << 486;
    QTest::newRow("one digit") << 150 << 1 << u"0"_qs << 216;
    QTest::newRow("digit and comma") << 150 << 1 << u"2,"_qs << 486;
    QTest::newRow("new digit and comma") << 150 << 2 << u"2,"_qs << 3888;
    QTest::newRow("doubling before rounding") << 142 << 2 << u"x"_qs << 227;
    QTest::newRow("zero base") << 0 << 2 << u"2,"_qs << 0;
}

void TestPacing::extensions() {
    QFETCH(int, j);
    QFETCH(int, k);
    QFETCH(QString, rest);
    QFETCH(int, interval);
    QCOMPARE(wordInterval(j, k, rest), interval);
}

void TestPacing::halvesRoundToEven_data() {
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("tenths");
    QTest::addColumn<int>("rounded");
    QTest::newRow("84.5 -> 84") << 65 << 13 << 84;
    QTest::newRow("71.5 -> 72") << 55 << 13 << 72;
    QTest::newRow("97.5 -> 98") << 75 << 13 << 98;
    QTest::newRow("227.2 -> 227") << 284 << 8 << 227;
    QTest::newRow("below half") << 141 << 8 << 113;
}

void TestPacing::halvesRoundToEven() {
    QFETCH(int, n);
    QFETCH(int, tenths);
    QFETCH(int, rounded);
    QCOMPARE(scaleRounded(n, tenths), qint64(rounded));
}

void TestPacing::speedTableEdges() {
    QCOMPARE(baseInterval(-1), -1);
    QCOMPARE(baseInterval(18), -1);
    QCOMPARE(baseInterval(0), 280);
    QCOMPARE(baseInterval(17), 44);
}

QTEST_GUILESS_MAIN(TestPacing)
#include "tst_pacing.moc"
