#pragma once

#include <QFont>

// Fonts of the windows. Heights follow the designer's convention: a negative
// height is the character height in pixels (the em, without internal
// leading), a positive height is the full cell height (ascent + descent).
namespace fonts {

// The window font "Tahoma" with sans-serif stand-ins where it is missing.
QFont tahoma(int height);

// `font` resized to `height` in the convention above. A cell height is met
// by the largest pixel size whose line height does not exceed it.
QFont sized(QFont font, int height);

// The two faces of the word display, with monospaced stand-ins.
enum class DisplayFace { A /* "Courier New" */, B /* "Lucida Console" */ };
QFont display(DisplayFace face, int charHeight);

// How much larger than designed the main window is laid out: its pixel
// sizes follow a desktop font larger than the usual 10 points by the ratio of
// the two, and stay as designed (1) at the usual size or below.
qreal layoutScale();
void setLayoutScale(qreal scale);
qreal layoutScaleFor(const QFont& desktopFont);
// A designed size in pixels at the layout scale (the sign is kept, see the
// height convention above).
int scaled(int designPixels);
QRect scaled(const QRect& design);

} // namespace fonts
