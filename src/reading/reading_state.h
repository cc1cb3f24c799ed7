#pragma once

#include "reading/display_look.h"
#include "reading/word_sequence.h"

#include <QString>

// The reading state shared by the handlers: what is being read, where the
// reader is and at what pace.
struct ReadingState {
    WordSequence words;      // the word sequence; empty until the first Start of a run
    int position = 0;        // the entry the next word tick shows
    int speedBaseline = 0;   // the position at the last Start or restart
    int statisticsTicks = 0; // statistics ticks (seconds) since the last Start
    int readingTicks = 0;    // of those, the ticks that came while words were running
    qint64 wordsShown =
        0;              // word entries shown by word ticks in this run (no blanks or line breaks)
    int entryCount = 0; // entries in the sequence (an estimate while it is cut)
    int baseIntervalMs = 0;           // base word interval for the chosen speed
    QString startedAt;                // time of day of the last Start, in the long time format
    bool explainLearningMode = false; // whether the next click on the learning-mode box explains it
    // A restart moved the bookmark since the settings were restored: saved
    // also before any Start, as is a look other than the one restored.
    bool settingsTouched = false;
    DisplayLook restoredLook;
};

// The base word interval for the speed list's item index (150 to 1000 words
// per minute in steps of 50); -1 for an index outside 0..17.
int baseInterval(int speedIndex);
