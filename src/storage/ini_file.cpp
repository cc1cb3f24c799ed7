#include "storage/ini_file.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

inline bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}
inline bool isLineEnd(QChar c) {
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

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

QString decodeWith(QStringDecoder&& decoder, QByteArrayView bytes) {
    QString s = decoder.decode(bytes);
    if (s.isNull())
        s = QStringLiteral("");
    return s;
}

} // namespace

QString IniFile::decode(const QByteArray& bytes) {
    const QByteArrayView v(bytes);
    if (v.startsWith("\xFF\xFE"))
        return decodeWith(QStringDecoder(QStringConverter::Utf16LE), v.sliced(2));
    if (v.startsWith("\xFE\xFF"))
        return decodeWith(QStringDecoder(QStringConverter::Utf16BE), v.sliced(2));
    if (v.startsWith("\xEF\xBB\xBF"))
        return decodeWith(QStringDecoder(QStringConverter::Utf8), v.sliced(3));
    QStringDecoder utf8(QStringConverter::Utf8);
    QString s = utf8.decode(v);
    if (!utf8.hasError())
        return s.isNull() ? QStringLiteral("") : s;
    QStringDecoder cp1251("windows-1251");
    if (cp1251.isValid())
        return decodeWith(std::move(cp1251), v);
    return QString::fromLatin1(bytes); // no Windows-1251 in this Qt build
}

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

bool IniFile::load(const QString& path, qint64 maxBytes) {
    m_error.clear();
    QFile f(path);
    if (!f.exists()) {
        parse(QByteArray());
        return true;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        m_error = f.errorString();
        parse(QByteArray());
        return false;
    }
    QByteArray bytes = f.read(qMax<qint64>(maxBytes, 0));
    if (f.error() != QFileDevice::NoError) {
        m_error = f.errorString();
        parse(QByteArray());
        return false;
    }
    char probe = 0;
    const bool truncated = f.read(&probe, 1) == 1;
    if (!truncated) {
        parse(bytes);
        return true;
    }
    // Too large: keep whole lines only, so that a character cut in two does
    // not turn the file into something else.
    const bool utf16 = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
    if (utf16) {
        bytes.truncate(bytes.size() & ~qsizetype(1));
    } else {
        qsizetype end = bytes.size();
        while (end > 0 && bytes[end - 1] != '\n' && bytes[end - 1] != '\r')
            --end;
        bytes.truncate(end);
    }
    QString text = decode(bytes);
    if (utf16) {
        qsizetype end = text.size();
        while (end > 0 && !isLineEnd(text[end - 1]))
            --end;
        text.truncate(end);
    }
    parseText(std::move(text));
    return true;
}

void IniFile::parse(const QByteArray& bytes) {
    parseText(decode(bytes));
}

void IniFile::parseText(QString text) {
    m_arena = std::move(text);
    m_sections.clear();
    m_lastAppend = -1;
    resetSectionIndex();

    const QChar* d = m_arena.constData();
    const qsizetype n = m_arena.size();
    qsizetype lines = 0;
    qsizetype pos = 0;
    while (pos < n) {
        qsizetype end = pos;
        while (end < n && !isLineEnd(d[end]))
            ++end;
        qsizetype b = pos;
        qsizetype e = end;
        pos = end + 1;
        while (b < e && isBlank(d[b]))
            ++b;
        while (e > b && isBlank(d[e - 1]))
            --e;
        if (b == e)
            continue;
        if (d[b] == QLatin1Char('[')) {
            if (static_cast<qsizetype>(m_sections.size()) >= maxSections)
                break;
            qsizetype close = b + 1;
            while (close < e && d[close] != QLatin1Char(']'))
                ++close;
            qsizetype nb = b + 1;
            qsizetype ne = close;
            while (nb < ne && isBlank(d[nb]))
                ++nb;
            while (ne > nb && isBlank(d[ne - 1]))
                --ne;
            Section s;
            s.name = {nb, ne - nb};
            m_sections.push_back(std::move(s));
            continue;
        }
        if (lines >= maxLines)
            break;
        if (m_sections.empty()) {
            Section s;
            s.headless = true;
            m_sections.push_back(std::move(s));
        }
        Line line;
        line.name = {b, e - b};
        if (d[b] != QLatin1Char(';')) {
            qsizetype eq = b;
            while (eq < e && d[eq] != QLatin1Char('='))
                ++eq;
            if (eq < e) {
                line.isKey = true;
                qsizetype ke = eq;
                while (ke > b && isBlank(d[ke - 1]))
                    --ke;
                qsizetype vb = eq + 1;
                while (vb < e && isBlank(d[vb]))
                    ++vb;
                line.name = {b, ke - b};
                line.value = {vb, e - vb};
            }
        }
        m_sections.back().lines.push_back(line);
        ++lines;
    }
}

