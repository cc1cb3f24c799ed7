#pragma once

#include "storage/ini_file.h"

#include <QString>
#include <QStringView>

#include <cstring>
#include <vector>

// Rebuilding the text of the text box from the "Content" keys of a settings
// file, in one pass over them where they stand in order.

// The index N of a key named "word_N" (any case, N in decimal without
// leading zeros), or -1.
int wordIndex(QStringView name);

// A stored entry: the index N of a key "word_N" and its value.
struct StoredEntry {
    int index;
    QStringView value;
};

// The stored entries, the "word_N" keys of Content with N below `textLength`,
// by index, the first key of an index winning (any case), as a lookup of each
// would find them. Keys that stand in the file in the order of their indices,
// as every save writes them, are taken in one pass where they lie; only a
// file in another order is sorted.
class StoredText {
public:
    StoredText(const IniFile& ini, int textLength);

    // The entries, and where indices are missing among them: before the
    // entry of ordinal `before` (among the entries), `missing` indices.
    struct Gap {
        int before;
        qint64 missing;
    };
    int count() const { return m_count; }
    const std::vector<Gap>& gaps() const { return m_gaps; }
    // The index after the last entry (0 when there is none).
    qint64 next() const { return m_next; }
    // The characters of their values, and how many of them are empty.
    qsizetype chars() const { return m_chars; }
    qsizetype emptyValues() const { return m_empty; }

    // Calls f(value) for each entry, in order.
    template <typename F> void forEach(F f) const {
        if (m_sorted.empty()) {
            m_ini.forEachKey(u"Content", [&](QStringView name, QStringView value) {
                const int n = wordIndex(name);
                if (n >= 0 && n < m_textLength)
                    f(value);
            });
            return;
        }
        for (const StoredEntry& e : m_sorted)
            f(e.value);
    }

private:
    // Notes entry `n` as the next in order.
    void take(int n, QStringView value);

    const IniFile& m_ini;
    int m_textLength;
    int m_count = 0;
    qint64 m_next = 0;
    std::vector<Gap> m_gaps;
    std::vector<StoredEntry> m_sorted; // only for keys out of order
    qsizetype m_chars = 0;
    qsizetype m_empty = 0;
};

// Writes the restored text into a string made long enough at once, instead
// of appending piece by piece; grows it should the estimate fall short.
class TextWriter {
public:
    TextWriter(QString& text, qsizetype length) : m_text(text) {
        m_text.resize(length);
        m_out = m_text.data();
    }
    void put(QChar c) {
        room(1);
        *m_out++ = c;
    }
    void put(QStringView s) {
        room(s.size());
        std::memcpy(static_cast<void*>(m_out), s.data(), size_t(s.size()) * sizeof(QChar));
        m_out += s.size();
    }
    // Cuts the string to what was written.
    void finish() { m_text.resize(m_out - m_text.constData()); }

private:
    void room(qsizetype n) {
        const qsizetype used = m_out - m_text.constData();
        if (m_text.size() - used >= n)
            return;
        m_text.resize(qMax(used + n, m_text.size() * 2));
        m_out = m_text.data() + used;
    }
    QString& m_text;
    QChar* m_out;
};

// The restored text, entry by entry: the entries present, and before each of
// them and after the last the line breaks that stand for missing entries (see
// loadPaddingAllowance).
struct RestorePlan {
    struct Breaks {
        int before; // the ordinal of the entry they come before
        int count;
    };
    std::vector<Breaks> breaksBefore; // in order, only where there are any
    int breaksAfter = 0;
    int total = 0; // entries of the restored text
};

RestorePlan planRestore(const StoredText& stored, int textLength);
