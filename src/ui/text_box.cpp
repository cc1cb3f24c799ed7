#include "ui/text_box.h"

#include <QMimeData>
#include <QMouseEvent>

namespace {

bool holdsLocalFile(const QMimeData* source) {
    const QList<QUrl> urls = source ? source->urls() : QList<QUrl>();
    for (const QUrl& url : urls) {
        if (url.isLocalFile())
            return true;
    }
    return false;
}

} // namespace

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

bool TextBox::canInsertFromMimeData(const QMimeData* source) const {
    return !holdsLocalFile(source) && QPlainTextEdit::canInsertFromMimeData(source);
}

void TextBox::insertFromMimeData(const QMimeData* source) {
    if (!holdsLocalFile(source))
        QPlainTextEdit::insertFromMimeData(source);
}
