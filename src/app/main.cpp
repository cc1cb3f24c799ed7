#include "app/command_line.h"
#include "app/program.h"
#include "platform/clock.h"
#include "platform/file_dialog.h"
#include "platform/free_memory.h"
#include "platform/hotkeys_activation.h"
#include "platform/hotkeys_qt.h"
#include "platform/http_get_qt.h"
#include "platform/message_boxes.h"
#include "platform/power.h"
#include "platform/single_instance.h"
#include "platform/termination_signals.h"
#include "platform/url_opener.h"
#include "platform/user_files.h"
#include "update/update_check.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

namespace {

void print(const QString& text, std::FILE* stream) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}

} // namespace

int main(int argc, char** argv) {
    // A stored book's buffers come and go in the first second: each is
    // given back to the system when freed instead of staying in the heap.
    returnLargeBlocksAtOnce();
    // The folders of the reader's files are named after the application:
    // ~/.config/Kestrix and ~/.local/share/Kestrix. No organisation name, so
    // that the name is not doubled into Kestrix/Kestrix.
    QCoreApplication::setApplicationName(QStringLiteral("Kestrix"));

    // --help and --version answer without a display. Other errors wait for
    // the application object, which takes its own options (-session, ...).
    QStringList raw;
    for (int i = 0; i < argc; ++i)
        raw.append(QString::fromLocal8Bit(argv[i]));
    QString output;
    int exitCode = 0;
    if (!parseCommandLine(raw, &output, &exitCode) && exitCode == 0) {
        print(output, stdout);
        return 0;
    }

    QApplication app(argc, argv);
    // Ties the windows to the desktop entry (and its icon) on Wayland.
    QApplication::setDesktopFileName(QStringLiteral(KESTRIX_APP_ID));
    QApplication::setQuitOnLastWindowClosed(false);
    // Qt's own dialogs and menus (the file dialog, the text box's menu) speak
    // Russian like the rest of the program, where Qt's translations are
    // installed.
    QTranslator qtTranslation;
    if (qtTranslation.load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                           QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslation);
    TerminationSignals termination;
    const std::optional<CommandLine> commandLine =
        parseCommandLine(QCoreApplication::arguments(), &output, &exitCode);
    if (!commandLine) {
        print(output, exitCode == 0 ? stdout : stderr);
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

    Platform platform{boxes,
                      fileDialog,
                      opener,
                      http,
                      hotkeys,
                      activation,
                      *power,
                      clock,
                      TimeFormat(),
                      &termination,
                      userFiles(commandLine->portable, QCoreApplication::applicationDirPath(),
                                QDir::currentPath()),
                      versionFileUrl(),
                      webPageUrl()};
    const QString bookFile = commandLine->bookFile.isEmpty()
                                 ? QString()
                                 : QFileInfo(commandLine->bookFile).absoluteFilePath();
    // One program at a time for these files: a second start hands its book
    // to the running one. Where no lock file can be made, the program runs
    // unguarded.
    SingleInstance instance(QFileInfo(platform.files.shelf).absolutePath());
    if (!instance.claim() && !instance.lockUnavailable()) {
        if (instance.handOver(bookFile))
            return 0;
        print(QStringLiteral("Kestrix уже запущен, но не отвечает (") + instance.error() +
                  QStringLiteral(").\n"),
              stderr);
        return 1;
    }
    Program program(std::move(platform));
    QObject::connect(&instance, &SingleInstance::fileReceived, &program, &Program::takeHandedOver);
    if (!bookFile.isEmpty())
        program.openBookAtStart(bookFile);
    return program.run();
}
