#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

// A synchronous HTTP GET: blocks (running a local event loop) until the answer
// has come, the request failed, or the time-out has passed.
class HttpGet {
public:
    struct Request {
        QUrl url;
        QList<QPair<QByteArray, QByteArray>> headers;
        int timeoutMs = 5000;          // for the whole request, redirects included
        int maxRedirects = 3;          // followed only on the same host
        qint64 maxBodyBytes = 1 << 20; // larger bodies are cut here, never held whole
    };
    struct Reply {
        bool ok = false;        // a 2xx answer arrived in time
        int status = 0;         // HTTP status, 0 when there was none
        QByteArray body;        // at most maxBodyBytes
        QByteArray contentType; // the Content-Type header as sent
        QString error;          // why it failed (never shown to the user)
    };
    virtual ~HttpGet() = default;
    virtual Reply get(const Request& request) = 0;
};
