#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Why a book could not be opened.
enum class BookFailure {
    None,
    Unreadable,  // the file cannot be read: missing, a folder, no permission
    TooBig,      // the file, or what it unpacks to, is beyond the bounds
    NotABook,    // neither a text nor a book format
    Unsupported, // a known format that is not read here (PDF, DOC, RTF, ...)
    Damaged,     // a damaged archive or XML
    Encrypted,   // protected by DRM, or an encrypted archive
    Empty,       // nothing to read in it
    Cancelled,   // the reader cancelled the opening
};

// A failure and what exactly went wrong (shown in square brackets after the
// message, or, for Unsupported, the format's name).
struct BookError {
    BookFailure failure = BookFailure::None;
    QString detail;

    bool failed() const { return failure != BookFailure::None; }
};

// Where a chapter begins: a character offset into BookText::text (the start of
// the chapter's first line) and its title as the book names it.
struct ChapterMark {
    qsizetype offset = 0;
    QString title;
};

// The text of a book as the text box receives it: one paragraph a line, every
// line ended by a line feed; or why there is none.
struct BookText {
    QString text;
    QString format; // "TXT (windows-1251)", "FB2", "FB2.ZIP", "EPUB"
    BookError error;
    // From the book's own description, empty where it names none.
    QString title;
    QString author;
    // In the order of the text, offsets ascending.
    QList<ChapterMark> chapters;
    // The documents of the book (or "FB2" for the whole) that are damaged and
    // were read in part only: some of their text may be missing.
    QStringList damaged;

    bool ok() const { return !error.failed(); }
    static BookText failed(BookFailure failure, QString detail = {}) {
        BookText book;
        book.error = {failure, std::move(detail)};
        return book;
    }
    static BookText failed(BookError error) {
        BookText book;
        book.error = std::move(error);
        return book;
    }
};

// Cleans the text of a book file, its title, author and chapter titles: the
// no-break spaces (U+00A0, U+202F, U+2007) become spaces, or go where a space
// or a line's start or end is next to them; soft hyphens, zero-width spaces
// and joiners (U+00AD, U+200B, U+2060, U+FEFF) are removed. The chapters'
// offsets move with the text. Text pasted by the reader never comes here.
void cleanBookText(BookText& book);

// The formats read, as the reader is told them.
QString supportedFormats();

// The message a reader sees when the file `fileName` (its name alone) could
// not be opened; empty for success and for a cancelled opening.
QString bookFailureMessage(const QString& fileName, const BookError& error);

// The message a reader sees when the book in `fileName` opened but part of
// it may be missing (see BookText::damaged); empty when nothing is.
QString bookDamageMessage(const QString& fileName, const BookText& book);
