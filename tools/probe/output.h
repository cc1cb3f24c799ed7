#pragma once

#include <QString>
#include <QStringList>

namespace probe {

// CR, LF, TAB and backslash as \r, \n, \t and \\; everything else as it is.
QString escape(const QString& s);
// Writes `line` and LF to standard output, in UTF-8.
void writeLine(const QString& line);
// Writes escape(`line`) and LF, a slice at a time (for a whole book).
void writeEscapedLine(QStringView line);
void writeError(const QString& line);
// All of standard input as UTF-8.
QString readStdin();
// Standard input split into lines at LF, a CR before the LF dropped; a last
// line without LF counts, an empty input has no lines.
QStringList readStdinLines();
// A whole file as UTF-8, or a null string (and a message) when unreadable.
QString readTextFile(const QString& path);

} // namespace probe
