// The real program's windows on the display in DISPLAY, for the on-screen
// benchmark: the whole Program with its real timers and seams, except that the
// update check is answered at once with the program's own version and that
// message boxes are answered without being shown (they would stop the run).
//
// usage: screen_window TEXT_FILE SPEED_INDEX REFERENCE_FILE
// Puts the text into the text box and selects the speed, writes the picture
// of every entry of the text as the display field renders it to
// REFERENCE_FILE, then prints one line
//   READY window fieldX fieldY fieldWidth fieldHeight border tickColumn startX startY
// and waits for a click on Start. It prints DONE and ends once the text has
// been read to its end.
#include "app/program.h"
#include "platform/clock.h"
#include "platform/file_dialog.h"
#include "platform/hotkeys_activation.h"
#include "platform/hotkeys_qt.h"
#include "platform/http_get.h"
#include "platform/message_boxes.h"
#include "platform/power.h"
#include "platform/url_opener.h"
#include "reading/preparation.h"
#include "reading/reader.h"
#include "screen/signature.h"
#include "ui/display_field.h"
#include "ui/flat_button.h"
#include "ui/main_window.h"
#include "ui/text_box.h"
#include "update/version_check.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

class OwnVersion final : public HttpGet {
public:
    Reply get(const Request&) override {
        Reply r;
        r.ok = true;
        r.status = 200;
        r.body = programVersion().toUtf8() + '\n';
        return r;
    }
};

class UnshownBoxes final : public MessageBoxes {
public:
    Answer show(QWidget*, const QString&, const QString& text, Buttons) override {
        std::fprintf(stderr, "screen_window: message box: %s\n", qPrintable(text));
        return Answer::Ok;
    }
};

screen::Signature signatureOf(const QImage& picture, int tickColumn) {
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    return screen::signatureOf(image.width(), image.height(), 1, tickColumn, [&](int x, int y) {
        return static_cast<std::uint32_t>(image.pixel(x, y));
    });
}

// Every entry's picture, rendered by the field itself off screen: the count,
// then per entry the hash, the number of sums and the sums.
bool writeReferences(DisplayField* field, const QString& text, const QString& path) {
    WordSequence words;
    const quint32 count = quint32(cutWhole(words, text));
    const int tickColumn = DisplayField::tickX - DisplayField::designGeometry.left();
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(reinterpret_cast<const char*>(&count), sizeof count);
    for (int i = 0; i < int(count); ++i) {
        field->showEntry(words.left(i), words.letter(i), words.rest(i));
        const screen::Signature s = signatureOf(field->grab().toImage(), tickColumn);
        const quint32 n = quint32(s.sums.size());
        out.write(reinterpret_cast<const char*>(&s.hash), sizeof s.hash);
        out.write(reinterpret_cast<const char*>(&n), sizeof n);
        out.write(reinterpret_cast<const char*>(s.sums.data()), qint64(n * sizeof(s.sums[0])));
    }
    return out.error() == QFileDevice::NoError;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrix"));
    QApplication::setQuitOnLastWindowClosed(false);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: screen_window TEXT_FILE SPEED_INDEX REFERENCE_FILE\n");
        return 2;
    }
    QFile file(args[1]);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "screen_window: cannot read %s\n", qPrintable(args[1]));
        return 1;
    }
    const QString text = QString::fromUtf8(file.readAll());
    const int speed = args[2].toInt();

    QTemporaryDir folder;
    UnshownBoxes boxes;
    QtFileDialog fileDialog;
    DesktopUrlOpener opener;
    OwnVersion http;
    ApplicationActivation activation;
    EventFilterHotkeys hotkeys(&activation);
    const std::unique_ptr<PowerInhibitor> power = createSystemPowerInhibitor();
    SystemClock clock;
    Program program(Platform{boxes, fileDialog, opener, http, hotkeys, activation, *power, clock,
                             TimeFormat(), nullptr,
                             UserFiles{{folder.filePath(QStringLiteral("kestrix.ini")), {}},
                                       {folder.filePath(QStringLiteral("library.txt")), {}},
                                       {}},
                             versionFileUrl(), webPageUrl()});
    program.start();
    MainWindow* window = program.mainWindow;

    bool reading = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (program.reader->wordTimer.enabled()) {
            reading = true;
        } else if (reading && window->startButton->isEnabled()) {
            watch.stop();
            std::printf("DONE\n");
            std::fflush(stdout);
            QTimer::singleShot(300, window, &QWidget::close);
        }
    });
    QTimer::singleShot(0, window, [&] {
        window->textBox->setPlainText(text);
        window->speedList->setCurrentIndex(speed);
        if (!writeReferences(window->displayField, text, args[3])) {
            std::fprintf(stderr, "screen_window: cannot write %s\n", qPrintable(args[3]));
            std::_Exit(1);
        }
        window->showEntry(Program::contactLeft(), Program::contactLetter(), Program::contactRest());
        // Let the window settle on screen before the observer looks.
        QTimer::singleShot(500, window, [&] {
            const QPoint field = window->displayField->mapTo(window, QPoint(0, 0));
            const QPoint start =
                window->startButton->mapTo(window, window->startButton->rect().center());
            std::printf("READY %llu %d %d %d %d %d %d %d %d\n",
                        static_cast<unsigned long long>(window->winId()), field.x(), field.y(),
                        window->displayField->width(), window->displayField->height(), 1,
                        DisplayField::tickX - DisplayField::designGeometry.left(), start.x(),
                        start.y());
            std::fflush(stdout);
            watch.start(50);
        });
    });
    return program.exec();
}
