#include "books/text_lines.h"

namespace {

bool isXmlSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

} // namespace

void TextLines::addText(QStringView text, bool keepLineBreaks) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (keepLineBreaks && u == u'\n') {
            endLine();
            continue;
        }
        if (isXmlSpace(u)) {
            m_pendingSpace = m_lineHasText;
            continue;
        }
        if (!m_lineHasText) {
            if (m_blankPending && !m_text.isEmpty())
                m_text += QLatin1Char('\n');
            m_blankPending = false;
        } else if (m_pendingSpace) {
            m_text += QLatin1Char(' ');
        }
        m_pendingSpace = false;
        m_text += c;
        m_lineHasText = true;
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

QString TextLines::take() {
    endLine();
    m_blankPending = false;
    return std::exchange(m_text, QString());
}
