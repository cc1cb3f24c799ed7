#pragma once

#include <QFrame>

class QLabel;

// A status bar of two panels (250 pixels left-aligned, 50 pixels
// right-aligned), without a size grip. The first panel is a link: under a
// pointing-hand cursor a click anywhere on the bar emits clicked(). Without
// a link the first panel is hidden, the cursor is the arrow and clicks do
// nothing. The owner keeps it docked to the bottom edge of its client area
// with dock().
class StatusBar : public QFrame {
    Q_OBJECT
public:
    static constexpr int barHeight = 19;
    static constexpr int panelCount = 2;

    explicit StatusBar(QWidget* parent = nullptr);

    QString panelText(int panel) const;
    void setPanelText(int panel, const QString& text);
    QLabel* panel(int panel) const;

    // Shows or hides the link (the first panel) and its click.
    void setLinkShown(bool shown);
    bool linkShown() const { return m_linkShown; }

    // Spans the parent's width at its bottom edge.
    void dock();

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QLabel* m_panels[panelCount];
    bool m_pressed = false;
    bool m_linkShown = true;
};
