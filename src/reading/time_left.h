#pragma once

#include "reading/pacing.h"

#include <QtGlobal>

#include <array>
#include <vector>

class WordSequence;

// How long a stretch of the word sequence lasts on screen at a given speed,
// outside learning mode: the sum of the entries' intervals as the word tick
// sets them. Each entry is put into its pace class once; a stretch is then
// counted per class, so a speed change costs nothing and a question costs at
// most one block of entries, whatever the length of the book.
class PaceProfile {
public:
    // Catches up with `words`: the entries written since the last call (and
    // the last entry again, whose slot may have been given back and written
    // anew); another sequence is taken from its start.
    void update(const WordSequence& words);
    void clear();
    // Entries counted so far.
    int size() const { return static_cast<int>(m_classes.size()); }

    // The time in milliseconds that entries first .. end-1 stay on screen at
    // the base interval `baseMs` (positions are clamped to the entries counted).
    qint64 durationMs(int first, int end, int baseMs) const;

private:
    using Counts = std::array<int, paceClassCount>;
    static constexpr int blockSize = 256;
    Counts countsBefore(int position) const;
    void truncate(int n);

    quint64 m_generation = 0;
    std::vector<quint8> m_classes;
    // The entries of each class before block b: m_blocks[b] counts entries
    // 0 .. b*blockSize-1; m_blocks[0] is all zeros.
    std::vector<Counts> m_blocks{Counts{}};
};
