#include "reading/word_sequence.h"

#include <QtGlobal>

#include <atomic>

void WordSequence::reset(QString text) {
    static std::atomic<quint64> generations{0};
    m_text = std::move(text);
    m_entries = QList<Entry>();
    m_generation = ++generations;
}

void WordSequence::putWord(int slot, qsizetype start, qsizetype length) {
    Q_ASSERT(slot >= 0 && slot <= written());
    Q_ASSERT(length > 0 && start >= 0 && start + length <= m_text.size());
    const Entry e{static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(length)};
    if (slot == written())
        m_entries.push_back(e);
    else
        m_entries[slot] = e;
}

void WordSequence::putBlank(int slot) {
    Q_ASSERT(slot >= 0 && slot <= written());
    const Entry e{0, blankMark};
    if (slot == written())
        m_entries.push_back(e);
    else
        m_entries[slot] = e;
}

void WordSequence::truncate(int n) {
    if (n < 0)
        n = 0;
    if (n < written())
        m_entries.resize(n);
}

int WordSequence::leftLength(qsizetype length, QChar second) {
    if (length == 3) {
        switch (second.unicode()) {
        case u'у':
        case u'е':
        case u'э':
        case u'о':
        case u'а':
        case u'я':
        case u'и':
        case u'ю':
            return 1;
        default:
            break;
        }
    }
    return static_cast<int>((length - 1) / 3);
}

QStringView WordSequence::left(int i) const {
    const Entry& e = m_entries[i];
    if (e.length == blankMark)
        return blankLeft();
    const QStringView word = QStringView(m_text).mid(e.start, e.length);
    return word.left(leftLength(e.length, e.length > 1 ? word[1] : QChar()));
}

QChar WordSequence::letter(int i) const {
    const Entry& e = m_entries[i];
    if (e.length == blankMark)
        return blankLetter();
    const QStringView word = QStringView(m_text).mid(e.start, e.length);
    return word[leftLength(e.length, e.length > 1 ? word[1] : QChar())];
}

QStringView WordSequence::rest(int i) const {
    const Entry& e = m_entries[i];
    if (e.length == blankMark)
        return blankRest();
    const QStringView word = QStringView(m_text).mid(e.start, e.length);
    return word.mid(leftLength(e.length, e.length > 1 ? word[1] : QChar()) + 1);
}

QString WordSequence::joined(int i) const {
    const Entry& e = m_entries[i];
    if (e.length == blankMark)
        return blankLeft() + QString(blankLetter()) + blankRest();
    return m_text.mid(e.start, e.length);
}
