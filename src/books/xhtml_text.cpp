#include "books/xhtml_text.h"

#include "books/text_lines.h"
#include "books/xml_reading.h"

namespace {

bool isBlock(QStringView name) {
    return isOneOf(name,
                   {u"p",       u"div",        u"li",     u"blockquote", u"pre",     u"tr",
                    u"td",      u"th",         u"dt",     u"dd",         u"section", u"article",
                    u"header",  u"footer",     u"aside",  u"nav",        u"figure",  u"address",
                    u"table",   u"ul",         u"ol",     u"dl",         u"hr",      u"main",
                    u"caption", u"figcaption", u"center", u"body",       u"br"});
}

bool isHeading(QStringView name) {
    return name.size() == 2 && name[0] == u'h' && name[1] >= u'1' && name[1] <= u'6';
}

// The "type" attribute of the EPUB 3 vocabulary.
QString epubType(XmlWalk& walk) {
    static const QString ops = QStringLiteral("http://www.idpf.org/2007/ops");
    return walk.reader().attributes().value(ops, QStringLiteral("type")).toString();
}

// Elements dropped with everything in them.
bool isDropped(XmlWalk& walk) {
    const QStringView name = walk.name();
    if (isOneOf(name,
                {u"head", u"script", u"style", u"img", u"image", u"svg", u"math", u"object",
                 u"embed", u"video", u"audio", u"canvas", u"iframe", u"template", u"noscript"}))
        return true;
    if (name != u"aside" && name != u"a")
        return false;
    const QString type = epubType(walk);
    if (name == u"a")
        return type.contains(u"noteref");
    return type.contains(u"footnote") || type.contains(u"endnote") || type.contains(u"rearnote");
}

BookError walkXhtml(XmlWalk& walk, TextLines& lines, const BookLimits& limits) {
    int droppedFrom = 0; // depth of the element being dropped, 0 for none
    int preformatted = 0;
    lines.endLine();
    while (walk.next()) {
        QXmlStreamReader& r = walk.reader();
        if (r.isStartElement()) {
            if (droppedFrom != 0)
                continue;
            if (isDropped(walk)) {
                droppedFrom = walk.depth();
            } else if (isHeading(walk.name())) {
                lines.blankLine();
            } else if (isBlock(walk.name())) {
                lines.endLine();
                preformatted += walk.name() == u"pre";
            }
        } else if (r.isEndElement()) {
            if (droppedFrom == walk.depth()) {
                droppedFrom = 0;
            } else if (droppedFrom == 0) {
                if (isHeading(walk.name())) {
                    lines.blankLine();
                } else if (isBlock(walk.name())) {
                    lines.endLine();
                    preformatted -= walk.name() == u"pre";
                }
                if (lines.size() > limits.textChars)
                    walk.fail({BookFailure::TooBig, QStringLiteral("текст книги слишком длинный")});
            }
        } else if (r.isCharacters() && droppedFrom == 0) {
            lines.addText(r.text(), preformatted > 0);
        } else if (r.isEntityReference() && droppedFrom == 0) {
            lines.addText(r.text());
        }
    }
    lines.endLine();
    return walk.error();
}

} // namespace

BookError appendXhtml(const QByteArray& xhtml, TextLines& lines, const BookLimits& limits,
                      BookProgress& progress) {
    const TextLines::Mark start = lines.mark();
    BookError error;
    {
        XmlWalk walk(xhtml, limits, progress, true);
        error = walkXhtml(walk, lines, limits);
    }
    // Bytes that do not fit the encoding their declaration names are read
    // once more in the encoding they show.
    if (error.failure == BookFailure::Damaged && !fitsNamedEncoding(xhtml)) {
        lines.rollBack(start);
        XmlWalk walk(decodeXml(xhtml), limits, progress, true);
        error = walkXhtml(walk, lines, limits);
    }
    return error;
}
