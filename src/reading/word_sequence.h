#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <cstdint>

// The word sequence: the entries that Start cuts from the text.
//
// An entry is a view into the prepared text (offset and length of the word as
// it stands there), so it costs 8 bytes beyond the text. Blank entries (the
// pauses after sentence ends and line breaks) are one shared constant. Text and
// entries are implicitly shared: a copy costs two reference counts, and the
// first change after it copies what it changes.
//
// A word entry of L characters is split around its recognition letter: the
// left part holds the first (L-1) div 3 characters, or one character when L is
// 3 and the second character is one of the lower-case vowels у е э о а я и ю;
// the letter is the next character, the rest everything after it. A
// line-break entry is a word entry of one character, CR or LF.
//
// Slots are written in order; a slot given back keeps its content until it is
// written again. The end of the sequence is the first slot never written.
class WordSequence {
public:
    // Empties the sequence and takes `text` as the text the entries point into.
    void reset(QString text = QString());
    // Extends the text the entries point into; entries stay valid.
    void appendText(QStringView more) { m_text.append(more); }
    void reserveText(qsizetype n) { m_text.reserve(n); }

    const QString& text() const { return m_text; }
    // Tells sequences apart: a number of its own given by every reset(), kept
    // by copies.
    quint64 generation() const { return m_generation; }
    // Slots ever written: slot i holds an entry exactly when 0 <= i < written().
    int written() const { return static_cast<int>(m_entries.size()); }
    bool holds(qint64 i) const { return i >= 0 && i < written(); }
    bool isEmpty() const { return m_entries.empty(); }

    // Writes slot `slot` (at most written(), so slots are filled in order).
    void putWord(int slot, qsizetype start, qsizetype length) {
        Q_ASSERT(slot >= 0 && slot <= written());
        Q_ASSERT(length > 0 && start >= 0 && start + length <= m_text.size());
        put(slot, {static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(length)});
    }
    void putBlank(int slot) {
        Q_ASSERT(slot >= 0 && slot <= written());
        put(slot, {0, blankMark});
    }
    // Keeps only the first n slots (n < 0 counts as 0).
    void truncate(int n);
    void reserve(qsizetype n) { m_entries.reserve(n); }

    // The three parts of the entry in slot i, which must hold one.
    QStringView left(int i) const {
        const Entry& e = m_entries[i];
        if (e.length == blankMark)
            return blankLeft();
        return word(e).left(leftLength(e));
    }
    QChar letter(int i) const {
        const Entry& e = m_entries[i];
        if (e.length == blankMark)
            return blankLetter();
        return m_text[e.start + leftLength(e)];
    }
    QStringView rest(int i) const {
        const Entry& e = m_entries[i];
        if (e.length == blankMark)
            return blankRest();
        return word(e).mid(leftLength(e) + 1);
    }
    // Left part, letter and rest joined: the entry as displayed.
    QString joined(int i) const;
    bool isBlank(int i) const { return m_entries[i].length == blankMark; }
    // Where the word of slot i stands in text(), and its length; a blank
    // entry stands nowhere (-1, 0).
    qsizetype startOf(int i) const { return isBlank(i) ? -1 : qsizetype(m_entries[i].start); }
    qsizetype lengthOf(int i) const { return qsizetype(m_entries[i].length); }
    // A word of the text: neither a blank entry nor a line break.
    bool isWord(int i) const {
        const Entry& e = m_entries[i];
        return e.length != blankMark && !(e.length == 1 && (m_text[e.start] == QLatin1Char('\r') ||
                                                            m_text[e.start] == QLatin1Char('\n')));
    }

    // The constant parts of a blank entry: six spaces, one space, eight spaces.
    static QStringView blankLeft() { return u"      "; }
    static QChar blankLetter() { return QLatin1Char(' '); }
    static QStringView blankRest() { return u"        "; }

    // Length of the left part of a word of `length` characters whose second
    // character is `second`.
    static int leftLength(qsizetype length, QChar second) {
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

    // Bytes the entries take beyond the text.
    static constexpr size_t bytesPerEntry() { return sizeof(Entry); }

private:
    static constexpr std::uint32_t blankMark = 0;
    struct Entry {
        std::uint32_t start;
        std::uint32_t length; // blankMark for a blank entry
    };
    QStringView word(const Entry& e) const { return QStringView(m_text).mid(e.start, e.length); }
    int leftLength(const Entry& e) const {
        return leftLength(e.length, e.length > 1 ? m_text[e.start + 1] : QChar());
    }
    void put(int slot, Entry e) {
        if (slot == written())
            m_entries.push_back(e);
        else
            m_entries[slot] = e;
    }

    QString m_text;
    QList<Entry> m_entries;
    quint64 m_generation = 0;
};
