#pragma once

#include "ui/fonts.h"

#include <QFrame>
#include <QStringView>

// The word display of the main window: a white frame showing the left part
// (flush right against the letter), the red recognition letter and the rest
// (flush left after the letter), under the two black tick marks. It draws
// black on white whatever the palette, and shows each entry in one paint of
// the whole field, so no entry is ever seen half drawn.
//
// The parts are placed from the metrics of the font in use so that the
// letter's character cell is centred on the tick marks: every letter of the
// monospaced face has the same cell, so all words of a face and size stand on
// one grid, whatever letter is red. An entry too long for its sides is drawn
// in a smaller size of the face, just small enough to fit, its letter's cell
// still centred on the tick marks; only an entry too long even at the
// smallest size (minimumPixelSize) is clipped. Line breaks and control
// characters are drawn as blanks on the one line.
class DisplayField : public QFrame {
    Q_OBJECT
public:
    using Face = fonts::DisplayFace;

    // Geometry in the main window's client area.
    static constexpr QRect designGeometry{24, 11, 314, 49};
    static constexpr int tickX = 143; // column of the 1-pixel tick marks
    static constexpr QRect upperTick{tickX, 11, 1, 9};
    static constexpr QRect lowerTick{tickX, 48, 1, 10};

    explicit DisplayField(QWidget* parent = nullptr);

    // Face A stands for "Courier New", face B for "Lucida Console"; the small
    // size has a character height of 21 pixels, the large one of 29.
    void setDisplayFont(Face face, bool small);
    Face face() const { return m_face; }
    bool isSmall() const { return m_small; }
    QFont displayFont() const { return m_font; }
    // The font the entry shown is drawn in: the display font, or a smaller
    // size of it for an entry that would not fit.
    QFont entryFont() const { return m_entryFont; }
    static constexpr int minimumPixelSize = 6;

    // Shows one entry at once. The strings are kept exactly as given.
    void showEntry(QStringView left, QChar letter, QStringView rest);
    QString left() const { return m_left; }
    QChar letter() const { return m_letter; }
    QString rest() const { return m_rest; }

    // Where each part is drawn, in the field's coordinates.
    enum class Part { Left, Letter, Rest };
    QRect partRect(Part part) const;

    // The form in which `text` is drawn: line and paragraph separators and
    // control characters (CR, LF, tab, C1 codes) become blanks.
    static QString displayForm(QString text);

Q_SIGNALS:
    // showEntry() has painted an entry (on screen once the display server
    // has drawn it).
    void entryShown();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Places the parts for the entry held, choosing its font.
    void placeParts();
    // Lays the parts out around the cell of `letter` in `font`, centred on the
    // tick marks; true when `left` and `rest` fit beside it.
    bool placeIn(const QFont& font, const QString& left, QChar letter, const QString& rest);

    Face m_face = Face::B;
    bool m_small = false;
    QFont m_font;
    QFont m_entryFont;
    int m_partTop = 0;
    int m_partHeight = 0;
    QRect m_parts[3];
    QString m_left;
    QChar m_letter;
    QString m_rest;
};
