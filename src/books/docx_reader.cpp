#include "books/docx_reader.h"

#include "books/document_lines.h"
#include "books/office_metadata.h"
#include "books/xml_reading.h"
#include "books/zip_archive.h"

#include <QHash>
#include <QSet>

namespace {

const QString documentPath = QStringLiteral("word/document.xml");

// A style of styles.xml, as far as telling headings goes.
struct Style {
    QString basedOn;
    bool heading = false;  // named as a heading or a title
    int outlineLevel = -1; // its own outline level, -1 for none
};

bool isHeadingName(const QString& name) {
    const QString lower = name.trimmed().toLower();
    return lower == u"title" || (lower.startsWith(u"heading") && lower.size() <= 10);
}

// Outline levels 0 to 8 are the levels of headings; 9 is body text.
int outlineLevel(const QString& value) {
    bool ok = false;
    const int level = value.toInt(&ok);
    return ok && level >= 0 && level < 9 ? level : -1;
}

// The styles of paragraphs that make headings, by style id.
QSet<QString> headingStyles(ZipArchive& zip, const BookLimits& limits, BookProgress& progress) {
    QSet<QString> headings;
    const int index = zip.find(QStringLiteral("word/styles.xml"));
    QByteArray bytes;
    if (index < 0 || zip.read(index, &bytes, progress).failed())
        return headings;
    BookProgress quiet;
    XmlWalk walk(decodeXml(bytes), limits, quiet);
    QHash<QString, Style> styles;
    Style* style = nullptr;
    int styleDepth = 0;
    while (walk.next()) {
        if (walk.isEnd() && walk.depth() == styleDepth)
            style = nullptr;
        if (!walk.isStart())
            continue;
        const QStringView name = walk.name();
        if (name == u"style" && walk.attribute(u"type") == u"paragraph") {
            style = &styles[walk.attribute(u"styleId")];
            styleDepth = walk.depth();
        } else if (style && name == u"name") {
            style->heading = isHeadingName(walk.attribute(u"val"));
        } else if (style && name == u"basedOn") {
            style->basedOn = walk.attribute(u"val");
        } else if (style && name == u"outlineLvl") {
            style->outlineLevel = outlineLevel(walk.attribute(u"val"));
        }
    }
    for (auto it = styles.cbegin(); it != styles.cend(); ++it) {
        // A style inherits its outline level; the chain is followed a few
        // steps only, as a loop in it would never end.
        const Style* s = &it.value();
        for (int step = 0; s && step < 16; ++step) {
            if (s->heading || s->outlineLevel >= 0) {
                headings.insert(it.key());
                break;
            }
            const auto base = styles.constFind(s->basedOn);
            s = base == styles.cend() ? nullptr : &base.value();
        }
    }
    return headings;
}

// Elements left out with all they hold: deleted and moved-away text of
// tracked changes, the fallback copy of alternate content, field codes.
bool isLeftOut(QStringView name) {
    return isOneOf(name, {u"del", u"moveFrom", u"Fallback", u"instrText", u"delText"});
}

BookText walkDocument(XmlWalk& walk, const QSet<QString>& headings, const BookLimits& limits) {
    DocumentLines lines(limits);
    QString wordNamespace; // the namespace of the root, that of WordprocessingML
    int leftOutFrom = 0;
    bool inText = false;
    bool inBody = false;
    while (walk.next()) {
        if (walk.isStart()) {
            if (walk.depth() == 1) {
                if (walk.name() != u"document")
                    return BookText::failed(BookFailure::Damaged,
                                            documentPath + QStringLiteral(" не документ Word"));
                wordNamespace = walk.namespaceUri().toString();
                continue;
            }
            if (leftOutFrom != 0)
                continue;
            const QStringView name = walk.name();
            if (isLeftOut(name)) {
                leftOutFrom = walk.depth();
                continue;
            }
            if (walk.namespaceUri() != wordNamespace)
                continue;
            if (name == u"body") {
                inBody = true;
            } else if (!inBody) {
                continue;
            } else if (name == u"p") {
                lines.beginParagraph();
            } else if ((name == u"pStyle" && headings.contains(walk.attribute(u"val"))) ||
                       (name == u"outlineLvl" && outlineLevel(walk.attribute(u"val")) >= 0)) {
                lines.markHeading();
            } else if (name == u"t") {
                inText = true;
            } else if (name == u"tab" || name == u"noBreakHyphen") {
                lines.addText(name == u"tab" ? u" " : u"-");
            } else if (name == u"br" || name == u"cr") {
                const QString type = walk.attribute(u"type");
                if (type != u"page" && type != u"column")
                    lines.lineBreak();
            }
        } else if (walk.isEnd()) {
            if (leftOutFrom != 0) {
                if (walk.depth() == leftOutFrom)
                    leftOutFrom = 0;
                continue;
            }
            if (walk.namespaceUri() != wordNamespace)
                continue;
            if (walk.name() == u"t") {
                inText = false;
            } else if (walk.name() == u"p") {
                lines.endParagraph();
                if (lines.tooLong())
                    walk.fail(textTooLong());
            } else if (walk.name() == u"body") {
                inBody = false;
            }
        } else if (walk.isText() && inText && leftOutFrom == 0) {
            lines.addText(walk.text());
        }
    }
    if (walk.error().failed())
        return BookText::failed(walk.error());
    return lines.take(QStringLiteral("DOCX"));
}

} // namespace

bool isDocx(const ZipArchive& zip) {
    return zip.find(documentPath) >= 0;
}

BookText readDocx(ZipArchive& zip, const BookLimits& limits, BookProgress& progress) {
    const QSet<QString> headings = headingStyles(zip, limits, progress);
    QByteArray bytes;
    if (BookError error = zip.read(zip.find(documentPath), &bytes, progress); error.failed())
        return BookText::failed(error);
    BookText book;
    {
        XmlWalk walk(decodeXml(bytes), limits, progress);
        book = walkDocument(walk, headings, limits);
    }
    if (book.error.failure == BookFailure::Damaged && !book.error.detail.startsWith(documentPath))
        book.error.detail = documentPath + QStringLiteral(": ") + book.error.detail;
    if (book.ok())
        readOfficeMetadata(zip, QStringLiteral("docProps/core.xml"), limits, progress, book);
    return book;
}
