#pragma once

#include "books/book_text.h"

#include <QList>
#include <QString>
#include <QStringView>

class WordSequence;

// A chapter as the reading knows it: the entry of the word sequence where it
// begins, and its title.
struct Chapter {
    int entry = 0;
    QString title;

    bool operator==(const Chapter&) const = default;
};

// Chapter marks of `bookText` (the text as the text box receives it) moved
// to the same places in the text as Start cuts it (line breaks as CR LF), in
// the order of the text.
QList<ChapterMark> startTextMarks(QStringView bookText, QList<ChapterMark> marks);

// The chapters as entries of `words`, the sequence Start cut from the text
// the marks `startMarks` are offsets into: each chapter begins at the first
// word entry (not a pause, not a line break) at or after its mark. Marks
// beyond the last word, and marks that fall on the entry of the chapter
// before them, are left out.
QList<Chapter> chapterEntries(const WordSequence& words, QList<ChapterMark> startMarks);

// Chapters from an untrusted source (the bookshelf) made sound for a sequence
// of `entryCount` entries: entries outside it left out, sorted, one chapter an
// entry (the first kept), titles freed of control characters, on one line and
// at most `longestTitle` characters.
QList<Chapter> soundChapters(QList<Chapter> chapters, int entryCount);
constexpr qsizetype longestTitle = 200;

// The index of the chapter that holds `position`: the last one beginning at
// or before it; -1 before the first chapter (or without chapters).
int chapterAt(const QList<Chapter>& chapters, int position);
// Where the chapter that holds `position` ends (the entry the next one begins
// at), or `entryCount` for the last chapter and for no chapter at all.
int chapterEnd(const QList<Chapter>& chapters, int position, int entryCount);
