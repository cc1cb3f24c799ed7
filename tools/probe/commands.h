#pragma once

#include <QStringList>

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
