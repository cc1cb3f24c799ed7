#pragma once

#include "reading/chapters.h"

#include <QList>
#include <QString>

class PaceProfile;

// What is left to read from a position, in milliseconds at one speed, outside
// learning mode: to the end of the book and to the end of the chapter.
struct TimeLeft {
    qint64 bookMs = 0;
    qint64 chapterMs = -1; // -1: the book has no chapters
};

// The time left from `position` (the entry the next word tick shows) over
// the `entryCount` entries of the sequence `profile` counts, at the base
// interval `baseMs`.
TimeLeft timeLeftAt(const PaceProfile& profile, const QList<Chapter>& chapters, int position,
                    int entryCount, int baseMs);

// The line of the context panel: "Осталось: глава 0:12:34, книга 5:06:07";
// in learning mode, where new words take longer, "Осталось не менее: …".
QString timeLeftLine(const TimeLeft& left, bool learning);
// The caption of the information box: "Информация" and the time left, short
// enough for the box.
QString informationCaption(const TimeLeft& left, bool learning);
// The caption without a time left.
inline QString informationCaption() {
    return QStringLiteral("Информация");
}
