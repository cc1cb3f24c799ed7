// The book readers on files made here: the text that arrives, the order of
// paragraphs, the encodings, and every kind of bad file, hostile ones
// included.
#include "book_files.h"
#include "books/book_reader.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

Q_DECLARE_METATYPE(BookFailure)

namespace {

using bookfiles::Entry;

const QString poem = QStringLiteral(
    "Мороз и солнце; день чудесный! Ещё ты дремлешь, друг прелестный - пора, красавица, "
    "проснись: открой сомкнуты негой взоры навстречу северной Авроры, звездою севера явись!\n"
    "Вечор, ты помнишь, вьюга злилась, на мутном небе мгла носилась; луна, как бледное пятно, "
    "сквозь тучи мрачные желтела.\n");

QByteArray encoded(const QString& text, const char* encoding) {
    QStringEncoder encoder(encoding, QStringEncoder::Flag::WriteBom);
    return encoder.encode(text);
}

const QString fb2Body = QStringLiteral(
    "<description><title-info><book-title>Название в описании</book-title></title-info>"
    "</description>\n<body>\n  <title><p>Лев Толстой</p><p>Война и мир</p></title>\n"
    "  <epigraph><p>Эпиграф.</p><text-author>Автор</text-author></epigraph>\n"
    "  <section><title><p>Часть первая</p></title>\n"
    "    <p>Первый   абзац\n с <emphasis>выделением</emphasis> и сноской"
    "<a l:href=\"#n1\" type=\"note\">[1]</a>.</p>\n    <p>Второй абзац.</p><empty-line/>\n"
    "    <poem><stanza><v>Строка стиха,</v><v>вторая строка.</v></stanza></poem>\n"
    "    <section><title><p>Глава 2</p></title><p>Третий абзац.</p><image l:href=\"#pic\"/>"
    "</section>\n  </section>\n</body>\n"
    "<body name=\"notes\"><section id=\"n1\"><p>Текст сноски.</p></section></body>\n"
    "<binary id=\"pic\" content-type=\"image/png\">iVBORw0KGgo=</binary>\n");

const QString fb2Text = QStringLiteral("Лев Толстой\nВойна и мир\n\nЭпиграф.\nАвтор\n\n"
                                       "Часть первая\n\nПервый абзац с выделением и сноской.\n"
                                       "Второй абзац.\n\nСтрока стиха,\nвторая строка.\n\n"
                                       "Глава 2\n\nТретий абзац.\n");

bookfiles::Epub epub3() {
    bookfiles::Epub book;
    book.documents = {
        {QStringLiteral("OEBPS/Text/chapter 2.xhtml"),
         bookfiles::xhtml(QStringLiteral("<h1>Глава 2</h1><p>Текст второй главы.</p>"))},
        {QStringLiteral("OEBPS/Text/chapter1.xhtml"),
         bookfiles::xhtml(QStringLiteral(
             "<h1>Глава&nbsp;1</h1><p>Первый абзац&nbsp;— с &laquo;кавычками&raquo; &amp; "
             "знаками&mdash;тире.</p><script>var x = 1;</script><div><p>Вложенный <b>абзац</b>"
             "<br/>после переноса</p><img src=\"a.png\" alt=\"картинка\"/></div><ul><li>Пункт "
             "один</li><li>Пункт два</li></ul><p>Сноска<a epub:type=\"noteref\" href=\"#n1\">1"
             "</a> здесь.</p><aside epub:type=\"footnote\" id=\"n1\"><p>Текст сноски.</p>"
             "</aside>"))},
        {QStringLiteral("OEBPS/nav.xhtml"), bookfiles::xhtml(QStringLiteral("<p>Оглавление</p>"))},
    };
    book.spine = {1, 0};
    book.spineExtra = QStringLiteral("<itemref idref=\"d2\" linear=\"no\"/>");
    return book;
}

const QString epub3Text = QStringLiteral(
    "Глава 1\n\nПервый абзац — с «кавычками» & знаками—тире.\nВложенный абзац\n"
    "после переноса\nПункт один\nПункт два\nСноска здесь.\n\nГлава 2\n\nТекст второй главы.\n");

// An EPUB 2 book with its package at the top, a DTD-declared XHTML page, and
// only its fonts obfuscated.
QByteArray epub2() {
    bookfiles::Epub book;
    book.opfPath = QStringLiteral("content.opf");
    book.documents = {{QStringLiteral("page.xhtml"),
                       bookfiles::xhtml(QStringLiteral("<p>Один&nbsp;два</p>"),
                                        QStringLiteral("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML "
                                                       "1.1//EN\" \"http://www.w3.org/TR/xhtml11/"
                                                       "DTD/xhtml11.dtd\">\n"))}};
    book.extra = {{QStringLiteral("META-INF/encryption.xml"),
                   "<encryption xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\" "
                   "xmlns:enc=\"http://www.w3.org/2001/04/xmlenc#\"><enc:EncryptedData>"
                   "<enc:EncryptionMethod Algorithm=\"http://www.idpf.org/2008/embedding\"/>"
                   "<enc:CipherData><enc:CipherReference URI=\"font.otf\"/></enc:CipherData>"
                   "</enc:EncryptedData></encryption>"}};
    return bookfiles::epub(book);
}

QString nested(int levels, const QString& open, const QString& close) {
    return open.repeated(levels) + QStringLiteral("глубоко") + close.repeated(levels);
}

// A zip whose only entry says it unpacks to 1000 bytes but holds 16 MiB.
QByteArray lyingZip() {
    QByteArray bytes =
        bookfiles::zip({{QStringLiteral("book.fb2"), QByteArray(16 * 1024 * 1024, ' ')}});
    const auto patch = [&bytes](const char* signature, int offset) {
        for (qsizetype at = bytes.indexOf(signature); at >= 0;
             at = bytes.indexOf(signature, at + 4)) {
            const quint32 size = 1000;
            std::memcpy(bytes.data() + at + offset, &size, 4); // little-endian machine
        }
    };
    patch("PK\x03\x04", 22);
    patch("PK\x01\x02", 24);
    return bytes;
}

BookText read(const QByteArray& bytes, const BookLimits& limits = {}) {
    BookProgress progress;
    return readBook(bytes, limits, progress);
}

} // namespace

