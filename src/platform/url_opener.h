#pragma once

#include <QUrl>

// Opens a web address in the user's default browser.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    // Returns whether the system accepted the request; callers may ignore it.
    virtual bool open(const QUrl& url) = 0;
};

class DesktopUrlOpener final : public UrlOpener {
public:
    bool open(const QUrl& url) override;
};
