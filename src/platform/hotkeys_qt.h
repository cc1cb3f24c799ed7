#pragma once

#include "platform/hotkeys.h"

#include <QPointer>

class ApplicationActivation;
class QKeyEvent;

// The six keys taken by an application-wide event filter: while registered and
// while the program is the active application, their key presses (auto-repeat
// included) reach no widget and no shortcut and are delivered as hotkeys
// instead (a held Space or Enter counts once); the matching key releases are
// swallowed too. While a modal window
// is open the keys are left to it. A key counts only
// without Ctrl, Alt, Shift or Meta. Enter is Return or the keypad's Enter;
// plus and minus count only from the keypad.
class EventFilterHotkeys final : public Hotkeys {
    Q_OBJECT
public:
    // `activation` says whether the program is active; it must outlive this.
    explicit EventFilterHotkeys(ApplicationActivation* activation, QObject* parent = nullptr);
    ~EventFilterHotkeys() override;

    void registerAll() override { m_registered = true; }
    void releaseAll() override { m_registered = false; }
    bool isRegistered() const override { return m_registered; }

    // The hotkey id for a key event, or 0 when it is none of the six.
    static int idOf(const QKeyEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<ApplicationActivation> m_activation;
    bool m_registered = false;
};
