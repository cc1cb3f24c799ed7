#include "ui/state_progress_bar.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

StateProgressBar::StateProgressBar(QWidget* parent) : QProgressBar(parent) {
    setTextVisible(false);
    setFocusPolicy(Qt::NoFocus);
    setValue(0);
}

void StateProgressBar::setState(State state) {
    if (state != m_state) {
        m_state = state;
        update();
    }
}

QColor StateProgressBar::chunkColor(State state) {
    switch (state) {
    case State::Paused:
        return QColor(0xe0, 0xc0, 0x10);
    case State::Error:
        return QColor(0xd8, 0x26, 0x26);
    case State::Normal:
        break;
    }
    return QColor(0x06, 0xb0, 0x25);
}

void StateProgressBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect outer = rect().adjusted(0, 0, -1, -1);
    painter.setPen(QColor(0xbc, 0xbc, 0xbc));
    painter.setBrush(QColor(0xe6, 0xe6, 0xe6));
    painter.drawRect(outer);

    const QRect inner = rect().adjusted(1, 1, -1, -1);
    const qint64 span = qint64(maximum()) - minimum();
    if (span <= 0 || value() <= minimum() || inner.isEmpty()) {
        return;
    }
    const qint64 done = qMin<qint64>(qint64(value()) - minimum(), span);
    const int width = int(inner.width() * done / span);
    if (width <= 0) {
        return;
    }
    const QRect chunk(inner.left(), inner.top(), width, inner.height());
    const QColor colour = chunkColor(m_state);
    QLinearGradient shade(chunk.topLeft(), chunk.bottomLeft());
    shade.setColorAt(0.0, colour.lighter(135));
    shade.setColorAt(0.45, colour);
    shade.setColorAt(1.0, colour.darker(110));
    painter.fillRect(chunk, shade);
}

void StateProgressBar::mousePressEvent(QMouseEvent* event) {
    event->accept();
    Q_EMIT mousePressed(event->button());
}
