#pragma once

#include <QString>

// The crude Russian and English stemmer of the learning mode: strips a fixed
// set of endings and prefixes so that the forms of one word (читает,
// читается, читать) come out as one root. The roots are the keys stored in
// the word library file, so the result for a given word must never change.
QString wordRoot(const QString& s);
