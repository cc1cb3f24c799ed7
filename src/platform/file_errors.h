#pragma once

#include <QString>

// The reason a file operation failed, in words for the user: a short Russian
// wording for the common causes (no space left on the device, permission
// denied, read-only file system, ...) and the system's own text for the rest.
QString fileErrorText(int error);

// Why a folder, a FIFO, a device or a socket (`mode` as stat gives it) is not
// read or saved over as a file.
QString notRegularFileText(unsigned mode);
// Why a file larger than `maxBytes` is not read.
QString fileTooLargeText(qint64 maxBytes);
// Why a file the reader protected from writing is not saved over.
QString writeProtectedText();
// Why the file at `path`, which could not be read in this run (as a rule
// when the program started), is not saved over.
QString unreadFileKeptText(const QString& path);
