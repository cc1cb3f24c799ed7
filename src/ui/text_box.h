#pragma once

#include <QPlainTextEdit>

// The multi-line text box of the main window. A left-button click in its text
// area emits clicked() after the box has handled the mouse itself, so a
// handler may change the selection.
class TextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};
