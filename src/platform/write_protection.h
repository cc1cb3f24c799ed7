#pragma once

#include <QByteArray>

#include <sys/stat.h>

// Whether the file `name` (a regular file, `st` as stat gave it) is one the
// reader keeps from being written: this user may not write it (no write
// permission, or an immutable file), it grants nobody write permission (the
// reader's way of freezing a file, honoured for the superuser too), or the
// file system keeps it append-only. Such a file is never replaced by a save.
bool isWriteProtected(const QByteArray& name, const struct stat& st);
