#pragma once

#include "books/book_limits.h"
#include "books/book_text.h"
#include "books/text_lines.h"

// Gathers the text of a word processor's document: a paragraph a line,
// headings set apart on lines of their own and noted as chapters. A paragraph
// inside another (a text box, a note inside a cell) only ends a line.
class DocumentLines {
public:
    explicit DocumentLines(const BookLimits& limits) : m_limits(limits) {}

    void beginParagraph();
    // The paragraph being begun is a heading; before any of its text.
    void markHeading();
    void addText(QStringView text);
    // A line break inside a paragraph.
    void lineBreak() { m_lines.endLine(); }
    void endParagraph();

    // Whether the text has grown beyond the bound.
    bool tooLong() const { return m_lines.size() > m_limits.textChars; }

    // The book gathered, or the failure `Empty` when it holds no text.
    BookText take(const QString& format);

private:
    const BookLimits& m_limits;
    TextLines m_lines;
    QList<ChapterMark> m_chapters;
    int m_depth = 0; // paragraphs open, one inside another
    bool m_heading = false;
    qsizetype m_headingAt = -1; // where the heading's line begins
    QString m_title;
};

// The failure for a text beyond the bound.
BookError textTooLong();
