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

} // namespace fonts
