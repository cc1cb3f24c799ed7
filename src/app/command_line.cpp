#include "app/command_line.h"

#include "update/version_check.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace {

QString programName(const QStringList& arguments) {
    const QString name =
        arguments.isEmpty() ? QString() : QFileInfo(arguments.constFirst()).fileName();
    return name.isEmpty() ? QStringLiteral("kestrix") : name;
}

// The parser's help with our own usage line: the parser's names the
// executable by its full path, or not at all when no application object exists.
QString helpText(const QCommandLineParser& parser, const QString& name) {
    QString text = parser.helpText();
    const qsizetype firstLineEnd = text.indexOf(QLatin1Char('\n'));
    text.remove(0, firstLineEnd < 0 ? text.size() : firstLineEnd);
    return QStringLiteral("Usage: ") + name + QStringLiteral(" [options] [FILE]") + text;
}

} // namespace

std::optional<CommandLine> parseCommandLine(const QStringList& arguments, QString* output,
                                            int* exitCode) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Kestrix, a speed-reading trainer: shows a text one word at a time."));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    const QCommandLineOption portable(
        QStringLiteral("portable"),
        QStringLiteral("Keep kestrix.ini and library.txt beside the executable instead of the "
                       "per-user folders."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(portable);
    parser.addPositionalArgument(
        QStringLiteral("FILE"),
        QStringLiteral("A book to open: plain text, FB2, FB2.ZIP, EPUB, DOCX, ODT or PDF."),
        QStringLiteral("[FILE]"));

    const QString name = programName(arguments);
    QString error;
    if (!parser.parse(arguments))
        error = parser.errorText();
    else if (parser.positionalArguments().size() > 1)
        error = QStringLiteral("Only one FILE can be given.");
    if (error.isEmpty() && parser.isSet(help)) {
        *output = helpText(parser, name);
        *exitCode = 0;
        return std::nullopt;
    }
    if (error.isEmpty() && parser.isSet(version)) {
        *output = QStringLiteral("Kestrix ") + programVersion() + QLatin1Char('\n');
        *exitCode = 0;
        return std::nullopt;
    }
    if (!error.isEmpty()) {
        *output = name + QStringLiteral(": ") + error + QLatin1Char('\n') +
                  QStringLiteral("Try '") + name + QStringLiteral(" --help' for more.\n");
        *exitCode = 2;
        return std::nullopt;
    }
    CommandLine line;
    line.portable = parser.isSet(portable);
    if (!parser.positionalArguments().isEmpty())
        line.bookFile = parser.positionalArguments().constFirst();
    return line;
}
