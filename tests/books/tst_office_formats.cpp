// Word and OpenDocument files made here: the text that arrives, headings as
// chapters, what is left out, and bad and hostile files.
#include "book_files.h"
#include "books/book_reader.h"
#include "corpus.h"
#include "office_files.h"

#include <QRegularExpression>
#include <QtTest>

Q_DECLARE_METATYPE(BookFailure)

namespace {

using officefiles::docx;
using officefiles::odt;

QString run(const QString& text) {
    return QStringLiteral("<w:r><w:t xml:space=\"preserve\">") + text +
           QStringLiteral("</w:t></w:r>");
}

QString styled(const QString& style, const QString& text) {
    return QStringLiteral("<w:p><w:pPr><w:pStyle w:val=\"%1\"/></w:pPr>").arg(style) + run(text) +
           QStringLiteral("</w:p>");
}

const QString wordStyles = QStringLiteral(
    "<w:style w:type=\"paragraph\" w:styleId=\"1\"><w:name w:val=\"heading 1\"/></w:style>"
    "<w:style w:type=\"paragraph\" w:styleId=\"Part\"><w:name w:val=\"Часть\"/>"
    "<w:pPr><w:outlineLvl w:val=\"0\"/></w:pPr></w:style>"
    "<w:style w:type=\"paragraph\" w:styleId=\"Sub\"><w:name w:val=\"Подчасть\"/>"
    "<w:basedOn w:val=\"Part\"/></w:style>"
    "<w:style w:type=\"paragraph\" w:styleId=\"Quote\"><w:name w:val=\"Quote\"/>"
    "<w:basedOn w:val=\"Quote\"/></w:style>");

// Headings of every kind, runs, tabs, breaks, a table, notes and comments,
// deleted text and alternate content.
const QString wordBody =
    styled(u"Part"_qs, u"Часть первая"_qs) + u"<w:p>"_qs + run(u"Первый "_qs) + run(u"абзац,"_qs) +
    u"<w:r><w:t>раз</w:t><w:tab/><w:t>два</w:t><w:br/><w:t>после переноса</w:t>"
    "<w:footnoteReference w:id=\"1\"/><w:br w:type=\"page\"/></w:r>"
    "<w:commentRangeStart w:id=\"0\"/><w:del><w:r><w:delText>удалено</w:delText></w:r></w:del>"
    "<w:r><w:fldChar w:fldCharType=\"begin\"/><w:instrText>PAGE</w:instrText>"
    "<w:fldChar w:fldCharType=\"separate\"/><w:t>.</w:t><w:fldChar w:fldCharType=\"end\"/></w:r>"
    "<w:r><w:commentReference w:id=\"0\"/></w:r></w:p>"_qs +
    styled(u"1"_qs, u"Глава 1"_qs) + styled(u"Quote"_qs, u"Цитата."_qs) +
    u"<w:tbl><w:tr><w:tc><w:p>"_qs + run(u"Ячейка один"_qs) + u"</w:p></w:tc><w:tc><w:p>"_qs +
    run(u"Ячейка два"_qs) + u"</w:p></w:tc></w:tr></w:tbl>"_qs +
    u"<w:p><w:r><mc:AlternateContent><mc:Choice Requires=\"wps\"><w:drawing/></mc:Choice>"
    "<mc:Fallback><w:pict><w:txbxContent><w:p>"_qs +
    run(u"Копия рамки"_qs) +
    u"</w:p></w:txbxContent></w:pict></mc:Fallback></mc:AlternateContent></w:r></w:p>"_qs +
    u"<w:p><w:pPr><w:outlineLvl w:val=\"1\"/></w:pPr>"_qs + run(u"Глава 2"_qs) + u"</w:p>"_qs +
    styled(u"Sub"_qs, u"Подглава"_qs) + u"<w:p>"_qs + run(u"Конец."_qs) + u"</w:p>"_qs;

const QString wordText = QStringLiteral(
    "Часть первая\n\nПервый абзац,раз два\nпосле переноса.\n\nГлава 1\n\nЦитата.\nЯчейка один\n"
    "Ячейка два\n\nГлава 2\n\nПодглава\n\nКонец.\n");

const QString odtBody = QStringLiteral(
    "<text:sequence-decls><text:sequence-decl text:name=\"Table\"/></text:sequence-decls>"
    "<text:table-of-content><text:index-body><text:p>Глава 1 ..... 1</text:p></text:index-body>"
    "</text:table-of-content>"
    "<text:h text:outline-level=\"1\">Глава <text:span>1</text:span></text:h>"
    "<text:p>Первый<text:s text:c=\"3\"/>абзац<text:tab/>со сноской<text:note text:note-class="
    "\"footnote\"><text:note-citation>1</text:note-citation><text:note-body><text:p>Сноска."
    "</text:p></text:note-body></text:note>.<office:annotation><text:p>Замечание</text:p>"
    "</office:annotation><text:line-break/>после переноса</text:p>"
    "<text:list><text:list-item><text:p>Пункт</text:p></text:list-item></text:list>"
    "<table:table><table:table-row><table:table-cell><text:p>Ячейка один</text:p>"
    "</table:table-cell><table:table-cell><text:p>Ячейка два</text:p></table:table-cell>"
    "</table:table-row></table:table>"
    "<text:h text:outline-level=\"2\">Глава 2</text:h><text:p>Конец.</text:p>");

const QString odtText = QStringLiteral("Глава 1\n\nПервый абзац со сноской.\nпосле переноса\n"
                                       "Пункт\nЯчейка один\nЯчейка два\n\nГлава 2\n\nКонец.\n");

QString marks(const QList<ChapterMark>& chapters) {
    QStringList out;
    for (const ChapterMark& c : chapters)
        out.append(QString::number(c.offset) + u' ' + c.title);
    return out.join(u"; ");
}

BookText read(const QByteArray& bytes, const BookLimits& limits = {}) {
    BookProgress progress;
    return readBook(bytes, limits, progress);
}

QStringList words(const QString& text) {
    static const QRegularExpression space(QStringLiteral("[ \t\r\n]+"));
    return text.split(space, Qt::SkipEmptyParts);
}

// A compound file (the container of Word 97-2003 and of encrypted Office
// documents) whose first directory sector holds the entries `names` and
// whose second sector starts as `sector`.
QByteArray compoundFile(const QStringList& names, const QByteArray& sector = {}) {
    QByteArray bytes("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
    bytes.resize(512, '\0');
    QByteArray directory(512, '\0');
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QByteArray name(reinterpret_cast<const char*>(names[i].utf16()), names[i].size() * 2);
        directory.replace(i * 128, name.size(), name);
        directory[i * 128 + 64] = char(name.size() + 2);
    }
    return bytes + directory + sector.leftJustified(512, '\0');
}

} // namespace

