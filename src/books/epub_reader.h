#pragma once

#include "books/book_limits.h"
#include "books/book_text.h"

class ZipArchive;

// The text of an EPUB 2 or 3 book: META-INF/container.xml names the package
// document, whose spine gives the reading order of the XHTML documents; their
// text follows in that order (see appendXhtml). Documents the spine marks as
// not linear are left out. A book whose content is encrypted (DRM; the
// obfuscation of embedded fonts does not count) is refused.
BookText readEpub(ZipArchive& zip, const BookLimits& limits, BookProgress& progress);

// Whether an open archive holds an EPUB book.
bool isEpub(ZipArchive& zip);
