#pragma once

#include <QStringList>

class Shelf;

// Each command takes its arguments (without the program and command names)
// and returns the process exit code.
int probeRoot(const QStringList& args);
int probeClean(const QStringList& args);
int probeCut(const QStringList& args);
int probeTimeLeft(const QStringList& args);
int probeIniGet(const QStringList& args);
int probeIniInt(const QStringList& args);
int probeStore(const QStringList& args);
int probeRestore(const QStringList& args);
int probeOpen(const QStringList& args);
int probeChapters(const QStringList& args);
int probeShelf(const QStringList& args);
int probeSessions(const QStringList& args);

// Opens the shelf database that the one argument in `args` names, only for
// reading: 0 when it is open, else the exit code, the fault told (`usage`
// for a wrong count of arguments).
int openShelfToRead(const QStringList& args, const QString& usage, Shelf& shelf);
