#pragma once
// Lines the pictures seen on screen up with the entries of the text and the
// intervals the probe gives them, and sums up how well the display kept time.

#include "screen/observer.h"
#include "screen/signature.h"

#include <vector>

namespace screen {

struct Figures {
    int entries = 0;      // entries of the text
    int changes = 0;      // changes of picture expected (equal neighbours merged)
    int seen = 0;         // of them seen on screen
    int neverVisible = 0; // expected changes never seen
    int partial = 0;      // pictures matching no entry: a word half drawn
    int timed = 0;        // changes timed against their interval
    double medianErrorMs = 0, p99ErrorMs = 0, maxErrorMs = 0;
    double driftPct = 0;   // (shown - intended) / intended over the whole run
    int shorterThan75 = 0; // shown for less than 75 % of the interval
    int stalls = 0;        // changes more than a second late
    double rectsPerEntry = 0;
    double firstWordAfterClickMs = 0;
    // Per expected change: its first entry, its interval, when it was seen
    // (-1: never) and how far the matching picture was from the reference.
    struct Change {
        int firstEntry;
        double intervalMs;
        double shownAt;
        double distance;
    };
    std::vector<Change> detail;
};

// `references[i]` is the picture of entry i as the window renders it,
// `intervals[i]` the probe's interval for it in milliseconds.
Figures analyse(const std::vector<Signature>& references, const std::vector<int>& intervals,
                const Observation& seen);

} // namespace screen
