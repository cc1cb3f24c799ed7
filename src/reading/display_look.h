#pragma once

// How the main window shows the reading: the compact or the full view, and
// the face and size of the word display. The default is the start-up look:
// compact, face B, large.
struct DisplayLook {
    bool fullView = false;
    bool faceA = false;
    bool small = false;
    bool operator==(const DisplayLook&) const = default;
};
