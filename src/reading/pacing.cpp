#include "reading/pacing.h"

#include "reading/reading_state.h"

#include <algorithm>
#include <array>
#include <climits>

int baseInterval(int speedIndex) {
    static constexpr std::array<int, 18> table = {280, 220, 200, 150, 142, 133, 100, 91, 82,
                                                  75,  70,  65,  60,  55,  50,  48,  46, 44};
    if (speedIndex < 0 || speedIndex >= static_cast<int>(table.size()))
        return -1;
    return table[static_cast<size_t>(speedIndex)];
}

qint64 scaleRounded(qint64 n, int tenths) {
    const qint64 p = n * tenths;
    qint64 q = p / 10;
    qint64 r = p % 10;
    if (r < 0) {
        r += 10;
        --q;
    }
    if (r > 5 || (r == 5 && (q % 2 != 0)))
        ++q;
    return q;
}

int wordInterval(int baseMs, int multiplier, QStringView rest) {
    const qsizetype restLength = rest.size();
    qint64 interval = 0;
    if (restLength < 2)
        interval = scaleRounded(qint64(baseMs) * multiplier, 8);
    else
        interval = qint64(baseMs) * multiplier;
    if (restLength > 5)
        interval = scaleRounded(qint64(baseMs) * multiplier, 13);
    if (restLength > 7)
        interval = scaleRounded(qint64(baseMs) * multiplier, 18);

    bool punctuation = false;
    bool digit = false;
    for (const QChar c : rest) {
        const char16_t u = c.unicode();
        if (u == u',' || u == u':' || u == u';')
            punctuation = true;
        else if (u >= u'0' && u <= u'9')
            digit = true;
    }
    if (punctuation)
        interval = scaleRounded(interval, 18) * multiplier;
    if (digit)
        interval = scaleRounded(interval, 18) * multiplier;
    return static_cast<int>(std::clamp<qint64>(interval, 0, INT_MAX));
}
