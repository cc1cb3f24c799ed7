// The book readers on books as other people's tools make them: notes marked
// in every way, hidden parts, page breaks, quotations, spines that name one
// document many times, invisible characters, damaged XML and bytes, chapter
// marks, and hostile files.
#include "book_files.h"
#include "books/book_reader.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(BookFailure)

namespace {

BookText read(const QByteArray& bytes) {
    BookProgress progress;
    return readBook(bytes, BookLimits(), progress);
}

// An EPUB book of one document with `body`, in the language `language`.
QByteArray epubOf(const QString& body, const QString& language = {}, const QString& doctype = {}) {
    QString xhtml = bookfiles::xhtml(body, doctype);
    if (!language.isEmpty())
        xhtml.replace(u"<html "_qs, QStringLiteral("<html xml:lang=\"%1\" ").arg(language));
    bookfiles::Epub book;
    book.documents = {{u"OEBPS/a.xhtml"_qs, xhtml}};
    return bookfiles::epub(book);
}

// A zip whose only entry declares that it unpacks to 4 GB.
QByteArray zipDeclaring4GB() {
    QByteArray bytes = bookfiles::zip({{u"book.fb2"_qs, QByteArray(1000, ' ')}});
    const auto patch = [&bytes](const char* signature, int offset) {
        for (qsizetype at = bytes.indexOf(signature); at >= 0;
             at = bytes.indexOf(signature, at + 4))
            std::memset(bytes.data() + at + offset, 0xFF, 4);
    };
    patch("PK\x03\x04", 22);
    patch("PK\x01\x02", 24);
    return bytes;
}

QByteArray withByte(QByteArray bytes, const QByteArray& at, char byte) {
    bytes[bytes.indexOf(at)] = byte;
    return bytes;
}

const QString chapterA = QStringLiteral(
    "<h1 id=\"c1\">Глава первая</h1><p>Раз\u00AD\u00ADдва.</p><h2 id=\"c1-1\">Часть</h2>"
    "<p>Два.</p>");
const QString chapterB = QStringLiteral("<h1>Глава вторая</h1><p>Три.</p>");

// An EPUB book of two chapters with `extra` (a table of contents) added.
QByteArray chaptersEpub(const QString& manifestItem, const bookfiles::Entry& toc) {
    bookfiles::Epub book;
    book.documents = {{u"OEBPS/Text/a.xhtml"_qs, bookfiles::xhtml(chapterA)},
                      {u"OEBPS/Text/b.xhtml"_qs, bookfiles::xhtml(chapterB)}};
    book.manifestExtra = manifestItem;
    book.extra = {toc};
    return bookfiles::epub(book);
}

// Each chapter as its title and the line that begins at its offset.
QStringList chaptersOf(const BookText& book) {
    QStringList out;
    for (const ChapterMark& chapter : book.chapters) {
        const qsizetype end = book.text.indexOf(u'\n', chapter.offset);
        out.append(chapter.title + u" @ " + book.text.mid(chapter.offset, end - chapter.offset));
    }
    return out;
}

} // namespace

class TestBookFaults : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsBook_data();
    void readsBook();
    void refusesHostileFile_data();
    void refusesHostileFile();
    void marksChapters_data();
    void marksChapters();
    void probePrintsChapters();
};

