#pragma once

#include <QtGlobal>

#include <atomic>

// Bounds that keep a hostile or broken file from taking unbounded time or
// memory. Every reader refuses a file that goes beyond one of them.
struct BookLimits {
    static constexpr qint64 mebibyte = 1024 * 1024;

    qint64 fileBytes = 128 * mebibyte;     // the file itself
    qint64 entryBytes = 64 * mebibyte;     // one unpacked entry of an archive
    qint64 unpackedBytes = 256 * mebibyte; // an archive's entries together
    int entries = 10000;                   // entries of an archive
    int packingRatio = 100;                // unpacked to packed size of one entry ...
    qint64 ratioFrom = mebibyte;           // ... that unpacks to more than this
    int xmlDepth = 256;                    // elements nested in an XML document
    int tagAttributes = 1024;              // attributes of one XML start tag
    qint64 textChars = 32 * mebibyte;      // the book's text, in UTF-16 code units
};

// Shared between the thread that reads a book and the one that shows its
// progress: the share done so far and the reader's wish to cancel.
class BookProgress {
public:
    void cancel() { m_cancelled.store(true, std::memory_order_relaxed); }
    bool cancelled() const { return m_cancelled.load(std::memory_order_relaxed); }

    // The work that follows maps onto this part of the whole, in thousandths.
    void setPhase(int fromPermille, int toPermille) {
        m_from = fromPermille;
        m_to = toPermille;
    }
    int phaseFrom() const { return m_from; }
    int phaseTo() const { return m_to; }
    // `done` of `total` of the current phase.
    void report(qint64 done, qint64 total) {
        if (total <= 0)
            return;
        const qint64 within = qBound<qint64>(0, done, total) * (m_to - m_from) / total;
        m_permille.store(m_from + static_cast<int>(within), std::memory_order_relaxed);
    }
    int permille() const { return m_permille.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> m_cancelled{false};
    std::atomic<int> m_permille{0};
    int m_from = 0;
    int m_to = 1000;
};
