#include "storage/ini_file.h"

#include "platform/codepage.h"
#include "platform/regular_file.h"

// Reading: decoding the file's bytes and parsing its lines.

QString IniFile::decode(const QByteArray& bytes) {
    return decodeText(bytes);
}

QString IniFile::limitExceeded(qsizetype lines, qsizetype sections) {
    if (sections > maxSections)
        return QStringLiteral("в файле больше %1 разделов").arg(maxSections);
    if (lines > maxLines)
        return QStringLiteral("в файле больше %1 строк").arg(maxLines);
    return {};
}

bool IniFile::load(const QString& path, qint64 maxBytes) {
    m_error.clear();
    FileContents file = readRegularFile(path, maxBytes);
    if (!file.error.isEmpty()) {
        parse(QByteArray());
        m_error = file.error;
        return false;
    }
    QString text = decode(file.bytes);
    file.bytes = QByteArray();
    m_error = parseText(std::move(text));
    return m_error.isEmpty();
}

bool IniFile::parse(const QByteArray& bytes) {
    return parseText(decode(bytes)).isEmpty();
}

QString IniFile::parseText(QString text) {
    m_arena = std::move(text);
    m_sections.clear();
    m_lastAppend = -1;
    resetSectionIndex();

    const QChar* d = m_arena.constData();
    const qsizetype n = m_arena.size();
    qsizetype lines = 0;
    qsizetype sections = 0;
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
            if (++sections > maxSections)
                return limitExceeded(lines, sections);
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
        if (++lines > maxLines)
            return limitExceeded(lines, sections);
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
    }
    return {};
}
