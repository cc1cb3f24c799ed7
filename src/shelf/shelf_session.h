#pragma once

#include <QString>

// A stretch of reading: from Start or a resume to a pause, the end of the
// text or an ending. Times in milliseconds since 1970 (UTC).
struct ShelfSession {
    qint64 id = 0; // the row, once read from the shelf
    QString fingerprint;
    qint64 started = 0;
    qint64 ended = 0;
    qint64 runningMs = 0; // while words were running
    int words = 0;        // word entries shown (not blanks or line breaks)
    int speedIndex = 0;   // the speed list's item: 150 + 50 × index words per minute
    bool learning = false;

    // Word entries shown over running minutes; 0 without running time.
    double effectiveWpm() const {
        return runningMs > 0 ? words * 60000.0 / double(runningMs) : 0.0;
    }
    // The speed setting in words per minute.
    int setWpm() const { return 150 + 50 * speedIndex; }
};
