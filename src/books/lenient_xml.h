#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Reads an XML or XHTML document that is not well-formed the way an HTML
// reader does: an end tag closes the elements open since its start tag and
// is ignored when there is none; the elements of HTML that never hold
// anything (br, img, hr, ...) close at once; elements still open at the end
// close there; a '<' or '&' that starts no markup is text. References are
// resolved as in XmlWalk. The text is lost only where the document ends
// inside a tag, a comment or a section of character data.
class LenientXml {
public:
    enum class Token { None, Start, End, Text };

    // `maxAttributes`: the attributes one start tag may hold; past them the
    // reading stops with a failure.
    LenientXml(QStringView xml, int maxAttributes);

    // Moves to the next token; false at the end and on a failure.
    bool next();
    Token token() const { return m_token; }
    // The local name of the element a start or end tag names.
    QStringView name() const { return m_name; }
    // The start tag's attributes: qualified name, value.
    const QList<std::pair<QString, QString>>& attributes() const { return m_attributes; }
    QStringView text() const { return m_text; }
    // The share read so far, in characters.
    qsizetype position() const { return m_at; }

    bool lostText() const { return m_lost; }
    // Why the reading stopped early, empty when it did not.
    const QString& failure() const { return m_failure; }

private:
    bool readMarkup();
    bool readStartTag();
    void readEndTag();
    bool readDeclaration();
    void skipPast(QStringView end);

    QStringView m_xml;
    qsizetype m_at = 0;
    int m_maxAttributes;
    Token m_token = Token::None;
    QString m_name;
    QList<std::pair<QString, QString>> m_attributes;
    QString m_text;
    QStringList m_open;      // local names of the open elements, outermost first
    qsizetype m_closing = 0; // end tokens still to give before the next tag
    bool m_lost = false;
    QString m_failure;
};