void TestBookFaults::readsBook_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("damaged");

    QTest::newRow("notes by their ARIA role")
        << epubOf(u"<p>Vous dites<a href=\"#fn1\" id=\"fnref1\" role=\"doc-noteref\"><sup>2</sup>"
                  "</a>.</p><section class=\"footnotes\" role=\"doc-endnotes\"><hr/><ol><li "
                  "id=\"fn1\" role=\"doc-endnote\"><p>сочинение<a href=\"#fnref1\" "
                  "role=\"doc-backlink\">↩︎</a></p></li></ol></section><p>Fin <a "
                  "role=\"doc-backlink\">↩</a>ici.</p>"_qs)
        << u"Vous dites.\nFin ici.\n"_qs << false;
    QTest::newRow("notes by their EPUB type, on any element")
        << epubOf(u"<p>Текст<sup><a epub:type=\"noteref\" href=\"#n\">1</a></sup>.</p><section "
                  "epub:type=\"footnotes\"><p>Сноски</p></section><div epub:type=\"rearnote\">"
                  "<p>Примечание</p></div><ol><li epub:type=\"endnote\">Концевая</li></ol><p "
                  "epub:type=\"note\">Заметка</p><aside epub:type=\"endnotes\">x</aside><div "
                  "epub:type=\"bodymatter chapter\"><p>Дальше.</p></div>"_qs)
        << u"Текст.\nДальше.\n"_qs << false;
    QTest::newRow("hidden parts and page breaks")
        << epubOf(u"<nav epub:type=\"landmarks\" hidden=\"hidden\"><ol><li><a href=\"#s\">Начало"
                  "</a></li></ol></nav><p>a return to nature.<span epub:type=\"pagebreak\" "
                  "id=\"p172\" title=\"172\">172</span> Many modern</p><p>one <span "
                  "role=\"doc-pagebreak\">173</span>two<span hidden=\"\">скрыто</span></p>"_qs)
        << u"a return to nature. Many modern\none two\n"_qs << false;
    QTest::newRow("quotation in a Russian document")
        << epubOf(u"<p>Он сказал: <q>да</q>.</p>"_qs, u"ru"_qs) << u"Он сказал: «да».\n"_qs
        << false;
    QTest::newRow("quotation in an English document")
        << epubOf(u"<p>He said <q>yes</q>.</p>"_qs, u"en-GB"_qs) << u"He said “yes”.\n"_qs << false;
    bookfiles::Epub russian;
    russian.documents = {
        {u"OEBPS/a.xhtml"_qs, bookfiles::xhtml(u"<p><q>Да</q>, — сказал он.</p>"_qs)}};
    russian.metadataExtra =
        u"<dc:language>ru-RU</dc:language><dc:creator>А. Пушкин</dc:creator>"_qs;
    QTest::newRow("quotation in a book whose package says it is Russian")
        << bookfiles::epub(russian) << u"«Да», — сказал он.\n"_qs << false;
    bookfiles::Epub parts;
    parts.documents = {{u"OEBPS/a.xhtml"_qs, bookfiles::xhtml(chapterA)}};
    parts.spineExtra = u"<itemref idref=\"d0\"/><itemref idref=\"d0\"/>"_qs;
    QTest::newRow("spine naming one document three times")
        << bookfiles::epub(parts) << u"Глава первая\n\nРаздва.\n\nЧасть\n\nДва.\n"_qs << false;
    bookfiles::Epub navigated;
    navigated.documents = {{u"OEBPS/a.xhtml"_qs, bookfiles::xhtml(u"<p>Текст.</p>"_qs)}};
    navigated.extra = {{u"OEBPS/nav.xhtml"_qs,
                        bookfiles::xhtml(u"<h1>Оглавление</h1><nav epub:type=\"toc\"><ol><li><a "
                                         "href=\"a.xhtml\">Глава</a></li></ol></nav>"_qs)
                            .toUtf8()}};
    navigated.manifestExtra = u"<item id=\"nav\" href=\"nav.xhtml\" properties=\"nav\" "
                              "media-type=\"application/xhtml+xml\"/>"_qs;
    navigated.spineExtra = u"<itemref idref=\"nav\"/>"_qs;
    QTest::newRow("navigation document in the spine")
        << bookfiles::epub(navigated) << u"Текст.\n"_qs << false;
    QTest::newRow("invisible characters in a text")
        << u"\u00A0Watson\u00A0и\u202Fдруг\u00ADой\u200B\u2060 мир\u2007\n\uFEFFконец"_qs.toUtf8()
        << u"Watson и другой мир\nконец"_qs << false;
    const QString poem = u"Мороз и солнце; день чудесный!\nЕщё ты дремлешь, друг прелестный.\n"_qs;
    QTest::newRow("UTF-8 text with a bad byte")
        << withByte(poem.toUtf8(), " ", '\xFF')
        << QString(poem).replace(poem.indexOf(u' '), 1, u'\uFFFD') << false;
    const QByteArray fb2 =
        bookfiles::fb2(u"<body><section><p>Первый абзац.</p></section></body>"_qs);
    QTest::newRow("UTF-8 FB2 with a bad byte")
        << withByte(fb2, ".<", '\xFF') << u"Первый абзац\uFFFD\n"_qs << false;
    QTest::newRow("byte-order mark against the declared encoding")
        << "\xEF\xBB\xBF" +
               QByteArray(fb2).replace("encoding=\"UTF-8\"", "encoding=\"windows-1251\"")
        << u"Первый абзац.\n"_qs << false;
    QTest::newRow("FB2 whose DOCTYPE is longer than 4 KB")
        << QByteArray(fb2).replace("<FictionBook",
                                   QByteArray("<!DOCTYPE FictionBook [<!-- " +
                                              QByteArray(5000, 'x') + " -->]>\n<FictionBook"))
        << u"Первый абзац.\n"_qs << false;

    QTest::newRow("unescaped '<' in a document")
        << epubOf(u"<p>a < b и c</p><p>Дальше.</p>"_qs) << u"a < b и c\nДальше.\n"_qs << false;
    QTest::newRow("undeclared entity")
        << epubOf(u"<p>x &foo; y &nbsp;z</p>"_qs) << u"x &foo; y z\n"_qs << false;
    QTest::newRow("tags that do not match")
        << epubOf(u"<p>один <b>два</p><p>три</p></i>"_qs) << u"один два\nтри\n"_qs << false;
    QTest::newRow("FB2 not well-formed")
        << bookfiles::fb2(u"<body><p>абзац</body>"_qs) << u"абзац\n"_qs << false;
    QString cut = bookfiles::xhtml(u"<p>начало</p><p>конец <b class=\"x\">жирный</b></p>"_qs);
    cut.truncate(cut.indexOf(u"x\">"));
    bookfiles::Epub broken;
    broken.documents = {{u"OEBPS/a.xhtml"_qs, cut},
                        {u"OEBPS/b.xhtml"_qs, bookfiles::xhtml(u"<p>Вторая.</p>"_qs)}};
    QTest::newRow("document that ends inside a tag")
        << bookfiles::epub(broken) << u"начало\nконец\nВторая.\n"_qs << true;
}

