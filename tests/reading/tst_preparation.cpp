// The cutting of a text into the word sequence, on hand-made texts and real books.
#include "corpus.h"
#include "reading/preparation.h"

#include <QtTest>

namespace {

// An entry written as left/letter/rest; blank entries as "blank", line-break
// entries as "CR" or "LF".
QString describe(const WordSequence& s, int i) {
    if (s.isBlank(i))
        return QStringLiteral("blank");
    if (s.left(i).isEmpty() && s.rest(i).isEmpty()) {
        if (s.letter(i) == QLatin1Char('\r'))
            return QStringLiteral("CR");
        if (s.letter(i) == QLatin1Char('\n'))
            return QStringLiteral("LF");
    }
    QString rest = s.rest(i).toString();
    rest.replace(QLatin1Char('\r'), QStringLiteral("+CR"));
    return s.left(i).toString() + QLatin1Char('/') + s.letter(i) + QLatin1Char('/') + rest;
}

// The entries up to the end of the sequence, as the word tick sees them.
QStringList entries(const WordSequence& s) {
    QStringList out;
    for (int i = 0; i < s.written(); ++i)
        out << describe(s, i);
    return out;
}

} // namespace

class TestPreparation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cutting_data();
    void cutting();
    void entryCount_data();
    void entryCount();
    void startTextLineBreaks_data();
    void startTextLineBreaks();
    void slicesGiveTheSameSequence();
    void realBookEntriesAreViewsOfTheText();
};

void TestPreparation::cutting_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    const QString word = QStringLiteral("раз два ");

    // Splitting around the recognition letter.
    QTest::newRow("three letters, consonant second") << u"кот "_qs << QStringList{u"к/о/т"_qs};
    QTest::newRow("three letters, vowel second") << u"три "_qs << QStringList{u"/т/ри"_qs};
    QTest::newRow("vowel first") << u"она "_qs << QStringList{u"/о/на"_qs};
    QTest::newRow("two letters") << u"Он "_qs << QStringList{u"/О/н"_qs};
    QTest::newRow("мир") << u"мир "_qs << QStringList{u"м/и/р"_qs};
    QTest::newRow("capital first") << u"Мир "_qs << QStringList{u"М/и/р"_qs};
    QTest::newRow("upper-case vowel does not count") << u"МИР "_qs << QStringList{u"/М/ИР"_qs};
    QTest::newRow("ё does not count") << u"ещё "_qs << QStringList{u"/е/щё"_qs};
    QTest::newRow("ы does not count") << u"сыр "_qs << QStringList{u"/с/ыр"_qs};
    QTest::newRow("trailing comma counts") << u"слово, "_qs << QStringList{u"с/л/ово,"_qs};
    QTest::newRow("brackets") << u"(слово) "_qs << QStringList{u"(с/л/ово)"_qs};
    QTest::newRow("thirteen letters") << u"достопримечат "_qs << QStringList{u"дост/о/примечат"_qs};

    // Delimiters.
    QTest::newRow("hyphen splits") << u"кто-то "_qs << QStringList{u"к/т/о-"_qs, u"/т/о"_qs};
    QTest::newRow("lone hyphen") << u"а - б "_qs << QStringList{u"/а/"_qs, u"/-/"_qs, u"/б/"_qs};
    QTest::newRow("time of day") << u"19:00 "_qs << QStringList{u"/1/9:"_qs, u"/0/0"_qs};
    QTest::newRow("tab and long dash stay in the word")
        << u"a\tb — c "_qs << QStringList{u"/a/\tb"_qs, u"/—/"_qs, u"/c/"_qs};
    QTest::newRow("last word without delimiter is never stored")
        << u"раз два"_qs << QStringList{u"р/а/з"_qs};

    // Sentence ends.
    QTest::newRow("sentence ends with final space")
        << u"Привет, мир. Как дела? "_qs
        << QStringList{u"Пр/и/вет,"_qs, u"м/и/р."_qs,  u"blank"_qs, u"blank"_qs,
                       u"К/а/к"_qs,     u"д/е/ла?"_qs, u"blank"_qs, u"blank"_qs};
    QTest::newRow("sentence ends without final space")
        << u"Привет, мир. Как дела?"_qs
        << QStringList{u"Пр/и/вет,"_qs, u"м/и/р."_qs, u"blank"_qs,
                       u"blank"_qs,     u"К/а/к"_qs,  u"д/е/ла?"_qs};

    // Line breaks (the text box gives CR LF).
    QTest::newRow("word then line break")
        << word + u"слово\r\nдругое "_qs
        << QStringList{u"р/а/з"_qs, u"/д/ва"_qs, u"с/л/ово+CR"_qs, u"LF"_qs,
                       u"blank"_qs, u"blank"_qs, u"д/р/угое"_qs};
    QTest::newRow("space then line break")
        << word + u"слово \r\nдругое "_qs
        << QStringList{u"р/а/з"_qs, u"/д/ва"_qs, u"с/л/ово"_qs, u"CR"_qs,
                       u"blank"_qs, u"blank"_qs, u"д/р/угое"_qs};
    QTest::newRow("several line breaks give the same as one")
        << word + u"слово\r\n\r\n\r\nдругое "_qs
        << QStringList{u"р/а/з"_qs, u"/д/ва"_qs, u"с/л/ово+CR"_qs, u"LF"_qs,
                       u"blank"_qs, u"blank"_qs, u"д/р/угое"_qs};
    QTest::newRow("sentence end then line break")
        << word + u"конец.\r\nначало "_qs << QStringList{u"р/а/з"_qs, u"/д/ва"_qs, u"к/о/нец."_qs,
                                                         u"blank"_qs, u"blank"_qs, u"н/а/чало"_qs};
    QTest::newRow("sentence end then line break at the beginning")
        << u"конец.\r\nначало "_qs
        << QStringList{u"к/о/нец."_qs, u"blank"_qs, u"blank"_qs, u"н/а/чало"_qs};
    QTest::newRow("line break at the very beginning")
        << u"слово\r\nдругое "_qs << QStringList{u"с/л/ово+CR"_qs, u"LF"_qs, u"д/р/угое"_qs};
    QTest::newRow("text beginning with line breaks")
        << u"\r\n\r\nраз "_qs << QStringList{u"CR"_qs, u"LF"_qs, u"р/а/з"_qs};
    // The given-back slot keeps its entry until overwritten: here nothing
    // overwrites it, so the word tick still sees it as the last entry.
    QTest::newRow("given-back slot at the end")
        << word + u"конец.\r\n "_qs << QStringList{u"р/а/з"_qs, u"/д/ва"_qs, u"к/о/нец."_qs,
                                                   u"blank"_qs, u"blank"_qs, u"LF"_qs};
}

