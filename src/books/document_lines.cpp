#include "books/document_lines.h"

void DocumentLines::beginParagraph() {
    if (m_depth++ > 0)
        m_lines.endLine();
}

void DocumentLines::markHeading() {
    if (m_depth != 1 || m_heading)
        return;
    m_heading = true;
    m_lines.blankLine();
    // The empty line before the heading is written with its first text,
    // unless the heading opens the book.
    const TextLines::Mark mark = m_lines.mark();
    m_headingAt = mark.size + (mark.blankPending && mark.size > 0 ? 1 : 0);
    m_title.clear();
}

void DocumentLines::addText(QStringView text) {
    m_lines.addText(text);
    if (m_heading && m_title.size() < 1000)
        m_title += text;
}

void DocumentLines::endParagraph() {
    if (m_depth == 0)
        return;
    if (--m_depth > 0) {
        m_lines.endLine();
        return;
    }
    if (!m_heading) {
        m_lines.endLine();
        return;
    }
    m_heading = false;
    if (m_lines.size() > m_headingAt) {
        m_chapters.append({m_headingAt, m_title.simplified()});
        m_lines.blankLine();
    }
}

BookText DocumentLines::take(const QString& format) {
    BookText book;
    book.text = m_lines.take();
    if (book.text.isEmpty())
        return BookText::failed(BookFailure::Empty);
    book.format = format;
    book.chapters = std::move(m_chapters);
    return book;
}

BookError textTooLong() {
    return {BookFailure::TooBig, QStringLiteral("текст книги слишком длинный")};
}
