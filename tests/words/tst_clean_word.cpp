// The cleaning of a word before it is compared with the library.
#include "words/clean_word.h"

#include <QtTest>

class TestClean : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleaned_data();
    void cleaned();
    void notIdempotent();
};

void TestClean::cleaned_data() {
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("plain word") << u"слово"_qs << u"слово"_qs;

    // One occurrence of each listed character; the space twice.
    QTest::newRow("three full stops") << u"..."_qs << u".."_qs;
    QTest::newRow("?!") << u"?!"_qs << QString();
    QTest::newRow("fifteen spaces")
        << QString(15, QLatin1Char(' ')) << QString(13, QLatin1Char(' '));
    QTest::newRow("first two spaces") << u"a  b  c"_qs << u"ab  c"_qs;
    QTest::newRow("first comma only") << u",a,"_qs << u"a,"_qs;
    QTest::newRow("every listed character once") << u" ,.\":!?-()[]\u201D\u201C;"_qs << QString();
    QTest::newRow("every listed character twice")
        << u"  ,,..\"\"::!!?\?--(())[[]]\u201D\u201D\u201C\u201C;;"_qs
        << u",.\":!?-()[]\u201D\u201C;"_qs;

    // Inside the word as well as at its ends.
    QTest::newRow("brackets") << u"(так)"_qs << u"так"_qs;
    QTest::newRow("hyphen inside") << u"кто-то"_qs << u"ктото"_qs;
    QTest::newRow("square brackets and semicolon") << u"[x];"_qs << u"x"_qs;
    QTest::newRow("curly quotes") << u"\u201Cцитата\u201D"_qs << u"цитата"_qs;
    QTest::newRow("straight quotes") << u"\"слово\""_qs << u"слово\""_qs;

    // Guillemets: « is looked for, » removed, « never.
    QTest::newRow("«слово»") << u"«слово»"_qs << u"«слово"_qs;
    QTest::newRow("«слово") << u"«слово"_qs << u"«слово"_qs;
    QTest::newRow("слово»") << u"слово»"_qs << u"слово»"_qs;
    QTest::newRow("»слово«") << u"»слово«"_qs << u"слово«"_qs;
    QTest::newRow("two closing") << u"«a»»"_qs << u"«a»"_qs;

    // Only ASCII capitals are lower-cased.
    QTest::newRow("Привет,") << u"Привет,"_qs << u"Привет"_qs;
    QTest::newRow("READ,") << u"READ,"_qs << u"read"_qs;
    QTest::newRow("A to Z") << u"AZ@[`{"_qs << u"az@`{"_qs;
    QTest::newRow("Ё and É stay") << u"ЁÉ"_qs << u"ЁÉ"_qs;

    // Characters not in the list stay.
    QTest::newRow("carriage return") << u"\r"_qs << u"\r"_qs;
    QTest::newRow("line feed") << u"\n"_qs << u"\n"_qs;
    QTest::newRow("apostrophe, digits, dashes, ellipsis")
        << u"it's 19–20 — …"_qs << u"it's19–20— …"_qs;
}

void TestClean::cleaned() {
    QFETCH(QString, word);
    QFETCH(QString, expected);
    QCOMPARE(cleanWord(word), expected);
}

void TestClean::notIdempotent() {
    const QString once = cleanWord(u"...(a))"_qs);
    QCOMPARE(once, u"..a)"_qs);
    QCOMPARE(cleanWord(once), u".a"_qs);
}

QTEST_APPLESS_MAIN(TestClean)
#include "tst_clean_word.moc"
