#pragma once

#include <QStringView>

// The word tick's interval for an entry whose rest is `rest`, at the base
// interval `baseMs` with the time multiplier `multiplier` (1, or 2 for a new
// word in learning mode). The factors 0.8, 1.3 and 1.8 are exact; products are
// rounded to the nearest integer, an exact half to the even neighbour.
int wordInterval(int baseMs, int multiplier, QStringView rest);

// What of a rest decides its interval: the length class (0: fewer than 2
// characters, 1: 2 to 5, 2: 6 or 7, 3: 8 or more), and whether it holds a
// comma, colon or semicolon (+4) and a digit (+8). From 0 to paceClassCount-1.
inline constexpr int paceClassCount = 16;
int paceClass(QStringView rest);
// The interval of an entry of that class: wordInterval is
// classInterval(baseMs, multiplier, paceClass(rest)).
int classInterval(int baseMs, int multiplier, int paceClass);

// n * tenths / 10, rounded half to even.
qint64 scaleRounded(qint64 n, int tenths);