void TestBookFaults::readsBook() {
    QFETCH(QByteArray, file);
    QFETCH(QString, text);
    QFETCH(bool, damaged);
    const BookText book = read(file);
    QVERIFY2(book.ok(), qPrintable(bookFailureMessage(u"книга"_qs, book.error)));
    QCOMPARE(book.text, text);
    const QString message = bookDamageMessage(u"книга.epub"_qs, book);
    QCOMPARE(!message.isEmpty(), damaged);
    if (damaged)
        QVERIFY2(message.contains(u"«книга.epub»") && message.contains(u"OEBPS/a.xhtml"),
                 qPrintable(message));
}

void TestBookFaults::refusesHostileFile_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<BookFailure>("failure");

    const QString entity =
        u"<!DOCTYPE html [<!ENTITY a \""_qs + QString(4000, u'a') + u"\">]>\n"_qs;
    const QString references = u"<p>"_qs + u"&a;"_qs.repeated(300000) + u"</p>"_qs;
    QTest::newRow("EPUB: an entity used 300,000 times")
        << epubOf(references, {}, entity) << BookFailure::Damaged;
    QTest::newRow("FB2: an entity used 300,000 times")
        << QByteArray(bookfiles::fb2(u"<body>"_qs + references + u"</body>"_qs))
               .replace("<FictionBook",
                        QByteArray(entity.toUtf8().replace("html", "FictionBook") + "<FictionBook"))
        << BookFailure::Damaged;
    QString attributes;
    for (int i = 0; i < 200000; ++i)
        attributes += QStringLiteral(" a%1=\"\"").arg(i);
    QTest::newRow("FB2: a tag with 200,000 attributes")
        << bookfiles::fb2(u"<body><p"_qs + attributes + u">абзац</p></body>"_qs)
        << BookFailure::Damaged;
    QTest::newRow("EPUB: a tag with 200,000 attributes, not well-formed")
        << epubOf(u"<p"_qs + attributes + u">абзац</b>"_qs) << BookFailure::Damaged;
    QTest::newRow("zip entry declaring 4 GB") << zipDeclaring4GB() << BookFailure::Damaged;
}

void TestBookFaults::refusesHostileFile() {
    QFETCH(QByteArray, file);
    QFETCH(BookFailure, failure);
    const BookText book = read(file);
    QCOMPARE(book.error.failure, failure);
    const QString message = bookFailureMessage(u"книга"_qs, book.error);
    static const QRegularExpression english(QStringLiteral("\\[[A-Za-z][A-Za-z ]*\\]"));
    QVERIFY2(!message.contains(english), qPrintable(message));
}

