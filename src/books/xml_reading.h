#pragma once

#include "books/book_limits.h"
#include "books/book_text.h"

#include <QXmlStreamReader>

#include <initializer_list>
#include <memory>

class LenientXml;

// Whether `name` is one of `names`.
bool isOneOf(QStringView name, std::initializer_list<const char16_t*> names);

// The text of an XML file: in the encoding that its byte-order mark names,
// else the one its declaration names, UTF-8 when it names none; a mostly
// valid UTF-8 text keeps its few bad bytes as U+FFFD; a declaration that the
// bytes do not fit gives way to detection as for a plain text.
QString decodeXml(const QByteArray& bytes);

// Walks an XML document token by token inside the bounds. The walk stops
// with a failure when elements nest deeper than the limit, when one tag holds
// more attributes than allowed, when the document declares entities of its
// own (books never need them, and their expansion can be made to fill any
// memory), when the document is not well-formed, and when the reader cancels.
// The named references of HTML are understood everywhere, and a reference to
// an entity nobody declared stands for itself.
//
// A lenient walk reads what a strict one stops at: tags that do not match
// are closed or ignored the way an HTML reader does, a '<' that starts no
// tag is text, and the text is lost only where the document ends inside a
// tag or a comment (see lostText()).
class XmlWalk {
public:
    XmlWalk(const QString& xml, const BookLimits& limits, BookProgress& progress,
            bool lenient = false);
    ~XmlWalk();
    XmlWalk(const XmlWalk&) = delete;
    XmlWalk& operator=(const XmlWalk&) = delete;

    // Moves to the next token; false at the end of the document and on a
    // failure (see error()).
    bool next();

    bool isStart() const { return m_token == Token::Start; }
    bool isEnd() const { return m_token == Token::End; }
    bool isText() const { return m_token == Token::Text; }
    // The text of a text token, references resolved.
    QStringView text() const;
    // Elements open around the current token, the current one included.
    int depth() const { return m_depth; }
    // The current element's local name.
    QStringView name() const;
    // The current start tag's attribute of this local name, whatever its
    // namespace; empty when it has none.
    QString attribute(QStringView localName) const;
    // The attribute `prefix:localName` of the namespace `namespaceUri`.
    QString attribute(QStringView namespaceUri, QStringView prefix, QStringView localName) const;
    bool hasAttribute(QStringView localName) const;

    // Stops the walk with `error` (the book is bigger than allowed, say).
    void fail(BookError error);
    const BookError& error() const { return m_error; }
    // Whether the walk stopped at an error of form that a lenient walk reads
    // past.
    bool malformed() const { return m_malformed; }
    // Whether a lenient walk had to leave text out.
    bool lostText() const;

private:
    enum class Token { None, Start, End, Text };
    bool nextStrict();
    bool nextLenient();
    bool tooManyAttributes(QStringView xml);

    const BookLimits& m_limits;
    BookProgress& m_progress;
    qsizetype m_length;
    std::unique_ptr<QXmlStreamReader> m_reader;
    std::unique_ptr<QXmlStreamEntityResolver> m_entities;
    std::unique_ptr<LenientXml> m_lenient;
    Token m_token = Token::None;
    int m_depth = 0;
    int m_tokens = 0;
    bool m_malformed = false;
    BookError m_error;
};
