#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// A decoded text and the encoding it was read in.
struct DecodedText {
    QString text;
    QByteArray encoding; // "UTF-8", "UTF-16LE", "windows-1251", "KOI8-R", "IBM866", ...
};

// Decodes the bytes of a plain-text file. A byte-order mark decides (UTF-8,
// UTF-16); UTF-16 without one is recognised by its zero bytes; valid UTF-8 is
// UTF-8. Anything else goes to libuchardet, whose guess is checked by
// decoding: a guess that does not decode cleanly, or reads as Russian worse
// than one of Windows-1251, KOI8-R and CP866 does, gives way to the best of
// those three. A byte-order mark is not part of the text.
DecodedText decodePlainText(const QByteArray& bytes);

// The bytes decoded in the named encoding; nothing when the encoding is not
// known or the bytes are not valid in it.
std::optional<QString> decodeStrictly(const QByteArray& bytes, const QByteArray& encoding);

// The encoding a byte-order mark at the start names ("UTF-8", "UTF-16LE",
// "UTF-16BE"), or an empty array.
QByteArray byteOrderMark(const QByteArray& bytes);

// Whether the bytes can be a plain text: a byte-order mark, UTF-16 recognised
// by its zero bytes, or no zero bytes and few control characters at the start.
bool looksLikeText(const QByteArray& bytes);

// Every CR LF and every lone CR becomes LF.
QString withLineFeeds(QString text);
