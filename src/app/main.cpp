#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Kestrix"));
    window.resize(356, 549);
    window.show();
    return app.exec();
}
