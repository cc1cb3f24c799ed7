#include "update/version_check.h"

#include <QStringDecoder>

#include <algorithm>
#include <optional>

#ifndef KESTRIX_WEB_HOST
#error "KESTRIX_WEB_HOST must be defined (empty: no web server)"
#endif

QString programVersion() {
    return QStringLiteral("v.2.1.4");
}

QString configuredWebHost() {
    return QStringLiteral(KESTRIX_WEB_HOST);
}

namespace {

QUrl onHost(const QString& host, const QString& path) {
    if (host.isEmpty()) {
        return {};
    }
    return QUrl(QString(QStringLiteral("http://") + host + path), QUrl::StrictMode);
}

} // namespace

QUrl webPageUrl(const QString& host) {
    return onHost(host, QStringLiteral("/kestrix"));
}

QUrl versionFileUrl(const QString& host) {
    return onHost(host, QStringLiteral("/kestrix/ver.txt"));
}

namespace {

// The value of the charset parameter of a Content-Type header, unquoted.
QByteArray charsetOf(const QByteArray& contentType) {
    const QList<QByteArray> parts = contentType.split(';');
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QByteArray param = parts[i].trimmed();
        const qsizetype eq = param.indexOf('=');
        if (eq < 0 || param.left(eq).trimmed().toLower() != "charset") {
            continue;
        }
        QByteArray value = param.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"')) {
            value = value.mid(1, value.size() - 2);
        }
        return value.trimmed();
    }
    return {};
}

bool isShownAsIs(char16_t c) {
    if (c == u'\t') {
        return true;
    }
    if (c < 0x20 || (c >= 0x7f && c < 0xa0)) {
        return false;
    }
    // Bidirectional embeddings, overrides and isolates would reorder the text.
    if ((c >= 0x202a && c <= 0x202e) || (c >= 0x2066 && c <= 0x2069)) {
        return false;
    }
    return true;
}

QString shownLine(const QString& line) {
    QString out;
    out.reserve(line.size());
    for (const QChar c : line) {
        if (isShownAsIs(c.unicode())) {
            out.append(c);
        }
    }
    return out;
}

} // namespace

QString decodeBody(const QByteArray& body, const QByteArray& contentType) {
    const QByteArray charset = charsetOf(contentType);
    if (!charset.isEmpty()) {
        QStringDecoder named(charset.constData());
        if (named.isValid()) {
            return named.decode(body);
        }
    }
    // No usable charset: a byte-order mark decides, else UTF-8.
    const std::optional<QStringConverter::Encoding> byMark =
        QStringConverter::encodingForData(body);
    QStringDecoder decoder(byMark.value_or(QStringConverter::Utf8));
    return decoder.decode(body);
}

QStringList splitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            lines.append(text.mid(start, i - start));
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') {
                ++i;
            }
            start = i + 1;
        }
        ++i;
    }
    if (start < n) {
        lines.append(text.mid(start));
    }
    return lines;
}

bool isOtherVersion(const QString& firstLine, const QString& versionText) {
    return firstLine != versionText;
}

QString offerText(const QStringList& lines) {
    const QChar ellipsis(0x2026);
    QString out;
    const qsizetype shown = std::min<qsizetype>(lines.size(), kMaxOfferLines);
    for (qsizetype i = 0; i < shown; ++i) {
        QString line = shownLine(lines[i]);
        const qsizetype room = std::max<qsizetype>(0, kMaxOfferChars - out.size());
        if (line.size() > room) {
            qsizetype keep = room;
            // Never split a surrogate pair.
            if (keep > 0 && line[keep - 1].isHighSurrogate()) {
                --keep;
            }
            line.truncate(keep);
            out += line;
            out += ellipsis;
            out += u'\n';
            return out;
        }
        out += line;
        out += u'\n';
    }
    if (lines.size() > shown) {
        out += ellipsis;
        out += u'\n';
    }
    return out;
}
