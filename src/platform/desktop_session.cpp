#include "platform/desktop_session.h"

#include <QEvent>
#include <QGuiApplication>
#include <QSessionManager>

DesktopSession::DesktopSession(QObject* parent) : QObject(parent) {
    QCoreApplication* app = QCoreApplication::instance();
    if (auto* gui = qobject_cast<QGuiApplication*>(app)) {
        connect(
            gui, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager&) { Q_EMIT checkpoint(); }, Qt::DirectConnection);
    }
    if (app != nullptr) {
        connect(app, &QCoreApplication::aboutToQuit, this, &DesktopSession::ended);
        // Before the application's own handling, which would close the
        // windows as if the reader had closed them.
        app->installEventFilter(this);
    }
}

DesktopSession::~DesktopSession() {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

bool DesktopSession::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Quit && watched == QCoreApplication::instance()) {
        Q_EMIT ended();
        event->accept();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
