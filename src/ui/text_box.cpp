#include "ui/text_box.h"

#include <QMouseEvent>

TextBox::TextBox(QWidget* parent) : QPlainTextEdit(parent) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabChangesFocus(false);
}

void TextBox::mousePressEvent(QMouseEvent* event) {
    QPlainTextEdit::mousePressEvent(event);
    m_pressed = event->button() == Qt::LeftButton;
}

void TextBox::mouseReleaseEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseReleaseEvent(event);
    if (m_pressed && event->button() == Qt::LeftButton) {
        m_pressed = false;
        Q_EMIT clicked();
    }
}
