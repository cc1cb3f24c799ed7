#include "books/lenient_xml.h"

#include "books/html_entities.h"
#include "books/xml_reading.h"

namespace {

bool isSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

bool startsName(QChar c) {
    return c.isLetter() || c == u'_' || c == u':';
}

// Elements of HTML that never hold anything, written without an end tag.
bool isVoid(QStringView name) {
    return isOneOf(name, {u"br", u"img", u"hr", u"meta", u"link", u"input", u"col", u"area",
                          u"base", u"wbr", u"source", u"param", u"embed", u"track"});
}

QStringView localName(QStringView qualified) {
    const qsizetype colon = qualified.lastIndexOf(u':');
    return colon < 0 ? qualified : qualified.sliced(colon + 1);
}

} // namespace

LenientXml::LenientXml(QStringView xml, int maxAttributes)
    : m_xml(xml), m_maxAttributes(maxAttributes) {}

bool LenientXml::next() {
    m_attributes.clear();
    m_text.clear();
    for (;;) {
        if (m_closing > 0) {
            --m_closing;
            m_name = m_open.takeLast();
            m_token = Token::End;
            return true;
        }
        if (!m_failure.isEmpty())
            return false;
        if (m_at >= m_xml.size()) {
            if (m_open.isEmpty()) {
                m_token = Token::None;
                return false;
            }
            m_closing = m_open.size();
            continue;
        }
        if (m_xml[m_at] == u'<') {
            if (readMarkup())
                return true;
            continue;
        }
        qsizetype end = m_xml.indexOf(u'<', m_at);
        if (end < 0)
            end = m_xml.size();
        m_text = withReferencesResolved(m_xml.sliced(m_at, end - m_at));
        m_at = end;
        m_token = Token::Text;
        return true;
    }
}

// At a '<': a tag, a comment, a section of character data, a declaration or
// a processing instruction; true when it gave a token.
bool LenientXml::readMarkup() {
    const QStringView rest = m_xml.sliced(m_at);
    if (rest.startsWith(u"<!--")) {
        skipPast(u"-->");
        return false;
    }
    if (rest.startsWith(u"<![CDATA[")) {
        const qsizetype end = rest.indexOf(u"]]>");
        m_text = rest.sliced(9, (end < 0 ? rest.size() : end) - 9).toString();
        m_at += end < 0 ? rest.size() : end + 3;
        m_token = Token::Text;
        return true;
    }
    if (rest.startsWith(u"<!"))
        return readDeclaration();
    if (rest.startsWith(u"<?")) {
        skipPast(u"?>");
        return false;
    }
    if (rest.size() > 2 && rest[1] == u'/' && startsName(rest[2])) {
        readEndTag();
        return false;
    }
    if (rest.size() > 1 && startsName(rest[1]))
        return readStartTag();
    // A '<' that starts nothing is text.
    m_text = QStringLiteral("<");
    ++m_at;
    m_token = Token::Text;
    return true;
}

// A document type declaration: skipped, unless its internal subset declares
// entities, which books never need.
bool LenientXml::readDeclaration() {
    const QStringView rest = m_xml.sliced(m_at);
    const qsizetype close = rest.indexOf(u'>');
    const qsizetype open = rest.indexOf(u'[');
    if (open >= 0 && (close < 0 || open < close)) {
        const qsizetype subsetEnd = rest.indexOf(u']', open);
        const QStringView subset =
            rest.sliced(open, (subsetEnd < 0 ? rest.size() : subsetEnd) - open);
        if (subset.contains(u"<!ENTITY")) {
            m_failure = QStringLiteral("документ объявляет свои сущности XML");
            return false;
        }
        m_at += subsetEnd < 0 ? rest.size() : subsetEnd;
    }
    skipPast(u">");
    return false;
}

bool LenientXml::readStartTag() {
    const qsizetype start = m_at;
    qsizetype at = m_at + 1;
    const qsizetype size = m_xml.size();
    const auto nameEnd = [&](qsizetype from) {
        while (from < size && !isSpace(m_xml[from]) && m_xml[from] != u'>' && m_xml[from] != u'/' &&
               m_xml[from] != u'=' && m_xml[from] != u'<')
            ++from;
        return from;
    };
    qsizetype end = nameEnd(at);
    const QString name = localName(m_xml.sliced(at, end - at)).toString();
    at = end;
    bool closed = false;
    for (;;) {
        while (at < size && isSpace(m_xml[at]))
            ++at;
        if (at >= size) {
            // The document ends inside the tag.
            m_lost = true;
            m_at = size;
            return false;
        }
        const QChar c = m_xml[at];
        if (c == u'>') {
            ++at;
            break;
        }
        if (c == u'/') {
            ++at;
            closed = at < size && m_xml[at] == u'>';
            continue;
        }
        if (c == u'<') {
            // Not a tag after all: "x<y and <b>...".
            m_text = QStringLiteral("<");
            m_at = start + 1;
            m_token = Token::Text;
            return true;
        }
        end = nameEnd(at + 1);
        QString attribute = m_xml.sliced(at, end - at).toString();
        at = end;
        while (at < size && isSpace(m_xml[at]))
            ++at;
        QString value;
        if (at < size && m_xml[at] == u'=') {
            ++at;
            while (at < size && isSpace(m_xml[at]))
                ++at;
            if (at < size && (m_xml[at] == u'"' || m_xml[at] == u'\'')) {
                const qsizetype quote = m_xml.indexOf(m_xml[at], at + 1);
                if (quote < 0) {
                    m_lost = true;
                    m_at = size;
                    return false;
                }
                value = withReferencesResolved(m_xml.sliced(at + 1, quote - at - 1));
                at = quote + 1;
            } else {
                const qsizetype from = at;
                while (at < size && !isSpace(m_xml[at]) && m_xml[at] != u'>')
                    ++at;
                value = withReferencesResolved(m_xml.sliced(from, at - from));
            }
        }
        if (m_attributes.size() >= m_maxAttributes) {
            m_failure = QStringLiteral("в одном теге XML больше %1 атрибутов").arg(m_maxAttributes);
            return false;
        }
        m_attributes.append({std::move(attribute), std::move(value)});
    }
    m_at = at;
    m_name = name;
    m_open.append(name);
    m_token = Token::Start;
    if (closed || isVoid(name))
        m_closing = 1;
    return true;
}

void LenientXml::readEndTag() {
    qsizetype at = m_at + 2;
    const qsizetype from = at;
    while (at < m_xml.size() && !isSpace(m_xml[at]) && m_xml[at] != u'>')
        ++at;
    const QStringView name = localName(m_xml.sliced(from, at - from));
    const qsizetype close = m_xml.indexOf(u'>', at);
    if (close < 0) {
        m_lost = true;
        m_at = m_xml.size();
    } else {
        m_at = close + 1;
    }
    // Closes what was opened since its start tag; without one it is ignored.
    for (qsizetype i = m_open.size() - 1; i >= 0; --i) {
        if (m_open[i] == name) {
            m_closing = m_open.size() - i;
            return;
        }
    }
}

void LenientXml::skipPast(QStringView end) {
    const qsizetype at = m_xml.indexOf(end, m_at);
    if (at < 0) {
        m_lost = true;
        m_at = m_xml.size();
    } else {
        m_at = at + end.size();
    }
}
