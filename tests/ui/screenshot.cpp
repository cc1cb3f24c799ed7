// Renders the three windows into PNG files, for the documentation:
//   ui_screenshot OUTPUT_DIR
// Run it with QT_QPA_PLATFORM=offscreen.
#include "ui/closing_dialog.h"
#include "ui/main_window.h"
#include "ui/splash.h"
#include "ui/state_progress_bar.h"
#include "ui/status_bar.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));

    TForm1 form;
    form.StatusBar1->setPanelText(0, QStringLiteral("http://kestrix.example.org/kestrix"));
    form.showEntry(u"скор", QChar(u'о'), u"чтение");
    form.ProgressBar1->setRange(0, 100);
    form.ProgressBar1->setValue(40);
    form.show();
    bool ok = form.grab().save(out.filePath(QStringLiteral("main-window.png")));
    form.resize(form.width(), 200);
    ok = form.grab().save(out.filePath(QStringLiteral("main-window-compact.png"))) && ok;

    TForm2 closing;
    closing.ProgressBar1->setValue(60);
    closing.show();
    ok = closing.grab().save(out.filePath(QStringLiteral("closing-dialog.png"))) && ok;

    TForm3 splash;
    splash.ProgressBar1->setValue(30);
    splash.show();
    ok = splash.grab().save(out.filePath(QStringLiteral("splash.png"))) && ok;
    return ok ? 0 : 1;
}
