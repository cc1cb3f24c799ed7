#include "storage/restore_plan.h"

#include "storage/settings.h"

#include <algorithm>
#include <climits>

// The index N of a key named "word_N" (any case, N in decimal without
// leading zeros), or -1.
int wordIndex(QStringView name) {
    const qsizetype n = name.size();
    if (n < 6 || n > 15)
        return -1;
    const char16_t* c = name.utf16();
    // "word" in any case (ASCII letters fold to lower case by one bit) and
    // "_" as it is, in one test.
    const unsigned differs = unsigned((c[0] | 0x20) ^ u'w') | unsigned((c[1] | 0x20) ^ u'o') |
                             unsigned((c[2] | 0x20) ^ u'r') | unsigned((c[3] | 0x20) ^ u'd') |
                             unsigned(c[4] ^ u'_');
    if (differs != 0)
        return -1;
    if (n > 6 && c[5] == u'0')
        return -1;
    qint64 v = 0;
    for (qsizetype i = 5; i < n; ++i) {
        const unsigned d = unsigned(c[i]) - u'0';
        if (d > 9)
            return -1;
        v = v * 10 + d;
    }
    return v > INT_MAX ? -1 : static_cast<int>(v);
}

void StoredText::take(int n, QStringView value) {
    if (n > m_next)
        m_gaps.push_back({m_count, n - m_next});
    ++m_count;
    m_next = qint64(n) + 1;
    m_chars += value.size();
    m_empty += value.isEmpty() ? 1 : 0;
}

StoredText::StoredText(const IniFile& ini, int textLength) : m_ini(ini), m_textLength(textLength) {
    bool ordered = true;
    ini.forEachKey(u"Content", [&](QStringView name, QStringView value) {
        const int n = wordIndex(name);
        if (n < 0 || n >= textLength || !ordered)
            return;
        if (m_count > 0 && n < m_next) {
            ordered = false;
            return;
        }
        take(n, value);
    });
    if (ordered)
        return;
    m_count = 0;
    m_next = 0;
    m_gaps.clear();
    m_chars = 0;
    m_empty = 0;
    ini.forEachKey(u"Content", [&](QStringView name, QStringView value) {
        const int n = wordIndex(name);
        if (n >= 0 && n < textLength)
            m_sorted.push_back({n, value});
    });
    const auto byIndex = [](const StoredEntry& a, const StoredEntry& b) {
        return a.index < b.index;
    };
    std::stable_sort(m_sorted.begin(), m_sorted.end(), byIndex);
    const auto sameIndex = [](const StoredEntry& a, const StoredEntry& b) {
        return a.index == b.index;
    };
    m_sorted.erase(std::unique(m_sorted.begin(), m_sorted.end(), sameIndex), m_sorted.end());
    for (const StoredEntry& e : m_sorted)
        take(e.index, e.value);
}

RestorePlan planRestore(const StoredText& stored, int textLength) {
    RestorePlan plan;
    qint64 allowance = static_cast<qint64>(stored.count()) + loadPaddingAllowance;
    const auto breaksFor = [&allowance](qint64 missing, bool atEnd) {
        if (missing <= 0)
            return 0;
        if (missing <= allowance) {
            allowance -= missing;
            return static_cast<int>(missing);
        }
        return atEnd ? 0 : 1;
    };
    qint64 total = stored.count();
    for (const StoredText::Gap& gap : stored.gaps()) {
        const int breaks = breaksFor(gap.missing, false);
        plan.breaksBefore.push_back({gap.before, breaks});
        total += breaks;
    }
    plan.breaksAfter = breaksFor(textLength - stored.next(), true);
    plan.total = static_cast<int>(total + plan.breaksAfter);
    return plan;
}
