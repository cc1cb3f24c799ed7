#include "platform/user_files.h"

#include "platform/atomic_save.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString settingsName = QStringLiteral("kestrix.ini");
const QString libraryName = QStringLiteral("library.txt");
const QString shelfName = QStringLiteral("books.sqlite");

bool present(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

QString FileLocation::readPath() const {
    if (oldPath.isEmpty() || present(path) || !present(oldPath))
        return path;
    return oldPath;
}

bool FileLocation::keptFromSaves() const {
    return isKeptFromSaves(path) || isKeptFromSaves(readPath());
}

UserFiles userFiles(bool portable, const QString& executableDir, const QString& workingDir) {
    const QDir beside(executableDir);
    if (portable) {
        return {{beside.filePath(settingsName), {}},
                {beside.filePath(libraryName), {}},
                beside.filePath(shelfName)};
    }
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    UserFiles files;
    files.settings = {beside.filePath(settingsName), {}};
    files.library = {QDir(workingDir).filePath(libraryName), {}};
    files.shelf = beside.filePath(shelfName);
    // Without a home folder the system names no place: the old layout stays.
    if (!config.isEmpty())
        files.settings = {QDir(config).filePath(settingsName), files.settings.path};
    if (!data.isEmpty()) {
        files.library = {QDir(data).filePath(libraryName), files.library.path};
        files.shelf = QDir(data).filePath(shelfName);
    }
    return files;
}

void makeFolderFor(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
}
