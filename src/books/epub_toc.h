#pragma once

#include "books/book_limits.h"
#include "books/book_text.h"

#include <QList>
#include <QString>

class ZipArchive;

// One entry of an EPUB book's table of contents: the archive path of the
// document it points at, the fragment (an element's id, empty for the
// document's start) and its title.
struct TocEntry {
    QString document;
    QString fragment;
    QString title;
};

// The table of contents of an EPUB book, entries of every level in the order
// it gives them: from its navigation document (`navPath`, EPUB 3) when it has
// one, else from its NCX (`ncxPath`, EPUB 2). Empty when it has neither or
// they cannot be read: a book reads well without chapters.
QList<TocEntry> readToc(ZipArchive& zip, const QString& navPath, const QString& ncxPath,
                        const BookLimits& limits, BookProgress& progress);

// The archive path that `href` (percent-encoded, perhaps with a fragment)
// names from the document at `base`; the fragment goes to `fragment`.
QString resolveHref(const QString& base, const QString& href, QString* fragment = nullptr);
