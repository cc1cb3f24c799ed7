// The rules of the paused position: the entry shown, stepping by words and
// sentences, the stretch of text the context panel shows and the entry a
// clicked character belongs to.
#include "corpus.h"
#include "reading/preparation.h"
#include "reading/reading_context.h"

#include <QtTest>

namespace {

// The word as the reader sees it: the entry without its line break.
QString word(const WordSequence& s, int i) {
    if (i < 0)
        return QStringLiteral("-");
    QString w = s.joined(i);
    while (w.endsWith(QLatin1Char('\r')) || w.endsWith(QLatin1Char('\n')))
        w.chop(1);
    return w;
}

// The entry of the `nth` word entry spelled `w` (the first by default).
int entryOf(const WordSequence& s, const QString& w, int nth = 0) {
    for (int i = 0; i < s.written(); ++i) {
        if (ReadingContext::isWord(s, i) && word(s, i) == w && nth-- == 0)
            return i;
    }
    return -1;
}

} // namespace

class TestReadingContext : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void shownEntry_data();
    void shownEntry();
    void stepping_data();
    void stepping();
    void span_data();
    void span();
    void clickedCharacter_data();
    void clickedCharacter();
    void everyEntryOfARealBookMapsBack();
};

void TestReadingContext::shownEntry_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("after"); // the word before the position ("" : position 0)
    QTest::addColumn<int>("ahead");     // entries from there to the position
    QTest::addColumn<QString>("shown");
    QTest::newRow("a word: itself") << u"Раз два три"_qs << u"Раз"_qs << 1 << u"два"_qs;
    QTest::newRow("the pause after a sentence end: the word before")
        << u"Раз два. Три"_qs << u"два."_qs << 1 << u"два."_qs;
    QTest::newRow("the second blank of the pause")
        << u"Раз два. Три"_qs << u"два."_qs << 2 << u"два."_qs;
    QTest::newRow("a line break: the word before")
        << u"Раз два\nТри"_qs << u"два"_qs << 1 << u"два"_qs;
    QTest::newRow("a line break first: the word after")
        << u"\nРаз два"_qs << QString() << 0 << u"Раз"_qs;
    QTest::newRow("past the end: the last word") << u"Раз два"_qs << u"два"_qs << 5 << u"два"_qs;
    QTest::newRow("no word at all") << u"\n\n"_qs << QString() << 0 << u"-"_qs;
}

void TestReadingContext::shownEntry() {
    QFETCH(QString, text);
    QFETCH(QString, after);
    QFETCH(int, ahead);
    QFETCH(QString, shown);
    WordSequence s;
    cutWhole(s, QString(text + u' ')); // a word counts once a delimiter ends it
    const int position = (after.isEmpty() ? 0 : entryOf(s, after)) + ahead;
    QCOMPARE(word(s, ReadingContext::shownEntry(s, position)), shown);
}

void TestReadingContext::stepping_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("step"); // right, left or sentence
    QTest::addColumn<QString>("to");   // "-": nowhere to go
    const QString two = u"Раз два. Три четыре пять! Шесть"_qs;
    QTest::newRow("right over a sentence's pause") << two << u"два."_qs << u"right"_qs << u"Три"_qs;
    QTest::newRow("left over a sentence's pause") << two << u"Три"_qs << u"left"_qs << u"два."_qs;
    QTest::newRow("right at the last word") << two << u"Шесть"_qs << u"right"_qs << u"-"_qs;
    QTest::newRow("left at the first word") << two << u"Раз"_qs << u"left"_qs << u"-"_qs;
    QTest::newRow("right over a line break")
        << u"Раз два\r\n\r\nТри"_qs << u"два"_qs << u"right"_qs << u"Три"_qs;
    QTest::newRow("sentence from its last word")
        << two << u"пять!"_qs << u"sentence"_qs << u"Три"_qs;
    QTest::newRow("sentence from its first word: the one before")
        << two << u"Три"_qs << u"sentence"_qs << u"Раз"_qs;
    QTest::newRow("sentence from the text's first word: stays")
        << two << u"Раз"_qs << u"sentence"_qs << u"Раз"_qs;
    QTest::newRow("a paragraph break ends a sentence")
        << u"Глава первая\r\nТекст идёт"_qs << u"идёт"_qs << u"sentence"_qs << u"Текст"_qs;
    QTest::newRow("the heading is the sentence before")
        << u"Глава первая\r\nТекст идёт"_qs << u"Текст"_qs << u"sentence"_qs << u"Глава"_qs;
    const QString wrapped = u"Во всякой книге предисловие есть первая и вместе\r\n"
                            u"с тем последняя вещь; оно служит объяснением"_qs;
    QTest::newRow("a line broken inside a paragraph does not end a sentence")
        << wrapped << u"служит"_qs << u"sentence"_qs << u"Во"_qs;
    QTest::newRow("an indented line begins a paragraph")
        << u"Во всякой книге предисловие есть первая и вместе\r\n  с тем последняя"_qs << u"тем"_qs
        << u"sentence"_qs << u"с"_qs;
    QTest::newRow("a comma does not end a sentence")
        << u"Раз, два, три"_qs << u"три"_qs << u"sentence"_qs << u"Раз,"_qs;
}

void TestReadingContext::stepping() {
    QFETCH(QString, text);
    QFETCH(QString, from);
    QFETCH(QString, step);
    QFETCH(QString, to);
    WordSequence s;
    cutWhole(s, QString(text + u' ')); // a word counts once a delimiter ends it
    const int at = entryOf(s, from);
    QVERIFY(at >= 0);
    const int moved = step == u"right"  ? ReadingContext::nextWord(s, at)
                      : step == u"left" ? ReadingContext::previousWord(s, at)
                                        : ReadingContext::sentenceStart(s, at);
    QCOMPARE(word(s, moved), to);
}

