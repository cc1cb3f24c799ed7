#pragma once

#include <QString>

class QWidget;

// Modal message boxes. Every text is shown as plain text, never as markup.
class MessageBoxes {
public:
    enum class Buttons { Ok, OkCancel };
    enum class Answer { Ok, Cancel };

    virtual ~MessageBoxes() = default;
    // Shows a box owned by `owner` (may be null) and waits until it is closed.
    virtual Answer show(QWidget* owner, const QString& title, const QString& text,
                        Buttons buttons) = 0;

    // The program's plain message: title "Kestrix", OK only.
    void message(QWidget* owner, const QString& text) {
        show(owner, QStringLiteral("Kestrix"), text, Buttons::Ok);
    }
};

// The real implementation: QMessageBox, modal, plain text.
class QtMessageBoxes final : public MessageBoxes {
public:
    Answer show(QWidget* owner, const QString& title, const QString& text,
                Buttons buttons) override;
};
