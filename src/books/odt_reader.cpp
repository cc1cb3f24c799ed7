#include "books/odt_reader.h"

#include "books/document_lines.h"
#include "books/office_metadata.h"
#include "books/xml_reading.h"
#include "books/zip_archive.h"

namespace {

const QString contentPath = QStringLiteral("content.xml");
const QString textNamespace = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QString officeNamespace = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
const QString svgNamespace =
    QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0");

// Elements left out with all they hold.
bool isLeftOut(const XmlWalk& walk) {
    const QStringView name = walk.name();
    if (walk.namespaceUri() == officeNamespace)
        return isOneOf(name, {u"annotation", u"forms"});
    if (walk.namespaceUri() == textNamespace)
        return name == u"note" || name == u"tracked-changes" || name == u"ruby-text" ||
               name == u"table-of-content" || name.endsWith(u"-index") || name == u"bibliography" ||
               name == u"sequence-decls" || name == u"variable-decls" ||
               name == u"user-field-decls";
    // The descriptions of graphics.
    return walk.namespaceUri() == svgNamespace && (name == u"desc" || name == u"title");
}

BookText walkContent(XmlWalk& walk, const BookLimits& limits) {
    DocumentLines lines(limits);
    int leftOutFrom = 0;
    int textDepth = 0; // depth of office:text, 0 outside it
    int paragraphs = 0;
    while (walk.next()) {
        if (walk.isStart()) {
            if (leftOutFrom != 0)
                continue;
            if (isLeftOut(walk)) {
                leftOutFrom = walk.depth();
                continue;
            }
            const QStringView name = walk.name();
            if (walk.namespaceUri() == officeNamespace && name == u"text") {
                textDepth = walk.depth();
                continue;
            }
            if (textDepth == 0 || walk.namespaceUri() != textNamespace)
                continue;
            if (name == u"p" || name == u"h") {
                lines.beginParagraph();
                if (name == u"h")
                    lines.markHeading();
                ++paragraphs;
            } else if (name == u"s" || name == u"tab") {
                lines.addText(u" ");
            } else if (name == u"line-break") {
                lines.lineBreak();
            }
        } else if (walk.isEnd()) {
            if (leftOutFrom != 0) {
                if (walk.depth() == leftOutFrom)
                    leftOutFrom = 0;
                continue;
            }
            if (walk.depth() == textDepth) {
                textDepth = 0;
            } else if (textDepth != 0 && walk.namespaceUri() == textNamespace &&
                       (walk.name() == u"p" || walk.name() == u"h")) {
                lines.endParagraph();
                --paragraphs;
                if (lines.tooLong())
                    walk.fail(textTooLong());
            }
        } else if (walk.isText() && leftOutFrom == 0 && paragraphs > 0) {
            lines.addText(walk.text());
        }
    }
    if (walk.error().failed()) {
        BookError error = walk.error();
        if (error.failure == BookFailure::Damaged)
            error.detail = contentPath + QStringLiteral(": ") + error.detail;
        return BookText::failed(error);
    }
    return lines.take(QStringLiteral("ODT"));
}

} // namespace

QString openDocumentKind(ZipArchive& zip) {
    const int mimetype = zip.find(QStringLiteral("mimetype"));
    if (mimetype < 0)
        return zip.find(contentPath) >= 0 && zip.find(QStringLiteral("META-INF/manifest.xml")) >= 0
                   ? QStringLiteral("ODT")
                   : QString();
    BookProgress ignored;
    QByteArray bytes;
    if (zip.read(mimetype, &bytes, ignored).failed())
        return {};
    const QByteArray type = bytes.trimmed();
    const QByteArray prefix = "application/vnd.oasis.opendocument.";
    if (!type.startsWith(prefix))
        return {};
    const QByteArray kind = type.mid(prefix.size());
    if (kind == "text" || kind == "text-master")
        return QStringLiteral("ODT");
    if (kind == "spreadsheet")
        return QStringLiteral("ODS");
    if (kind == "presentation")
        return QStringLiteral("ODP");
    return QStringLiteral("OpenDocument");
}

BookText readOdt(ZipArchive& zip, const BookLimits& limits, BookProgress& progress) {
    const int index = zip.find(contentPath);
    if (index < 0)
        return BookText::failed(BookFailure::Damaged,
                                QStringLiteral("в документе нет файла ") + contentPath);
    QByteArray bytes;
    if (BookError error = zip.read(index, &bytes, progress); error.failed())
        return BookText::failed(error);
    BookText book;
    {
        XmlWalk walk(decodeXml(bytes), limits, progress);
        book = walkContent(walk, limits);
    }
    if (book.ok())
        readOfficeMetadata(zip, QStringLiteral("meta.xml"), limits, progress, book);
    return book;
}
