#include "ui/word_label.h"

#include <QPainter>

WordLabel::WordLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::NoTextInteraction);
    setWordWrap(false);
    setMargin(0);
    setIndent(0);
}

QString WordLabel::displayForm(QString text) {
    for (QChar& c : text) {
        const auto category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line ||
            category == QChar::Separator_Paragraph) {
            c = QLatin1Char(' ');
        }
    }
    return text;
}

void WordLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    painter.setFont(font());
    painter.drawText(contentsRect(), int(alignment()) | Qt::TextSingleLine, displayForm(text()));
}
