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
    setObjectName(QStringLiteral("Panel4"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setGeometry(designGeometry);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    // The three panels are transparent over the white frame, so that where
    // they meet neither can cover the other's text.
    Panel1 = makePanel(this, "Panel1");
    Panel2 = makePanel(this, "Panel2");
    Panel3 = makePanel(this, "Panel3");
    Label1 = makeLabel(Panel1, "Label1", Qt::AlignRight);
    Label2 = makeLabel(Panel2, "Label2", Qt::AlignLeft);
    Label3 = makeLabel(Panel3, "Label3", Qt::AlignLeft);
    QPalette red = Label2->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label2->setPalette(red);

    Panel6 = makeTick(this, "Panel6", QRect(tickX, 11, 1, 9));
    Panel5 = makeTick(this, "Panel5", QRect(tickX, 48, 1, 10));
    Panel6->raise();
    Panel5->raise();

    setDisplayFont(Face::B, false);
}

void DisplayField::setDisplayFont(Face face, bool small) {
    m_face = face;
    m_small = small;
    const QFont font = fonts::display(face, small ? 21 : 29);
    for (WordLabel* label : {Label1, Label2, Label3}) {
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
    const QFontMetricsF metrics(Label2->font());
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
    place(Panel1, Label1, leftEdge, letterLeft);
    place(Panel2, Label2, letterLeft, qMax(letterRight, letterLeft + qCeil(letterAdvance)));
    place(Panel3, Label3, letterRight, rightEdge);
}

void DisplayField::showEntry(QStringView left, QChar letter, QStringView rest) {
    const LetterMetrics metrics = metricsOf(letter);
    if (!(metrics == m_placed)) {
        placePanels(metrics);
    }
    Label1->setText(left.toString());
    Label2->setText(letter.isNull() ? QString() : QString(letter));
    Label3->setText(rest.toString());
}

QString DisplayField::left() const {
    return Label1->text();
}

QChar DisplayField::letter() const {
    const QString text = Label2->text();
    return text.isEmpty() ? QChar() : text.front();
}

QString DisplayField::rest() const {
    return Label3->text();
}
