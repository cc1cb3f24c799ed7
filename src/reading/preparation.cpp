#include "reading/preparation.h"

#include <climits>

void appendStartText(QString& out, QStringView in) {
    const qsizetype n = in.size();
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = in[i].unicode();
        if (c != u'\r' && c != u'\n' && c != 0x2028 && c != 0x2029)
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

bool Preparation::isDelimiter(QChar c) {
    switch (c.unicode()) {
    case u'\n':
    case u'\r':
    case u' ':
    case u'.':
    case u',':
    case u'!':
    case u'?':
    case u':':
    case u';':
    case u')':
    case u'-':
        return true;
    default:
        return false;
    }
}

Preparation::Preparation(WordSequence& sarr, QString ar) : m_sarr(sarr) {
    m_sarr.reset(std::move(ar));
    m_ar = m_sarr.text().constData();
    m_length = m_sarr.text().size();
}

void Preparation::appendText(QStringView more) {
    m_sarr.appendText(more);
    m_ar = m_sarr.text().constData();
    m_length = m_sarr.text().size();
}

bool Preparation::step(qsizetype maxChars) {
    const qsizetype stop = (maxChars >= m_length - m_i) ? m_length : m_i + maxChars;
    while (m_i < stop) {
        const QChar c = m_ar[m_i++];
        // Step 1 appends the character to `s1`; `s1` is the text from
        // m_wordStart up to m_i.
        if (isDelimiter(c))
            endOfWord();
    }
    return finished();
}

void Preparation::endOfWord() {
    // Only the delimiter itself can be a space inside `s1`: an earlier space
    // would have ended the word already. Removing spaces drops it.
    qsizetype wordLength = m_i - m_wordStart;
    if (m_ar[m_i - 1] == QLatin1Char(' '))
        --wordLength;

    // Sentence end: a pause after a rest that ends in . ? or !
    if (m_k > 0) {
        const QStringView rest = m_sarr.rest(m_k - 1);
        if (!rest.isEmpty()) {
            const QChar last = rest.back();
            if (last == QLatin1Char('.') || last == QLatin1Char('?') || last == QLatin1Char('!')) {
                m_sarr.putBlank(m_k);
                m_sarr.putBlank(m_k + 1);
                m_k += 2;
            }
        }
    }
    // Line break: a pause after a line-break entry, or the slot given back
    // when it follows a pause or another line break.
    if (m_k > 2) {
        const QChar prev = m_sarr.letter(m_k - 1);
        if (prev == QLatin1Char('\r') || prev == QLatin1Char('\n')) {
            const QChar before = m_sarr.letter(m_k - 2);
            if (before == QLatin1Char(' ') || before == QLatin1Char('\r') ||
                before == QLatin1Char('\n')) {
                --m_k;
            } else {
                m_sarr.putBlank(m_k);
                m_sarr.putBlank(m_k + 1);
                m_k += 2;
            }
        }
    }
    if (wordLength > 0) {
        m_sarr.putWord(m_k, m_wordStart, wordLength);
        ++m_k;
    }
    m_wordStart = m_i;
}

int cutWhole(WordSequence& sarr, QStringView textBoxText) {
    Preparation p(sarr, startText(textBoxText));
    p.runToEnd();
    return p.k();
}
