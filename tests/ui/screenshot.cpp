// Renders the three windows into PNG files, for the documentation:
//   ui_screenshot OUTPUT_DIR
// Run it with QT_QPA_PLATFORM=offscreen.
#include "ui/closing_dialog.h"
#include "ui/main_window.h"
#include "ui/splash_window.h"
#include "ui/state_progress_bar.h"
#include "ui/status_bar.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));

    MainWindow form;
    form.statusBar->setPanelText(0, QStringLiteral("http://kestrix.example.org/kestrix"));
    form.showEntry(u"скор", QChar(u'о'), u"чтение");
    form.progressBar->setRange(0, 100);
    form.progressBar->setValue(40);
    form.show();
    bool ok = form.grab().save(out.filePath(QStringLiteral("main-window.png")));
    form.resize(form.width(), 200);
    ok = form.grab().save(out.filePath(QStringLiteral("main-window-compact.png"))) && ok;

    ClosingDialog closing;
    closing.progressBar->setValue(60);
    closing.show();
    ok = closing.grab().save(out.filePath(QStringLiteral("closing-dialog.png"))) && ok;

    SplashWindow splash;
    splash.progressBar->setValue(30);
    splash.show();
    ok = splash.grab().save(out.filePath(QStringLiteral("splash.png"))) && ok;
    return ok ? 0 : 1;
}
