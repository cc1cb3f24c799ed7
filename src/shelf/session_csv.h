#pragma once

#include "shelf/shelf_session.h"

#include <QByteArray>
#include <QHash>
#include <QList>

// The sessions as a CSV file (RFC 4180): UTF-8, a header row, one row a
// session, lines ended by CR LF, a field quoted when it holds a comma, a
// quote or a line break, its quotes doubled. Times are ISO 8601 in local
// time; `titles` gives the books' titles by fingerprint.
QByteArray sessionsCsv(const QList<ShelfSession>& sessions, const QHash<QString, QString>& titles);

// One field as RFC 4180 writes it.
QString csvField(const QString& text);