void TestBookFaults::marksChapters_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("chapters");

    const QStringList two = {u"Глава первая @ Глава первая"_qs, u"Часть @ Часть"_qs,
                             u"Глава вторая @ Глава вторая"_qs};
    QTest::newRow("EPUB 3 navigation document")
        << chaptersEpub(u"<item id=\"nav\" href=\"nav.xhtml\" properties=\"nav\" "
                        "media-type=\"application/xhtml+xml\"/>"_qs,
                        {u"OEBPS/nav.xhtml"_qs,
                         bookfiles::xhtml(u"<nav epub:type=\"landmarks\"><ol><li><a "
                                          "href=\"Text/b.xhtml\">Начало</a></li></ol></nav><nav "
                                          "epub:type=\"toc\"><ol><li><a href=\"Text/b.xhtml\">"
                                          "Глава вторая</a></li><li><a href=\"Text/a.xhtml#c1\">"
                                          "Глава <b>первая</b></a><ol><li><a href=\"Text/a.xhtml"
                                          "#c1-1\">Часть</a></li></ol></li></ol></nav>"_qs)
                             .toUtf8()})
        << two;
    QTest::newRow("EPUB 2 NCX")
        << chaptersEpub(u"<item id=\"ncx\" href=\"toc.ncx\" "
                        "media-type=\"application/x-dtbncx+xml\"/>"_qs,
                        {u"OEBPS/toc.ncx"_qs,
                         "<?xml version=\"1.0\"?><ncx xmlns=\"http://www.daisy.org/z3986/2005/ncx/"
                         "\"><navMap><navPoint id=\"1\"><navLabel><text>Глава первая</text>"
                         "</navLabel><content src=\"Text/a.xhtml#c1\"/><navPoint id=\"2\">"
                         "<navLabel><text>Часть</text></navLabel><content src=\"Text/a.xhtml#c1-1"
                         "\"/></navPoint></navPoint><navPoint id=\"3\"><navLabel><text>Глава "
                         "вторая</text></navLabel><content src=\"Text/b.xhtml\"/></navPoint>"
                         "</navMap></ncx>"})
        << two;
    QTest::newRow("FB2 sections and subsections")
        << bookfiles::fb2(u"<body><title><p>Книга</p></title><section><title><p>Часть 1</p>"
                          "<p>Начало</p></title><p>Раз\u00AD\u00ADдва.</p><section><title><p>Глава "
                          "1</p></title><p>Два.</p></section></section><section><title><p>Часть "
                          "2</p></title><p>Три.</p></section></body>"_qs)
        << QStringList{u"Часть 1 Начало @ Часть 1"_qs, u"Глава 1 @ Глава 1"_qs,
                       u"Часть 2 @ Часть 2"_qs};
}

void TestBookFaults::marksChapters() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, chapters);
    const BookText book = read(file);
    QVERIFY2(book.ok(), qPrintable(book.error.detail));
    QCOMPARE(chaptersOf(book), chapters);
}

void TestBookFaults::probePrintsChapters() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"книга.fb2"_qs);
    const QByteArray file = bookfiles::fb2(
        u"<description><title-info><author><first-name>Лев</first-name><last-name>Толстой"
        "</last-name></author><book-title>Война и мир</book-title></title-info></description>"
        "<body><section><title><p>Часть 1</p></title><p>Раз.</p></section><section><title>"
        "<p>Часть 2</p></title><p>Два.</p></section></body>"_qs);
    QVERIFY(bookfiles::write(path, file));
    const BookText book = read(file);
    QCOMPARE(book.title, u"Война и мир"_qs);
    QCOMPARE(book.author, u"Лев Толстой"_qs);
    QProcess probe;
    probe.start(QStringLiteral(KESTRIX_PROBE), {u"open"_qs, u"--chapters"_qs, path});
    QVERIFY(probe.waitForFinished(60000));
    QCOMPARE(probe.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(probe.readAllStandardOutput()), u"0\tЧасть 1\n15\tЧасть 2\n"_qs);
}

QTEST_GUILESS_MAIN(TestBookFaults)
#include "tst_book_faults.moc"
