#include "platform/http_get_qt.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <algorithm>

QtHttpGet::QtHttpGet() : m_manager(std::make_unique<QNetworkAccessManager>()) {
    m_manager->setProxy(QNetworkProxy::NoProxy);
    m_manager->setCookieJar(new QNetworkCookieJar(m_manager.get()));
}

QtHttpGet::~QtHttpGet() = default;

HttpGet::Reply QtHttpGet::get(const Request& request) {
    Reply result;
    const QString scheme = request.url.scheme().toLower();
    if (!request.url.isValid() || (scheme != u"http" && scheme != u"https")) {
        result.error = QStringLiteral("not an HTTP address: ") + request.url.toString();
        return result;
    }

    QNetworkRequest req(request.url);
    for (const auto& [name, value] : request.headers) {
        req.setRawHeader(name, value);
    }
    req.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    req.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    if (request.maxRedirects > 0) {
        req.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
        req.setMaximumRedirectsAllowed(request.maxRedirects);
    } else {
        req.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    }

    const qint64 limit = std::max<qint64>(0, request.maxBodyBytes);
    bool timedOut = false;
    bool cut = false;

    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    std::unique_ptr<QNetworkReply> reply(m_manager->get(req));
    QNetworkReply* const r = reply.get();
    // Keeps at most `limit` bytes of the body; once that much is read the
    // rest is not waited for.
    const auto readBody = [&] {
        while (!cut && !timedOut) {
            const qint64 room = limit - result.body.size();
            if (room <= 0) {
                cut = true;
                if (r->isRunning()) {
                    r->abort();
                }
                break;
            }
            const QByteArray chunk = r->read(std::min<qint64>(room, 64 * 1024));
            if (chunk.isEmpty()) {
                break;
            }
            result.body += chunk;
        }
    };
    QObject::connect(r, &QNetworkReply::readyRead, &loop, readBody);
    QObject::connect(r, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        r->abort();
        loop.quit();
    });

    timer.start(std::max(1, request.timeoutMs));
    if (!r->isFinished()) {
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    timer.stop();
    QObject::disconnect(r, nullptr, &loop, nullptr);
    if (!timedOut && !cut) {
        readBody();
    }

    const QVariant status = r->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    result.status = status.isValid() ? status.toInt() : 0;
    result.contentType = r->rawHeader("Content-Type");
    const bool success = result.status >= 200 && result.status < 300;
    if (timedOut) {
        result.error = QStringLiteral("no complete answer within %1 ms").arg(request.timeoutMs);
    } else if (!cut && r->error() != QNetworkReply::NoError) {
        result.error = r->errorString();
    } else if (!success) {
        result.error = QStringLiteral("HTTP status %1").arg(result.status);
    } else {
        result.ok = true;
    }
    if (!result.ok && !timedOut && result.error.isEmpty()) {
        result.error = QStringLiteral("request failed");
    }
    return result;
}
