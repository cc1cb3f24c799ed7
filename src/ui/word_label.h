#pragma once

#include <QLabel>

// A label of the word display. Its text() is exactly the string it was given,
// always plain text; it is drawn on one line in the label's alignment and
// clipped at the label's edges, so line breaks and control characters in the
// reader's text never change the layout.
class WordLabel : public QLabel {
    Q_OBJECT
public:
    explicit WordLabel(QWidget* parent = nullptr);

    // The form in which `text` is drawn: line and paragraph separators and
    // control characters (CR, LF, tab, C1 codes) become blanks.
    static QString displayForm(QString text);

protected:
    void paintEvent(QPaintEvent* event) override;
};
