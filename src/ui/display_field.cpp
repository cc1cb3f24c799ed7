#include "ui/display_field.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QtMath>

namespace {

// The field's own colours, the same under every theme: white paper with a
// light raised border.
QPalette paperPalette() {
    QPalette palette(QColor(Qt::black), QColor(Qt::white), QColor(Qt::white), QColor(0xa0a0a0),
                     QColor(0xc0c0c0), QColor(Qt::black), QColor(Qt::white));
    palette.setColor(QPalette::Shadow, QColor(0x69, 0x69, 0x69));
    return palette;
}

} // namespace

DisplayField::DisplayField(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("displayField"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setGeometry(designGeometry);
    setPalette(paperPalette());
    // Every paint covers the whole field.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setDisplayFont(Face::B, false);
}

QString DisplayField::displayForm(QString text) {
    for (QChar& c : text) {
        const auto category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line ||
            category == QChar::Separator_Paragraph) {
            c = QLatin1Char(' ');
        }
    }
    return text;
}

void DisplayField::setDisplayFont(Face face, bool small) {
    m_face = face;
    m_small = small;
    m_font = fonts::display(face, small ? 21 : 29);
    // Vertically, the middle of the capitals stands halfway between the
    // inner ends of the tick marks, the parts kept inside the frame.
    const QFontMetricsF metrics(m_font);
    const int inside = height() - 2 * frameWidth();
    m_partHeight = qMin(qCeil(metrics.height()), inside);
    const qreal middle = (upperTick.bottom() + 1 + lowerTick.top()) / 2.0 - designGeometry.top();
    const int baseline = qRound(middle + metrics.capHeight() / 2);
    m_partTop = qBound(frameWidth(), baseline - qRound(metrics.ascent()),
                       frameWidth() + inside - m_partHeight);
    placeParts(metricsOf(m_letter));
    update();
}

DisplayField::LetterMetrics DisplayField::metricsOf(QChar letter) const {
    const QString shown = displayForm(QString(letter.isNull() ? QChar(u' ') : letter));
    const QFontMetricsF metrics(m_font);
    LetterMetrics result;
    result.advance = metrics.horizontalAdvance(shown);
    const QRectF ink = metrics.tightBoundingRect(shown);
    result.inkMiddle = ink.width() > 0 ? ink.center().x() : result.advance / 2;
    return result;
}

void DisplayField::placeParts(LetterMetrics letter) {
    m_placed = letter;
    const int origin = designGeometry.left();
    // Outer edges of the left part and the rest, as in the designer layout.
    const int leftEdge = (m_small ? 30 : 28) - origin;
    const int rightEdge = (m_small ? 329 : 331) - origin;
    const qreal tickCentre = tickX + 0.5 - origin;
    const int letterLeft = qRound(tickCentre - letter.inkMiddle);
    const int letterRight = qRound(letterLeft + letter.advance);
    const auto span = [this](int x, int right) {
        return QRect(x, m_partTop, qMax(0, right - x), m_partHeight);
    };
    m_parts[int(Part::Left)] = span(leftEdge, letterLeft);
    m_parts[int(Part::Letter)] =
        span(letterLeft, qMax(letterRight, letterLeft + qCeil(letter.advance)));
    m_parts[int(Part::Rest)] = span(letterRight, rightEdge);
}

QRect DisplayField::partRect(Part part) const {
    return m_parts[int(part)];
}

void DisplayField::showEntry(QStringView left, QChar letter, QStringView rest) {
    m_left = left.toString();
    m_letter = letter;
    m_rest = rest.toString();
    const LetterMetrics metrics = metricsOf(letter);
    if (!(metrics == m_placed))
        placeParts(metrics);
    // At once and whole: the new entry reaches the screen in this call, as
    // one picture of the field.
    repaint();
    Q_EMIT entryShown();
}

void DisplayField::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    drawFrame(&painter);
    painter.setFont(m_font);
    const auto draw = [&painter, this](Part part, int alignment, QColor colour,
                                       const QString& text) {
        const QRect area = m_parts[int(part)];
        painter.save();
        painter.setClipRect(area);
        painter.setPen(colour);
        painter.drawText(area, alignment | Qt::AlignVCenter | Qt::TextSingleLine,
                         displayForm(text));
        painter.restore();
    };
    draw(Part::Left, Qt::AlignRight, Qt::black, m_left);
    draw(Part::Letter, Qt::AlignLeft, Qt::red, m_letter.isNull() ? QString() : QString(m_letter));
    draw(Part::Rest, Qt::AlignLeft, Qt::black, m_rest);
    const QPoint origin = designGeometry.topLeft();
    painter.fillRect(upperTick.translated(-origin), Qt::black);
    painter.fillRect(lowerTick.translated(-origin), Qt::black);
}
