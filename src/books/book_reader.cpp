#include "books/book_reader.h"

#include "books/text_headings.h"

#include "books/docx_reader.h"
#include "books/epub_reader.h"
#include "books/fb2_reader.h"
#include "books/odt_reader.h"
#include "books/pdf_reader.h"
#include "books/text_decoding.h"
#include "books/zip_archive.h"
#include "platform/file_errors.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

// The share of the progress that reading the file takes.
constexpr int fileShare = 100;

// Whether a compound file (the container of Word 97-2003 documents) holds a
// document protected by a password: Office Open XML encrypted whole (its
// streams "EncryptionInfo" and "EncryptedPackage"), or a Word document
// whose header says it is encrypted.
bool isPasswordCompoundFile(const QByteArray& bytes) {
    static const QByteArray package =
        QByteArray("E\0n\0c\0r\0y\0p\0t\0e\0d\0P\0a\0c\0k\0a\0g\0e\0\0\0", 34);
    // Directory entries are 128 bytes, aligned so, their name first and its
    // length in bytes (with the ending zero) at 64.
    for (qsizetype at = bytes.indexOf(package); at >= 0; at = bytes.indexOf(package, at + 1)) {
        if (at % 128 == 0 && at + 66 <= bytes.size() && uchar(bytes[at + 64]) == 34 &&
            bytes[at + 65] == 0)
            return true;
    }
    // The Word document stream starts a sector with its magic 0xA5EC; the
    // bit fEncrypted is 0x0100 of the flags at 10.
    constexpr qsizetype sector = 512;
    for (qsizetype at = sector; at + 12 <= bytes.size(); at += sector) {
        if (uchar(bytes[at]) == 0xEC && uchar(bytes[at + 1]) == 0xA5)
            return (uchar(bytes[at + 11]) & 0x01) != 0;
    }
    return false;
}

// Known formats that are not read, by the bytes they start with.
QString unsupportedFormat(const QByteArray& bytes) {
    struct Magic {
        qsizetype offset;
        const char* bytes;
        const char* format;
    };
    static constexpr Magic magics[] = {
        {0, "\xD0\xCF\x11\xE0", "DOC"}, {0, "{\\rtf", "RTF"}, {0, "AT&TFORM", "DjVu"},
        {60, "BOOKMOBI", "MOBI"},       {0, "Rar!", "RAR"},   {0, "7z\xBC\xAF", "7z"},
        {0, "\x1F\x8B", "GZIP"},
    };
    for (const Magic& m : magics) {
        if (bytes.mid(m.offset, qstrlen(m.bytes)) == m.bytes)
            return QString::fromLatin1(m.format);
    }
    return {};
}

// The start of the text for a look at what kind of document it is.
QString head(const QByteArray& bytes, qsizetype size = 4096) {
    const QByteArray start = bytes.left(size);
    if (!byteOrderMark(start).isEmpty() || start.contains('\0'))
        return decodePlainText(start).text;
    return QString::fromLatin1(start);
}

// Whether a text starts as an XML or HTML document does.
bool isMarkup(const QString& start) {
    return start.startsWith(u"<?xml") || start.startsWith(u"<FictionBook") ||
           start.startsWith(u"<!DOCTYPE", Qt::CaseInsensitive) ||
           start.startsWith(u"<html", Qt::CaseInsensitive);
}

BookText readZip(const QByteArray& bytes, const BookLimits& limits, BookProgress& progress) {
    ZipArchive zip(limits);
    if (BookError error = zip.open(bytes); error.failed())
        return BookText::failed(error);
    if (isEpub(zip))
        return readEpub(zip, limits, progress);
    if (isDocx(zip))
        return readDocx(zip, limits, progress);
    const QString openDocument = openDocumentKind(zip);
    if (openDocument == u"ODT")
        return readOdt(zip, limits, progress);
    if (!openDocument.isEmpty())
        return BookText::failed(BookFailure::Unsupported, openDocument);
    // The other documents of Office Open XML.
    if (zip.find(QStringLiteral("xl/workbook.xml")) >= 0)
        return BookText::failed(BookFailure::Unsupported, QStringLiteral("XLSX"));
    if (zip.find(QStringLiteral("ppt/presentation.xml")) >= 0)
        return BookText::failed(BookFailure::Unsupported, QStringLiteral("PPTX"));
    // An FB2 document packed alone (.fb2.zip).
    const QStringList& names = zip.names();
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (!names[i].endsWith(QLatin1String(".fb2"), Qt::CaseInsensitive))
            continue;
        QByteArray fb2;
        if (BookError error = zip.read(static_cast<int>(i), &fb2, progress); error.failed())
            return BookText::failed(error);
        BookText book = readFb2(fb2, limits, progress);
        if (book.ok())
            book.format = QStringLiteral("FB2.ZIP");
        return book;
    }
    return BookText::failed(BookFailure::NotABook);
}

