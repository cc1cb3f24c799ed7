#include "probe/commands.h"
#include "probe/output.h"

#include "words/clean_word.h"
#include "words/word_root.h"

namespace {

// One result per line of standard input, escaped so that every result is
// one output line.
int eachLine(const QStringList& args, QString (*f)(const QString&)) {
    if (!args.isEmpty()) {
        probe::writeError(QStringLiteral("this command reads its words from standard input"));
        return 2;
    }
    const QStringList lines = probe::readStdinLines();
    for (const QString& line : lines)
        probe::writeLine(probe::escape(f(line)));
    return 0;
}

} // namespace

int probeRoot(const QStringList& args) {
    return eachLine(args, wordRoot);
}

int probeClean(const QStringList& args) {
    return eachLine(args, cleanWord);
}
