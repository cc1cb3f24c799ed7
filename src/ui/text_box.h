#pragma once

#include <QPlainTextEdit>

// The multi-line text box of the main window. A left-button click in its text
// area emits clicked() after the box has handled the mouse itself, so a
// handler may change the selection. Files dragged onto it are left to the
// window.
class TextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    // A dropped file is not text: it goes on to the window, which opens it.
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};
