#include "probe/commands.h"
#include "probe/output.h"

int probeCut(const QStringList&) {
    probe::writeError(QStringLiteral("not built yet"));
    return 2;
}
