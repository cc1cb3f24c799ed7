#pragma once

#include "books/book_limits.h"
#include "books/book_text.h"

class ZipArchive;

// Whether an open archive holds a Word document (Office Open XML).
bool isDocx(const ZipArchive& zip);

// The text of a Word document's body (word/document.xml): a paragraph a
// line, headings (paragraphs in the styles of headings, or with an outline
// level) set apart and noted as chapters, tables cell by cell, a line break
// ending a line. Footnotes, endnotes, comments, headers and footers live in
// parts of their own and are not read; deleted text of tracked changes is
// left out. Title and author come from docProps/core.xml.
BookText readDocx(ZipArchive& zip, const BookLimits& limits, BookProgress& progress);
