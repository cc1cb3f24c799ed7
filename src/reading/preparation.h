#pragma once

#include "reading/word_sequence.h"

#include <QString>

// The text as Start cuts it: every line break, whatever its form (CR LF, a
// lone CR or LF, a paragraph or line separator, the frame marks U+FDD0 and
// U+FDD1), becomes the pair CR LF. Start applies it to each paragraph of the
// text box and joins the paragraphs with CR LF; since the text box ends a
// paragraph at exactly these breaks (the line separator aside), a text pasted
// into the box is cut as startText of the text itself.
QString startText(QStringView text);
// The same, appended to `out`.
void appendStartText(QString& out, QStringView text);

// The preparation loop: walks the text character by character, gathers words
// up to a delimiter and stores them, split around their recognition letter,
// into the word sequence, with the blank pauses after sentence ends and line
// breaks. It runs in slices so that the caller can let events run between them.
class Preparation {
public:
    // Resets `words` to `text` (the sequence keeps its own copy).
    Preparation(WordSequence& words, QString text);

    // Extends the text to cut (already in the form `startText` gives), for a
    // caller that gathers it piece by piece.
    void appendText(QStringView more);

    // Visits up to `maxChars` further characters; returns whether the whole
    // text has been visited.
    bool step(qsizetype maxChars);
    // Visits everything that is left.
    void runToEnd() { step(m_length); }

    bool finished() const { return m_visited >= m_length; }
    // The index of the next slot to fill: the number of entries so far.
    int filled() const { return m_filled; }
    // Characters visited so far and in all.
    qsizetype visited() const { return m_visited; }
    qsizetype length() const { return m_length; }

    static bool isDelimiter(QChar c) {
        // LF, CR, space, "!", ")", ",", "-", ".", ":", ";" and "?": one bit
        // each below 64, so a character is told at one or two comparisons.
        constexpr quint64 delimiters = (1ULL << '\n') | (1ULL << '\r') | (1ULL << ' ') |
                                       (1ULL << '!') | (1ULL << ')') | (1ULL << ',') |
                                       (1ULL << '-') | (1ULL << '.') | (1ULL << ':') |
                                       (1ULL << ';') | (1ULL << '?');
        const char16_t u = c.unicode();
        return u < 64 && ((delimiters >> u) & 1) != 0;
    }

private:
    void endOfWord();

    WordSequence& m_words;
    const QChar* m_chars = nullptr;
    qsizetype m_length = 0;
    qsizetype m_visited = 0;   // 0-based index of the next character to visit
    qsizetype m_wordStart = 0; // where the word being gathered begins
    int m_filled = 0;
};

// Cuts the whole text box text at once, as Start does; returns the number of
// entries.
int cutWhole(WordSequence& words, QStringView textBoxText);
