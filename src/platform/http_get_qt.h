#pragma once

#include "platform/http_get.h"

#include <memory>

class QDeadlineTimer;
class QNetworkAccessManager;

// HTTP GET through QNetworkAccessManager, waited on in a local event loop
// (user input held back meanwhile), so sockets and timers of the calling
// thread keep running. No proxy; cookies are kept for the object's lifetime.
class QtHttpGet final : public HttpGet {
public:
    QtHttpGet();
    ~QtHttpGet() override;
    QtHttpGet(const QtHttpGet&) = delete;
    QtHttpGet& operator=(const QtHttpGet&) = delete;

    Reply get(const Request& request) override;

private:
    // One GET without following redirects; sets `redirect` to where a
    // redirect answer points.
    Reply fetch(const QUrl& url, const Request& request, const QDeadlineTimer& deadline,
                QUrl* redirect);

    std::unique_ptr<QNetworkAccessManager> m_manager;
};