QByteArray IniFile::serialize() const {
    QString out;
    qsizetype lineCount = 0;
    for (const Section& s : m_sections)
        lineCount += static_cast<qsizetype>(s.lines.size());
    out.reserve(m_arena.size() + lineCount * 3 + static_cast<qsizetype>(m_sections.size()) * 6);
    bool first = true;
    for (const Section& s : m_sections) {
        if (s.headless && s.lines.empty())
            continue;
        if (!s.headless) {
            if (!first)
                out += QLatin1String("\r\n");
            out += QLatin1Char('[');
            out += view(s.name);
            out += QLatin1String("]\r\n");
        }
        first = false;
        for (const Line& l : s.lines) {
            out += view(l.name);
            if (l.isKey) {
                out += QLatin1Char('=');
                out += view(l.value);
            }
            out += QLatin1String("\r\n");
        }
    }
    return out.toUtf8();
}

bool IniFile::save(const QString& path) {
    m_error.clear();
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        m_error = f.errorString();
        return false;
    }
    const QByteArray data = serialize();
    if (f.write(data) != data.size()) {
        m_error = f.errorString();
        f.cancelWriting();
        return false;
    }
    if (!f.commit()) {
        m_error = f.errorString();
        return false;
    }
    return true;
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
    const Span span{m_arena.size(), s.size()};
    m_arena.append(s);
    return span;
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

void IniFile::setValue(QStringView section, QStringView key, QStringView value) {
    const int s = findOrAddSection(section);
    Section& sec = m_sections[static_cast<size_t>(s)];
    const int l = findKey(sec, key);
    if (l >= 0) {
        sec.lines[static_cast<size_t>(l)].value = store(value);
        return;
    }
    Line line;
    line.isKey = true;
    line.name = store(key);
    line.value = store(value);
    sec.lines.push_back(line);
    indexKey(sec, static_cast<int>(sec.lines.size()) - 1);
}

void IniFile::setInt(QStringView section, QStringView key, int value) {
    setValue(section, key, QString::number(value));
}

int IniFile::appendSection(QStringView name) {
    if (m_lastAppend < 0 || m_lastAppend >= static_cast<int>(m_sections.size()) ||
        !NameIndex::equal(view(m_sections[static_cast<size_t>(m_lastAppend)].name), name))
        m_lastAppend = findOrAddSection(name);
    return m_lastAppend;
}

void IniFile::reserve(QStringView section, qsizetype chars, qsizetype keys) {
    m_arena.reserve(m_arena.size() + chars);
    auto& lines = m_sections[static_cast<size_t>(appendSection(section))].lines;
    lines.reserve(lines.size() + static_cast<size_t>(qMax<qsizetype>(keys, 0)));
}

void IniFile::appendKey(QStringView section, QStringView key, QStringView value) {
    const int s = appendSection(section);
    Section& sec = m_sections[static_cast<size_t>(s)];
    Line line;
    line.isKey = true;
    line.name = store(key);
    line.value = store(value);
    sec.lines.push_back(line);
    if (sec.indexed)
        indexKey(sec, static_cast<int>(sec.lines.size()) - 1);
}

void IniFile::removeSection(QStringView section) {
    std::vector<Section> kept;
    kept.reserve(m_sections.size());
    bool removed = false;
    for (Section& s : m_sections) {
        if (!s.headless && NameIndex::equal(view(s.name), section)) {
            removed = true;
            continue;
        }
        kept.push_back(std::move(s));
    }
    m_sections.swap(kept);
    m_lastAppend = -1;
    if (removed)
        resetSectionIndex();
}

qsizetype IniFile::keyCount(QStringView section) const {
    qsizetype n = 0;
    forEachKey(section, [&n](QStringView, QStringView) { ++n; });
    return n;
}
