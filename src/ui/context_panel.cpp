#include "ui/context_panel.h"

#include "ui/flat_button.h"
#include "ui/fonts.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int margin = 6;

} // namespace

ContextPanel::ContextPanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("contextPanel"));
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setFont(fonts::tahoma(-12));
    setCursor(Qt::PointingHandCursor);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_layout.setTextOption(option);
    m_layout.setCacheEnabled(true);

    const QFont small = fonts::tahoma(-11);
    timeLeftLabel = new QLabel(this);
    timeLeftLabel->setObjectName(QStringLiteral("timeLeftLabel"));
    timeLeftLabel->setTextFormat(Qt::PlainText);
    timeLeftLabel->setFont(small);
    timeLeftLabel->setCursor(Qt::ArrowCursor);
    timeLeftLabel->hide();
    chaptersButton = new FlatButton(QStringLiteral("Главы…"), small, -11, this);
    chaptersButton->setObjectName(QStringLiteral("chaptersButton"));
    chaptersButton->setCursor(Qt::ArrowCursor);
    chaptersButton->setToolTip(QStringLiteral("Список глав [Ctrl+G]"));
    connect(chaptersButton, &FlatButton::clicked, this, &ContextPanel::chaptersRequested);
}

void ContextPanel::setText(const QString& text, qsizetype markStart, qsizetype markLength) {
    m_layout.setText(text);
    m_markStart = markStart;
    m_markLength = markLength;
    layOut();
    update();
}

void ContextPanel::setMark(qsizetype start, qsizetype length) {
    m_markStart = start;
    m_markLength = length;
    update();
}

void ContextPanel::setTimeLeftText(const QString& text) {
    timeLeftLabel->setText(text);
    timeLeftLabel->setVisible(!text.isEmpty());
}

QString ContextPanel::timeLeftText() const {
    return timeLeftLabel->text();
}

QRect ContextPanel::textArea() const {
    return contentsRect().adjusted(margin, margin - 2, -margin, -bottomRowHeight);
}

void ContextPanel::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    const QRect inner = contentsRect();
    const int rowTop = inner.bottom() + 1 - bottomRowHeight + 2;
    chaptersButton->setGeometry(inner.right() + 1 - margin - 72, rowTop, 72, 20);
    timeLeftLabel->setGeometry(inner.left() + margin, rowTop, chaptersButton->x() - 2 * margin, 20);
    if (textArea().width() != m_laidOutWidth)
        layOut();
}

void ContextPanel::layOut() {
    const int width = textArea().width();
    m_laidOutWidth = width;
    m_layout.setFont(font());
    m_layout.beginLayout();
    qreal y = 0;
    const qreal leading = QFontMetricsF(font()).leading();
    for (;;) {
        QTextLine line = m_layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(qMax(width, 1));
        line.setPosition(QPointF(0, y));
        y += line.height() + qMax<qreal>(leading, 0);
    }
    m_layout.endLayout();
    m_textHeight = y;
}

qreal ContextPanel::scrolled() const {
    const qreal room = textArea().height();
    if (m_textHeight <= room || m_layout.lineCount() == 0)
        return 0;
    const QTextLine line = m_layout.lineForTextPosition(int(m_markStart));
    if (!line.isValid())
        return 0;
    const qreal middle = line.y() + line.height() / 2;
    return qBound<qreal>(0, middle - room / 2, m_textHeight - room);
}

QRect ContextPanel::characterRect(qsizetype index) const {
    const QTextLine line = m_layout.lineForTextPosition(int(index));
    if (!line.isValid())
        return {};
    const QRect area = textArea();
    const qreal x = line.cursorToX(int(index));
    const qreal next = line.cursorToX(int(index) + 1);
    const QRectF cell(area.left() + x, area.top() + line.y() - scrolled(), qMax<qreal>(next - x, 1),
                      line.height());
    return cell.toAlignedRect().intersected(area);
}

void ContextPanel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect area = textArea();
    painter.setClipRect(area);
    painter.setPen(palette().color(QPalette::WindowText));
    QTextLayout::FormatRange mark;
    mark.start = int(m_markStart);
    mark.length = int(m_markLength);
    mark.format.setForeground(QColor(Qt::red));
    m_layout.draw(&painter, QPointF(area.left(), area.top() - scrolled()), {mark});
}

void ContextPanel::mousePressEvent(QMouseEvent* event) {
    const QRect area = textArea();
    if (event->button() != Qt::LeftButton || !area.contains(event->position().toPoint())) {
        QFrame::mousePressEvent(event);
        return;
    }
    const QPointF at = event->position() - QPointF(area.left(), area.top() - scrolled());
    for (int i = 0; i < m_layout.lineCount(); ++i) {
        const QTextLine line = m_layout.lineAt(i);
        if (at.y() < line.y() + line.height()) {
            if (at.y() >= line.y())
                Q_EMIT textClicked(line.xToCursor(at.x(), QTextLine::CursorOnCharacter));
            break;
        }
    }
    event->accept();
}
