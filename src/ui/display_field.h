#pragma once

#include "ui/fonts.h"

#include <QFrame>
#include <QStringView>

class WordLabel;

// The word display of the main window: a white frame holding the left part
// (flush right against the letter), the red recognition letter and the rest
// (flush left after the letter), under the two black tick marks.
//
// The panels are placed from the metrics of the font in use so that the ink
// of the letter is centred on the tick marks whatever the face, the size and
// the width of the letter; the parts keep to the letter's cell, so a letter
// whose ink lies off its cell's middle (a comma) moves the word a little.
// Text too long for its side is clipped.
class DisplayField : public QFrame {
    Q_OBJECT
public:
    using Face = fonts::DisplayFace;

    // Geometry in the main window's client area.
    static constexpr QRect designGeometry{24, 11, 314, 49};
    static constexpr int tickX = 143; // column of the 1-pixel tick marks

    explicit DisplayField(QWidget* parent = nullptr);

    // Face A stands for "Courier New", face B for "Lucida Console"; the small
    // size has a character height of 21 pixels, the large one of 29.
    void setDisplayFont(Face face, bool small);
    Face face() const { return m_face; }
    bool isSmall() const { return m_small; }

    // Shows one entry. Only the three labels repaint; the panels move only
    // when the letter's width differs from the previous letter's.
    void showEntry(QStringView left, QChar letter, QStringView rest);
    QString left() const;
    QChar letter() const;
    QString rest() const;

    QFrame* leftPanel;
    QFrame* letterPanel;
    QFrame* restPanel;
    QFrame* lowerTick;
    QFrame* upperTick;
    WordLabel* leftLabel;
    WordLabel* letterLabel;
    WordLabel* restLabel;

private:
    // Width of the letter's cell and the middle of its ink, from the origin.
    struct LetterMetrics {
        qreal advance = -1;
        qreal inkMiddle = 0;
        bool operator==(const LetterMetrics&) const = default;
    };
    LetterMetrics metricsOf(QChar letter) const;
    void placePanels(LetterMetrics letter);

    Face m_face = Face::B;
    bool m_small = false;
    LetterMetrics m_placed;
    int m_panelTop = 0;
    int m_panelHeight = 0;
};
