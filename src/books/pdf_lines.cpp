#include "books/pdf_lines.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

// Lines at the top and at the bottom of a page that may be running heads.
constexpr int edgeLines = 2;

// A line with its digits made alike, so that "12" and "13", or "Глава 3,
// стр. 40" and "Глава 3, стр. 41", are the same running line.
QString edgeKey(const QString& text) {
    QString key;
    key.reserve(text.size());
    bool digits = false;
    for (const QChar c : text) {
        if (c.isDigit()) {
            if (!digits)
                key += u'#';
            digits = true;
            continue;
        }
        digits = false;
        if (!c.isSpace())
            key += c.toLower();
    }
    return key;
}

template <typename F> void forEdgeLines(PdfPage& page, F&& f) {
    const qsizetype n = page.lines.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i < edgeLines || i >= n - edgeLines)
            f(page.lines[i]);
    }
}

// Empties the lines that repeat at the edges of most pages.
void dropRunningLines(QList<PdfPage>& pages) {
    int withText = 0;
    QHash<QString, int> seen; // key to the number of pages it stands on
    for (PdfPage& page : pages) {
        if (page.lines.isEmpty())
            continue;
        ++withText;
        QSet<QString> onPage;
        forEdgeLines(page, [&](PdfLine& line) { onPage.insert(edgeKey(line.text)); });
        for (const QString& key : std::as_const(onPage))
            ++seen[key];
    }
    const int most = qMax(3, (withText * 2 + 4) / 5);
    for (PdfPage& page : pages) {
        forEdgeLines(page, [&](PdfLine& line) {
            if (seen.value(edgeKey(line.text)) >= most)
                line.text.clear();
        });
    }
}

bool isHyphen(QChar c) {
    return c == u'-' || c == u'\u2010' || c == u'\u00AD';
}

bool isCapitals(QStringView word) {
    return std::all_of(word.begin(), word.end(), [](QChar c) { return c.isUpper(); });
}

// Words of which a hyphen joins parts that stay apart ("кто-то", "скажи-ка").
bool isHyphenedParticle(QStringView word) {
    for (const char16_t* particle : {u"то", u"либо", u"нибудь", u"ка", u"таки", u"де"}) {
        if (word.compare(QStringView(particle), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// The left edge of the text on a page and its right edge.
QPair<qreal, qreal> margins(const PdfPage& page) {
    qreal left = 1e9, right = -1e9;
    for (const PdfLine& line : page.lines) {
        if (line.text.isEmpty())
            continue;
        left = qMin(left, line.box.left());
        right = qMax(right, line.box.right());
    }
    return {left, right};
}

// The text gathered, a paragraph a line.
class Paragraphs {
public:
    explicit Paragraphs(qsizetype reserve) { m_text.reserve(reserve); }

    void add(const PdfLine& line, bool newParagraph) {
        if (m_open && !newParagraph) {
            joinLine(m_paragraph, line.text);
            return;
        }
        end();
        m_paragraph = line.text;
        m_open = true;
    }
    // A chapter's title set apart; its offset is noted.
    void addChapter(const PdfLine& line, const QString& title) {
        end();
        if (!m_text.isEmpty() && !m_text.endsWith(QLatin1String("\n\n")))
            m_text += u'\n';
        m_chapters.append({m_text.size(), title.isEmpty() ? line.text : title});
        m_text += line.text;
        m_text += QLatin1String("\n\n");
    }
    void end() {
        if (!m_open)
            return;
        m_text += m_paragraph;
        m_text += u'\n';
        m_paragraph.clear();
        m_open = false;
    }
    qsizetype size() const { return m_text.size() + m_paragraph.size(); }
    QString take() {
        end();
        while (m_text.endsWith(QLatin1String("\n\n")))
            m_text.chop(1);
        return std::move(m_text);
    }
    QList<ChapterMark> takeChapters() { return std::move(m_chapters); }

private:
    QString m_text;
    QString m_paragraph;
    bool m_open = false;
    QList<ChapterMark> m_chapters;
};

} // namespace

void joinLine(QString& text, QStringView next) {
    const qsizetype n = text.size();
    if (n >= 2 && isHyphen(text[n - 1]) && text[n - 2].isLetter() && !next.isEmpty() &&
        next.front().isLetterOrNumber()) {
        qsizetype wordEnd = 0;
        while (wordEnd < next.size() && next[wordEnd].isLetter())
            ++wordEnd;
        // A word in capitals breaks into capitals; a compound of capitals
        // ("СССР-США") is rare enough in running text to be taken for one.
        qsizetype wordStart = n - 1;
        while (wordStart > 0 && text[wordStart - 1].isLetter())
            --wordStart;
        const QStringView before = QStringView(text).mid(wordStart, n - 1 - wordStart);
        const QStringView after = next.left(wordEnd);
        const bool capitals =
            before.size() >= 2 && after.size() >= 2 && isCapitals(before) && isCapitals(after);
        const bool broken = text[n - 1] == u'\u00AD' ||
                            ((next.front().isLower() || capitals) && !isHyphenedParticle(after));
        if (broken)
            text.chop(1);
        text += next;
        return;
    }
    if (!text.isEmpty() && !next.isEmpty())
        text += u' ';
    text += next;
}

BookText joinPdfPages(QList<PdfPage>& pages, const QList<PdfChapter>& chapters,
                      const BookLimits& limits) {
    dropRunningLines(pages);
    qsizetype total = 0;
    for (const PdfPage& page : std::as_const(pages)) {
        for (const PdfLine& line : page.lines)
            total += line.text.size() + 1;
    }
    Paragraphs out(total);
    qsizetype nextChapter = 0;
    bool previous = false; // a line came before
    QRectF previousBox;
    bool previousShort = false;
    for (qsizetype p = 0; p < pages.size(); ++p) {
        PdfPage& page = pages[p];
        const auto [left, right] = margins(page);
        bool pageStart = true;
        for (const PdfLine& line : std::as_const(page.lines)) {
            if (line.text.isEmpty())
                continue;
            const qreal height = qMax<qreal>(line.box.height(), 1);
            // The chapters that begin on this page at or above this line.
            QString title;
            bool chapter = false;
            while (nextChapter < chapters.size() && chapters[nextChapter].page <= p &&
                   (chapters[nextChapter].page < p || chapters[nextChapter].top < 0 ||
                    chapters[nextChapter].top * page.height <= line.box.top() + height / 2)) {
                chapter = true;
                title = chapters[nextChapter++].title.simplified();
            }
            const bool indented = line.box.left() > left + height * 0.8;
            bool newParagraph = !previous || indented;
            if (previous && !pageStart)
                newParagraph = newParagraph || line.box.top() - previousBox.bottom() > height * 0.7;
            else if (previous)
                newParagraph = newParagraph || previousShort;
            if (chapter)
                out.addChapter(line, title);
            else
                out.add(line, newParagraph);
            previous = true;
            previousBox = line.box;
            previousShort = line.box.right() < right - height * 3;
            pageStart = false;
        }
        page.lines = {};
        if (out.size() > limits.textChars)
            return BookText::failed(BookFailure::TooBig,
                                    QStringLiteral("текст книги слишком длинный"));
    }
    BookText book;
    book.text = out.take();
    book.chapters = out.takeChapters();
    if (book.text.isEmpty())
        return BookText::failed(BookFailure::Empty);
    return book;
}
