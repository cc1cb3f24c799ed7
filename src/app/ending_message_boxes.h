#pragma once

#include "platform/message_boxes.h"

#include <QPointer>
#include <QWidget>

#include <cstdio>

// The program's message boxes. While it runs they are the system's boxes as
// asked for. Once it is ending they stand over the closing dialog while that
// is on screen: the dialog stays on top and the main window is disabled, so a
// box owned by the main window would be hidden and could not be answered. When
// nobody may be asked (a signal or the end of the session ends the program),
// no box is shown: the text goes to `unattendedOutput` and the answer is Cancel.
class EndingMessageBoxes final : public MessageBoxes {
public:
    explicit EndingMessageBoxes(MessageBoxes& system, std::FILE* unattendedOutput = stderr)
        : m_system(system), m_output(unattendedOutput) {}

    Answer show(QWidget* owner, const QString& title, const QString& text,
                Buttons buttons) override;

    // The program is ending under `dialog`.
    void setEnding(QWidget* dialog) { m_dialog = dialog; }
    // Nobody may be asked any more.
    void setUnattended() { m_unattended = true; }
    bool unattended() const { return m_unattended; }

private:
    MessageBoxes& m_system;
    std::FILE* m_output;
    QPointer<QWidget> m_dialog;
    bool m_unattended = false;
};
