// A book's fingerprint and place across the forms it comes in: the text as
// opened, the text restored from the settings file, the text pasted again.
#include "corpus.h"
#include "platform/clock.h"
#include "platform/time_format.h"
#include "reading/book_identity.h"
#include "reading/preparation.h"
#include "storage/memory_settings_view.h"
#include "storage/settings.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

class FixedClock : public Clock {
public:
    QDateTime now() const override { return QDateTime(QDate(2026, 1, 1), QTime(12, 0)); }
};

// The text box's text after the book `text` was started, saved to the
// settings file and restored from it.
QString restoredText(const QString& text) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kestrix.ini"));
    WordSequence words;
    const int n = cutWhole(words, text);
    const QString error = writeSettings(path, SettingsRecord{false, {}, 3, n, 0, {}, false}, words);
    if (!error.isEmpty())
        return error;
    MemorySettingsView view;
    ReadingState state;
    loadSettings(view, state, path, FixedClock(), TimeFormat());
    return view.text;
}

QString fingerprintOf(const QString& textBoxText) {
    return bookFingerprint(startText(textBoxText));
}

} // namespace

class TestBookIdentity : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sameBook_data();
    void sameBook();
    void textAndSequenceAgree_data();
    void textAndSequenceAgree();
    void placeAcrossForms_data();
    void placeAcrossForms();
    void wordCounterFollows();
};

void TestBookIdentity::sameBook_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("same");
    const QString text = QStringLiteral("Привет, мир. Как дела?\n\n«Хорошо», — сказал он. "
                                        "\"Да\" и кто-то ещё.\nКонец. ");
    QTest::newRow("restored") << text << restoredText(text) << true;
    QTest::newRow("restored twice") << text << restoredText(restoredText(text)) << true;
    QString spaced = text;
    spaced.replace(QLatin1Char(' '), QStringLiteral("  \t"));
    QTest::newRow("other white space") << text << spaced << true;
    QTest::newRow("line breaks as CR LF")
        << text << QString(text).replace(QLatin1Char('\n'), QStringLiteral("\r\n")) << true;
    QTest::newRow("a word changed") << text << QString(text).replace(u"мир"_qs, u"мор"_qs) << false;
    QTest::newRow("a word more") << text << text + QStringLiteral("Ещё. ") << false;
    QTest::newRow("the unstored tail differs")
        << text + QStringLiteral("хвост") << text + QStringLiteral("другой") << true;
}

void TestBookIdentity::sameBook() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, same);
    QCOMPARE(fingerprintOf(first) == fingerprintOf(second), same);
}

void TestBookIdentity::textAndSequenceAgree_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("short") << QStringLiteral("Раз, два. Три\r\n\r\nчетыре - пять ");
    QTest::newRow("no delimiter at the end") << QStringLiteral("Раз два три");
    QTest::newRow("tabs") << QStringLiteral("a\tb c\t\n d. ");
    const QStringList books = corpus::files();
    if (!books.isEmpty())
        QTest::newRow("smallest book") << corpus::read(books.first().section(u'/', -1));
}

void TestBookIdentity::textAndSequenceAgree() {
    QFETCH(QString, text);
    WordSequence words;
    const int n = cutWhole(words, text);
    QCOMPARE(bookFingerprint(words, n), fingerprintOf(text));
}

void TestBookIdentity::placeAcrossForms_data() {
    QTest::addColumn<int>("position");
    for (int p : {0, 1, 7, 8, 15, 22})
        QTest::addRow("entry %d", p) << p;
}

void TestBookIdentity::placeAcrossForms() {
    QFETCH(int, position);
    const QString text = QStringLiteral("Один два. Три\n\nчетыре, пять!\n\"Шесть\" семь-восемь; "
                                        "девять\n\n\nдесять. Одиннадцать двенадцать. ");
    WordSequence opened;
    cutWhole(opened, text);
    QVERIFY(position < opened.written());
    const int words = wordsBefore(opened, position);
    const QString restored = restoredText(text);
    WordSequence again;
    cutWhole(again, restored);
    const int there = entryOfWord(startText(restored), words);
    QVERIFY(again.holds(there));
    // The same word, or the word after a pause the place stood on.
    int word = position;
    while (!isWordEntry(opened, word))
        ++word;
    QCOMPARE(again.joined(there).trimmed(), opened.joined(word).trimmed());
    QCOMPARE(wordsBefore(again, there), words);
}

void TestBookIdentity::wordCounterFollows() {
    WordSequence words;
    cutWhole(words, QStringLiteral("Раз два. Три\n\nчетыре пять шесть. Семь "));
    WordCounter counter;
    for (int p : {0, 3, 9, 2, 11, 11, 5})
        QCOMPARE(counter.wordsBefore(words, p), wordsBefore(words, p));
    WordSequence other;
    cutWhole(other, QStringLiteral("а б в г "));
    QCOMPARE(counter.wordsBefore(other, 3), 3);
}

QTEST_GUILESS_MAIN(TestBookIdentity)
#include "tst_book_identity.moc"