class TestOfficeFormats : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsDocument_data();
    void readsDocument();
    void refusesDocument_data();
    void refusesDocument();
    void corpusTextReadsBack_data();
    void corpusTextReadsBack();
};

void TestOfficeFormats::readsDocument_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("chapters");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("author");
    QTest::addColumn<QString>("format");

    QTest::newRow("DOCX") << docx(wordBody, wordStyles, u"Повесть"_qs, u"Автор"_qs) << wordText
                          << u"0 Часть первая; 52 Глава 1; 93 Глава 2; 102 Подглава"_qs
                          << u"Повесть"_qs << u"Автор"_qs << u"DOCX"_qs;
    QTest::newRow("DOCX without styles or properties")
        << docx(styled(u"1"_qs, u"Не заголовок"_qs) + u"<w:p>"_qs + run(u"Текст"_qs) + u"</w:p>"_qs)
        << u"Не заголовок\nТекст\n"_qs << QString() << QString() << QString() << u"DOCX"_qs;
    QTest::newRow("ODT") << odt(odtBody, u"Повесть"_qs, u"Автор"_qs) << odtText
                         << u"0 Глава 1; 79 Глава 2"_qs << u"Повесть"_qs << u"Автор"_qs
                         << u"ODT"_qs;
}

void TestOfficeFormats::readsDocument() {
    QFETCH(QByteArray, file);
    QFETCH(QString, text);
    QFETCH(QString, chapters);
    QFETCH(QString, title);
    QFETCH(QString, author);
    QFETCH(QString, format);
    const BookText book = read(file);
    QVERIFY2(book.ok(), qPrintable(book.error.detail));
    QCOMPARE(book.text, text);
    QCOMPARE(marks(book.chapters), chapters);
    for (const ChapterMark& c : book.chapters)
        QVERIFY(book.text.mid(c.offset).startsWith(c.title));
    QCOMPARE(book.title, title);
    QCOMPARE(book.author, author);
    QCOMPARE(book.format, format);
}

