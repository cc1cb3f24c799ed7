// PDF documents made here: text in reading order, words joined across line
// ends, running heads and page numbers left out, the outline as chapters,
// and scanned, protected, damaged and hostile files.
#include "books/book_reader.h"
#include "books/pdf_lines.h"
#include "corpus.h"
#include "office_files.h"

#include <QRegularExpression>
#include <QtTest>

Q_DECLARE_METATYPE(BookFailure)

namespace {

using officefiles::PdfText;
using officefiles::RawPdf;

// Lines of a paragraph 14 points apart, paragraphs 30 apart.
QList<PdfText> page(const QStringList& lines) {
    QList<PdfText> out;
    qreal y = 100;
    for (const QString& line : lines) {
        if (line.isEmpty()) {
            y += 16;
            continue;
        }
        out.append({72, y, line});
        y += 14;
    }
    return out;
}

const QStringList pageTexts = {u"Once upon"_qs, u"a time there"_qs, u"was a book"_qs, u"of many"_qs,
                               u"pages."_qs};

// Pages with a running head and a page number around one line of text each.
RawPdf runningHeads(int pages) {
    RawPdf pdf;
    for (int i = 0; i < pages; ++i) {
        QList<PdfText> lines = {{72, 40, QStringLiteral("The Story of a Book")},
                                {72, 100, pageTexts[i]}};
        lines.append({300, 760, QString::number(i + 1)});
        pdf.pages.append(lines);
    }
    return pdf;
}

QString marks(const QList<ChapterMark>& chapters) {
    QStringList out;
    for (const ChapterMark& c : chapters)
        out.append(QString::number(c.offset) + u' ' + c.title);
    return out.join(u"; ");
}

QStringList words(const QString& text) {
    static const QRegularExpression space(QStringLiteral("[ \t\r\n]+"));
    return text.split(space, Qt::SkipEmptyParts);
}

} // namespace

class TestPdfReader : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsPdf_data();
    void readsPdf();
    void joinsLines_data();
    void joinsLines();
    void refusesPdf_data();
    void refusesPdf();
    void corpusTextReadsBack();
};

void TestPdfReader::readsPdf_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("chapters");

    RawPdf paragraphs;
    paragraphs.pages = {page({u"The first para-"_qs, u"graph runs on over"_qs, u"three lines."_qs,
                              u""_qs, u"The second one."_qs})};
    QTest::newRow("paragraphs, a word broken at a line's end")
        << officefiles::rawPdf(paragraphs)
        << u"The first paragraph runs on over three lines.\nThe second one.\n"_qs << QString();
    QTest::newRow("running heads and page numbers")
        << officefiles::rawPdf(runningHeads(5))
        << u"Once upon a time there was a book of many pages.\n"_qs << QString();
    QTest::newRow("too few pages to tell a running head")
        << officefiles::rawPdf(runningHeads(2))
        << u"The Story of a Book\nOnce upon\n1 The Story of a Book\na time there\n2\n"_qs
        << QString();
    RawPdf outlined;
    outlined.pages = {page({u"Preface."_qs}), page({u"Chapter One"_qs, u""_qs, u"It began."_qs}),
                      page({u"Chapter Two"_qs, u""_qs, u"It ended."_qs})};
    outlined.outline = {{u"One"_qs, 1}, {u"Two"_qs, 2}};
    QTest::newRow("outline")
        << officefiles::rawPdf(outlined)
        << u"Preface.\n\nChapter One\n\nIt began.\n\nChapter Two\n\nIt ended.\n"_qs
        << u"10 One; 34 Two"_qs;
}

void TestPdfReader::readsPdf() {
    QFETCH(QByteArray, file);
    QFETCH(QString, text);
    QFETCH(QString, chapters);
    BookProgress progress;
    const BookText book = readBook(file, {}, progress);
    QVERIFY2(book.ok(), qPrintable(book.error.detail));
    QCOMPARE(book.format, u"PDF"_qs);
    QCOMPARE(book.text, text);
    QCOMPARE(marks(book.chapters), chapters);
}

