#include "reading/book_identity.h"

#include "reading/preparation.h"

#include <QCryptographicHash>

namespace {

// Characters are hashed in blocks of this many UTF-16 units.
constexpr qsizetype blockUnits = 8192;

class CharacterHash {
public:
    CharacterHash() : m_hash(QCryptographicHash::Sha1) { m_block.reserve(blockUnits); }

    void add(QStringView chars) {
        for (const QChar c : chars) {
            if (c.isSpace())
                continue;
            m_block.append(c);
            if (m_block.size() >= blockUnits)
                flush();
        }
    }
    QString result() {
        flush();
        return QString::fromLatin1(m_hash.result().toHex());
    }

private:
    void flush() {
        m_hash.addData(QByteArrayView(reinterpret_cast<const char*>(m_block.constData()),
                                      m_block.size() * qsizetype(sizeof(QChar))));
        m_block.clear();
    }
    QCryptographicHash m_hash;
    QString m_block;
};

bool hasVisibleCharacter(QStringView chars) {
    for (const QChar c : chars) {
        if (!c.isSpace())
            return true;
    }
    return false;
}

} // namespace

QString bookFingerprint(QStringView startText) {
    // The characters after the last delimiter are never stored as an entry.
    qsizetype end = startText.size();
    while (end > 0 && !Preparation::isDelimiter(startText[end - 1]))
        --end;
    CharacterHash hash;
    hash.add(startText.first(end));
    return hash.result();
}

QString bookFingerprint(const WordSequence& words, int count) {
    CharacterHash hash;
    const int n = qMin(count, words.written());
    for (int i = 0; i < n; ++i) {
        if (words.isBlank(i))
            continue;
        hash.add(words.left(i));
        const QChar letter = words.letter(i);
        hash.add(QStringView(&letter, 1));
        hash.add(words.rest(i));
    }
    return hash.result();
}

bool isWordEntry(const WordSequence& words, int i) {
    if (words.isBlank(i))
        return false;
    if (!words.letter(i).isSpace())
        return true;
    return hasVisibleCharacter(words.left(i)) || hasVisibleCharacter(words.rest(i));
}

int wordsBefore(const WordSequence& words, int position) {
    const int n = qMin(position, words.written());
    int count = 0;
    for (int i = 0; i < n; ++i) {
        if (isWordEntry(words, i))
            ++count;
    }
    return count;
}

int WordCounter::wordsBefore(const WordSequence& words, int position) {
    position = qBound(0, position, words.written());
    if (words.generation() != m_generation || position < m_position) {
        m_generation = words.generation();
        m_position = 0;
        m_words = 0;
    }
    for (int i = m_position; i < position; ++i) {
        if (isWordEntry(words, i))
            ++m_words;
    }
    m_position = position;
    return m_words;
}

void WordCounter::seed(const WordSequence& sequence, int position, int words) {
    m_generation = sequence.generation();
    m_position = qMax(0, position);
    m_words = qMax(0, words);
}

int entryOfWord(QStringView startText, int words) {
    WordSequence sequence;
    Preparation p(sequence, startText.toString());
    int counted = 0; // slots below this are looked at
    int found = 0;   // word entries among them
    constexpr qsizetype slice = 4096;
    for (;;) {
        const bool done = p.step(slice);
        // A slot given back is a line-break entry, never a word entry: the
        // word entries below filled() stay where they are.
        counted = qMin(counted, p.filled());
        for (; counted < p.filled(); ++counted) {
            if (!isWordEntry(sequence, counted))
                continue;
            if (found == words)
                return counted;
            ++found;
        }
        if (done)
            return qMax(0, p.filled() - 1);
    }
}
