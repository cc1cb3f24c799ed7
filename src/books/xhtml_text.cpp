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

// Whether a list of tokens separated by white space holds one of `tokens`.
bool holdsToken(const QString& list, std::initializer_list<const char16_t*> tokens) {
    if (list.isEmpty())
        return false;
    const QList<QStringView> items = QStringView(list).split(u' ', Qt::SkipEmptyParts);
    for (QStringView item : items) {
        if (isOneOf(item.trimmed(), tokens))
            return true;
    }
    return false;
}

// Elements dropped with everything in them.
bool isDropped(const XmlWalk& walk) {
    if (isOneOf(walk.name(),
                {u"head", u"script", u"style", u"img", u"image", u"svg", u"math", u"object",
                 u"embed", u"video", u"audio", u"canvas", u"iframe", u"template", u"noscript"}))
        return true;
    if (walk.hasAttribute(u"hidden"))
        return true;
    const QString type =
        walk.attribute(u"http://www.idpf.org/2007/ops", u"epub", u"type").simplified();
    if (holdsToken(type, {u"noteref", u"note", u"footnote", u"footnotes", u"endnote", u"endnotes",
                          u"rearnote", u"rearnotes", u"pagebreak"}))
        return true;
    return holdsToken(walk.attribute(u"role").simplified(),
                      {u"doc-noteref", u"doc-footnote", u"doc-endnote", u"doc-endnotes",
                       u"doc-backlink", u"doc-pagebreak"});
}

class XhtmlWalker {
public:
    XhtmlWalker(XmlWalk& walk, TextLines& lines, const BookLimits& limits, XhtmlDocument& document)
        : m_walk(walk), m_lines(lines), m_limits(limits), m_document(document) {}

    BookError walk() {
        m_lines.endLine();
        place(QString());
        while (m_walk.next()) {
            if (m_walk.isStart())
                start();
            else if (m_walk.isEnd())
                end();
            else if (m_walk.isText() && m_droppedFrom == 0)
                addText(m_walk.text());
        }
        m_lines.endLine();
        // Places that no text follows in this document.
        for (const QString& id : std::as_const(m_waiting))
            m_document.places.insert(id, m_lines.nextLineStart());
        return m_walk.error();
    }

private:
    void start() {
        if (m_droppedFrom != 0)
            return;
        const QStringView name = m_walk.name();
        if (name == u"html") {
            QString language = m_walk.attribute(u"lang");
            if (!language.isEmpty())
                m_russian = language.startsWith(u"ru", Qt::CaseInsensitive);
        }
        if (isDropped(m_walk)) {
            m_droppedFrom = m_walk.depth();
            return;
        }
        if (isHeading(name)) {
            m_lines.blankLine();
        } else if (isBlock(name)) {
            m_lines.endLine();
            m_preformatted += name == u"pre";
        } else if (name == u"q") {
            addText(m_russian ? u"«" : u"“");
        }
        if (!m_document.anchors.isEmpty())
            place(m_walk.attribute(u"id"));
    }

    void end() {
        if (m_droppedFrom == m_walk.depth()) {
            m_droppedFrom = 0;
            return;
        }
        if (m_droppedFrom != 0)
            return;
        const QStringView name = m_walk.name();
        if (isHeading(name)) {
            m_lines.blankLine();
        } else if (isBlock(name)) {
            m_lines.endLine();
            m_preformatted -= name == u"pre";
        } else if (name == u"q") {
            m_lines.addText(m_russian ? u"»" : u"”");
        }
        if (m_lines.size() > m_limits.textChars)
            m_walk.fail({BookFailure::TooBig, QStringLiteral("текст книги слишком длинный")});
    }

    // A wanted id's place is where the text that comes next begins its line.
    void place(const QString& id) {
        if (m_document.anchors.contains(id) && !m_document.places.contains(id))
            m_waiting.append(id);
    }

    void addText(QStringView text) {
        const qsizetype before = m_lines.size();
        m_lines.addText(text, m_preformatted > 0);
        if (m_waiting.isEmpty() || m_lines.size() == before)
            return;
        const qsizetype start = m_lines.lineStartAfter(before);
        for (const QString& id : std::as_const(m_waiting))
            m_document.places.insert(id, start);
        m_waiting.clear();
    }

    XmlWalk& m_walk;
    TextLines& m_lines;
    const BookLimits& m_limits;
    XhtmlDocument& m_document;
    bool m_russian = m_document.language.startsWith(u"ru", Qt::CaseInsensitive);
    int m_droppedFrom = 0; // depth of the element being dropped, 0 for none
    int m_preformatted = 0;
    QStringList m_waiting; // wanted ids met, their text still to come
};

} // namespace

BookError appendXhtml(const QByteArray& xhtml, TextLines& lines, const BookLimits& limits,
                      BookProgress& progress, XhtmlDocument& document) {
    const QString text = decodeXml(xhtml);
    const TextLines::Mark start = lines.mark();
    BookError error;
    {
        XmlWalk walk(text, limits, progress);
        error = XhtmlWalker(walk, lines, limits, document).walk();
        if (!walk.malformed())
            return error;
    }
    // What a strict reading stops at, a lenient one reads past.
    lines.rollBack(start);
    document.places.clear();
    XmlWalk walk(text, limits, progress, true);
    error = XhtmlWalker(walk, lines, limits, document).walk();
    document.lostText = walk.lostText();
    return error;
}