class TestBookFormats : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsBook_data();
    void readsBook();
    void refusesBadFile_data();
    void refusesBadFile();
    void keepsWithinBounds_data();
    void keepsWithinBounds();
    void refusesUnreadableFile_data();
    void refusesUnreadableFile();
    void probePrintsTheText();
};

void TestBookFormats::readsBook_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("format");

    const QString lines = QStringLiteral("Раз строка.\r\nДва строка.\rТри\n\nЧетыре");
    const QString lf = QStringLiteral("Раз строка.\nДва строка.\nТри\n\nЧетыре");
    QTest::newRow("UTF-8, line ends of every kind") << lines.toUtf8() << lf << u"TXT (UTF-8)"_qs;
    QTest::newRow("UTF-8 with BOM") << encoded(poem, "UTF-8") << poem << u"TXT (UTF-8)"_qs;
    QTest::newRow("UTF-16LE with BOM") << encoded(lines, "UTF-16LE") << lf << u"TXT (UTF-16LE)"_qs;
    QTest::newRow("UTF-16BE with BOM") << encoded(poem, "UTF-16BE") << poem << u"TXT (UTF-16BE)"_qs;
    for (const char* page : {"windows-1251", "KOI8-R", "IBM866"}) {
        const QString format = QStringLiteral("TXT (%1)").arg(QLatin1String(page));
        QTest::addRow("%s", page) << encoded(poem, page) << poem << format;
        QTest::addRow("%s, one short line", page)
            << encoded(u"Привет, мир"_qs, page) << u"Привет, мир"_qs << format;
    }

    QTest::newRow("FB2") << bookfiles::fb2(fb2Body) << fb2Text << u"FB2"_qs;
    QTest::newRow("FB2 in windows-1251")
        << bookfiles::fb2(fb2Body, "windows-1251") << fb2Text << u"FB2"_qs;
    QTest::newRow("FB2 in windows-1251 that does not say so")
        << bookfiles::fb2(fb2Body, "windows-1251", false) << fb2Text << u"FB2"_qs;
    QTest::newRow("FB2.ZIP") << bookfiles::zip({{u"книга.fb2"_qs, bookfiles::fb2(fb2Body)}})
                             << fb2Text << u"FB2.ZIP"_qs;
    QTest::newRow("EPUB 3") << bookfiles::epub(epub3()) << epub3Text << u"EPUB"_qs;
    QTest::newRow("EPUB 2, fonts obfuscated")
        << epub2() << QStringLiteral("Один два\n") << u"EPUB"_qs;
}

