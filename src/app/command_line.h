#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What the command line asks for.
struct CommandLine {
    bool portable = false; // both files beside the executable
    QString bookFile;      // a book to open, empty when none was given
};

// Parses QCoreApplication-style arguments (argv[0] first). On --help or --version, or a
// usage error, returns nullopt and fills `output` (text for stdout, or stderr on error)
// and `exitCode` (0 for help/version, 2 for a usage error).
std::optional<CommandLine> parseCommandLine(const QStringList& arguments, QString* output,
                                            int* exitCode);
