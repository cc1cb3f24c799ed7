#pragma once

#include <QColor>
#include <QProgressBar>

// A progress bar drawn in one of the platform's three colour states, without
// a text. A press of any mouse button is reported by mousePressed().
class StateProgressBar : public QProgressBar {
    Q_OBJECT
public:
    enum class State { Normal, Paused, Error };

    explicit StateProgressBar(QWidget* parent = nullptr);

    State state() const { return m_state; }
    void setState(State state);
    static QColor chunkColor(State state);

    // The hint text kept with the bar; it is never shown as a tool tip.
    QString hint() const { return m_hint; }
    void setHint(const QString& hint) { m_hint = hint; }

Q_SIGNALS:
    void mousePressed(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    State m_state = State::Normal;
    QString m_hint;
};
