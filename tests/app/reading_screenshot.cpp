// Saves a picture of the program while it reads a book, in the full view:
//   reading_screenshot DIR   (with QT_QPA_PLATFORM=offscreen)
#include "app/program.h"
#include "fakes.h"
#include "platform/hotkeys.h"
#include "platform/hotkeys_activation.h"
#include "platform/http_get.h"
#include "platform/power.h"
#include "reading/reader.h"
#include "reading/timer.h"
#include "ui/flat_button.h"
#include "ui/main_window.h"
#include "ui/text_box.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

namespace {
class NoServer final : public HttpGet {
public:
    Reply get(const Request&) override { return {}; }
};
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs");
    QFile bookFile(QStringLiteral(KESTRIX_CORPUS_DEFAULT "/ru_pushkin_kapitanskaya_dochka.txt"));
    if (!bookFile.open(QIODevice::ReadOnly))
        return 1;
    const QString book = QString::fromUtf8(bookFile.readAll());
    QTemporaryDir dir;
    ScriptedMessageBoxes boxes;
    ScriptedFileDialog fileDialog;
    RecordingUrlOpener opener;
    NoServer http;
    ManualHotkeys hotkeys;
    ApplicationActivation activation{ApplicationActivation::Source::Manual};
    NoPowerInhibitor power;
    SystemClock clock;
    Program program(Platform{boxes, fileDialog, opener, http, hotkeys, activation, power, clock,
                             TimeFormat(), nullptr,
                             UserFiles{{dir.filePath(QStringLiteral("kestrix.ini")), {}},
                                       {dir.filePath(QStringLiteral("library.txt")), {}},
                                       {}},
                             QUrl(), QUrl(QStringLiteral("http://kestrix.example.org/kestrix"))});
    program.start();
    MainWindow* f = program.mainWindow;
    QTimer::singleShot(0, f, [&, f] {
        f->viewButton->clickFromCode(); // full view
        f->textBox->setPlainText(book);
        f->speedList->setCurrentIndex(5);
        f->startButton->clickFromCode();
    });
    // Shot a few seconds in, while a long word is on screen.
    QElapsedTimer since;
    since.start();
    QObject::connect(&program.reader->wordTimer, &Timer::timeout, f, [&, f] {
        if (since.elapsed() < 4000 || program.state.words.isBlank(program.state.position - 1) ||
            program.state.words.left(program.state.position - 1).size() < 2)
            return;
        f->grab().save(QDir(out).filePath(QStringLiteral("reading.png")));
        f->close();
    });
    return program.exec();
}
