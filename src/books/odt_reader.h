#pragma once

#include "books/book_limits.h"
#include "books/book_text.h"

class ZipArchive;

// What an open archive holds as an OpenDocument file: "ODT" for a text,
// the name of another kind ("ODS", "ODP", ...) that is not read, empty
// for none.
QString openDocumentKind(ZipArchive& zip);

// The text of an OpenDocument text (content.xml): a paragraph a line,
// headings set apart and noted as chapters, tables cell by cell, a line
// break ending a line; notes, annotations, tracked changes and generated
// indexes (a table of contents) are left out. Title and author come from
// meta.xml.
BookText readOdt(ZipArchive& zip, const BookLimits& limits, BookProgress& progress);
