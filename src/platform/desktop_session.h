#pragma once

#include <QObject>

// The desktop session the program runs in, as Qt's session management tells
// it (XSMP on X11). A checkpoint asks the program to save its data now: the
// session manager does so to save the session, and again as the first step of
// its end, so a checkpoint alone never ends the program. The session ends for
// the program when the session manager tells it to die, which reaches the
// application as a request to quit, or when the application's event loop
// ends on its own.
class DesktopSession : public QObject {
    Q_OBJECT
public:
    explicit DesktopSession(QObject* parent = nullptr);
    ~DesktopSession() override;

Q_SIGNALS:
    // Save everything now; the session manager is told that the program is
    // done when the connected slots have returned.
    void checkpoint();
    // End the program; nobody may be asked any more.
    void ended();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
