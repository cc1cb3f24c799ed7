// What the program writes it reads back whole: a book above the sizes the
// reader once cut, a saved book with a damaged byte, quotation marks and tabs;
// word libraries in every encoding they come in, and roots that the 8-bit code
// page or the cleaning used to lose.
#include "settings_fixture.h"

#include "corpus.h"
#include "platform/codepage.h"
#include "reading/preparation.h"
#include "words/library.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// A text of `entries` words in a few shapes, cut without any pause.
QString generatedBook(int entries) {
    const QString words[] = {QStringLiteral("слово"), QStringLiteral("\"Да\""),
                             QStringLiteral("'ушёл'"), QStringLiteral("\tпрочь"),
                             QStringLiteral("сказал,")};
    QString text;
    text.reserve(qsizetype(entries) * 8);
    for (int i = 0; i < entries; ++i) {
        text += words[i % 5];
        text += QLatin1Char(' ');
    }
    return text;
}

// The word of an entry without the line break the preparation left at its
// end, which comes back as the entry after it; a pause is empty.
QStringView wordOf(const WordSequence& s, int i) {
    if (s.isBlank(i))
        return {};
    QStringView w(s.left(i).data(), s.left(i).size() + 1 + s.rest(i).size());
    while (w.endsWith(QLatin1Char('\r')) || w.endsWith(QLatin1Char('\n')))
        w.chop(1);
    return w;
}

} // namespace

class TestFilesRoundTrip : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void settingsComeBack_data();
    void settingsComeBack();
    void libraryComesBack_data();
    void libraryComesBack();
};

void TestFilesRoundTrip::settingsComeBack_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("damaged");
    QTest::addColumn<qint64>("fileAbove");
    QTest::newRow("quotation marks and tabs")
        << QStringLiteral("Он сказал \"Да\" и 'ушёл' \tпрочь ") << false << qint64(0);
    QTest::newRow("a book above 64 MiB and 4 M lines")
        << generatedBook(4 * 1024 * 1024 + 50000) << false << qint64(64) * 1024 * 1024;
    QTest::newRow("a saved novel with one byte 0xFF")
        << corpus::read(QStringLiteral("ru_lermontov_geroi_nashego_vremeni.txt")) << true
        << qint64(0);
}

void TestFilesRoundTrip::settingsComeBack() {
    QFETCH(QString, text);
    QFETCH(bool, damaged);
    QFETCH(qint64, fileAbove);
    QVERIFY(!text.isEmpty());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kestrix.ini"));
    ReadingState saved;
    saved.entryCount = cutWhole(saved.words, text);
    saved.position = saved.entryCount - 1;
    TestView v(saved);
    saveSettings(v, saved, path);
    QCOMPARE(v.messages, QStringList());
    QVERIFY(QFileInfo(path).size() > fileAbove);
    if (damaged) {
        QByteArray bytes = readAll(path);
        qsizetype middle = bytes.size() / 2;
        while (uchar(bytes[middle]) < 0x80) // inside a Cyrillic letter
            ++middle;
        bytes[middle] = '\xFF';
        QVERIFY(writeAll(path, bytes));
    }

    ReadingState back;
    TestView bv(back);
    FixedClock clock;
    load(bv, back, path, clock);
    QCOMPARE(bv.messages, QStringList());
    QCOMPARE(back.entryCount, saved.entryCount);
    QCOMPARE(back.position, saved.entryCount - 1);
    WordSequence after;
    QVERIFY(cutWhole(after, bv.text) >= saved.entryCount);
    // Every word as it was, character for character; the damaged byte spoils
    // its own word only, as one U+FFFD.
    int spoilt = 0;
    for (int i = 0; i < saved.entryCount; ++i) {
        if (wordOf(after, i) == wordOf(saved.words, i) &&
            after.isBlank(i) == saved.words.isBlank(i))
            continue;
        if (!damaged || !wordOf(after, i).contains(QChar(0xFFFD)))
            QFAIL(qPrintable(QStringLiteral("entry %1: [%2] -> [%3]")
                                 .arg(i)
                                 .arg(saved.words.joined(i), after.joined(i))));
        ++spoilt;
    }
    QCOMPARE(spoilt, damaged ? 1 : 0);
}

void TestFilesRoundTrip::libraryComesBack_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<bool>("codePage");
    const QByteArray cp1251 = toCodePage(QStringLiteral("чит\r\nкниг\r\n"));
    QTest::newRow("UTF-8 from an editor")
        << QStringLiteral("чит\nкниг").toUtf8() << QStringList{QStringLiteral("читает")}
        << QStringList{QStringLiteral("чит"), QStringLiteral("книг")} << true;
    QTest::newRow("UTF-8 with a byte-order mark")
        << QByteArray("\xEF\xBB\xBF") + QStringLiteral("чит\r\nкниг\r\n").toUtf8()
        << QStringList{QStringLiteral("книга")}
        << QStringList{QStringLiteral("чит"), QStringLiteral("книг")} << true;
    QTest::newRow("Windows-1251 of the original program")
        << cp1251 << QStringList{QStringLiteral("читает")}
        << QStringList{QStringLiteral("чит"), QStringLiteral("книг")} << true;
    QTest::newRow("a root outside Windows-1251")
        << QByteArray() << QStringList{QStringLiteral("schön"), QStringLiteral("schön")}
        << QStringList{QStringLiteral("schön")} << false;
    QTest::newRow("a word in straight quotation marks")
        << QByteArray() << QStringList{QStringLiteral("\"Нет,\""), QStringLiteral("нет")}
        << QStringList{QStringLiteral("нет\"")} << true;
}

void TestFilesRoundTrip::libraryComesBack() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, entries);
    QFETCH(bool, codePage);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("library.txt"));
    if (!file.isEmpty())
        QVERIFY(writeAll(path, file));
    // Two sessions: what the first one learnt the second one knows, and the
    // library does not grow.
    for (int session = 0; session < 2; ++session) {
        WordLibrary lib;
        QCOMPARE(lib.load(path), QString());
        for (const QString& word : std::as_const(shown)) {
            const int k = lib.checkWord(word, true);
            QVERIFY(session == 1 || file.isEmpty() || k == 1);
            if (session == 1)
                QCOMPARE(k, 1);
        }
        QCOMPARE(lib.entries(), entries);
        QCOMPARE(lib.save(path), QString());
    }
    const QByteArray written = readAll(path);
    QCOMPARE(written.startsWith("\xEF\xBB\xBF"), !codePage);
    if (codePage)
        QCOMPARE(written, toCodePage(entries.join(QStringLiteral("\r\n")) + u"\r\n"));
}

QTEST_MAIN(TestFilesRoundTrip)
#include "tst_files_round_trip.moc"
