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

StoredText::StoredText(const IniFile& ini, int textLength) : m_ini(ini), m_textLength(textLength) {
    bool ordered = true;
    ini.forEachKey(u"Content", [&](QStringView name, QStringView value) {
        const int n = wordIndex(name);
        if (n < 0 || n >= textLength)
            return;
        ordered = ordered && (m_indices.empty() || n > m_indices.back());
        m_indices.push_back(n);
        m_chars += value.size();
        m_empty += value.isEmpty() ? 1 : 0;
    });
    if (ordered)
        return;
    m_indices.clear();
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
    m_chars = 0;
    m_empty = 0;
    for (const StoredEntry& e : m_sorted) {
        m_indices.push_back(e.index);
        m_chars += e.value.size();
        m_empty += e.value.isEmpty() ? 1 : 0;
    }
}

RestorePlan planRestore(const std::vector<int>& indices, int textLength) {
    RestorePlan plan;
    qint64 allowance = static_cast<qint64>(indices.size()) + loadPaddingAllowance;
    const auto breaksFor = [&allowance](qint64 missing, bool atEnd) {
        if (missing <= 0)
            return 0;
        if (missing <= allowance) {
            allowance -= missing;
            return static_cast<int>(missing);
        }
        return atEnd ? 0 : 1;
    };
    qint64 next = 0;
    qint64 total = 0;
    plan.breaksBefore.reserve(indices.size());
    for (const int index : indices) {
        plan.breaksBefore.push_back(breaksFor(index - next, false));
        total += plan.breaksBefore.back() + 1;
        next = index + 1;
    }
    plan.breaksAfter = breaksFor(textLength - next, true);
    plan.total = static_cast<int>(total + plan.breaksAfter);
    return plan;
}
