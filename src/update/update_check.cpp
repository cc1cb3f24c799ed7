#include "update/update_check.h"

#include "platform/http_get.h"
#include "platform/message_boxes.h"
#include "platform/url_opener.h"

QByteArray updateAcceptHeader() {
    return QByteArrayLiteral("text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8");
}

QByteArray updateUserAgent() {
    return QByteArrayLiteral("Mozilla/3.0 (compatible; Kestrix; Qt Network)");
}

QString newVersionTitle() {
    return QStringLiteral("Доступна новая версия программы");
}

QString updateFailedText() {
    return QStringLiteral("Не удалось загрузить информацию о новых версиях программы.");
}

void checkForUpdate(HttpGet& http, MessageBoxes& boxes, UrlOpener& opener, QWidget* owner,
                    const QString& versionText, const QUrl& versionUrl, const QUrl& pageUrl,
                    int timeoutMs) {
    HttpGet::Request request;
    request.url = versionUrl;
    request.headers = {{QByteArrayLiteral("Accept"), updateAcceptHeader()},
                       {QByteArrayLiteral("User-Agent"), updateUserAgent()}};
    request.timeoutMs = timeoutMs;
    request.maxRedirects = kUpdateMaxRedirects;
    request.maxBodyBytes = kUpdateMaxBodyBytes;

    const HttpGet::Reply reply = http.get(request);
    QStringList lines;
    if (reply.ok) {
        const QString text = decodeBody(reply.body, reply.contentType);
        // A NUL means the file is no text at all; its "lines" are not shown.
        if (!text.contains(QChar(0))) {
            lines = splitLines(text);
        }
    }
    if (lines.isEmpty()) {
        boxes.message(owner, updateFailedText());
        return;
    }
    if (!isOtherVersion(lines.first(), versionText)) {
        return;
    }
    const MessageBoxes::Answer answer =
        boxes.show(owner, newVersionTitle(), offerText(lines), MessageBoxes::Buttons::OkCancel);
    if (answer == MessageBoxes::Answer::Ok) {
        openWebPage(opener, pageUrl);
    }
}

void openWebPage(UrlOpener& opener, const QUrl& page) {
    opener.open(page);
}
