#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// What readRegularFile found at a path.
struct FileContents {
    bool exists = false; // false: nothing there (or a link to nothing), no error
    QByteArray bytes;    // the whole file when `error` is empty
    QString error;       // why it was not read, in words for the user
};

// Reads the regular file at `path` whole, in chunks and without trusting the
// size it announces (a sparse file is refused by its size, never allocated).
// A folder, a FIFO, a device or a socket, or a link to one, is refused without
// being read and without blocking; so is a file of more than `maxBytes` bytes.
// `progress`, when given, is told the bytes read so far and the size the file
// announced after every chunk.
FileContents readRegularFile(const QString& path, qint64 maxBytes,
                             const std::function<void(qint64 done, qint64 size)>& progress = {});
