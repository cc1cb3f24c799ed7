#pragma once

#include "books/book_limits.h"
#include "books/book_text.h"

#include <QList>
#include <QRectF>

// A line of a PDF page as its text layer gives it: the words in reading
// order, and where the line stands on the page, in points from the top left.
struct PdfLine {
    QString text;
    QRectF box;
};

struct PdfPage {
    QList<PdfLine> lines;
    qreal height = 0;
};

// Where the outline of a PDF says a chapter begins: a page (from 0) and the
// height on it, as a share of the page from the top; -1 for the page's top.
struct PdfChapter {
    int page = 0;
    qreal top = -1;
    QString title;
};

// The text of the pages, a paragraph a line: lines that repeat at the top or
// the bottom of most pages (running heads, page numbers) are left out, a word
// broken by a hyphen at a line's end is joined again, lines run on into the
// paragraph until a gap, an indented line or a short line before a page
// break ends it. A chapter's first line begins a line set apart. The pages
// are taken apart as they are read.
BookText joinPdfPages(QList<PdfPage>& pages, const QList<PdfChapter>& chapters,
                      const BookLimits& limits);

// Joins `next`, the line after `text`, onto it: a word broken by a hyphen at
// the end of `text` is joined (a hyphen that belongs to the word stays: before
// a capital, or before a particle such as "то"; a word in capitals is joined
// when it goes on in capitals), the rest with a space.
void joinLine(QString& text, QStringView next);
