#pragma once

#include "books/book_limits.h"
#include "books/book_text.h"

#include <QHash>
#include <QSet>

class TextLines;

// What reading one XHTML document of a book needs besides its bytes, and
// what it finds.
struct XhtmlDocument {
    // The book's language, for a document that names none of its own.
    QString language;
    // The ids of the elements whose place in the text is wanted; the empty
    // id stands for the document's start.
    QSet<QString> anchors;
    // Found: where each wanted id's first line begins in the text.
    QHash<QString, qsizetype> places;
    // Found: the document is damaged and part of its text could not be read.
    bool lostText = false;
};

// Adds the text of an XHTML document's body to `lines`: block elements
// (paragraphs, divisions, list items, table rows, ...) make lines of their
// own, a line break ends a line, headings are set apart by empty lines, a
// quotation gets the quotation marks of the document's language; scripts,
// styles, images, embedded graphics, hidden elements, page-break markers and
// the notes of the book (references, note bodies, sections of notes and
// back-links, marked by the EPUB 3 vocabulary or by their ARIA role) are
// dropped; the named references of HTML are understood. A document that is
// not well-formed is read again leniently (see XmlWalk).
BookError appendXhtml(const QByteArray& xhtml, TextLines& lines, const BookLimits& limits,
                      BookProgress& progress, XhtmlDocument& document);
