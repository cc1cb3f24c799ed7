#include "corpus.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace corpus {

QString dir() {
    const QByteArray env = qgetenv("KESTRIX_CORPUS");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    return QStringLiteral(KESTRIX_CORPUS_DEFAULT);
}

QStringList files() {
    QStringList out;
    const QFileInfoList infos = QDir(dir()).entryInfoList({QStringLiteral("*.txt")}, QDir::Files,
                                                          QDir::Size | QDir::Reversed);
    for (const QFileInfo& fi : infos)
        out << fi.absoluteFilePath();
    return out;
}

QString read(const QString& fileName) {
    QFile f(QDir(dir()).filePath(fileName));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

QString largest() {
    const QStringList all = files();
    return all.isEmpty() ? QString() : all.last();
}

} // namespace corpus
