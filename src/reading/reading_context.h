#pragma once

#include "reading/word_sequence.h"

#include <QList>
#include <QString>

#include <utility>

// A stretch of the prepared text around one entry, as the context panel shows
// it while reading is paused: the characters [begin, end) of the sequence's
// text, and the word entries that stand in them.
struct ContextSpan {
    qsizetype begin = 0;
    qsizetype end = 0;
    int current = -1;        // the word entry marked in the panel
    QList<int> entries;      // the word entries within, in order
    QList<qsizetype> starts; // where each of them begins in the text

    bool isEmpty() const { return entries.isEmpty(); }
    // Whether `entry` lies between the first and the last word entry shown.
    bool covers(int entry) const {
        return !isEmpty() && entry >= entries.front() && entry <= entries.back();
    }
    // The word entry that the character at `offset` of the text belongs to:
    // the last one that begins at or before it (the first one for an offset
    // before them all); -1 for an empty span. A binary search over starts.
    int entryAt(qsizetype offset) const;
};

// The rules of the paused reading position: which entry the display field
// and the panel show for a position, stepping by words and sentences, and
// which part of the text the panel shows. Widget-free.
//
// A word entry is one that is neither blank nor a line break (a word of one
// CR or LF). A sentence ends with a word whose last character is . ? or ! (the
// words the sequence pauses after) and at a paragraph break.
//
// Books often break their lines inside paragraphs. A line break counts as a
// paragraph break when the text ends there, the next line is empty or
// indented, the line before it is short (a heading, the end of a paragraph),
// or that line ends a sentence; any other line break is taken as a blank.
class ReadingContext {
public:
    // The panel shows up to this many words before and after the current one…
    static constexpr int wordsEachSide = 50;
    // …and stops at a paragraph break once it has at least this many.
    static constexpr int paragraphWords = 20;
    // Characters the panel shows at most, for texts with endless words.
    static constexpr qsizetype maxCharacters = 4000;

    static constexpr qsizetype shortLine = 40;

    static bool isLineBreak(const WordSequence& words, int i);
    // Whether the line-break entry i ends a paragraph (see above).
    static bool isParagraphBreak(const WordSequence& words, int i);
    // The same for the line break whose CR or LF is at `at` in `text`.
    static bool breaksParagraph(QStringView text, qsizetype at);
    static bool isWord(const WordSequence& words, int i) {
        return !words.isBlank(i) && !isLineBreak(words, i);
    }
    // The entry shown while paused at `position`: the entry itself when it
    // is a word, else the last word entry before it, else the first after
    // it; -1 when the sequence holds no word at all.
    static int shownEntry(const WordSequence& words, int position);
    // The next or the previous word entry from `entry`; -1 when there is none.
    static int nextWord(const WordSequence& words, int entry);
    static int previousWord(const WordSequence& words, int entry);
    // The first word of the sentence of `entry`; when `entry` already is
    // that first word, the first word of the sentence before (if any).
    static int sentenceStart(const WordSequence& words, int entry);
    // The stretch around the word entry `entry`: up to `eachSide` words either
    // side, ending at a paragraph break once `paragraph` words are taken on
    // that side, and cut at a sentence boundary where the count ran out.
    static ContextSpan spanAround(const WordSequence& words, int entry,
                                  int eachSide = wordsEachSide, int paragraph = paragraphWords);
    // The span's text, one character for one: the CR of a paragraph break
    // becomes a line separator, that of another line break a blank, LF a
    // zero-width space, other control characters blanks.
    static QString panelText(const WordSequence& words, const ContextSpan& span);
    // Where the word of `entry` stands in panelText() (start, length), its
    // trailing line break left out; length 0 when it is not in the span.
    static std::pair<qsizetype, qsizetype> wordRange(const WordSequence& words,
                                                     const ContextSpan& span, int entry);

private:
    static qsizetype wordLength(const WordSequence& words, int i);
    static bool endsSentence(const WordSequence& words, int i);
    static int spanFirst(const WordSequence& words, int entry, int eachSide, int paragraph);
    static int spanLast(const WordSequence& words, int entry, int eachSide, int paragraph);
};