BookText readText(const QByteArray& bytes, const BookLimits& limits) {
    if (!looksLikeText(bytes))
        return BookText::failed(BookFailure::NotABook);
    DecodedText decoded = decodePlainText(bytes);
    if (decoded.text.size() > limits.textChars)
        return BookText::failed(BookFailure::TooBig, QStringLiteral("текст книги слишком длинный"));
    BookText book;
    book.text = withLineFeeds(std::move(decoded.text));
    book.format = QStringLiteral("TXT (") + QString::fromLatin1(decoded.encoding) + u')';
    if (book.text.trimmed().isEmpty())
        return BookText::failed(BookFailure::Empty);
    book.chapters = textHeadings(book.text);
    return book;
}

} // namespace

BookText readBook(const QByteArray& bytes, const BookLimits& limits, BookProgress& progress) {
    if (bytes.isEmpty())
        return BookText::failed(BookFailure::Empty);
    progress.setPhase(fileShare, 1000);
    BookText book;
    if (ZipArchive::looksLikeZip(bytes)) {
        book = readZip(bytes, limits, progress);
    } else if (looksLikePdf(bytes)) {
        book = readPdf(bytes, limits, progress);
    } else if (bytes.startsWith("\xD0\xCF\x11\xE0") && isPasswordCompoundFile(bytes)) {
        book = BookText::failed(BookFailure::Password);
    } else if (const QString format = unsupportedFormat(bytes); !format.isEmpty()) {
        book = BookText::failed(BookFailure::Unsupported, format);
    } else if (const QString start = head(bytes).trimmed(); isMarkup(start)) {
        // A document type declaration (comments, an internal subset) may
        // put the root element far from the start.
        if (start.contains(u"<FictionBook") || head(bytes, 256 * 1024).contains(u"<FictionBook"))
            book = readFb2(bytes, limits, progress);
        else if (start.contains(u"<html", Qt::CaseInsensitive))
            book = BookText::failed(BookFailure::Unsupported, QStringLiteral("HTML"));
        else
            book = BookText::failed(BookFailure::NotABook);
    } else {
        book = readText(bytes, limits);
    }
    // A cancel that came too late to stop the work still counts.
    if (progress.cancelled())
        return BookText::failed(BookFailure::Cancelled);
    progress.report(1, 1);
    if (book.ok())
        cleanBookText(book);
    return book;
}

BookText readBookFile(const QString& path, const BookLimits& limits, BookProgress& progress) {
    const auto tooBig = [&limits] {
        return BookText::failed(
            BookFailure::TooBig,
            QStringLiteral("больше %1 МБ").arg(limits.fileBytes / BookLimits::mebibyte));
    };
    // Opened without waiting (a FIFO put in the file's place would wait for a
    // writer), and what was opened is checked, not what the name showed.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return BookText::failed(BookFailure::Unreadable, QStringLiteral("файла нет"));
        return BookText::failed(BookFailure::Unreadable, fileErrorText(errno));
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return BookText::failed(BookFailure::Unreadable, file.errorString());
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return BookText::failed(BookFailure::Unreadable, QStringLiteral("это не обычный файл"));
    if (st.st_size > limits.fileBytes)
        return tooBig();
    // Read in pieces, to follow a cancel, and never beyond the bound, even if
    // the file grows meanwhile.
    progress.setPhase(0, fileShare);
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(st.st_size));
    constexpr qint64 piece = 1024 * 1024;
    for (;;) {
        if (progress.cancelled())
            return BookText::failed(BookFailure::Cancelled);
        const QByteArray more = file.read(piece);
        if (more.isEmpty()) {
            if (file.error() != QFileDevice::NoError)
                return BookText::failed(BookFailure::Unreadable, file.errorString());
            break;
        }
        bytes += more;
        if (bytes.size() > limits.fileBytes)
            return tooBig();
        progress.report(bytes.size(), qMax<qint64>(st.st_size, 1));
    }
    return readBook(bytes, limits, progress);
}
