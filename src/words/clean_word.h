#pragma once

#include <QString>

// Strips a word of the punctuation that sticks to it in running text and
// lower-cases its ASCII capitals, for the comparison with the word library.
// Each listed character goes once (its first occurrence; the space twice), so
// the function is not idempotent.
QString cleanWord(const QString& str);
