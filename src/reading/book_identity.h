#pragma once

#include "reading/word_sequence.h"

#include <QString>
#include <QStringView>

// What tells one book from another across the forms it comes in (opened from
// its file, restored from the settings file, pasted): the characters of its
// word entries, without the blank and line-break entries and without any
// white space. Every character of a text but white space ends up in a word
// entry, except those after its last delimiter, which are never stored.

// The fingerprint of the text as Start cuts it (see startText): 40 hex digits.
QString bookFingerprint(QStringView startText);
// The same, from the first `count` entries of a cut sequence.
QString bookFingerprint(const WordSequence& words, int count);

// Whether the entry in slot i of `words` is a word entry: neither a blank nor
// a line-break entry.
bool isWordEntry(const WordSequence& words, int i);
// The number of word entries in the slots before `position` (at most the
// slots written).
int wordsBefore(const WordSequence& words, int position);

// Counts word entries before a moving position cheaply: a position that only
// moves forward in the same sequence is counted from where the last count
// ended.
class WordCounter {
public:
    int wordsBefore(const WordSequence& words, int position);
    // Takes `words` word entries before `position` of the sequence `words`
    // as known (a place found by entryOfWord in the same text), so that the
    // next count goes on from there.
    void seed(const WordSequence& sequence, int position, int words);

private:
    quint64 m_generation = ~quint64(0);
    int m_position = 0;
    int m_words = 0;
};

// The slot of the entry that follows `words` word entries in the text as
// Start cuts it (the first word entry for 0), found by cutting as far as
// needed; the last slot when the text holds fewer word entries.
int entryOfWord(QStringView startText, int words);
