#pragma once

#include <QString>

// Gathers the text of a book line by line, the way the text box shows it:
// inline text comes piece by piece with every run of white space folded into
// one space; a line ends where a paragraph does. Empty lines set blocks apart
// (titles, stanzas), never two in a row, none at the start or the end.
class TextLines {
public:
    // Adds inline text, white space folded. With `keepLineBreaks` (preformatted
    // text) a line break in it ends the line instead.
    void addText(QStringView text, bool keepLineBreaks = false);
    // Ends the current line, if it holds any text.
    void endLine();
    // Ends the current line and leaves one empty line after it.
    void blankLine();

    // Where the next text will begin its line: the start of the current
    // line if it holds text, else of the line to come.
    qsizetype nextLineStart() const;
    // The start of the line that holds the first text added after the text
    // was `size` long.
    qsizetype lineStartAfter(qsizetype size) const;
    // The text so far, in code units.
    qsizetype size() const { return m_text.size(); }
    // Room for the text to come, in code units.
    void reserve(qsizetype size) { m_text.reserve(size); }

    // A point to come back to, dropping what was added after it.
    struct Mark {
        qsizetype size;
        bool lineHasText, pendingSpace, blankPending;
    };
    Mark mark() const { return {m_text.size(), m_lineHasText, m_pendingSpace, m_blankPending}; }
    void rollBack(const Mark& mark);
    // The whole text, every line ended by a line feed.
    QString take();

private:
    QString m_text;
    bool m_lineHasText = false;
    bool m_pendingSpace = false;
    bool m_blankPending = false;
};
