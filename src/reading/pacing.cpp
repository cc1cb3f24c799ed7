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

int paceClass(QStringView rest) {
    const qsizetype length = rest.size();
    int c = length < 2 ? 0 : length <= 5 ? 1 : length <= 7 ? 2 : 3;
    for (const QChar ch : rest) {
        const char16_t u = ch.unicode();
        if (u == u',' || u == u':' || u == u';')
            c |= 4;
        else if (u >= u'0' && u <= u'9')
            c |= 8;
    }
    return c;
}

int classInterval(int baseMs, int multiplier, int paceClass) {
    static constexpr int tenths[4] = {8, 10, 13, 18};
    const qint64 base = qint64(baseMs) * multiplier;
    qint64 interval = scaleRounded(base, tenths[paceClass & 3]);
    if (paceClass & 4)
        interval = scaleRounded(interval, 18) * multiplier;
    if (paceClass & 8)
        interval = scaleRounded(interval, 18) * multiplier;
    return static_cast<int>(std::clamp<qint64>(interval, 0, INT_MAX));
}

int wordInterval(int baseMs, int multiplier, QStringView rest) {
    return classInterval(baseMs, multiplier, paceClass(rest));
}
