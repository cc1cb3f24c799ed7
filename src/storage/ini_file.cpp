#include "storage/ini_file.h"

#include <limits>

// The value rules and the lookups of sections and keys.

namespace {

int digitValue(QChar c, int base) {
    const char16_t u = c.unicode();
    int d = -1;
    if (u >= u'0' && u <= u'9')
        d = u - u'0';
    else if (u >= u'a' && u <= u'f')
        d = u - u'a' + 10;
    else if (u >= u'A' && u <= u'F')
        d = u - u'A' + 10;
    return d < base ? d : -1;
}

} // namespace

QStringView IniFile::trimmed(QStringView s) {
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

QStringView IniFile::unquoted(QStringView s) {
    if (s.size() >= 2 && s.front() == s.back() &&
        (s.front() == QLatin1Char('"') || s.front() == QLatin1Char('\'')))
        return s.mid(1, s.size() - 2);
    return s;
}

std::optional<int> IniFile::parseInt(QStringView s) {
    const qsizetype n = s.size();
    qsizetype i = 0;
    bool negative = false;
    if (i < n && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-'))) {
        negative = s[i] == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    if (i < n && s[i] == QLatin1Char('$')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && s[i] == QLatin1Char('0') &&
               (s[i + 1] == QLatin1Char('x') || s[i + 1] == QLatin1Char('X'))) {
        base = 16;
        i += 2;
    }
    if (i == n)
        return std::nullopt;
    const quint64 limit = base == 16 ? 0xFFFFFFFFULL : 0x80000000ULL;
    quint64 v = 0;
    for (; i < n; ++i) {
        const int d = digitValue(s[i], base);
        if (d < 0)
            return std::nullopt;
        v = v * static_cast<quint64>(base) + static_cast<quint64>(d);
        if (v > limit)
            return std::nullopt;
    }
    qint64 r = base == 16 ? static_cast<qint64>(static_cast<qint32>(static_cast<quint32>(v)))
                          : static_cast<qint64>(v);
    if (negative)
        r = -r;
    if (r < INT_MIN || r > INT_MAX)
        return std::nullopt;
    return static_cast<int>(r);
}

void IniFile::resetSectionIndex() const {
    m_sectionIndex.clear();
    m_sectionsIndexed = false;
}

int IniFile::findSection(QStringView name) const {
    const auto nameOf = [this](int i) { return view(m_sections[static_cast<size_t>(i)].name); };
    if (!m_sectionsIndexed) {
        m_sectionIndex.clear();
        for (int i = 0; i < static_cast<int>(m_sections.size()); ++i) {
            if (!m_sections[static_cast<size_t>(i)].headless)
                m_sectionIndex.insert(i, nameOf);
        }
        m_sectionsIndexed = true;
    }
    return m_sectionIndex.find(name, nameOf);
}

int IniFile::findOrAddSection(QStringView name) {
    int s = findSection(name);
    if (s >= 0)
        return s;
    Section sec;
    sec.name = store(name);
    m_sections.push_back(std::move(sec));
    s = static_cast<int>(m_sections.size()) - 1;
    m_sectionIndex.insert(s,
                          [this](int i) { return view(m_sections[static_cast<size_t>(i)].name); });
    return s;
}

void IniFile::indexKey(const Section& s, int line) const {
    if (!s.lines[static_cast<size_t>(line)].isKey)
        return;
    s.index.insert(line, [this, &s](int i) { return view(s.lines[static_cast<size_t>(i)].name); });
}

int IniFile::findKey(const Section& s, QStringView key) const {
    if (!s.indexed) {
        s.index.clear();
        for (int i = 0; i < static_cast<int>(s.lines.size()); ++i)
            indexKey(s, i);
        s.indexed = true;
    }
    return s.index.find(key,
                        [this, &s](int i) { return view(s.lines[static_cast<size_t>(i)].name); });
}

IniFile::Span IniFile::store(QStringView s) {
    if (m_arena.size() + s.size() > qsizetype(std::numeric_limits<quint32>::max())) {
        m_arenaFull = true;
        return {};
    }
    const Span stored = span(m_arena.size(), s.size());
    m_arena.append(s);
    return stored;
}

std::optional<QStringView> IniFile::find(QStringView section, QStringView key) const {
    const int s = findSection(section);
    if (s < 0)
        return std::nullopt;
    const Section& sec = m_sections[static_cast<size_t>(s)];
    const int l = findKey(sec, key);
    if (l < 0)
        return std::nullopt;
    return unquoted(view(sec.lines[static_cast<size_t>(l)].value));
}

QString IniFile::value(QStringView section, QStringView key, const QString& defaultValue) const {
    const auto v = find(section, key);
    return v ? v->toString() : defaultValue;
}

int IniFile::intValue(QStringView section, QStringView key, int defaultValue) const {
    const auto v = find(section, key);
    if (!v)
        return defaultValue;
    return parseInt(*v).value_or(defaultValue);
}

bool IniFile::boolValue(QStringView section, QStringView key, bool defaultValue) const {
    return intValue(section, key, defaultValue ? 1 : 0) != 0;
}

qsizetype IniFile::keyCount(QStringView section) const {
    qsizetype n = 0;
    forEachKey(section, [&n](QStringView, QStringView) { ++n; });
    return n;
}
