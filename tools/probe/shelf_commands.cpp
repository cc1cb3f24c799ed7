#include "probe/commands.h"
#include "probe/output.h"
#include "shelf/shelf.h"

#include <QFileInfo>

int openShelfToRead(const QStringList& args, const QString& usage, Shelf& shelf) {
    if (args.size() != 1) {
        probe::writeError(QStringLiteral("usage: kestrix-probe ") + usage +
                          QStringLiteral(" FILE"));
        return 2;
    }
    if (!QFileInfo(args[0]).isFile()) {
        probe::writeError(QStringLiteral("no such file: ") + args[0]);
        return 1;
    }
    if (!shelf.open(args[0], true)) {
        probe::writeError(shelf.error());
        return 1;
    }
    return 0;
}

// shelf FILE: every book on the shelf database FILE, most recently read
// first, one line each: fingerprint, entries, position, title, separated by
// tabs. The database is only read.
int probeShelf(const QStringList& args) {
    Shelf shelf;
    if (const int code = openShelfToRead(args, QStringLiteral("shelf"), shelf))
        return code;
    for (const ShelfBook& b : shelf.recent()) {
        probe::writeLine(b.fingerprint + QLatin1Char('\t') + QString::number(b.entries) +
                         QLatin1Char('\t') + QString::number(b.position) + QLatin1Char('\t') +
                         probe::escape(b.title));
    }
    return 0;
}
