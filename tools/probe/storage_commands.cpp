#include "probe/commands.h"
#include "probe/output.h"

int probeIniGet(const QStringList&) {
    probe::writeError(QStringLiteral("not built yet"));
    return 2;
}

int probeIniInt(const QStringList&) {
    probe::writeError(QStringLiteral("not built yet"));
    return 2;
}

int probeStore(const QStringList&) {
    probe::writeError(QStringLiteral("not built yet"));
    return 2;
}

int probeRestore(const QStringList&) {
    probe::writeError(QStringLiteral("not built yet"));
    return 2;
}

