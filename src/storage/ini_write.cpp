#include "storage/ini_file.h"

#include "platform/atomic_save.h"
#include "platform/file_errors.h"

#include <limits>

// Writing: changing values and sections, and the file as it is saved.

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

bool IniFile::save(const QString& path, const SaveProgress& progress) {
    qsizetype lines = 0;
    qsizetype sections = 0;
    for (const Section& s : m_sections) {
        lines += static_cast<qsizetype>(s.lines.size());
        sections += s.headless ? 0 : 1;
    }
    m_error = limitExceeded(lines, sections);
    if (!m_error.isEmpty())
        return false;
    if (m_arenaFull) {
        m_error = fileTooLargeText(defaultMaxBytes);
        return false;
    }
    const QByteArray data = serialize();
    if (data.size() > defaultMaxBytes) {
        m_error = fileTooLargeText(defaultMaxBytes);
        return false;
    }
    m_error = saveFileAtomically(path, data, progress);
    return m_error.isEmpty();
}

IniFile::Span IniFile::storeValue(QStringView value) {
    qsizetype end = 0;
    while (end < value.size() && !isLineEnd(value[end]))
        ++end;
    value = value.left(end);
    if (trimmed(value).size() == value.size() && unquoted(value).size() == value.size())
        return store(value);
    if (m_arena.size() + value.size() + 2 > qsizetype(std::numeric_limits<quint32>::max())) {
        m_arenaFull = true;
        return {};
    }
    const Span quoted = span(m_arena.size(), value.size() + 2);
    m_arena.append(QLatin1Char('"'));
    m_arena.append(value);
    m_arena.append(QLatin1Char('"'));
    return quoted;
}

void IniFile::setValue(QStringView section, QStringView key, QStringView value) {
    const int s = findOrAddSection(section);
    Section& sec = m_sections[static_cast<size_t>(s)];
    const int l = findKey(sec, key);
    if (l >= 0) {
        sec.lines[static_cast<size_t>(l)].value = storeValue(value);
        return;
    }
    Line line;
    line.isKey = true;
    line.name = store(key);
    line.value = storeValue(value);
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
    line.value = storeValue(value);
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
