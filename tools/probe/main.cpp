// kestrix-probe: a command-line window onto the core rules, for diagnosis and checks.
#include "probe/commands.h"
#include "probe/output.h"

#include <QCoreApplication>

#include <functional>
#include <map>

namespace {

const char* const usage =
    "usage: kestrix-probe COMMAND [ARGS]\n"
    "  root                 word roots of the words on standard input, one per line\n"
    "  clean                cleaned words of the words on standard input\n"
    "  cut [--speed N] [--count] [FILE]\n"
    "                       the word sequence that Start makes of a UTF-8 text\n"
    "  time-left [--speed N] FILE POSITION\n"
    "                       milliseconds the entries from POSITION to the end stay on\n"
    "                       screen outside learning mode\n"
    "  ini-get FILE SECTION KEY [DEFAULT]\n"
    "  ini-int FILE SECTION KEY DEFAULT\n"
    "  store TEXTFILE INIFILE\n"
    "  restore INIFILE\n"
    "  open FILE            the text the text box receives for a book file (TXT, FB2,\n"
    "                       FB2.ZIP, EPUB, DOCX, ODT, PDF), as UTF-8\n"
    "  open --chapters FILE where its chapters begin: offset, a tab, the title\n"
    "  chapters FILE        where its chapters begin in the word sequence Start makes of\n"
    "                       its text: entry index, a tab, the title\n"
    "  shelf FILE           the books of a shelf database: fingerprint, entries,\n"
    "                       position, title (tab-separated)\n"
    "  sessions FILE        the reading sessions of a shelf database: start (ISO 8601,\n"
    "                       local time), running seconds, word entries shown, speed\n"
    "                       index, book title (tab-separated)\n";

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    if (args.isEmpty()) {
        std::fputs(usage, stderr);
        return 2;
    }
    const std::map<QString, std::function<int(const QStringList&)>> commands = {
        {QStringLiteral("root"), probeRoot},
        {QStringLiteral("clean"), probeClean},
        {QStringLiteral("cut"), probeCut},
        {QStringLiteral("ini-get"), probeIniGet},
        {QStringLiteral("ini-int"), probeIniInt},
        {QStringLiteral("store"), probeStore},
        {QStringLiteral("restore"), probeRestore},
        {QStringLiteral("open"), probeOpen},
        {QStringLiteral("chapters"), probeChapters},
        {QStringLiteral("time-left"), probeTimeLeft},
        {QStringLiteral("shelf"), probeShelf},
        {QStringLiteral("sessions"), probeSessions},
    };
    const QString name = args.takeFirst();
    const auto it = commands.find(name);
    if (it == commands.end()) {
        std::fputs(usage, stderr);
        return 2;
    }
    return it->second(args);
}
