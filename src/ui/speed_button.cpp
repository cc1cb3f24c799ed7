#include "ui/speed_button.h"

#include "ui/fonts.h"

SpeedButton::SpeedButton(const QString& caption, const QFont& font, int fontHeight, QWidget* parent)
    : QToolButton(parent), m_fontHeight(fontHeight) {
    setText(caption);
    setFont(fonts::sized(font, fontHeight));
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    setAutoRaise(false);
    setFocusPolicy(Qt::NoFocus);
}

void SpeedButton::setCaptionFontHeight(int height) {
    m_fontHeight = height;
    setFont(fonts::sized(font(), height));
}

void SpeedButton::clickFromCode() {
    Q_EMIT clicked(false);
}
