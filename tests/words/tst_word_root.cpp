// The stemmer's roots: they are the keys of users' library files, so every
// row here is an exact expected output.
#include "words/word_root.h"

#include <QtTest>

class TestRootOfWord : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roots_data();
    void roots();
    void caseDoesNotMatter_data();
    void caseDoesNotMatter();
};

void TestRootOfWord::roots_data() {
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("root");

    // Worked examples.
    QTest::newRow("читается") << u"читается"_qs << u"чит"_qs;
    QTest::newRow("ЧИТАЕТСЯ") << u"ЧИТАЕТСЯ"_qs << u"чит"_qs;
    QTest::newRow("читать") << u"читать"_qs << u"чит"_qs;
    QTest::newRow("reading") << u"reading"_qs << u"read"_qs;
    QTest::newRow("Running") << u"Running"_qs << u"runn"_qs;
    QTest::newRow("walks") << u"walks"_qs << u"walk"_qs;
    QTest::newRow("played") << u"played"_qs << u"play"_qs;
    QTest::newRow("красивая") << u"красивая"_qs << u"крас"_qs;
    QTest::newRow("учителями") << u"учителями"_qs << u"учител"_qs;
    QTest::newRow("радость") << u"радость"_qs << u"рад"_qs;
    QTest::newRow("ценность") << u"ценность"_qs << u"це"_qs;
    QTest::newRow("сделанный") << u"сделанный"_qs << u"дел"_qs;
    QTest::newRow("рост") << u"рост"_qs << u"ро"_qs;
    QTest::newRow("выходить") << u"выходить"_qs << u"ход"_qs;
    QTest::newRow("переписывались with spaces") << u"  переписывались  "_qs << u"писывалис"_qs;
    QTest::newRow("переподготовка") << u"переподготовка"_qs << u"готовк"_qs;
    QTest::newRow("подоконники") << u"подоконники"_qs << u"оконник"_qs;
    QTest::newRow("свет") << u"свет"_qs << u"в"_qs;
    QTest::newRow("стол") << u"стол"_qs << u"тол"_qs;
    QTest::newRow("aeiou") << u"aeiou"_qs << QString();
    QTest::newRow("мой") << u"мой"_qs << u"мой"_qs;
    QTest::newRow("are") << u"are"_qs << u"are"_qs;
    QTest::newRow("ocean") << u"ocean"_qs << u"ocean"_qs;
    QTest::newRow("читает") << u"читает"_qs << u"чит"_qs;

    // Trimming: characters up to U+0020 at both ends, nothing inside.
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("spaces and controls only") << u" \t\r\n\x01 "_qs << QString();
    QTest::newRow("line feed") << u"\n"_qs << QString();
    QTest::newRow("fifteen spaces") << QString(15, QLatin1Char(' ')) << QString();
    QTest::newRow("control characters around") << u"\x1F\tмой\r\n"_qs << u"мой"_qs;
    QTest::newRow("no-break space is not trimmed") << u"мой\u00A0"_qs << u"мой\u00A0"_qs;

    // Short words: only the prefix tests, once per pass.
    QTest::newRow("все") << u"все"_qs << u"е"_qs;
    QTest::newRow("во") << u"во"_qs << u"о"_qs;
    QTest::newRow("one letter в") << u"в"_qs << u"в"_qs;
    QTest::newRow("one letter я") << u"я"_qs << u"я"_qs;
    QTest::newRow("sing: ing needs five letters") << u"sing"_qs << u"sing"_qs;

    // Prefix tests feed each other.
    QTest::newRow("сосна") << u"сосна"_qs << u"н"_qs;
    QTest::newRow("перепод") << u"переподход"_qs << u"ход"_qs;

    // Vowel runs.
    QTest::newRow("vowels only, long") << u"ааааа"_qs << QString();
    QTest::newRow("яя") << u"яя"_qs << u"яя"_qs;
    QTest::newRow("vowels only, three") << u"аеи"_qs << u"аеи"_qs;
    QTest::newRow("mixed-script vowel run") << u"kafeа"_qs << u"kaf"_qs;

    // One-letter ending once per pass.
    QTest::newRow("walkss") << u"walkss"_qs << u"walk"_qs;
    QTest::newRow("walksss") << u"walksss"_qs << u"walks"_qs;
    QTest::newRow("Cyrillic с is no ending") << u"лесс"_qs << u"лесс"_qs;

    // Endings step: three-letter removes two, two-letter loops.
    QTest::newRow("привет") << u"привет"_qs << u"пр"_qs;

    // Characters outside the lists block the end tests.
    QTest::newRow("trailing quotation mark") << u"читается\""_qs << u"читается\""_qs;
    QTest::newRow("trailing digit") << u"читается1"_qs << u"читается1"_qs;

    // Membership is a substring of the list literal: pieces with a space match.
    QTest::newRow("space matches one-letter list") << u"abcd й"_qs << u"abcd"_qs;
    QTest::newRow("piece across separators") << u"zzz ов"_qs << u"zzz"_qs;
    QTest::newRow("prefix piece with a space") << u"а бвгд"_qs << u"бвгд"_qs;
}

void TestRootOfWord::roots() {
    QFETCH(QString, word);
    QFETCH(QString, root);
    QCOMPARE(wordRoot(word), root);
}

void TestRootOfWord::caseDoesNotMatter_data() {
    QTest::addColumn<QString>("word");
    QTest::newRow("Cyrillic") << u"переподготовка"_qs;
    QTest::newRow("ё") << u"ёлочками"_qs;
    QTest::newRow("Latin") << u"walking"_qs;
    QTest::newRow("mixed") << u"сДеЛаННыЙ"_qs;
}

void TestRootOfWord::caseDoesNotMatter() {
    QFETCH(QString, word);
    QCOMPARE(wordRoot(word.toUpper()), wordRoot(word));
    QCOMPARE(wordRoot(word.toLower()), wordRoot(word));
}

QTEST_APPLESS_MAIN(TestRootOfWord)
#include "tst_word_root.moc"
