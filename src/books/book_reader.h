#pragma once

#include "books/book_limits.h"
#include "books/book_text.h"

#include <QByteArray>
#include <QString>

// Reads the book in the file at `path`: the format is told by the content, not
// by the name (a zip archive holding an EPUB book or an FB2 document, an FB2
// document, a plain text in any of the usual Russian encodings); a format
// that is known but not read here, and anything else, is refused. Runs on any
// thread; `progress` carries its progress and the wish to cancel.
BookText readBookFile(const QString& path, const BookLimits& limits, BookProgress& progress);

// The same for a file's bytes.
BookText readBook(const QByteArray& bytes, const BookLimits& limits, BookProgress& progress);
