#include "platform/codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <array>

namespace {

constexpr char codePageName[] = "windows-1251";

// Bytes 0x80 to 0xFF; 0x00 to 0x7F are ASCII. 0x98 has no character in the
// code page and maps to the C1 control of the same value, as converters do.
constexpr std::array<char16_t, 128> upperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

// Upper-half characters sorted, with their bytes, for the table encoder.
struct Reverse {
    std::array<std::pair<char16_t, unsigned char>, 128> byChar{};
    Reverse() {
        for (int i = 0; i < 128; ++i)
            byChar[static_cast<size_t>(i)] = {upperHalf[static_cast<size_t>(i)],
                                              static_cast<unsigned char>(0x80 + i)};
        std::sort(byChar.begin(), byChar.end());
    }
    char byteFor(char16_t c) const {
        if (c < 0x80)
            return static_cast<char>(c);
        const auto it = std::lower_bound(byChar.begin(), byChar.end(),
                                         std::pair<char16_t, unsigned char>{c, 0});
        if (it != byChar.end() && it->first == c)
            return static_cast<char>(it->second);
        return '?';
    }
};

const Reverse& reverse() {
    static const Reverse r;
    return r;
}

// Converters from the system may put their own substitute for characters the
// code page lacks; ICU's is 0x1A, which readers of text files take for the end
// of the file. Byte i of a single-byte encoding stands for code point i of the
// text (a surrogate pair is one code point, a lone surrogate one as well), so
// every 0x1A whose code point is not U+001A is put right as '?'. Returns false
// when the lengths disagree and the substitutes cannot be placed.
bool replaceSubstitutes(const QString& text, QByteArray& bytes) {
    if (!bytes.contains('\x1A'))
        return true;
    qsizetype k = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i, ++k) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate())
            ++i;
        if (k >= bytes.size())
            return false;
        if (bytes.at(k) == '\x1A' && c.unicode() != 0x1A)
            bytes[k] = '?';
    }
    return k == bytes.size();
}

} // namespace

bool mostlyUtf8(QByteArrayView bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    const auto cont = [&](qsizetype i, unsigned char lo = 0x80, unsigned char hi = 0xBF) {
        return i < n && p[i] >= lo && p[i] <= hi;
    };
    qsizetype valid = 0;
    qsizetype invalid = 0;
    qsizetype i = 0;
    while (i < n) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        int len = 0;
        if (b >= 0xC2 && b <= 0xDF)
            len = cont(i + 1) ? 2 : 0;
        else if (b == 0xE0)
            len = cont(i + 1, 0xA0) && cont(i + 2) ? 3 : 0;
        else if (b == 0xED)
            len = cont(i + 1, 0x80, 0x9F) && cont(i + 2) ? 3 : 0;
        else if (b >= 0xE1 && b <= 0xEF)
            len = cont(i + 1) && cont(i + 2) ? 3 : 0;
        else if (b == 0xF0)
            len = cont(i + 1, 0x90) && cont(i + 2) && cont(i + 3) ? 4 : 0;
        else if (b >= 0xF1 && b <= 0xF3)
            len = cont(i + 1) && cont(i + 2) && cont(i + 3) ? 4 : 0;
        else if (b == 0xF4)
            len = cont(i + 1, 0x80, 0x8F) && cont(i + 2) && cont(i + 3) ? 4 : 0;
        if (len == 0) {
            ++invalid;
            ++i;
        } else {
            ++valid;
            i += len;
        }
    }
    return valid > invalid;
}

namespace {

QString decodeWith(QStringConverter::Encoding encoding, QByteArrayView bytes) {
    QString s = QStringDecoder(encoding).decode(bytes);
    return s.isNull() ? QStringLiteral("") : s;
}

} // namespace

QByteArray toCodePageByTable(const QString& text) {
    const Reverse& r = reverse();
    QByteArray out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            ++i;
            out.append('?');
        } else {
            out.append(r.byteFor(c.unicode()));
        }
    }
    return out;
}

QString fromCodePageByTable(QByteArrayView bytes) {
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* d = out.data();
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        *d++ = QChar(u < 0x80 ? char16_t(u) : upperHalf[u - 0x80]);
    }
    return out;
}

QByteArray toCodePage(const QString& text) {
    QStringEncoder encoder(codePageName, QStringConverter::Flag::Stateless);
    if (!encoder.isValid())
        return toCodePageByTable(text);
    QByteArray bytes = encoder.encode(text);
    if (!replaceSubstitutes(text, bytes))
        return toCodePageByTable(text);
    return bytes;
}

QString fromCodePage(QByteArrayView bytes) {
    QStringDecoder decoder(codePageName, QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return fromCodePageByTable(bytes);
    return decoder.decode(bytes);
}

QString decodeText(QByteArrayView bytes) {
    if (bytes.startsWith("\xFF\xFE"))
        return decodeWith(QStringConverter::Utf16LE, bytes.sliced(2));
    if (bytes.startsWith("\xFE\xFF"))
        return decodeWith(QStringConverter::Utf16BE, bytes.sliced(2));
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return decodeWith(QStringConverter::Utf8, bytes.sliced(3));
    QStringDecoder utf8(QStringConverter::Utf8);
    QString s = utf8.decode(bytes);
    if (s.isNull())
        s = QStringLiteral("");
    if (!utf8.hasError() || mostlyUtf8(bytes))
        return s;
    s = fromCodePage(bytes);
    return s.isNull() ? QStringLiteral("") : s;
}
