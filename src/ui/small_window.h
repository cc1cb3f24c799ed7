#pragma once

#include <QWidget>

class QLabel;

// Base of the program's two small windows: no border or title bar, on top of
// other windows, fixed client size, window font "Tahoma" 11 pixels high.
class SmallWindow : public QWidget {
    Q_OBJECT
public:
    SmallWindow(const QString& caption, QSize clientSize, QWidget* parent = nullptr);

    // Places the window at the centre of `window`'s frame (the screen's
    // available area when `window` is null).
    void centerOn(const QWidget* window);
    void centerOnScreen();
    // When the window is shown: lets it come on screen (waiting a moment at
    // most) and paints it at once, before a stretch of work without events.
    void paintNow();

protected:
    // A fixed-size label with centred, word-wrapped plain text. Where the
    // stand-in font is wider than the designed one, the font is made smaller
    // (down to 9 pixels) until the text fits `visibleHeight` pixels (the
    // label's height when 0), so that it does not run into the next control.
    QLabel* addLabel(const char* name, QRect geometry, const QString& text, int visibleHeight = 0);
};
