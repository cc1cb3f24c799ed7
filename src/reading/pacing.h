#pragma once

#include <QStringView>

// The word tick's interval for an entry whose rest is `rest`, at the base
// interval `baseMs` with the time multiplier `multiplier` (1, or 2 for a new
// word in learning mode). The factors 0.8, 1.3 and 1.8 are exact; products are
// rounded to the nearest integer, an exact half to the even neighbour.
int wordInterval(int baseMs, int multiplier, QStringView rest);

// n * tenths / 10, rounded half to even.
qint64 scaleRounded(qint64 n, int tenths);
