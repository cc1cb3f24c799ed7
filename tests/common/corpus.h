#pragma once

#include <QString>
#include <QStringList>

namespace corpus {

// The folder of real book texts (KESTRIX_CORPUS overrides the configured one).
QString dir();
// Full paths of every text in the folder, smallest first.
QStringList files();
// A text of the folder by file name, as UTF-8; empty when it cannot be read.
QString read(const QString& fileName);
// The largest text's full path.
QString largest();

} // namespace corpus
