#include "app/program.h"
#include "platform/clock.h"
#include "platform/hotkeys_activation.h"
#include "platform/hotkeys_qt.h"
#include "platform/http_get_qt.h"
#include "platform/message_boxes.h"
#include "platform/power.h"
#include "platform/url_opener.h"
#include "update/update_check.h"

#include <QApplication>
#include <QDir>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrix"));
    // Ties the windows to the desktop entry (and its icon) on Wayland.
    QApplication::setDesktopFileName(QStringLiteral(KESTRIX_APP_ID));
    QApplication::setQuitOnLastWindowClosed(false);

    QtMessageBoxes boxes;
    DesktopUrlOpener opener;
    QtHttpGet http;
    ApplicationActivation activation;
    EventFilterHotkeys hotkeys(&activation);
    const std::unique_ptr<PowerInhibitor> power = createSystemPowerInhibitor();
    SystemClock clock;

    Platform platform{
        boxes,
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
    return program.run();
}
