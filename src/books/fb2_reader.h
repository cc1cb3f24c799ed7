#pragma once

#include "books/book_limits.h"
#include "books/book_text.h"

#include <QByteArray>

// The text of a FictionBook 2 document: the sections, titles and paragraphs
// of its bodies in order, one paragraph a line, a title's paragraphs on lines
// of their own with an empty line around the title. The description, the
// binaries, the notes bodies and the links to notes are left out. The XML's
// declared encoding is honoured.
BookText readFb2(const QByteArray& bytes, const BookLimits& limits, BookProgress& progress);