void TestBookFormats::readsBook() {
    QFETCH(QByteArray, file);
    QFETCH(QString, text);
    QFETCH(QString, format);
    const BookText book = read(file);
    QVERIFY2(book.ok(), qPrintable(book.error.detail));
    QCOMPARE(book.text, text);
    QCOMPARE(book.format, format);
}

void TestBookFormats::refusesBadFile_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<BookFailure>("failure");

    QTest::newRow("empty file") << QByteArray() << BookFailure::Empty;
    QTest::newRow("blank text") << QByteArray(" \r\n\t\n") << BookFailure::Empty;
    QTest::newRow("picture") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)
                             << BookFailure::NotABook;
    QTest::newRow("PDF") << QByteArray("%PDF-1.7\n%\xE2\xE3\n1 0 obj") << BookFailure::Unsupported;
    QTest::newRow("HTML") << QByteArray("<!DOCTYPE html>\n<html><body>x</body></html>")
                          << BookFailure::Unsupported;
    QTest::newRow("XML, not a book")
        << QByteArray("<?xml version=\"1.0\"?><root/>") << BookFailure::NotABook;
    QTest::newRow("damaged zip") << QByteArray("PK\x03\x04 this is no archive at all")
                                 << BookFailure::Damaged;
    const QByteArray whole = bookfiles::epub(epub3());
    QTest::newRow("EPUB cut short") << whole.left(whole.size() / 2) << BookFailure::Damaged;
    QTest::newRow("zip without a book")
        << bookfiles::zip({{u"readme.txt"_qs, "Просто текст"}}) << BookFailure::NotABook;
    QTest::newRow("EPUB without container")
        << bookfiles::zip({{u"mimetype"_qs, "application/epub+zip", true}}) << BookFailure::Damaged;
    bookfiles::Epub missing = epub3();
    missing.notPacked = {0};
    QTest::newRow("EPUB missing a document") << bookfiles::epub(missing) << BookFailure::Damaged;
    bookfiles::Epub drm = epub3();
    drm.extra = {
        {u"META-INF/encryption.xml"_qs,
         "<encryption xmlns:enc=\"http://www.w3.org/2001/04/xmlenc#\"><enc:EncryptedData>"
         "<enc:EncryptionMethod Algorithm=\"http://www.w3.org/2001/04/xmlenc#aes128-cbc\"/>"
         "<enc:CipherData><enc:CipherReference URI=\"OEBPS/Text/chapter1.xhtml\"/>"
         "</enc:CipherData></enc:EncryptedData></encryption>"}};
    QTest::newRow("EPUB with DRM") << bookfiles::epub(drm) << BookFailure::Encrypted;
    Entry secret{u"book.fb2"_qs, bookfiles::fb2(fb2Body)};
    secret.encrypted = true;
    QTest::newRow("encrypted FB2.ZIP") << bookfiles::zip({secret}) << BookFailure::Encrypted;
    QTest::newRow("zip bomb") << bookfiles::zip(
                                     {{u"book.fb2"_qs, QByteArray(16 * 1024 * 1024, '\0')}})
                              << BookFailure::TooBig;
    QTest::newRow("zip entry larger than it says") << lyingZip() << BookFailure::Damaged;
    QTest::newRow("FB2 nested 10,000 deep")
        << bookfiles::fb2(u"<body><section>"_qs + nested(10000, u"<section>"_qs, u"</section>"_qs) +
                          u"</section></body>"_qs)
        << BookFailure::Damaged;
    bookfiles::Epub deep = epub3();
    deep.documents[1].second = bookfiles::xhtml(nested(10000, u"<div>"_qs, u"</div>"_qs));
    QTest::newRow("EPUB nested 10,000 deep") << bookfiles::epub(deep) << BookFailure::Damaged;
    QTest::newRow("FB2 with entities that multiply")
        << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE FictionBook [<!ENTITY a "
                      "\"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;"
                      "&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d "
                      "\"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">]><FictionBook><body><p>&d;&d;&d;</p>"
                      "</body></FictionBook>")
        << BookFailure::Damaged;
    QTest::newRow("FB2 without a body")
        << bookfiles::fb2(u"<description><title-info/></description>"_qs) << BookFailure::Empty;
}

