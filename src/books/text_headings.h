#pragma once

#include "books/book_text.h"

#include <QList>
#include <QStringView>

// The chapter headings of a plain text (one line a paragraph, lines ended by
// line feeds), found by a conservative rule so that running prose never
// gives a chapter:
// - a short line that begins with a heading word (Глава, Часть, Том, Книга,
//   Chapter, Part, Book, in title case or capitals) followed by a number (a
//   Roman numeral, digits, or a number word such as "первая" or "ONE"), and
//   then nothing, or ".", ":" or a dash and a short title;
// - a line that is Пролог, Эпилог, Prologue or Epilogue (any case; First,
//   Second or Third before the last two), alone or before a short title;
// - a Roman numeral alone on its line (a dot after it allowed) right after a
//   blank line, a heading or the start of the text.
// More than three headings with nothing but blank lines between them are a
// table of contents and give no chapters, but for the text's own first
// headings when they follow it at once (they repeat its first title).
QList<ChapterMark> textHeadings(QStringView text);
