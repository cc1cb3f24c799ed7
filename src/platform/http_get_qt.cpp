#include "platform/http_get_qt.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <algorithm>

namespace {

// A redirect stays with the host asked (any port), and never from HTTPS to
// plain HTTP.
bool isSameHost(const QUrl& from, const QUrl& to) {
    const QString scheme = to.scheme().toLower();
    if (scheme != u"http" && scheme != u"https")
        return false;
    if (scheme == u"http" && from.scheme().toLower() == u"https")
        return false;
    return to.host().compare(from.host(), Qt::CaseInsensitive) == 0;
}

} // namespace

QtHttpGet::QtHttpGet() : m_manager(std::make_unique<QNetworkAccessManager>()) {
    m_manager->setProxy(QNetworkProxy::NoProxy);
    m_manager->setCookieJar(new QNetworkCookieJar(m_manager.get()));
}

QtHttpGet::~QtHttpGet() = default;

HttpGet::Reply QtHttpGet::get(const Request& request) {
    const QString scheme = request.url.scheme().toLower();
    if (!request.url.isValid() || (scheme != u"http" && scheme != u"https")) {
        Reply result;
        result.error = QStringLiteral("not an HTTP address: ") + request.url.toString();
        return result;
    }
    // Redirects are followed here rather than by Qt, so that each one is
    // checked before it is asked for.
    const QDeadlineTimer deadline(std::max(1, request.timeoutMs));
    QUrl url = request.url;
    for (int hops = 0;; ++hops) {
        QUrl next;
        Reply reply = fetch(url, request, deadline, &next);
        if (next.isEmpty()) {
            return reply;
        }
        if (hops >= request.maxRedirects) {
            reply.error = QStringLiteral("more than %1 redirects").arg(request.maxRedirects);
            return reply;
        }
        if (!isSameHost(request.url, next)) {
            reply.error = QStringLiteral("redirect away from the host refused: ") + next.toString();
            return reply;
        }
        url = next;
    }
}

HttpGet::Reply QtHttpGet::fetch(const QUrl& url, const Request& request,
                                const QDeadlineTimer& deadline, QUrl* redirect) {
    Reply result;
    QNetworkRequest req(url);
    for (const auto& [name, value] : request.headers) {
        req.setRawHeader(name, value);
    }
    req.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    req.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    req.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                     QNetworkRequest::ManualRedirectPolicy);

    const qint64 limit = std::max<qint64>(0, request.maxBodyBytes);
    bool timedOut = false;
    bool cut = false;

    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    std::unique_ptr<QNetworkReply> reply(m_manager->get(req));
    QNetworkReply* const r = reply.get();
    // Qt reads no further ahead than this, so a huge answer does not pile up
    // in memory before it is cut. (Qt's network thread takes the bound a
    // moment after the request has started: before the first answer from
    // any server that is more than a loop-back call away.)
    r->setReadBufferSize(std::clamp<qint64>(limit, 16 * 1024, 64 * 1024));
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

    timer.start(std::max<qint64>(1, deadline.remainingTime()));
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
        const QByteArray location = r->rawHeader("Location");
        const int s = result.status;
        if (!location.isEmpty() && (s == 301 || s == 302 || s == 303 || s == 307 || s == 308)) {
            *redirect = url.resolved(QUrl::fromEncoded(location));
        }
    } else {
        result.ok = true;
    }
    if (!result.ok && !timedOut && result.error.isEmpty()) {
        result.error = QStringLiteral("request failed");
    }
    return result;
}
