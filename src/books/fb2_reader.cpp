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

// Elements left out of the text with everything in them. A body named
// "notes" (or "comments") holds the notes; a link of the type "note" points
// to one.
bool isLeftOut(const XmlWalk& walk) {
    const QStringView name = walk.name();
    if (isOneOf(name, {u"description", u"binary", u"stylesheet", u"image"}))
        return true;
    if (name == u"body") {
        const QString bodyName = walk.attribute(u"name");
        return bodyName == u"notes" || bodyName == u"comments";
    }
    return name == u"a" && walk.attribute(u"type") == u"note";
}

// Walks the document once: the text of the main bodies, the chapters that
// their sections' titles begin, and the book's title and first author from
// its description.
class Fb2Walker {
public:
    Fb2Walker(XmlWalk& walk, qsizetype sizeHint, const BookLimits& limits)
        : m_walk(walk), m_limits(limits) {
        // Books hold about as many characters of text as of markup.
        m_lines.reserve(qMin(sizeHint / 2, limits.textChars));
    }

    BookText walk() {
        while (m_walk.next()) {
            if (m_walk.isStart()) {
                if (!m_rootSeen) {
                    m_rootSeen = true;
                    if (m_walk.name() != u"FictionBook")
                        return BookText::failed(BookFailure::NotABook);
                    continue;
                }
                start();
            } else if (m_walk.isEnd()) {
                end();
            } else if (m_walk.isText()) {
                if (m_capture)
                    *m_capture += m_walk.text();
                if (m_leftOutFrom == 0 && m_bodyDepth != 0) {
                    m_lines.addText(m_walk.text());
                    if (m_chapterTitleDepth != 0)
                        m_book.chapters.last().title += m_walk.text();
                }
            }
        }
        if (m_walk.error().failed())
            return BookText::failed(m_walk.error());
        if (!m_rootSeen)
            return BookText::failed(BookFailure::NotABook);
        m_book.text = m_lines.take();
        m_book.format = QStringLiteral("FB2");
        if (m_book.text.isEmpty())
            return BookText::failed(BookFailure::Empty);
        m_book.title = m_book.title.simplified();
        m_book.author =
            QString(m_firstName.simplified() + u' ' + m_lastName.simplified()).trimmed();
        for (ChapterMark& chapter : m_book.chapters)
            chapter.title = chapter.title.simplified();
        return std::move(m_book);
    }

private:
    void start() {
        const QStringView name = m_walk.name();
        if (name == u"title-info")
            m_titleInfoDepth = m_walk.depth();
        if (m_titleInfoDepth != 0 && !m_capture) {
            if (name == u"book-title")
                m_capture = &m_book.title;
            else if (name == u"author")
                ++m_authors;
            else if (m_authors == 1 && name == u"first-name")
                m_capture = &m_firstName;
            else if (m_authors == 1 && name == u"last-name")
                m_capture = &m_lastName;
            if (m_capture)
                m_captureDepth = m_walk.depth();
        }
        if (m_leftOutFrom != 0)
            return;
        if (isLeftOut(m_walk)) {
            m_leftOutFrom = m_walk.depth();
        } else if (name == u"body") {
            m_bodyDepth = m_walk.depth();
            m_lines.blankLine();
        } else if (m_bodyDepth != 0) {
            if (isLine(name))
                m_lines.endLine();
            else if (isSetApart(name) || name == u"empty-line")
                m_lines.blankLine();
            if (name == u"section")
                m_sectionDepth = m_walk.depth();
            // A section's own title begins a chapter.
            if (name == u"title" && m_sectionDepth == m_walk.depth() - 1 &&
                m_chapterTitleDepth == 0) {
                m_chapterTitleDepth = m_walk.depth();
                m_book.chapters.append(ChapterMark{m_lines.nextLineStart(), QString()});
            }
        }
    }

    void end() {
        const QStringView name = m_walk.name();
        if (m_capture && m_walk.depth() == m_captureDepth)
            m_capture = nullptr;
        if (m_titleInfoDepth == m_walk.depth())
            m_titleInfoDepth = 0;
        if (m_leftOutFrom == m_walk.depth()) {
            m_leftOutFrom = 0;
            return;
        }
        if (m_leftOutFrom != 0 || m_bodyDepth == 0)
            return;
        if (isLine(name) || name == u"tr" || name == u"section")
            m_lines.endLine();
        else if (isSetApart(name))
            m_lines.blankLine();
        if (m_chapterTitleDepth == m_walk.depth()) {
            m_chapterTitleDepth = 0;
        } else if (m_chapterTitleDepth != 0 && isLine(name)) {
            m_book.chapters.last().title += u' ';
        }
        if (name == u"section")
            m_sectionDepth = 0;
        if (m_walk.depth() == m_bodyDepth)
            m_bodyDepth = 0;
        if (m_lines.size() > m_limits.textChars)
            m_walk.fail({BookFailure::TooBig, QStringLiteral("текст книги слишком длинный")});
    }

    XmlWalk& m_walk;
    const BookLimits& m_limits;
    TextLines m_lines;
    BookText m_book;
    bool m_rootSeen = false;
    int m_leftOutFrom = 0;       // depth of the element being left out, 0 for none
    int m_bodyDepth = 0;         // depth of the body being read, 0 outside
    int m_sectionDepth = 0;      // depth of the section last opened, 0 after its end
    int m_chapterTitleDepth = 0; // depth of the section title being read
    int m_titleInfoDepth = 0;
    int m_authors = 0;
    QString* m_capture = nullptr; // where the description's text goes
    int m_captureDepth = 0;
    QString m_firstName;
    QString m_lastName;
};

} // namespace

BookText readFb2(const QByteArray& bytes, const BookLimits& limits, BookProgress& progress) {
    const QString xml = decodeXml(bytes);
    {
        XmlWalk walk(xml, limits, progress);
        BookText book = Fb2Walker(walk, bytes.size(), limits).walk();
        if (!walk.malformed())
            return book;
    }
    // What a strict reading stops at, a lenient one reads past.
    XmlWalk walk(xml, limits, progress, true);
    BookText book = Fb2Walker(walk, bytes.size(), limits).walk();
    if (book.ok() && walk.lostText())
        book.damaged.append(QStringLiteral("FB2"));
    return book;
}
