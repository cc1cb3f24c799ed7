#include "probe/output.h"

#include <QFile>

#include <cstdio>

namespace probe {

QString escape(const QString& s) {
    QString out;
    out.reserve(s.size());
    for (const QChar c : s) {
        switch (c.unicode()) {
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        case u'\t':
            out += QStringLiteral("\\t");
            break;
        case u'\\':
            out += QStringLiteral("\\\\");
            break;
        default:
            out += c;
        }
    }
    return out;
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