void TestPdfReader::joinsLines_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("next");
    QTest::addColumn<QString>("joined");
    QTest::newRow("broken word") << u"пере-"_qs << u"нос строки"_qs << u"перенос строки"_qs;
    QTest::newRow("soft hyphen") << u"пере\u00AD"_qs << u"Нос"_qs << u"переНос"_qs;
    QTest::newRow("hyphened name") << u"Санкт-"_qs << u"Петербург"_qs << u"Санкт-Петербург"_qs;
    QTest::newRow("hyphened particle") << u"кто-"_qs << u"то пришёл"_qs << u"кто-то пришёл"_qs;
    QTest::newRow("word in capitals") << u"ПРОИЗВЕ-"_qs << u"ДЕНИЕ."_qs << u"ПРОИЗВЕДЕНИЕ."_qs;
    QTest::newRow("particle in capitals") << u"КТО-"_qs << u"ТО"_qs << u"КТО-ТО"_qs;
    QTest::newRow("capitals before a name") << u"ООН-"_qs << u"Женева"_qs << u"ООН-Женева"_qs;
    QTest::newRow("dash") << u"слово -"_qs << u"другое"_qs << u"слово - другое"_qs;
    QTest::newRow("plain") << u"одно"_qs << u"другое"_qs << u"одно другое"_qs;
}

void TestPdfReader::joinsLines() {
    QFETCH(QString, line);
    QFETCH(QString, next);
    QFETCH(QString, joined);
    joinLine(line, next);
    QCOMPARE(line, joined);
}

void TestPdfReader::refusesPdf_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<BookFailure>("failure");
    QTest::addColumn<QString>("message");

    RawPdf text;
    text.pages = {page({u"Some text."_qs})};
    RawPdf locked = text;
    locked.password = true;
    QTest::newRow("protected by a password")
        << officefiles::rawPdf(locked) << false << BookFailure::Password << u"паролем"_qs;
    RawPdf scans = text;
    scans.imageOnly = true;
    QTest::newRow("scanned pages")
        << officefiles::rawPdf(scans) << false << BookFailure::Empty
        << u"«книга.pdf»: в PDF нет текста, только изображения страниц."_qs;
    RawPdf million;
    million.emptyPages = 1000000;
    QTest::newRow("a million empty pages")
        << officefiles::rawPdf(million) << false << BookFailure::TooBig << u"20000 страниц"_qs;
    QTest::newRow("damaged") << QByteArray("%PDF-1.7\n%\xE2\xE3\n1 0 obj << /Type") << false
                             << BookFailure::Damaged << u"PDF"_qs;
    QTest::newRow("cancelled") << officefiles::rawPdf(text) << true << BookFailure::Cancelled
                               << QString();
}

void TestPdfReader::refusesPdf() {
    QFETCH(QByteArray, file);
    QFETCH(bool, cancel);
    QFETCH(BookFailure, failure);
    QFETCH(QString, message);
    BookProgress progress;
    if (cancel)
        progress.cancel();
    const BookText book = readBook(file, {}, progress);
    QCOMPARE(book.error.failure, failure);
    QVERIFY(book.text.isEmpty());
    const QString shown = bookFailureMessage(u"книга.pdf"_qs, book.error);
    QVERIFY2(shown.contains(message), qPrintable(shown));
}

// A real book drawn into a PDF of many pages, each with a running head and
// a number, reads back word for word without them.
void TestPdfReader::corpusTextReadsBack() {
    const QString text = corpus::read(u"ru_chekhov_toska.txt"_qs);
    QVERIFY(!text.isEmpty());
    const QByteArray pdf = officefiles::textPdf(text, u"А. П. Чехов. Тоска"_qs, 20);
    BookProgress progress;
    const BookText book = readBook(pdf, {}, progress);
    QVERIFY2(book.ok(), qPrintable(book.error.detail));
    QCOMPARE(words(book.text), words(text));
}

QTEST_MAIN(TestPdfReader)
#include "tst_pdf_reader.moc"
