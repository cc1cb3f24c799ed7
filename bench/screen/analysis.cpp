#include "screen/analysis.h"

#include <algorithm>
#include <cmath>

namespace screen {

namespace {

// Entries that look the same one after the other (two blanks, a word and the
// same word with a line break) are one change of picture.
struct Change {
    int firstEntry = 0;
    int entries = 0;
    double intervalMs = 0;
    const Signature* picture = nullptr;
};

std::vector<Change> changesOf(const std::vector<Signature>& refs, const std::vector<int>& ms) {
    std::vector<Change> changes;
    for (size_t i = 0; i < refs.size() && i < ms.size(); ++i) {
        if (!changes.empty() && changes.back().picture->hash == refs[i].hash) {
            ++changes.back().entries;
            changes.back().intervalMs += ms[i];
            continue;
        }
        changes.push_back({int(i), 1, double(ms[i]), &refs[i]});
    }
    return changes;
}

double percentile(std::vector<double> v, double p) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, static_cast<size_t>(p * double(v.size())));
    return v[i];
}

constexpr double matchLimit = 0.12; // distance under which a picture shows an entry
constexpr int lookAhead = 4;        // changes a picture may skip

} // namespace

Figures analyse(const std::vector<Signature>& references, const std::vector<int>& intervals,
                const Observation& seen) {
    Figures f;
    const std::vector<Change> changes = changesOf(references, intervals);
    f.entries = int(std::min(references.size(), intervals.size()));
    f.changes = int(changes.size());

    // Each picture after the click is the next expected change, or one a few
    // further on (those skipped were never visible), or a half-drawn mixture.
    std::vector<double> shownAt(changes.size(), -1);
    std::vector<double> matchedAt(changes.size(), -1);
    size_t next = 0;
    for (size_t p = 1; p < seen.pictures.size() && next < changes.size(); ++p) {
        const Picture& picture = seen.pictures[p];
        double best = 2;
        size_t bestAt = next;
        for (size_t k = next; k < changes.size() && k < next + lookAhead; ++k) {
            const double d = distance(picture.signature, *changes[k].picture);
            if (d < best) {
                best = d;
                bestAt = k;
            }
        }
        if (best > matchLimit) {
            ++f.partial;
            continue;
        }
        shownAt[bestAt] = picture.at;
        matchedAt[bestAt] = best;
        next = bestAt + 1;
    }
    size_t last = 0;
    for (size_t k = 0; k < changes.size(); ++k) {
        if (shownAt[k] >= 0) {
            ++f.seen;
            last = k;
        }
    }
    // The changes after the last one seen were not reached (the run ended).
    for (size_t k = 0; k < last; ++k)
        f.neverVisible += shownAt[k] < 0 ? 1 : 0;

    std::vector<double> errors;
    size_t first = changes.size();
    for (size_t k = 0; k + 1 <= last; ++k) {
        if (shownAt[k] < 0)
            continue;
        first = std::min(first, k);
        if (shownAt[k + 1] < 0)
            continue;
        const double shown = shownAt[k + 1] - shownAt[k];
        const double intended = changes[k].intervalMs;
        errors.push_back(std::abs(shown - intended));
        f.shorterThan75 += shown < 0.75 * intended ? 1 : 0;
        f.stalls += shown > intended + 1000 ? 1 : 0;
    }
    f.timed = int(errors.size());
    f.medianErrorMs = percentile(errors, 0.5);
    f.p99ErrorMs = percentile(errors, 0.99);
    f.maxErrorMs = percentile(errors, 1.0);
    if (first < last) {
        double intended = 0;
        for (size_t k = first; k < last; ++k)
            intended += changes[k].intervalMs;
        f.driftPct = 100.0 * (shownAt[last] - shownAt[first] - intended) / intended;
        f.firstWordAfterClickMs = shownAt[first] - seen.clickAt;
    }
    const int entriesShown =
        last < changes.size() ? changes[last].firstEntry + changes[last].entries : 0;
    for (size_t k = 0; k < changes.size(); ++k)
        f.detail.push_back(
            {changes[k].firstEntry, changes[k].intervalMs, shownAt[k], matchedAt[k]});
    f.rectsPerEntry = entriesShown > 0 ? double(seen.fieldRects) / entriesShown : 0;
    return f;
}

} // namespace screen
