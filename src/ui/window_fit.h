#pragma once

#include <QtGlobal>

// The full view's height where the window cannot be moved (Wayland): at most
// `wanted`, as much as the screen's `available` height leaves beside the
// window's `frame` (title bar and border), never so little that the text box
// would be shorter than `shortestTextBox` of its `textBoxHeight`.
constexpr int fittedFullHeight(int wanted, int available, int frame, int textBoxHeight,
                               int shortestTextBox) {
    const int lowest = wanted - (textBoxHeight - shortestTextBox);
    return qBound(lowest, available - frame, wanted);
}
