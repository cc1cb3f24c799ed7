#include "books/text_lines.h"

namespace {

bool isXmlSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

} // namespace

void TextLines::addText(QStringView text, bool keepLineBreaks) {
    const QChar* p = text.data();
    const QChar* const end = p + text.size();
    while (p != end) {
        const char16_t u = p->unicode();
        if (keepLineBreaks && u == u'\n') {
            endLine();
            ++p;
            continue;
        }
        if (isXmlSpace(u)) {
            m_pendingSpace = m_lineHasText;
            ++p;
            continue;
        }
        // A run of characters up to the next white space goes in whole.
        const QChar* runEnd = p + 1;
        while (runEnd != end && !isXmlSpace(runEnd->unicode()))
            ++runEnd;
        if (!m_lineHasText) {
            if (m_blankPending && !m_text.isEmpty())
                m_text += QLatin1Char('\n');
            m_blankPending = false;
        } else if (m_pendingSpace) {
            m_text += QLatin1Char(' ');
        }
        m_pendingSpace = false;
        m_text.append(p, runEnd - p);
        m_lineHasText = true;
        p = runEnd;
    }
}

void TextLines::endLine() {
    if (m_lineHasText)
        m_text += QLatin1Char('\n');
    m_lineHasText = false;
    m_pendingSpace = false;
}

void TextLines::blankLine() {
    endLine();
    m_blankPending = true;
}

qsizetype TextLines::nextLineStart() const {
    if (m_lineHasText)
        return m_text.lastIndexOf(QLatin1Char('\n')) + 1;
    return m_text.size() + (m_blankPending && !m_text.isEmpty() ? 1 : 0);
}

qsizetype TextLines::lineStartAfter(qsizetype size) const {
    while (size < m_text.size() && m_text.at(size) == QLatin1Char('\n'))
        ++size;
    return size == 0 ? 0 : m_text.lastIndexOf(QLatin1Char('\n'), size - 1) + 1;
}

QString TextLines::take() {
    endLine();
    m_blankPending = false;
    return std::exchange(m_text, QString());
}

void TextLines::rollBack(const Mark& mark) {
    m_text.truncate(mark.size);
    m_lineHasText = mark.lineHasText;
    m_pendingSpace = mark.pendingSpace;
    m_blankPending = mark.blankPending;
}