void TestReadingContext::span_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    // Five words either side, a paragraph break ends a side after three.
    const QString sentences = u"w1 w2 w3. w4 w5 w6 w7 w8 w9 w10. w11 w12 w13 w14 w15 w16"_qs;
    QTest::newRow("counts run out: cut at sentence ends")
        << sentences << u"w8"_qs << u"w4"_qs << u"w10."_qs;
    QTest::newRow("near the beginning: from the first word")
        << sentences << u"w2"_qs << u"w1"_qs << u"w3."_qs;
    QTest::newRow("within one long sentence: the counts alone")
        << u"a b c d e f g h i j k l m n"_qs << u"g"_qs << u"b"_qs << u"l"_qs;
    QTest::newRow("a paragraph break ends a side with enough words")
        << u"a1 a2 a3 a4 a5\r\nb1 b2"_qs << u"a2"_qs << u"a1"_qs << u"a5"_qs;
    QTest::newRow("a short side goes on into the next paragraph")
        << u"a1 a2 a3 a4 a5\r\nb1 b2\r\nc1"_qs << u"a4"_qs << u"a1"_qs << u"b2"_qs;
    QTest::newRow("a line broken inside a paragraph: the counts alone")
        << u"w1 w2. w3 w4 w5 w6 w7 w8 w9 w10 w11 w12 w13 w14 w15 w16 w17 w18 w19\r\n"
           u"w20 w21 w22"_qs
        << u"w17"_qs << u"w12"_qs << u"w22"_qs;
    QTest::newRow("the text's only word")
        << u"слово"_qs << u"слово"_qs << u"слово"_qs << u"слово"_qs;
}

void TestReadingContext::span() {
    QFETCH(QString, text);
    QFETCH(QString, current);
    QFETCH(QString, first);
    QFETCH(QString, last);
    WordSequence s;
    cutWhole(s, QString(text + u' ')); // a word counts once a delimiter ends it
    const ContextSpan span = ReadingContext::spanAround(s, entryOf(s, current), 5, 3);
    QVERIFY(!span.isEmpty());
    QCOMPARE(word(s, span.entries.front()), first);
    QCOMPARE(word(s, span.entries.back()), last);
    QCOMPARE(word(s, span.current), current);
    // The panel's text is the text between, character for character.
    const QString shown = ReadingContext::panelText(s, span);
    QCOMPARE(shown.size(), span.end - span.begin);
    QVERIFY(!shown.contains(QLatin1Char('\r')) && !shown.contains(QLatin1Char('\n')));
    QVERIFY(shown.startsWith(first));
    QVERIFY(shown.endsWith(last));
}

void TestReadingContext::clickedCharacter_data() {
    QTest::addColumn<int>("offset"); // into the panel's text
    QTest::addColumn<QString>("entry");
    // The panel's text: "Раз два.  Три\r\nчетыре" from its first character.
    QTest::newRow("first letter") << 0 << u"Раз"_qs;
    QTest::newRow("last letter") << 2 << u"Раз"_qs;
    QTest::newRow("the blank after a word: that word") << 3 << u"Раз"_qs;
    QTest::newRow("the full stop") << 7 << u"два."_qs;
    QTest::newRow("between sentences") << 9 << u"два."_qs;
    QTest::newRow("the line break") << 13 << u"Три"_qs;
    QTest::newRow("after the line break") << 15 << u"четыре"_qs;
    QTest::newRow("past the end") << 100 << u"четыре"_qs;
    QTest::newRow("before the beginning") << -5 << u"Раз"_qs;
}

void TestReadingContext::clickedCharacter() {
    QFETCH(int, offset);
    QFETCH(QString, entry);
    WordSequence s;
    cutWhole(s, u"Раз два.  Три\r\nчетыре "_qs);
    const ContextSpan span = ReadingContext::spanAround(s, entryOf(s, u"два."_qs));
    QCOMPARE(span.begin, 0);
    QCOMPARE(word(s, span.entryAt(span.begin + offset)), entry);
}

// On War and Peace: every tenth stretch the panel could show holds its
// current word, marked where it stands, and every character of a word maps
// back to that word's entry.
void TestReadingContext::everyEntryOfARealBookMapsBack() {
    WordSequence s;
    cutWhole(s, corpus::read(u"ru_tolstoy_voina_i_mir.txt"_qs));
    QVERIFY(s.written() > 100000);
    int checked = 0;
    for (int e = 0; e < s.written(); e += 4999) {
        const int entry = ReadingContext::shownEntry(s, e);
        const ContextSpan span = ReadingContext::spanAround(s, entry);
        QVERIFY(span.covers(entry));
        QVERIFY(span.end - span.begin <= ReadingContext::maxCharacters);
        QVERIFY(span.entries.size() <= 2 * ReadingContext::wordsEachSide + 1);
        const QString shown = ReadingContext::panelText(s, span);
        const auto [start, length] = ReadingContext::wordRange(s, span, entry);
        QCOMPARE(shown.mid(start, length), word(s, entry));
        for (qsizetype i = 0; i < span.entries.size(); ++i) {
            const int w = span.entries[i];
            const qsizetype wordEnd = span.starts[i] + word(s, w).size() - 1;
            QCOMPARE(span.entryAt(span.starts[i]), w);
            QCOMPARE(span.entryAt(wordEnd), w);
        }
        ++checked;
    }
    QVERIFY(checked > 20);
}

QTEST_APPLESS_MAIN(TestReadingContext)
#include "tst_reading_context.moc"
