#include "ui/display_field.h"

#include "ui/word_label.h"

#include <QFontMetricsF>
#include <QtMath>

namespace {

QFrame* makePanel(QWidget* parent, const char* name) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setFrameShape(QFrame::NoFrame);
    return panel;
}

WordLabel* makeLabel(QFrame* panel, const char* name, Qt::Alignment alignment) {
    auto* label = new WordLabel(panel);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
}

QFrame* makeTick(QWidget* parent, const char* name, QRect windowGeometry) {
    auto* tick = makePanel(parent, name);
    QPalette palette = tick->palette();
    palette.setColor(QPalette::Window, Qt::black);
    tick->setPalette(palette);
    tick->setAutoFillBackground(true);
    tick->setGeometry(windowGeometry.translated(-DisplayField::designGeometry.topLeft()));
    return tick;
}

} // namespace

DisplayField::DisplayField(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("displayField"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setGeometry(designGeometry);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    // The three panels are transparent over the white frame, so that where
    // they meet neither can cover the other's text.
    leftPanel = makePanel(this, "leftPanel");
    letterPanel = makePanel(this, "letterPanel");
    restPanel = makePanel(this, "restPanel");
    leftLabel = makeLabel(leftPanel, "leftLabel", Qt::AlignRight);
    letterLabel = makeLabel(letterPanel, "letterLabel", Qt::AlignLeft);
    restLabel = makeLabel(restPanel, "restLabel", Qt::AlignLeft);
    QPalette red = letterLabel->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    letterLabel->setPalette(red);

    upperTick = makeTick(this, "upperTick", QRect(tickX, 11, 1, 9));
    lowerTick = makeTick(this, "lowerTick", QRect(tickX, 48, 1, 10));
    upperTick->raise();
    lowerTick->raise();

    setDisplayFont(Face::B, false);
}

void DisplayField::setDisplayFont(Face face, bool small) {
    m_face = face;
    m_small = small;
    const QFont font = fonts::display(face, small ? 21 : 29);
    for (WordLabel* label : {leftLabel, letterLabel, restLabel}) {
        label->setFont(font);
    }
    // Vertically, the middle of the capitals stands halfway between the
    // inner ends of the tick marks, the panels kept inside the frame.
    const QFontMetricsF metrics(font);
    const int inside = height() - 2 * frameWidth();
    m_panelHeight = qMin(qCeil(metrics.height()), inside);
    const qreal middle = (20 + 48) / 2.0 - designGeometry.top();
    const int baseline = qRound(middle + metrics.capHeight() / 2);
    m_panelTop = qBound(frameWidth(), baseline - qRound(metrics.ascent()),
                        frameWidth() + inside - m_panelHeight);
    placePanels(metricsOf(letter()));
}

DisplayField::LetterMetrics DisplayField::metricsOf(QChar letter) const {
    const QString shown = WordLabel::displayForm(QString(letter.isNull() ? QChar(u' ') : letter));
    const QFontMetricsF metrics(letterLabel->font());
    LetterMetrics result;
    result.advance = metrics.horizontalAdvance(shown);
    const QRectF ink = metrics.tightBoundingRect(shown);
    result.inkMiddle = ink.width() > 0 ? ink.center().x() : result.advance / 2;
    return result;
}

void DisplayField::placePanels(LetterMetrics letter) {
    m_placed = letter;
    const qreal letterAdvance = letter.advance;
    const int origin = designGeometry.left();
    // Outer edges of the left part and the rest, as in the designer layout.
    const int leftEdge = (m_small ? 30 : 28) - origin;
    const int rightEdge = (m_small ? 329 : 331) - origin;
    const qreal tickCentre = tickX + 0.5 - origin;
    const int letterLeft = qRound(tickCentre - letter.inkMiddle);
    const int letterRight = qRound(letterLeft + letterAdvance);

    const auto place = [this](QFrame* panel, QWidget* label, int x, int right) {
        const QRect rect(x, m_panelTop, qMax(0, right - x), m_panelHeight);
        panel->setGeometry(rect);
        label->setGeometry(0, 0, rect.width(), rect.height());
    };
    place(leftPanel, leftLabel, leftEdge, letterLeft);
    place(letterPanel, letterLabel, letterLeft,
          qMax(letterRight, letterLeft + qCeil(letterAdvance)));
    place(restPanel, restLabel, letterRight, rightEdge);
}

void DisplayField::showEntry(QStringView left, QChar letter, QStringView rest) {
    const LetterMetrics metrics = metricsOf(letter);
    if (!(metrics == m_placed)) {
        placePanels(metrics);
    }
    leftLabel->setText(left.toString());
    letterLabel->setText(letter.isNull() ? QString() : QString(letter));
    restLabel->setText(rest.toString());
}

QString DisplayField::left() const {
    return leftLabel->text();
}

QChar DisplayField::letter() const {
    const QString text = letterLabel->text();
    return text.isEmpty() ? QChar() : text.front();
}

QString DisplayField::rest() const {
    return restLabel->text();
}
