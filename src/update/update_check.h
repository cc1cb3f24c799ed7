#pragma once

#include "update/version_check.h"

#include <QString>
#include <QUrl>

class HttpGet;
class MessageBoxes;
class UrlOpener;
class QWidget;

// The whole request for the version file may take this long, redirects
// included, so that an unreachable server does not hold up the start.
inline constexpr int kUpdateTimeoutMs = 4000;
// Redirects followed at most, and how much of the body is read.
inline constexpr int kUpdateMaxRedirects = 3;
inline constexpr qint64 kUpdateMaxBodyBytes = 64 * 1024;

// The request headers of the version-file GET.
QByteArray updateAcceptHeader();
QByteArray updateUserAgent();

// The new-version offer's title and the failure message.
QString newVersionTitle();
QString updateFailedText();

// Fetches the version file once and compares its first line with
// `versionText` (the status bar's version panel). When they differ, offers
// the web page in an OK / Cancel box owned by `owner`; OK opens `pageUrl`.
// Any failure (no answer in time, an error status, a body without a line)
// shows the fixed failure message with OK only. Blocks until done.
void checkForUpdate(HttpGet& http, MessageBoxes& boxes, UrlOpener& opener, QWidget* owner,
                    const QString& versionText, const QUrl& versionUrl = versionFileUrl(),
                    const QUrl& pageUrl = webPageUrl(), int timeoutMs = kUpdateTimeoutMs);

// The status bar's click: opens the web page; whether a browser came up is
// not looked at.
void openWebPage(UrlOpener& opener, const QUrl& page = webPageUrl());
