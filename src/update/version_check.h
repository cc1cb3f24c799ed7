#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>

// The widget-free rules of the update check: the program's addresses and
// version, how the version file's body becomes lines, and what of it is shown.

// The version text of the status bar's second panel.
QString programVersion();

// The host (and :port) of the program's web server, as set at configure
// time; empty when the build has none.
QString configuredWebHost();

// The program's web page, http://HOST/kestrix, and its version file,
// http://HOST/kestrix/ver.txt. Without a host there is neither: both are
// empty, and the program makes no update check and shows no web link.
QUrl webPageUrl(const QString& host = configuredWebHost());
QUrl versionFileUrl(const QString& host = configuredWebHost());

// The version file's body as text: in the charset that `contentType` names
// (Content-Type header as sent), else UTF-8; an unknown charset is read as
// UTF-8. A byte-order mark at the start is dropped.
QString decodeBody(const QByteArray& body, const QByteArray& contentType);

// One item per line; lines end at CR LF, LF or CR. A final line break does
// not start another line, so an empty text has no line at all and "\n" has
// one empty line.
QStringList splitLines(const QString& text);

// Whether the version file's first line names another version than
// `versionText`: plain inequality, case counting, no trimming.
bool isOtherVersion(const QString& firstLine, const QString& versionText);

// Bounds of the text shown in the new-version offer.
inline constexpr int kMaxOfferLines = 30;
inline constexpr int kMaxOfferChars = 2000;

// The offer's message: every line followed by a line break, with control
// characters other than tab (and bidirectional overrides) left out. At most
// kMaxOfferLines lines and about kMaxOfferChars characters; where the text
// is cut, "…" stands in for the rest.
QString offerText(const QStringList& lines);
