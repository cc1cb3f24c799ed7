#pragma once

#include <QToolButton>

// A flat push button showing its caption. It takes the keyboard focus by Tab
// (not by a click) and then shows a dotted focus mark inside its edge. Space
// and Enter are not its own: they go on to the window, whose playback keys
// they are. The height of its caption font (designer convention, see
// fonts.h) is kept as the button's own state: the font buttons read it to
// know their size.
class FlatButton : public QToolButton {
    Q_OBJECT
public:
    FlatButton(const QString& caption, const QFont& font, int fontHeight,
               QWidget* parent = nullptr);

    int captionFontHeight() const { return m_fontHeight; }
    // Resizes the caption font to `height`, keeping its face and weight.
    void setCaptionFontHeight(int height);

    // A click issued by the program: emits clicked() even when the button is
    // disabled, so the connected handler runs.
    void clickFromCode();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    int m_fontHeight;
};