void TestBookFormats::refusesBadFile() {
    QFETCH(QByteArray, file);
    QFETCH(BookFailure, failure);
    const BookText book = read(file);
    QCOMPARE(book.error.failure, failure);
    QVERIFY(book.text.isEmpty());
    const QString message = bookFailureMessage(u"книга.epub"_qs, book.error);
    QVERIFY2(message.contains(u"«книга.epub»"), qPrintable(message));
    // The cause in brackets is in the reader's language, not a library's English.
    static const QRegularExpression english(QStringLiteral("\\[[A-Za-z][A-Za-z ]*\\]"));
    QVERIFY2(!message.contains(english), qPrintable(message));
}

void TestBookFormats::keepsWithinBounds_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("bound");
    QTest::addColumn<BookFailure>("failure");

    const QByteArray book = bookfiles::epub(epub3());
    QTest::newRow("text too long") << poem.toUtf8() << u"text"_qs << BookFailure::TooBig;
    QTest::newRow("EPUB text too long") << book << u"text"_qs << BookFailure::TooBig;
    QTest::newRow("FB2 text too long")
        << bookfiles::fb2(fb2Body) << u"text"_qs << BookFailure::TooBig;
    QTest::newRow("too many entries") << book << u"entries"_qs << BookFailure::TooBig;
    QTest::newRow("unpacks too big") << book << u"unpacked"_qs << BookFailure::TooBig;
    QTest::newRow("cancelled") << book << u"cancel"_qs << BookFailure::Cancelled;
}

void TestBookFormats::keepsWithinBounds() {
    QFETCH(QByteArray, file);
    QFETCH(QString, bound);
    QFETCH(BookFailure, failure);
    BookLimits limits;
    BookProgress progress;
    if (bound == u"text")
        limits.textChars = 100;
    else if (bound == u"entries")
        limits.entries = 5;
    else if (bound == u"unpacked")
        limits.unpackedBytes = 2000;
    else
        progress.cancel();
    QCOMPARE(readBook(file, limits, progress).error.failure, failure);
}

void TestBookFormats::refusesUnreadableFile_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<BookFailure>("failure");
    QTest::newRow("missing") << u"/nonexistent/книга.fb2"_qs << BookFailure::Unreadable;
    QTest::newRow("folder") << QDir::tempPath() << BookFailure::Unreadable;
    QTest::newRow("device") << u"/dev/zero"_qs << BookFailure::Unreadable;
    QTest::newRow("too big") << u"big"_qs << BookFailure::TooBig;
    QTest::newRow("FIFO without a writer") << u"fifo"_qs << BookFailure::Unreadable;
}

void TestBookFormats::refusesUnreadableFile() {
    QFETCH(QString, path);
    QFETCH(BookFailure, failure);
    QTemporaryDir dir;
    BookLimits limits;
    if (path == u"big") {
        path = dir.filePath(u"big.txt"_qs);
        QVERIFY(bookfiles::write(path, poem.toUtf8()));
        limits.fileBytes = 100;
    } else if (path == u"fifo") {
        path = dir.filePath(u"book.fb2"_qs);
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    }
    BookProgress progress;
    const BookText book = readBookFile(path, limits, progress);
    QCOMPARE(book.error.failure, failure);
    QVERIFY(!bookFailureMessage(QFileInfo(path).fileName(), book.error).isEmpty());
}

// The probe prints exactly the text the reader gives, and refuses a bad
// file with the message and exit status 1.
void TestBookFormats::probePrintsTheText() {
    QTemporaryDir dir;
    const QString good = dir.filePath(u"книга.fb2.zip"_qs);
    const QString bad = dir.filePath(u"bad.pdf"_qs);
    QVERIFY(bookfiles::write(good, bookfiles::zip({{u"a.fb2"_qs, bookfiles::fb2(fb2Body)}})));
    QVERIFY(bookfiles::write(bad, "%PDF-1.4"));
    QProcess probe;
    probe.start(QStringLiteral(KESTRIX_PROBE), {u"open"_qs, good});
    QVERIFY(probe.waitForFinished());
    QCOMPARE(probe.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(probe.readAllStandardOutput()), fb2Text);
    probe.start(QStringLiteral(KESTRIX_PROBE), {u"open"_qs, bad});
    QVERIFY(probe.waitForFinished());
    QCOMPARE(probe.exitCode(), 1);
    QVERIFY(probe.readAllStandardOutput().isEmpty());
    QVERIFY(QString::fromUtf8(probe.readAllStandardError()).contains(u"PDF"));
}

QTEST_GUILESS_MAIN(TestBookFormats)
#include "tst_book_formats.moc"