void TestPreparation::cutting() {
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    WordSequence s;
    Preparation p(s, text);
    p.runToEnd();
    QCOMPARE(entries(s), expected);
    QVERIFY(p.finished());
}

void TestPreparation::entryCount_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("k");
    QTest::addColumn<int>("written");
    QTest::newRow("given-back slot is not counted") << u"раз два конец.\r\n "_qs << 5 << 6;
    QTest::newRow("plain words") << u"раз два три "_qs << 3 << 3;
    QTest::newRow("only spaces") << u"          "_qs << 0 << 0;
}

void TestPreparation::entryCount() {
    QFETCH(QString, text);
    QFETCH(int, k);
    QFETCH(int, written);
    WordSequence s;
    Preparation p(s, text);
    p.runToEnd();
    QCOMPARE(p.filled(), k);
    QCOMPARE(s.written(), written);
}

void TestPreparation::startTextLineBreaks_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("cut");
    QTest::newRow("CR LF stays") << u"a\r\nb"_qs << u"a\r\nb"_qs;
    QTest::newRow("LF") << u"a\nb"_qs << u"a\r\nb"_qs;
    QTest::newRow("lone CR") << u"a\rb"_qs << u"a\r\nb"_qs;
    QTest::newRow("LF CR is two breaks") << u"a\n\rb"_qs << u"a\r\n\r\nb"_qs;
    QTest::newRow("paragraph separator") << u"a\u2029b"_qs << u"a\r\nb"_qs;
    QTest::newRow("no-break space kept") << u"a\u00a0b"_qs << u"a\u00a0b"_qs;
}

void TestPreparation::startTextLineBreaks() {
    QFETCH(QString, box);
    QFETCH(QString, cut);
    QCOMPARE(startText(box), cut);
}

void TestPreparation::slicesGiveTheSameSequence() {
    const QString text = corpus::read(QStringLiteral("ru_blok_dvenadtsat.txt"));
    QVERIFY(!text.isEmpty());
    WordSequence whole;
    const int k = cutWhole(whole, text);
    WordSequence sliced;
    Preparation p(sliced, startText(text));
    while (!p.step(7)) {
    }
    QCOMPARE(p.filled(), k);
    QCOMPARE(entries(sliced), entries(whole));
}

void TestPreparation::realBookEntriesAreViewsOfTheText() {
    // Every word entry is the text between two delimiters, split so that the
    // letter is one character and nothing is lost or duplicated.
    const QString text = corpus::read(QStringLiteral("ru_pushkin_kapitanskaya_dochka.txt"));
    QVERIFY(!text.isEmpty());
    WordSequence s;
    const int k = cutWhole(s, text);
    QVERIFY(k > 33793); // words plus pauses
    int words = 0;
    for (int i = 0; i < k; ++i) {
        if (s.isBlank(i))
            continue;
        const QString joined = s.joined(i);
        QCOMPARE(s.left(i).toString() + s.letter(i) + s.rest(i).toString(), joined);
        QVERIFY2(!joined.contains(QLatin1Char(' ')), qPrintable(joined));
        ++words;
    }
    QVERIFY(words > 30000);
}

QTEST_GUILESS_MAIN(TestPreparation)
#include "tst_preparation.moc"
