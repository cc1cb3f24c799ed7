#pragma once

#include <QPlainTextEdit>

#include <functional>

// The multi-line text box of the main window. A left-button click in its text
// area emits clicked() after the box has handled the mouse itself, so a
// handler may change the selection. Files dragged onto it are left to the
// window.
class TextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);

    // Replaces the text as setPlainText does (no undo history, not modified)
    // a slice at a time; `progress` runs after every slice with the
    // characters put so far and in all, and may let pending events run.
    void putText(const QString& text,
                 const std::function<void(qsizetype done, qsizetype total)>& progress);

Q_SIGNALS:
    void clicked();

protected:
    // A dropped file is not text: it goes on to the window, which opens it.
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Delivers the move and resize events that showing the box would send
    // (to it and to its viewport), while its document is still small: the
    // text layout lays out every block of the document anew at a change of
    // width, and would otherwise do so over a whole book at the first show.
    void takePendingGeometry();

    bool m_pressed = false;
};
