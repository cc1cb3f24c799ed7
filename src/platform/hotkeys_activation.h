#pragma once

#include <QObject>

// Tells whether the program is the active application and signals the moments
// it becomes, or stops being, active. The hotkeys are registered on the one and
// released on the other.
class ApplicationActivation : public QObject {
    Q_OBJECT
public:
    enum class Source {
        Application, // follows QGuiApplication::applicationState()
        Manual,      // starts inactive and changes only through setState()
    };

    explicit ApplicationActivation(Source source = Source::Application, QObject* parent = nullptr);

    bool isActive() const { return m_active; }

public Q_SLOTS:
    // Any state but Qt::ApplicationActive counts as inactive; the signals come
    // only when that changes, after isActive() has taken the new value.
    void setState(Qt::ApplicationState state);

Q_SIGNALS:
    void activated();
    void deactivated();

private:
    bool m_active = false;
};
