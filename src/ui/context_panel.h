#pragma once

#include <QFrame>
#include <QTextLayout>

class FlatButton;
class QLabel;

// The context panel of the main window, shown while reading is paused: a
// stretch of the text around the reading position, wrapped to the panel's
// width, its current word in the display field's red and the rest in the
// window's text colour. When the text is taller than the panel, the lines
// around the marked word are shown. Below the text: a line for the time
// left (hidden while empty) and the button that opens the chapter list.
//
// The panel knows characters only: a click tells which character of its
// text was hit; what that means is the owner's business. The text is laid
// out when it is set (or the panel's width changes), never while hidden.
class ContextPanel : public QFrame {
    Q_OBJECT
public:
    static constexpr int bottomRowHeight = 24;

    explicit ContextPanel(QWidget* parent = nullptr);

    // Shows `text` with the characters [markStart, markStart + markLength) red.
    void setText(const QString& text, qsizetype markStart, qsizetype markLength);
    // Moves the red mark within the text shown.
    void setMark(qsizetype start, qsizetype length);
    QString text() const { return m_layout.text(); }
    qsizetype markStart() const { return m_markStart; }
    qsizetype markLength() const { return m_markLength; }

    // The time left, as the owner words it; empty hides the line.
    void setTimeLeftText(const QString& text);
    QString timeLeftText() const;

    // Where the character at `index` of the text is drawn, in the panel's
    // coordinates; empty when it is not in view.
    QRect characterRect(qsizetype index) const;

    FlatButton* chaptersButton;
    QLabel* timeLeftLabel;

Q_SIGNALS:
    // The "Главы…" button was pressed.
    void chaptersRequested();
    // A left click on the character at `index` of the text (the nearest
    // character of the line clicked).
    void textClicked(qsizetype index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect textArea() const;
    void layOut();
    // How far the text is scrolled up so that the marked word is in view.
    qreal scrolled() const;

    QTextLayout m_layout;
    qreal m_textHeight = 0;
    int m_laidOutWidth = -1;
    qsizetype m_markStart = 0;
    qsizetype m_markLength = 0;
};
