#include "platform/hotkeys_activation.h"

#include <QGuiApplication>

ApplicationActivation::ApplicationActivation(Source source, QObject* parent) : QObject(parent) {
    if (source != Source::Application || qGuiApp == nullptr)
        return;
    m_active = QGuiApplication::applicationState() == Qt::ApplicationActive;
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            &ApplicationActivation::setState);
}

void ApplicationActivation::setState(Qt::ApplicationState state) {
    const bool nowActive = state == Qt::ApplicationActive;
    if (nowActive == m_active)
        return;
    m_active = nowActive;
    if (m_active)
        Q_EMIT activated();
    else
        Q_EMIT deactivated();
}
