#pragma once
// Watches the word display of a window from outside, as another X client:
// every drawing the server does on the window comes as an XDamage rectangle,
// and after each batch of them the display field is read back as a picture.

#include "screen/signature.h"

#include <functional>
#include <vector>

#include <X11/Xlib.h>

namespace screen {

struct FieldPlace {
    Window window = 0;
    int x = 0, y = 0, width = 0, height = 0; // the display field in the window
    int border = 1;                          // frame width left out of pictures
    int tickColumn = 0;                      // in the field
    int clickX = 0, clickY = 0;              // the Start button, in the window
};

// One distinct picture of the field, in the order seen.
struct Picture {
    double at = 0; // ms on the steady clock: receipt of the last damage before the read-back
    int rects = 0; // damage rectangles on the field since the picture before
    Signature signature;
};

struct Observation {
    double clickAt = 0;            // ms on the steady clock
    std::vector<Picture> pictures; // the first is the field before the click
    int fieldRects = 0;            // damage rectangles touching the field
    int otherRects = 0;            // elsewhere in the window
};

// True when the display offers XDamage and XTest.
bool canObserve(Display* display);

// Clicks Start through XTest and records the field until `finished()` says so
// (asked between batches) or `timeoutMs` has passed since the click.
Observation observe(Display* display, const FieldPlace& place,
                    const std::function<bool()>& finished, double timeoutMs);

double steadyMs();

} // namespace screen
