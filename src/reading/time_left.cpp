#include "reading/time_left.h"

#include "reading/word_sequence.h"

#include <algorithm>

void PaceProfile::clear() {
    m_generation = 0;
    truncate(0);
}

void PaceProfile::truncate(int n) {
    m_classes.resize(static_cast<size_t>(n));
    m_blocks.resize(static_cast<size_t>(n / blockSize + 1));
}

void PaceProfile::update(const WordSequence& words) {
    if (words.generation() != m_generation) {
        truncate(0);
        m_generation = words.generation();
    }
    const int written = words.written();
    truncate(qMax(0, qMin(size(), written) - 1));
    m_classes.reserve(static_cast<size_t>(written));
    for (int i = size(); i < written; ++i) {
        m_classes.push_back(static_cast<quint8>(paceClass(words.rest(i))));
        const int counted = i + 1;
        if (counted % blockSize == 0) {
            Counts next = m_blocks.back();
            for (int j = counted - blockSize; j < counted; ++j)
                ++next[m_classes[static_cast<size_t>(j)]];
            m_blocks.push_back(next);
        }
    }
}

PaceProfile::Counts PaceProfile::countsBefore(int position) const {
    const int p = std::clamp(position, 0, size());
    Counts counts = m_blocks[static_cast<size_t>(p / blockSize)];
    for (int i = p / blockSize * blockSize; i < p; ++i)
        ++counts[m_classes[static_cast<size_t>(i)]];
    return counts;
}

qint64 PaceProfile::durationMs(int first, int end, int baseMs) const {
    if (end <= first)
        return 0;
    const Counts before = countsBefore(first);
    const Counts upTo = countsBefore(end);
    qint64 total = 0;
    for (int c = 0; c < paceClassCount; ++c) {
        const int n = upTo[static_cast<size_t>(c)] - before[static_cast<size_t>(c)];
        if (n > 0)
            total += qint64(n) * classInterval(baseMs, 1, c);
    }
    return total;
}
