#include "reading/word_sequence.h"

#include <QtGlobal>

#include <atomic>

void WordSequence::reset(QString text) {
    static std::atomic<quint64> generations{0};
    m_text = std::move(text);
    m_entries = QList<Entry>();
    m_generation = ++generations;
}

void WordSequence::truncate(int n) {
    if (n < 0)
        n = 0;
    if (n < written())
        m_entries.resize(n);
}

QString WordSequence::joined(int i) const {
    const Entry& e = m_entries[i];
    if (e.length == blankMark)
        return blankLeft() + QString(blankLetter()) + blankRest();
    return m_text.mid(e.start, e.length);
}
