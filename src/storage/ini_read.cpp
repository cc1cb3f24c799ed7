#include "storage/ini_file.h"

#include <QFile>
#include <QStringDecoder>

// Reading: decoding the file's bytes and parsing its lines.

namespace {

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
