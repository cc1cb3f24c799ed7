#include "ui/display_field.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontInfo>
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

// What a screen reader is told of the field: the entry shown is its name.
class AccessibleDisplayField final : public QAccessibleWidget {
public:
    explicit AccessibleDisplayField(QWidget* field)
        : QAccessibleWidget(field, QAccessible::StaticText) {}
    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        const auto* field = static_cast<const DisplayField*>(widget());
        const QString word =
            DisplayField::displayForm(
                field->left() + (field->letter().isNull() ? QString() : QString(field->letter())) +
                field->rest())
                .trimmed();
        return word.isEmpty() ? QAccessibleWidget::text(t) : word;
    }
};

QAccessibleInterface* accessibleField(const QString& className, QObject* object) {
    if (className == u"DisplayField" && object && object->isWidgetType())
        return new AccessibleDisplayField(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

DisplayField::DisplayField(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("displayField"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setGeometry(fonts::scaled(designGeometry));
    setPalette(paperPalette());
    // Every paint covers the whole field.
    setAttribute(Qt::WA_OpaquePaintEvent);
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleField);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
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
    const int inside = designGeometry.height() - 2 * frameWidth();
    m_partHeight = qMin(qCeil(metrics.height()), inside);
    const qreal middle = (upperTick.bottom() + 1 + lowerTick.top()) / 2.0 - designGeometry.top();
    const int baseline = qRound(middle + metrics.capHeight() / 2);
    m_partTop = qBound(frameWidth(), baseline - qRound(metrics.ascent()),
                       frameWidth() + inside - m_partHeight);
    placeParts();
    update();
}

bool DisplayField::placeIn(const QFont& font, const QString& left, QChar letter,
                           const QString& rest) {
    const QFontMetricsF metrics(font);
    const qreal advance =
        metrics.horizontalAdvance(letter.isNull() ? QString(QChar(u' ')) : displayForm(letter));
    const int origin = designGeometry.left();
    // Outer edges of the left part and the rest, as in the designer layout.
    const int leftEdge = (m_small ? 30 : 28) - origin;
    const int rightEdge = (m_small ? 329 : 331) - origin;
    const qreal tickCentre = tickX + 0.5 - origin;
    const int letterLeft = qRound(tickCentre - advance / 2);
    const int letterRight = qRound(letterLeft + advance);
    const auto span = [this](int x, int right) {
        return QRect(x, m_partTop, qMax(0, right - x), m_partHeight);
    };
    m_parts[int(Part::Left)] = span(leftEdge, letterLeft);
    m_parts[int(Part::Letter)] = span(letterLeft, qMax(letterRight, letterLeft + qCeil(advance)));
    m_parts[int(Part::Rest)] = span(letterRight, rightEdge);
    return metrics.horizontalAdvance(left) <= letterLeft - leftEdge &&
           metrics.horizontalAdvance(rest) <= rightEdge - letterRight;
}

void DisplayField::placeParts() {
    const QString left = displayForm(m_left);
    const QString rest = displayForm(m_rest);
    m_entryFont = m_font;
    if (placeIn(m_entryFont, left, m_letter, rest))
        return;
    // Smaller sizes of the face, from the share of the room the entry would
    // take down, until the entry fits.
    const QFontMetricsF metrics(m_font);
    const qreal room = designGeometry.width() - 2 * 30;
    const qreal wanted = metrics.horizontalAdvance(left + QChar(u'x') + rest);
    const int size = m_font.pixelSize() > 0 ? m_font.pixelSize() : QFontInfo(m_font).pixelSize();
    int pixels = qBound(minimumPixelSize, int(size * qMin<qreal>(1, room / wanted)) + 1, size);
    for (; pixels >= minimumPixelSize; --pixels) {
        m_entryFont.setPixelSize(pixels);
        if (placeIn(m_entryFont, left, m_letter, rest))
            return;
    }
}

QRect DisplayField::partRect(Part part) const {
    return m_parts[int(part)];
}

void DisplayField::showEntry(QStringView left, QChar letter, QStringView rest) {
    m_left = left.toString();
    m_letter = letter;
    m_rest = rest.toString();
    placeParts();
    // At once and whole: the new entry reaches the screen in this call, as
    // one picture of the field.
    repaint();
    Q_EMIT entryShown();
    if (QAccessible::isActive()) {
        QAccessibleEvent changed(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }
}

void DisplayField::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    drawFrame(&painter);
    // The parts and the tick marks are laid out at the designed size and
    // drawn at the layout's scale.
    const qreal scale = qreal(width()) / designGeometry.width();
    if (!qFuzzyCompare(scale, 1))
        painter.scale(scale, scale);
    painter.setFont(m_entryFont);
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
