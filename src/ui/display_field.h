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
// The parts are placed from the metrics of the font in use so that the ink of
// the letter is centred on the tick marks whatever the face, the size and the
// width of the letter; the parts keep to the letter's cell, so a letter whose
// ink lies off its cell's middle (a comma) moves the word a little. Text too
// long for its side is clipped. Line breaks and control characters are drawn
// as blanks on the one line.
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
    // Width of the letter's cell and the middle of its ink, from the origin.
    struct LetterMetrics {
        qreal advance = -1;
        qreal inkMiddle = 0;
        bool operator==(const LetterMetrics&) const = default;
    };
    LetterMetrics metricsOf(QChar letter) const;
    void placeParts(LetterMetrics letter);

    Face m_face = Face::B;
    bool m_small = false;
    QFont m_font;
    LetterMetrics m_placed;
    int m_partTop = 0;
    int m_partHeight = 0;
    QRect m_parts[3];
    QString m_left;
    QChar m_letter;
    QString m_rest;
};
