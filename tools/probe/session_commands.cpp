#include "probe/commands.h"
#include "probe/output.h"
#include "shelf/shelf.h"

#include <QDateTime>
#include <QHash>

// sessions FILE: every reading session of the shelf database FILE, earliest
// first, one line each: start (ISO 8601, local time), running seconds, word
// entries shown, speed index, book title, separated by tabs. The database is
// only read.
int probeSessions(const QStringList& args) {
    Shelf shelf;
    if (const int code = openShelfToRead(args, QStringLiteral("sessions"), shelf))
        return code;
    QHash<QString, QString> titles;
    for (const ShelfBook& b : shelf.recent())
        titles.insert(b.fingerprint, b.title);
    const QList<ShelfSession> sessions = shelf.sessions(std::numeric_limits<qint64>::min());
    if (!shelf.error().isEmpty()) {
        probe::writeError(shelf.error());
        return 1;
    }
    for (const ShelfSession& s : sessions) {
        const QDateTime start = QDateTime::fromMSecsSinceEpoch(s.started);
        probe::writeLine(start.toString(Qt::ISODate) + QLatin1Char('\t') +
                         QString::number(s.runningMs / 1000) + QLatin1Char('\t') +
                         QString::number(s.words) + QLatin1Char('\t') +
                         QString::number(s.speedIndex) + QLatin1Char('\t') +
                         probe::escape(titles.value(s.fingerprint)));
    }
    return 0;
}
