#include "storage/name_index.h"

#include <QChar>

namespace {

// The case-folded code point at `i`, moving `i` past it.
inline char32_t foldedAt(QStringView s, qsizetype& i) {
    const char16_t c = s[i].unicode();
    ++i;
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? char32_t(c + 32) : char32_t(c);
    if (QChar::isHighSurrogate(c) && i < s.size() && QChar::isLowSurrogate(s[i].unicode())) {
        const char32_t u = QChar::surrogateToUcs4(c, s[i].unicode());
        ++i;
        return QChar::toCaseFolded(u);
    }
    return QChar::toCaseFolded(char32_t(c));
}

} // namespace

bool NameIndex::equal(QStringView a, QStringView b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (foldedAt(a, i) != foldedAt(b, j))
            return false;
    }
    return i == a.size() && j == b.size();
}

std::uint64_t NameIndex::hash(QStringView s) {
    // FNV-1a over the folded code points, then a final mix so that the low
    // bits used as the slot number depend on every character.
    std::uint64_t h = 1469598103934665603ULL;
    qsizetype i = 0;
    while (i < s.size()) {
        h ^= foldedAt(s, i);
        h *= 1099511628211ULL;
    }
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    return h;
}
