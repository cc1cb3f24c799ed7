#pragma once

#include "books/book_limits.h"
#include "books/book_text.h"

#include <QBuffer>
#include <QXmlStreamReader>

#include <initializer_list>
#include <memory>

// Whether `name` is one of `names`.
bool isOneOf(QStringView name, std::initializer_list<const char16_t*> names);

// Whether the bytes of an XML file are valid in the encoding that their
// byte-order mark or declaration names (UTF-8 when none names one).
bool fitsNamedEncoding(const QByteArray& bytes);

// The text of an XML file: in the encoding that its byte-order mark or its
// declaration names, UTF-8 when it names none; a declaration that the bytes
// do not fit gives way to detection as for a plain text.
QString decodeXml(const QByteArray& bytes);

// Walks an XML document token by token inside the bounds. The walk stops
// with a failure when elements nest deeper than the limit, when the document
// is not well-formed, and when the reader cancels.
class XmlWalk {
public:
    // Walks the bytes of an XML file, read in the encoding that their mark or
    // declaration names. With `htmlEntities` the named references of HTML
    // are understood.
    XmlWalk(const QByteArray& xml, const BookLimits& limits, BookProgress& progress,
            bool htmlEntities = false);
    // Walks a text already decoded; its declaration's encoding is not heeded.
    XmlWalk(const QString& xml, const BookLimits& limits, BookProgress& progress,
            bool htmlEntities = false);
    ~XmlWalk();

    // Moves to the next token; false at the end of the document and on a
    // failure (see error()).
    bool next();

    QXmlStreamReader& reader() { return m_reader; }
    // Elements open around the current token, the current one included.
    int depth() const { return m_depth; }
    // The current element's local name, and one of its attributes.
    QStringView name() const { return m_reader.name(); }
    QString attribute(QStringView name) const;

    // Stops the walk with `error` (the book is bigger than allowed, say).
    void fail(BookError error);
    const BookError& error() const { return m_error; }

private:
    void useEntities(bool htmlEntities);

    QBuffer m_buffer; // the bytes being walked, if given as bytes
    QXmlStreamReader m_reader;
    std::unique_ptr<QXmlStreamEntityResolver> m_entities;
    const BookLimits& m_limits;
    BookProgress& m_progress;
    qsizetype m_length;
    int m_depth = 0;
    int m_tokens = 0;
    BookError m_error;
};
