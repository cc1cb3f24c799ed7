#include "probe/output.h"

#include <QFile>

#include <cstdio>

namespace probe {

namespace {

// Appends `s` escaped to `out`.
void appendEscaped(QString& out, QStringView s) {
    const QChar* d = s.data();
    const qsizetype n = s.size();
    qsizetype run = 0;
    for (qsizetype i = 0; i < n; ++i) {
        QLatin1String escaped;
        switch (d[i].unicode()) {
        case u'\r':
            escaped = QLatin1String("\\r");
            break;
        case u'\n':
            escaped = QLatin1String("\\n");
            break;
        case u'\t':
            escaped = QLatin1String("\\t");
            break;
        case u'\\':
            escaped = QLatin1String("\\\\");
            break;
        default:
            continue;
        }
        out.append(d + run, i - run);
        out += escaped;
        run = i + 1;
    }
    out.append(d + run, n - run);
}

// escape(`s`) in UTF-8 into `out`, in one pass; false (and `out` as it
// stood) for text with a surrogate, which Qt's encoder is left to take.
bool encodeEscaped(QByteArray& out, QStringView s) {
    const qsizetype start = out.size();
    out.resize(start + 3 * s.size());
    char* o = out.data() + start;
    for (const QChar ch : s) {
        const char16_t c = ch.unicode();
        if (c < 0x80) {
            const char escaped = c == u'\r'   ? 'r'
                                 : c == u'\n' ? 'n'
                                 : c == u'\t' ? 't'
                                 : c == u'\\' ? '\\'
                                              : 0;
            if (escaped) {
                *o++ = '\\';
                *o++ = escaped;
            } else {
                *o++ = char(c);
            }
        } else if (c < 0x800) {
            *o++ = char(0xC0 | (c >> 6));
            *o++ = char(0x80 | (c & 0x3F));
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            out.resize(start);
            return false;
        } else {
            *o++ = char(0xE0 | (c >> 12));
            *o++ = char(0x80 | ((c >> 6) & 0x3F));
            *o++ = char(0x80 | (c & 0x3F));
        }
    }
    out.resize(o - out.constData());
    return true;
}

} // namespace

QString escape(const QString& s) {
    QString out;
    out.reserve(s.size() + s.size() / 16);
    appendEscaped(out, s);
    return out;
}

void writeEscapedLine(QStringView line) {
    constexpr qsizetype slice = 65536;
    QString escaped;
    QByteArray bytes;
    qsizetype from = 0;
    while (from < line.size()) {
        // A slice never ends inside a surrogate pair, which UTF-8 takes whole.
        qsizetype to = qMin(line.size(), from + slice);
        if (to < line.size() && line[to - 1].isHighSurrogate())
            ++to;
        bytes.clear();
        if (!encodeEscaped(bytes, line.mid(from, to - from))) {
            escaped.clear();
            appendEscaped(escaped, line.mid(from, to - from));
            bytes = escaped.toUtf8();
        }
        std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
        from = to;
    }
    std::fputc('\n', stdout);
}

void writeLine(const QString& line) {
    const QByteArray bytes = line.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fputc('\n', stdout);
}

void writeError(const QString& line) {
    const QByteArray bytes = line.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fputc('\n', stderr);
}

QString readStdin() {
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(in.readAll());
}

QStringList readStdinLines() {
    const QString all = readStdin();
    QStringList lines;
    qsizetype start = 0;
    while (start < all.size()) {
        qsizetype end = all.indexOf(QLatin1Char('\n'), start);
        const bool last = end < 0;
        if (last)
            end = all.size();
        QString line = all.mid(start, end - start);
        if (!last && line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        lines.append(line);
        start = end + 1;
    }
    return lines;
}

QString readTextFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        writeError(QStringLiteral("cannot read %1: %2").arg(path, f.errorString()));
        return QString();
    }
    QString text = QString::fromUtf8(f.readAll());
    if (text.isNull())
        text = QStringLiteral("");
    return text;
}

} // namespace probe
