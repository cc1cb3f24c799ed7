#pragma once

#include "books/book_limits.h"
#include "books/book_text.h"

#include <QByteArray>

// Whether the bytes start like a PDF document.
bool looksLikePdf(const QByteArray& bytes);

// The text of a PDF document through its text layer, page by page in reading
// order, joined as joinPdfPages does; its outline gives the chapters, its
// information dictionary the title and author. A document with no text (scanned
// pages) is told as such, one protected by a password is refused.
BookText readPdf(const QByteArray& bytes, const BookLimits& limits, BookProgress& progress);
