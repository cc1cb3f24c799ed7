#include "reading/duration.h"

QString durationText(qint64 ms) {
    const qint64 seconds = qMax<qint64>(ms, 0) / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
