#include "platform/hotkeys_activation.h"

#include <QGuiApplication>

ApplicationActivation::ApplicationActivation(Source source, QObject* parent) : QObject(parent) {
    if (source != Source::Application || qGuiApp == nullptr)
        return;
    active = QGuiApplication::applicationState() == Qt::ApplicationActive;
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            &ApplicationActivation::setState);
}

void ApplicationActivation::setState(Qt::ApplicationState state) {
    const bool nowActive = state == Qt::ApplicationActive;
    if (nowActive == active)
        return;
    active = nowActive;
    if (active)
        Q_EMIT activated();
    else
        Q_EMIT deactivated();
}
