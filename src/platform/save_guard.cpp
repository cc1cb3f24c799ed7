#include "platform/atomic_save.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QSet>

// The files kept from saves in this run.

namespace {

struct Kept {
    QMutex mutex;
    QSet<QString> paths;
};

Kept& kept() {
    static Kept k;
    return k;
}

QString keyOf(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

void keepFromSaves(const QString& path) {
    Kept& k = kept();
    const QMutexLocker lock(&k.mutex);
    k.paths.insert(keyOf(path));
}

void allowSaves(const QString& path) {
    Kept& k = kept();
    const QMutexLocker lock(&k.mutex);
    k.paths.remove(keyOf(path));
}

bool isKeptFromSaves(const QString& path) {
    Kept& k = kept();
    const QMutexLocker lock(&k.mutex);
    return !k.paths.isEmpty() && k.paths.contains(keyOf(path));
}
