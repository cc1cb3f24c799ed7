#include "reading/preparation.h"

#include <climits>

namespace {

// The characters the text box takes as the end of a paragraph when a text is
// put into it (CR, LF, the paragraph separator and the two frame marks), and
// the line separator, which stays inside its paragraph.
bool isLineBreak(char16_t c) {
    // Letters, digits and punctuation of every script the books use lie
    // between CR and the line separator: one test for them.
    if (c > u'\r' && c < 0x2028)
        return false;
    return c == u'\r' || c == u'\n' || c == 0x2028 || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1;
}

} // namespace

void appendStartText(QString& out, QStringView in) {
    const qsizetype n = in.size();
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = in[i].unicode();
        if (!isLineBreak(c))
            continue;
        out.append(in.mid(runStart, i - runStart));
        if (c == u'\r' && i + 1 < n && in[i + 1] == QLatin1Char('\n'))
            ++i;
        out.append(u"\r\n");
        runStart = i + 1;
    }
    out.append(in.mid(runStart));
}

QString startText(QStringView in) {
    QString out;
    out.reserve(in.size() + in.size() / 16);
    appendStartText(out, in);
    return out;
}

Preparation::Preparation(WordSequence& words, QString text) : m_words(words) {
    m_words.reset(std::move(text));
    m_chars = m_words.text().constData();
    m_length = m_words.text().size();
}

void Preparation::appendText(QStringView more) {
    m_words.appendText(more);
    m_chars = m_words.text().constData();
    m_length = m_words.text().size();
}

bool Preparation::step(qsizetype maxChars) {
    const qsizetype stop = (maxChars >= m_length - m_visited) ? m_length : m_visited + maxChars;
    while (m_visited < stop) {
        const QChar c = m_chars[m_visited++];
        // The word being gathered is the text from m_wordStart up to
        // m_visited.
        if (isDelimiter(c))
            endOfWord();
    }
    return finished();
}

void Preparation::endOfWord() {
    // Only the delimiter itself can be a space inside the word: an earlier space
    // would have ended the word already. Removing spaces drops it.
    qsizetype wordLength = m_visited - m_wordStart;
    if (m_chars[m_visited - 1] == QLatin1Char(' '))
        --wordLength;

    // Sentence end: a pause after a rest that ends in . ? or !
    if (m_filled > 0) {
        const QStringView rest = m_words.rest(m_filled - 1);
        if (!rest.isEmpty()) {
            const QChar last = rest.back();
            if (last == QLatin1Char('.') || last == QLatin1Char('?') || last == QLatin1Char('!')) {
                m_words.putBlank(m_filled);
                m_words.putBlank(m_filled + 1);
                m_filled += 2;
            }
        }
    }
    // Line break: a pause after a line-break entry, or the slot given back
    // when it follows a pause or another line break.
    if (m_filled > 2) {
        const QChar prev = m_words.letter(m_filled - 1);
        if (prev == QLatin1Char('\r') || prev == QLatin1Char('\n')) {
            const QChar before = m_words.letter(m_filled - 2);
            if (before == QLatin1Char(' ') || before == QLatin1Char('\r') ||
                before == QLatin1Char('\n')) {
                --m_filled;
            } else {
                m_words.putBlank(m_filled);
                m_words.putBlank(m_filled + 1);
                m_filled += 2;
            }
        }
    }
    if (wordLength > 0) {
        m_words.putWord(m_filled, m_wordStart, wordLength);
        ++m_filled;
    }
    m_wordStart = m_visited;
}

int cutWhole(WordSequence& words, QStringView textBoxText) {
    Preparation p(words, startText(textBoxText));
    p.runToEnd();
    return p.filled();
}
