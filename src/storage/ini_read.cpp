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

QString IniFile::droppedForStop() {
    m_arena = QString();
    m_sections.clear();
    m_lastAppend = -1;
    m_arenaFull = false;
    resetSectionIndex();
    return QStringLiteral("чтение остановлено");
}

namespace {

// The shares of a load, in thousandths: reading the bytes, decoding them,
// parsing the text.
constexpr int readShare = 300;
constexpr int decodedShare = 400;
// Lines parsed between two reports of the progress.
constexpr qsizetype progressLines = 65536;
// The first section that outgrows this many lines (the text, in a file the
// program wrote) gets room at once for the lines the rest of the file holds
// if its lines go on as long as they were, instead of growing step by step.
constexpr size_t longSection = 4096;

} // namespace

bool IniFile::load(const QString& path, qint64 maxBytes, const LoadProgress& progress) {
    m_error.clear();
    std::function<void(qint64, qint64)> bytesRead;
    if (progress) {
        bytesRead = [&progress](qint64 done, qint64 size) {
            if (size > 0)
                (void)progress(static_cast<int>(readShare * qMin(done, size) / size));
        };
    }
    FileContents file = readRegularFile(path, maxBytes, bytesRead);
    if (!file.error.isEmpty()) {
        parse(QByteArray());
        m_error = file.error;
        return false;
    }
    if (progress && !progress(readShare)) {
        m_error = droppedForStop();
        return false;
    }
    QString text = decode(file.bytes);
    file.bytes = QByteArray();
    if (progress && !progress(decodedShare)) {
        m_error = droppedForStop();
        return false;
    }
    m_error = parseText(std::move(text), progress);
    return m_error.isEmpty();
}

bool IniFile::parse(const QByteArray& bytes) {
    return parseText(decode(bytes)).isEmpty();
}

QString IniFile::parseText(QString text, const LoadProgress& progress) {
    m_arena = std::move(text);
    m_sections.clear();
    m_lastAppend = -1;
    m_arenaFull = false;
    resetSectionIndex();

    const QChar* d = m_arena.constData();
    const qsizetype n = m_arena.size();
    qsizetype lines = 0;
    qsizetype sections = 0;
    qsizetype pos = 0;
    qsizetype nextReport = progressLines;
    bool roomMade = false;
    qsizetype sectionStart = 0;
    // Where the next CR and the next LF stand (n when there is none), found
    // again only once the parse has passed them.
    qsizetype nextCr = -1;
    qsizetype nextLf = -1;
    const QStringView all(m_arena);
    const auto nextOf = [&all, n](qsizetype& next, char16_t c, qsizetype from) {
        if (next < from) {
            const qsizetype i = all.indexOf(QChar(c), from);
            next = i < 0 ? n : i;
        }
        return next;
    };
    while (pos < n) {
        if (progress && lines + sections >= nextReport) {
            nextReport += progressLines;
            if (!progress(static_cast<int>(decodedShare + (1000 - decodedShare) * pos / n)))
                return droppedForStop();
        }
        // The line ends at the next CR or LF; each is looked for with the
        // library's vectorised search, and only again once passed.
        const qsizetype end = qMin(nextOf(nextCr, u'\r', pos), nextOf(nextLf, u'\n', pos));
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
            sectionStart = pos;
            Section s;
            s.name = span(nb, ne - nb);
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
        line.name = span(b, e - b);
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
                line.name = span(b, ke - b);
                line.value = span(vb, e - vb);
            }
        }
        std::vector<Line>& kept = m_sections.back().lines;
        if (!roomMade && kept.size() == kept.capacity() && kept.size() >= longSection) {
            roomMade = true;
            const double perChar =
                double(kept.size()) / double(qMax<qsizetype>(1, pos - sectionStart));
            kept.reserve(kept.size() + size_t(1.1 * perChar * double(n - pos)) + 16);
        }
        kept.push_back(line);
    }
    return {};
}
