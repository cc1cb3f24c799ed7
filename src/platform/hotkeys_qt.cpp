#include "platform/hotkeys_qt.h"

#include "platform/hotkeys_activation.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

namespace {

// A window of the program's own over the main window (the bookshelf, the
// statistics, the chapters) answers its own keys: its lists take the arrows,
// its buttons Enter and Space.
bool inWindowOverMain(QObject* watched) {
    QWindow* window = qobject_cast<QWindow*>(watched);
    if (window == nullptr) {
        if (const auto* widget = qobject_cast<QWidget*>(watched))
            window = widget->window()->windowHandle();
    }
    return window != nullptr && window->transientParent() != nullptr;
}

} // namespace

EventFilterHotkeys::EventFilterHotkeys(ApplicationActivation* activationSource, QObject* parent)
    : Hotkeys(parent), m_activation(activationSource) {
    Q_ASSERT(activationSource != nullptr);
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->installEventFilter(this);
}

EventFilterHotkeys::~EventFilterHotkeys() {
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->removeEventFilter(this);
}

int EventFilterHotkeys::idOf(const QKeyEvent& event) {
    // The keypad flag and a layout group switch are no modifier keys.
    const Qt::KeyboardModifiers held =
        event.modifiers() & ~(Qt::KeypadModifier | Qt::GroupSwitchModifier);
    if (held != Qt::NoModifier)
        return 0;
    const bool keypad = event.modifiers().testFlag(Qt::KeypadModifier);
    switch (event.key()) {
    case Qt::Key_Space:
        return 32;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Plus:
        return keypad ? 107 : 0;
    case Qt::Key_Minus:
        return keypad ? 109 : 0;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Down:
        return 40;
    default:
        return 0;
    }
}

bool EventFilterHotkeys::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        return Hotkeys::eventFilter(watched, event);
    if (!m_registered || m_activation.isNull() || !m_activation->isActive())
        return false;
    // A modal window (a message box, a file dialog) answers its own keys:
    // Enter and Space press its buttons there.
    if (QGuiApplication::modalWindow() != nullptr)
        return false;
    if (inWindowOverMain(watched))
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const int id = idOf(*key);
    if (id == 0 || leftToFocus(id))
        return false;
    // An accepted override keeps the key from any shortcut; the press then
    // comes here again and goes no further.
    event->accept();
    // A held Space or Enter toggles the pause once, not at every repeat.
    const bool toggleKey = id == 32 || id == 13;
    if (type == QEvent::KeyPress && !(toggleKey && key->isAutoRepeat()))
        Q_EMIT hotkey(id);
    return true;
}
