#include "app/command_line.h"

#include "update/version_check.h"

#include <QCommandLineParser>

std::optional<CommandLine> parseCommandLine(const QStringList& arguments, QString* output,
                                            int* exitCode) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Kestrix — тренажёр скорочтения: слово за словом в одном окне."));
    const QCommandLineOption portable(
        QStringLiteral("portable"),
        QStringLiteral("Хранить настройки и словарь рядом с программой."));
    parser.addOption(portable);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("FILE"),
        QStringLiteral("Книга, которую открыть: TXT, FB2, FB2.ZIP или EPUB."),
        QStringLiteral("[FILE]"));

    const QString usage = QStringLiteral("\n\n") + parser.helpText();
    if (!parser.parse(arguments)) {
        *output = parser.errorText() + usage;
        *exitCode = 2;
        return std::nullopt;
    }
    if (parser.isSet(help)) {
        *output = parser.helpText();
        *exitCode = 0;
        return std::nullopt;
    }
    if (parser.isSet(version)) {
        *output = QStringLiteral("Kestrix ") + programVersion() + QLatin1Char('\n');
        *exitCode = 0;
        return std::nullopt;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        *output = QStringLiteral("Можно открыть только одну книгу.") + usage;
        *exitCode = 2;
        return std::nullopt;
    }
    CommandLine line;
    line.portable = parser.isSet(portable);
    line.bookFile = files.value(0);
    return line;
}
