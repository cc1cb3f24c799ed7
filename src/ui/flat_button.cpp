#include "ui/flat_button.h"

#include "ui/fonts.h"

#include <QKeyEvent>
#include <QPainter>

namespace {

bool isPlaybackKey(const QKeyEvent* event) {
    const int key = event->key();
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

FlatButton::FlatButton(const QString& caption, const QFont& font, int fontHeight, QWidget* parent)
    : QToolButton(parent), m_fontHeight(fontHeight) {
    setText(caption);
    setFont(fonts::sized(font, fonts::scaled(fontHeight)));
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    setAutoRaise(false);
    setFocusPolicy(Qt::TabFocus);
}

void FlatButton::setCaptionFontHeight(int height) {
    m_fontHeight = height;
    setFont(fonts::sized(font(), fonts::scaled(height)));
}

void FlatButton::clickFromCode() {
    Q_EMIT clicked(false);
}

void FlatButton::paintEvent(QPaintEvent* event) {
    QToolButton::paintEvent(event);
    if (!hasFocus())
        return;
    // Drawn in the caption's colour so that it shows in any theme.
    QPainter painter(this);
    QPen pen(palette().color(QPalette::ButtonText), 1, Qt::DotLine);
    painter.setPen(pen);
    painter.drawRect(rect().adjusted(3, 3, -4, -4));
}

void FlatButton::keyPressEvent(QKeyEvent* event) {
    if (isPlaybackKey(event))
        event->ignore();
    else
        QToolButton::keyPressEvent(event);
}

void FlatButton::keyReleaseEvent(QKeyEvent* event) {
    if (isPlaybackKey(event))
        event->ignore();
    else
        QToolButton::keyReleaseEvent(event);
}
