#include "ui/small_window.h"

#include "ui/fonts.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QThread>
#include <QWindow>

SmallWindow::SmallWindow(const QString& caption, QSize clientSize, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setWindowTitle(caption);
    setFont(fonts::tahoma(-11));
    setFixedSize(clientSize);
}

void SmallWindow::centerOn(const QWidget* window) {
    if (window == nullptr) {
        centerOnScreen();
        return;
    }
    QRect frame = rect();
    frame.moveCenter(window->frameGeometry().center());
    move(frame.topLeft());
}

void SmallWindow::centerOnScreen() {
    const QScreen* screen =
        this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    QRect frame = rect();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void SmallWindow::paintNow() {
    if (!isVisible())
        return;
    const QDeadlineTimer deadline(500);
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if ((windowHandle() != nullptr && windowHandle()->isExposed()) || deadline.hasExpired())
            break;
        QThread::msleep(2);
    }
    repaint();
}

QLabel* SmallWindow::addLabel(const char* name, QRect geometry, const QString& text,
                              int visibleHeight) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
    label->setGeometry(geometry);
    const int room = visibleHeight > 0 ? visibleHeight : geometry.height();
    QFont font = label->font();
    const auto needed = [&](const QFont& f) {
        return QFontMetrics(f)
            .boundingRect(QRect(0, 0, geometry.width(), 10000), Qt::AlignHCenter | Qt::TextWordWrap,
                          text)
            .height();
    };
    while (font.pixelSize() > 9 && needed(font) > room) {
        font.setPixelSize(font.pixelSize() - 1);
    }
    label->setFont(font);
    return label;
}
