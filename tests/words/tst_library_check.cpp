// The learning-mode check: new and known words, and the index against a plain
// scan over a whole book.
#include "corpus.h"
#include "platform/codepage.h"
#include "reading/preparation.h"
#include "words/clean_word.h"
#include "words/library.h"
#include "words/word_root.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The learning-mode check as a plain scan over the whole library, comparing
// the cleaned entries with the cleaned root.
int scanCheck(QStringList& entries, QStringList& cleanedEntries, const QString& joined) {
    const QString root = wordRoot(cleanWord(joined));
    const QString cleanedRoot = cleanWord(root);
    // Stopping at the first match gives the result of the complete scan.
    for (const QString& e : std::as_const(cleanedEntries)) {
        if (e == cleanedRoot)
            return 1;
    }
    entries.append(root);
    cleanedEntries.append(cleanWord(root));
    return 2;
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

} // namespace

class TestLibraryCheck : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }
    void check_data();
    void check();
    void checkOfTheThreeParts();
    void rootWithQuoteMatchesItsEntry();
    void learningModeOffLeavesTheLibraryAlone();
    void indexAgreesWithScanOverABook();

private:
    QString path() const { return m_dir->filePath(QStringLiteral("library.txt")); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestLibraryCheck::check_data() {
    QTest::addColumn<QStringList>("library");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QList<int>>("results");
    QTest::addColumn<QStringList>("after");
    const QString blank = u"      "_qs + u" "_qs + u"        "_qs;

    // Blank and line-break entries have the empty root.
    QTest::newRow("blank entries") << QStringList{u"чит"_qs} << QStringList{blank, blank}
                                   << QList<int>{2, 1} << QStringList{u"чит"_qs, QString()};
    QTest::newRow("line-break entries") << QStringList{} << QStringList{u"\r"_qs, u"\n"_qs, blank}
                                        << QList<int>{2, 1, 1} << QStringList{QString()};
    QTest::newRow("empty entry already known")
        << QStringList{QString()} << QStringList{blank} << QList<int>{1} << QStringList{QString()};

    // Words and their forms.
    QTest::newRow("same word twice") << QStringList{} << QStringList{u"книга"_qs, u"книга"_qs}
                                     << QList<int>{2, 1} << QStringList{u"книг"_qs};
    QTest::newRow("forms of one word")
        << QStringList{} << QStringList{u"читает"_qs, u"читается,"_qs, u"Читать"_qs}
        << QList<int>{2, 1, 1} << QStringList{u"чит"_qs};
    QTest::newRow("punctuation around the word")
        << QStringList{} << QStringList{u"(reading)"_qs, u"READ."_qs} << QList<int>{2, 1}
        << QStringList{u"read"_qs};

    // Hand-edited entries are cleaned before the comparison.
    QTest::newRow("Latin capitals and comma")
        << QStringList{u"READ,"_qs} << QStringList{u"reading"_qs} << QList<int>{1}
        << QStringList{u"READ,"_qs};
    QTest::newRow("entry in brackets") << QStringList{u"(walk)"_qs} << QStringList{u"walks"_qs}
                                       << QList<int>{1} << QStringList{u"(walk)"_qs};
    QTest::newRow("Cyrillic capitals never match")
        << QStringList{u"ЧИТ"_qs} << QStringList{u"читает"_qs, u"читает"_qs} << QList<int>{2, 1}
        << QStringList{u"ЧИТ"_qs, u"чит"_qs};
    QTest::newRow("entry cleaned once only")
        << QStringList{u"read,,"_qs} << QStringList{u"read"_qs} << QList<int>{2}
        << QStringList{u"read,,"_qs, u"read"_qs};
}

void TestLibraryCheck::check() {
    QFETCH(QStringList, library);
    QFETCH(QStringList, shown);
    QFETCH(QList<int>, results);
    QFETCH(QStringList, after);
    WordLibrary lib;
    lib.setEntries(library);
    QList<int> got;
    for (const QString& joined : shown)
        got << lib.checkWord(joined, true);
    QCOMPARE(got, results);
    QCOMPARE(lib.entries(), after);
}

void TestLibraryCheck::checkOfTheThreeParts() {
    WordLibrary lib;
    QCOMPARE(lib.checkWord(u"      ", QLatin1Char(' '), u"        ", true), 2);
    QCOMPARE(lib.checkWord(u"ч", QChar(u'и'), u"тается", true), 2);
    QCOMPARE(lib.checkWord(u"", QLatin1Char('\r'), u"", true), 1);
    QCOMPARE(lib.checkWord(u"чит", QChar(u'а'), u"ть", true), 1);
    QCOMPARE(lib.entries(), (QStringList{QString(), u"чит"_qs}));
}

void TestLibraryCheck::rootWithQuoteMatchesItsEntry() {
    // The straight quotation mark behind the word survives one cleaning, so
    // the root keeps it; compared after the same cleaning as the entries, it
    // still finds its own entry.
    WordLibrary lib;
    const QString word = u"\"кот\""_qs;
    const QString root = wordRoot(cleanWord(word));
    QCOMPARE(root, u"кот\""_qs);
    QCOMPARE(lib.checkWord(word, true), 2);
    QCOMPARE(lib.checkWord(word, true), 1);
    QCOMPARE(lib.entries(), QStringList{root});
    // The cleaned entry matches the word without quotation marks, too.
    QCOMPARE(lib.checkWord(u"кот"_qs, true), 1);
    QCOMPARE(lib.entries().size(), 1);
}

void TestLibraryCheck::learningModeOffLeavesTheLibraryAlone() {
    WordLibrary lib;
    QCOMPARE(lib.checkWord(u"новое"_qs, false), 1);
    QCOMPARE(lib.checkWord(u"н", QChar(u'о'), u"вое", false), 1);
    QVERIFY(lib.entries().isEmpty());
    QCOMPARE(lib.checkWord(u"новое"_qs, true), 2);
}

void TestLibraryCheck::indexAgreesWithScanOverABook() {
    const QString text = corpus::read(QStringLiteral("ru_pushkin_kapitanskaya_dochka.txt"));
    QVERIFY(!text.isEmpty());
    WordSequence words;
    const int k = cutWhole(words, text);
    QVERIFY(k > 10000);

    // A hand-edited library: roots of words of the book spoiled in the ways
    // people spoil them, plus empty lines.
    QRandomGenerator rng(2024);
    QStringList start;
    for (int n = 0; n < 600; ++n) {
        QString e = wordRoot(cleanWord(words.joined(static_cast<int>(rng.bounded(k)))));
        switch (rng.bounded(7)) {
        case 0:
            e = e.toUpper();
            break;
        case 1:
            e += QLatin1Char(',');
            break;
        case 2:
            e = QLatin1Char('"') + e + QLatin1Char('"');
            break;
        case 3:
            e = QStringLiteral("READ") + e;
            break;
        case 4:
            e = QString();
            break;
        case 5:
            e = QLatin1Char('(') + e + QStringLiteral(").");
            break;
        default:
            break;
        }
        start << e;
    }
    QByteArray file;
    for (const QString& e : std::as_const(start))
        file += toCodePage(e) + (rng.bounded(2) ? QByteArray("\r\n") : QByteArray("\n"));
    QVERIFY(writeBytes(path(), file));

    WordLibrary lib;
    QCOMPARE(lib.load(path()), QString());
    QCOMPARE(lib.entries(), start);
    QStringList refLarr = start;
    QStringList refCleaned;
    for (const QString& e : std::as_const(start))
        refCleaned << cleanWord(e);

    int known = 0;
    for (int i = 0; i < k; ++i) {
        const bool learning = rng.bounded(10) != 0;
        const int expected = learning ? scanCheck(refLarr, refCleaned, words.joined(i)) : 1;
        const int got = lib.checkWord(words.left(i), words.letter(i), words.rest(i), learning);
        if (got != expected)
            QFAIL(qPrintable(QStringLiteral("entry %1 \"%2\"").arg(i).arg(words.joined(i))));
        known += got == 1 ? 1 : 0;
    }
    QCOMPARE(lib.entries(), refLarr);
    QVERIFY(known > k / 2);
    QVERIFY(refLarr.size() > start.size() + 1000);
}

QTEST_MAIN(TestLibraryCheck)
#include "tst_library_check.moc"
