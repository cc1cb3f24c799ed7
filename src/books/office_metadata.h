#pragma once

#include "books/book_limits.h"
#include "books/book_text.h"

class ZipArchive;

// Fills the book's title and author from the archive's Dublin Core
// properties in `entry` (docProps/core.xml of a DOCX file, meta.xml of an
// ODT file): dc:title, and the first author named (meta:initial-creator
// before dc:creator). A missing or broken entry leaves them empty.
void readOfficeMetadata(ZipArchive& zip, const QString& entry, const BookLimits& limits,
                        BookProgress& progress, BookText& book);
