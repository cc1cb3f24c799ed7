#include "reading/time_left_text.h"

#include "reading/duration.h"
#include "reading/time_left.h"

TimeLeft timeLeftAt(const PaceProfile& profile, const QList<Chapter>& chapters, int position,
                    int entryCount, int baseMs) {
    TimeLeft left;
    left.bookMs = profile.durationMs(position, entryCount, baseMs);
    if (!chapters.isEmpty())
        left.chapterMs =
            profile.durationMs(position, chapterEnd(chapters, position, entryCount), baseMs);
    return left;
}

QString timeLeftLine(const TimeLeft& left, bool learning) {
    QString line = learning ? QStringLiteral("Осталось не менее: ") : QStringLiteral("Осталось: ");
    if (left.chapterMs >= 0)
        line += QStringLiteral("глава ") + durationText(left.chapterMs) + QStringLiteral(", ");
    return line + QStringLiteral("книга ") + durationText(left.bookMs);
}

QString informationCaption(const TimeLeft& left, bool learning) {
    QString caption = informationCaption() + QStringLiteral(" · осталось ");
    if (learning)
        caption += QStringLiteral("не менее ");
    caption += durationText(left.bookMs);
    if (left.chapterMs >= 0)
        caption += QStringLiteral(" (глава ") + durationText(left.chapterMs) + u')';
    return caption;
}
