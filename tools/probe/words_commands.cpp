#include "probe/commands.h"
#include "probe/output.h"

int probeRoot(const QStringList&) {
    probe::writeError(QStringLiteral("not built yet"));
    return 2;
}

int probeClean(const QStringList&) {
    probe::writeError(QStringLiteral("not built yet"));
    return 2;
}

