#include "ui/status_bar.h"

#include "ui/fonts.h"

#include <QLabel>
#include <QMouseEvent>

StatusBar::StatusBar(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("statusBar"));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);

    const int widths[panelCount] = {250, 50};
    const Qt::Alignment alignments[panelCount] = {Qt::AlignLeft, Qt::AlignRight};
    int x = 0;
    for (int i = 0; i < panelCount; ++i) {
        auto* label = new QLabel(this);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(alignments[i] | Qt::AlignVCenter);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setMargin(1);
        label->setIndent(2);
        label->setGeometry(fonts::scaled(x), 2, fonts::scaled(widths[i]) - 2,
                           fonts::scaled(barHeight) - 2);
        // Clicks go to the bar itself.
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_panels[i] = label;
        x += widths[i];
    }
    if (parent != nullptr) {
        dock();
    }
}

QLabel* StatusBar::panel(int panel) const {
    return m_panels[qBound(0, panel, panelCount - 1)];
}

QString StatusBar::panelText(int panel) const {
    return (panel >= 0 && panel < panelCount) ? m_panels[panel]->text() : QString();
}

void StatusBar::setPanelText(int panel, const QString& text) {
    if (panel >= 0 && panel < panelCount) {
        m_panels[panel]->setText(text);
    }
}

void StatusBar::setLinkShown(bool shown) {
    m_linkShown = shown;
    m_panels[0]->setVisible(shown);
    setCursor(shown ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void StatusBar::dock() {
    if (const QWidget* owner = parentWidget()) {
        const int height = fonts::scaled(barHeight);
        setGeometry(0, owner->height() - height, owner->width(), height);
    }
}

void StatusBar::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void StatusBar::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = m_linkShown && m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click) {
        Q_EMIT clicked();
    }
}
