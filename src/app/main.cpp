#include "app/command_line.h"
#include "app/program.h"
#include "platform/clock.h"
#include "platform/file_dialog.h"
#include "platform/hotkeys_activation.h"
#include "platform/hotkeys_qt.h"
#include "platform/http_get_qt.h"
#include "platform/message_boxes.h"
#include "platform/power.h"
#include "platform/url_opener.h"
#include "update/update_check.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrix"));
    QApplication::setQuitOnLastWindowClosed(false);

    QString output;
    int exitCode = 0;
    const std::optional<CommandLine> commandLine =
        parseCommandLine(QCoreApplication::arguments(), &output, &exitCode);
    if (!commandLine) {
        const QByteArray bytes = output.toLocal8Bit();
        std::fputs(bytes.constData(), exitCode == 0 ? stdout : stderr);
        return exitCode;
    }

    QtMessageBoxes boxes;
    QtFileDialog fileDialog;
    DesktopUrlOpener opener;
    QtHttpGet http;
    ApplicationActivation activation;
    EventFilterHotkeys hotkeys(&activation);
    const std::unique_ptr<PowerInhibitor> power = createSystemPowerInhibitor();
    SystemClock clock;

    Platform platform{
        boxes,
        fileDialog,
        opener,
        http,
        hotkeys,
        activation,
        *power,
        clock,
        TimeFormat(),
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("kestrix.ini")),
        QStringLiteral("library.txt"),
        versionFileUrl(),
        webPageUrl()};
    Program program(std::move(platform));
    if (!commandLine->bookFile.isEmpty())
        program.openBookAtStart(QFileInfo(commandLine->bookFile).absoluteFilePath());
    return program.run();
}
