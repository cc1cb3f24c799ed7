#pragma once

#include "reading/word_sequence.h"

#include <QString>

// The reading state shared by the handlers: what is being read, where the
// reader is and at what pace.
struct ReadingState {
    WordSequence sarr; // the word sequence; empty until the first Start of a run
    int sh = 0;        // reading position: the entry the next word tick shows
    int sh1 = 0;       // speed baseline: the position restored at start-up
    int j2 = 0;        // statistics ticks (seconds) since the last Start
    int k1 = 0;        // entry count (an estimate while the text is being cut)
    int j = 0;         // base word interval in milliseconds
    QString vrem;      // time of day of the last Start, in the long time format
    bool boo = false;  // whether the next click on the learning-mode box explains it
};

// The base word interval `j` for the speed list's item index (150 to 1000
// words per minute in steps of 50); -1 for an index outside 0..17.
int baseInterval(int speedIndex);
