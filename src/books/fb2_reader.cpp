#include "books/fb2_reader.h"

#include "books/text_lines.h"
#include "books/xml_reading.h"

namespace {

// Elements whose text is one line.
bool isLine(QStringView name) {
    return isOneOf(name, {u"p", u"v", u"subtitle", u"text-author", u"th", u"td"});
}

// Blocks set apart by an empty line before and after.
bool isSetApart(QStringView name) {
    return isOneOf(name, {u"title", u"epigraph", u"poem", u"stanza", u"cite"});
}

// Elements left out with everything in them. A body named "notes" (or
// "comments") holds the notes; a link of the type "note" points to one.
bool isLeftOut(XmlWalk& walk) {
    const QStringView name = walk.name();
    if (isOneOf(name, {u"description", u"binary", u"stylesheet", u"image"}))
        return true;
    if (name == u"body") {
        const QString bodyName = walk.attribute(u"name");
        return bodyName == u"notes" || bodyName == u"comments";
    }
    return name == u"a" && walk.attribute(u"type") == u"note";
}

BookText walkFb2(XmlWalk& walk, qsizetype sizeHint, const BookLimits& limits) {
    TextLines lines;
    // Books hold about as many characters of text as of markup.
    lines.reserve(qMin(sizeHint / 2, limits.textChars));
    bool rootSeen = false;
    int leftOutFrom = 0; // depth of the element being left out, 0 for none
    int bodyDepth = 0;   // depth of the body being read, 0 outside
    while (walk.next()) {
        QXmlStreamReader& r = walk.reader();
        if (r.isStartElement()) {
            if (!rootSeen) {
                rootSeen = true;
                if (walk.name() != u"FictionBook")
                    return BookText::failed(BookFailure::NotABook);
                continue;
            }
            if (leftOutFrom != 0)
                continue;
            if (isLeftOut(walk)) {
                leftOutFrom = walk.depth();
            } else if (walk.name() == u"body") {
                bodyDepth = walk.depth();
                lines.blankLine();
            } else if (bodyDepth != 0) {
                if (isLine(walk.name()))
                    lines.endLine();
                else if (isSetApart(walk.name()) || walk.name() == u"empty-line")
                    lines.blankLine();
            }
        } else if (r.isEndElement()) {
            if (leftOutFrom == walk.depth()) {
                leftOutFrom = 0;
            } else if (leftOutFrom == 0 && bodyDepth != 0) {
                if (isLine(walk.name()) || walk.name() == u"tr" || walk.name() == u"section")
                    lines.endLine();
                else if (isSetApart(walk.name()))
                    lines.blankLine();
                if (walk.depth() == bodyDepth)
                    bodyDepth = 0;
                if (lines.size() > limits.textChars)
                    walk.fail({BookFailure::TooBig, QStringLiteral("текст книги слишком длинный")});
            }
        } else if (r.isCharacters() && leftOutFrom == 0 && bodyDepth != 0) {
            lines.addText(r.text());
        }
    }
    if (walk.error().failed())
        return BookText::failed(walk.error());
    if (!rootSeen)
        return BookText::failed(BookFailure::NotABook);
    BookText book;
    book.text = lines.take();
    book.format = QStringLiteral("FB2");
    if (book.text.isEmpty())
        return BookText::failed(BookFailure::Empty);
    return book;
}

} // namespace

BookText readFb2(const QByteArray& bytes, const BookLimits& limits, BookProgress& progress) {
    BookText book;
    {
        XmlWalk walk(bytes, limits, progress);
        book = walkFb2(walk, bytes.size(), limits);
    }
    // Bytes that do not fit the encoding their declaration names (or UTF-8,
    // when it names none) are read once more in the encoding they show.
    if (book.error.failure == BookFailure::Damaged && !fitsNamedEncoding(bytes)) {
        XmlWalk walk(decodeXml(bytes), limits, progress);
        book = walkFb2(walk, bytes.size(), limits);
    }
    return book;
}
