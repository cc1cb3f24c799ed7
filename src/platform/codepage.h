#pragma once

#include <QByteArray>
#include <QString>

// The 8-bit code page of text files that other programs of the system share
// (the word library): Windows-1251, the ANSI code page of a Russian-language
// Windows system. One byte per character; a character the code page cannot
// hold (a letter of another script, a lone surrogate, a character beyond the
// basic plane) becomes one '?'.
QByteArray toCodePage(const QString& text);
QString fromCodePage(const QByteArray& bytes);

// The same conversions from the built-in table alone, which the two above fall
// back on when the system offers no Windows-1251 converter.
QByteArray toCodePageByTable(const QString& text);
QString fromCodePageByTable(const QByteArray& bytes);
