#pragma once

#include "books/book_limits.h"
#include "books/book_text.h"

class TextLines;

// Adds the text of an XHTML document's body to `lines`: block elements
// (paragraphs, divisions, list items, table rows, ...) make lines of their
// own, a line break ends a line, headings are set apart by empty lines;
// scripts, styles, images, embedded graphics and the notes of an EPUB 3 book
// are dropped; the named references of HTML are understood. The document's
// encoding is the one it declares, or the one it shows if it does not fit.
BookError appendXhtml(const QByteArray& xhtml, TextLines& lines, const BookLimits& limits,
                      BookProgress& progress);