void TestOfficeFormats::refusesDocument_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("bound");
    QTest::addColumn<BookFailure>("failure");

    const QByteArray good = docx(wordBody, wordStyles);
    QTest::newRow("DOCX zip bomb")
        << bookfiles::zip({{u"word/document.xml"_qs, QByteArray(16 * 1024 * 1024, '\0')}})
        << QString() << BookFailure::TooBig;
    QTest::newRow("DOCX broken XML")
        << docx(u"<w:p><w:r><w:t>не закрыт</w:p>"_qs) << QString() << BookFailure::Damaged;
    QTest::newRow("DOCX nested 10,000 deep")
        << docx(u"<w:p>"_qs.repeated(10000) + u"</w:p>"_qs.repeated(10000)) << QString()
        << BookFailure::Damaged;
    QTest::newRow("DOCX without text") << docx(u"<w:p/>"_qs) << QString() << BookFailure::Empty;
    QTest::newRow("DOCX text too long") << good << u"text"_qs << BookFailure::TooBig;
    QTest::newRow("DOCX cancelled") << good << u"cancel"_qs << BookFailure::Cancelled;
    QTest::newRow("ODT broken XML")
        << odt(u"<text:p>не закрыт"_qs) << QString() << BookFailure::Damaged;
    QTest::newRow("ODT text too long") << odt(odtBody) << u"text"_qs << BookFailure::TooBig;
    QTest::newRow("ODT zip bomb")
        << bookfiles::zip({{u"mimetype"_qs, "application/vnd.oasis.opendocument.text", true},
                           {u"content.xml"_qs, QByteArray(16 * 1024 * 1024, ' ')}})
        << QString() << BookFailure::TooBig;
    QTest::newRow("spreadsheet")
        << bookfiles::zip({{u"mimetype"_qs, "application/vnd.oasis.opendocument.spreadsheet", true},
                           {u"content.xml"_qs, "<x/>"}})
        << QString() << BookFailure::Unsupported;
    QTest::newRow("DOCX protected by a password")
        << compoundFile({u"Root Entry"_qs, u"EncryptionInfo"_qs, u"EncryptedPackage"_qs})
        << QString() << BookFailure::Password;
    QTest::newRow("DOC protected by a password")
        << compoundFile({u"Root Entry"_qs, u"WordDocument"_qs},
                        QByteArray("\xEC\xA5\xC1\0\0\0\0\0\0\0\0\x01", 12))
        << QString() << BookFailure::Password;
    QTest::newRow("DOC") << compoundFile({u"Root Entry"_qs, u"WordDocument"_qs},
                                         QByteArray("\xEC\xA5\xC1\0", 4))
                         << QString() << BookFailure::Unsupported;
    QTest::newRow("workbook") << bookfiles::zip({{u"xl/workbook.xml"_qs, "<x/>"}}) << QString()
                              << BookFailure::Unsupported;
}

void TestOfficeFormats::refusesDocument() {
    QFETCH(QByteArray, file);
    QFETCH(QString, bound);
    QFETCH(BookFailure, failure);
    BookLimits limits;
    BookProgress progress;
    if (bound == u"text")
        limits.textChars = 40;
    else if (bound == u"cancel")
        progress.cancel();
    const BookText book = readBook(file, limits, progress);
    QCOMPARE(book.error.failure, failure);
    QVERIFY(book.text.isEmpty());
}

void TestOfficeFormats::corpusTextReadsBack_data() {
    QTest::addColumn<QString>("format");
    QTest::newRow("DOCX") << u"DOCX"_qs;
    QTest::newRow("ODT") << u"ODT"_qs;
}

// A real book made into a document reads back word for word, a paragraph a
// line.
void TestOfficeFormats::corpusTextReadsBack() {
    QFETCH(QString, format);
    const QString text = corpus::read(u"ru_pushkin_kapitanskaya_dochka.txt"_qs);
    QVERIFY(!text.isEmpty());
    QStringList lines = text.split(u'\n');
    lines.removeIf([](const QString& line) { return words(line).isEmpty(); });
    const QString paragraphs = lines.join(u'\n');
    const BookText book = read(format == u"DOCX" ? docx(officefiles::docxParagraphs(paragraphs))
                                                 : odt(officefiles::odtParagraphs(paragraphs)));
    QVERIFY2(book.ok(), qPrintable(book.error.detail));
    QCOMPARE(book.text.count(u'\n'), lines.size());
    QCOMPARE(words(book.text), words(text));
}

QTEST_GUILESS_MAIN(TestOfficeFormats)
#include "tst_office_formats.moc"
