#include "ui/flat_button.h"

#include "ui/fonts.h"

FlatButton::FlatButton(const QString& caption, const QFont& font, int fontHeight, QWidget* parent)
    : QToolButton(parent), m_fontHeight(fontHeight) {
    setText(caption);
    setFont(fonts::sized(font, fontHeight));
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    setAutoRaise(false);
    setFocusPolicy(Qt::NoFocus);
}

void FlatButton::setCaptionFontHeight(int height) {
    m_fontHeight = height;
    setFont(fonts::sized(font(), height));
}

void FlatButton::clickFromCode() {
    Q_EMIT clicked(false);
}
