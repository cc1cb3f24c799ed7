#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The 8-bit code page of text files that other programs of the system share
// (the word library): Windows-1251, the ANSI code page of a Russian-language
// Windows system. One byte per character; a character the code page cannot
// hold (a letter of another script, a lone surrogate, a character beyond the
// basic plane) becomes one '?'.
QByteArray toCodePage(const QString& text);
QString fromCodePage(QByteArrayView bytes);

// The same conversions from the built-in table alone, which the two above fall
// back on when the system offers no Windows-1251 converter.
QByteArray toCodePageByTable(const QString& text);
QString fromCodePageByTable(QByteArrayView bytes);

// The text of a file that this program, the original Windows program or an
// editor wrote: UTF-16 or UTF-8 with a byte-order mark; UTF-8 without one,
// also when a few bytes are damaged (each replaced by U+FFFD), as long as its
// valid multi-byte sequences outnumber its invalid bytes; anything else, a
// file with bytes above 0x7F and no valid multi-byte sequence among them in
// particular, is Windows-1251.
QString decodeText(QByteArrayView bytes);

// Whether `bytes`, which are not valid UTF-8 throughout, are UTF-8 all the
// same: more valid multi-byte sequences than invalid bytes. The rule by which
// decodeText() and the readers of books keep a few damaged bytes of a UTF-8
// file as U+FFFD rather than read the whole file in another encoding.
bool mostlyUtf8(QByteArrayView bytes);
