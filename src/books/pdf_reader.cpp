#include "books/pdf_reader.h"

#include "books/pdf_lines.h"

#include <poppler-qt6.h>

#include <mutex>

namespace {

// Poppler tells of every flaw of a file on the standard error; the reader
// is told in its own words when the flaws matter.
void silencePoppler() {
    static std::once_flag once;
    std::call_once(once, [] {
        Poppler::setDebugErrorFunction([](const QString&, const QVariant&) {}, QVariant());
    });
}

bool cancelled(const QVariant& progress) {
    return reinterpret_cast<const BookProgress*>(progress.value<quintptr>())->cancelled();
}

// The lines of one page from the words of its text layer: words come in
// reading order, and a word without a next one ends its line.
PdfPage pageLines(const Poppler::Page& page, BookProgress& progress) {
    PdfPage result;
    result.height = page.pageSizeF().height();
    const std::vector<std::unique_ptr<Poppler::TextBox>> words =
        page.textList(Poppler::Page::Rotate0, cancelled,
                      QVariant::fromValue(reinterpret_cast<quintptr>(&progress)));
    PdfLine line;
    for (const std::unique_ptr<Poppler::TextBox>& word : words) {
        line.text += word->text();
        line.box = line.box.isNull() ? word->boundingBox() : line.box.united(word->boundingBox());
        if (word->nextWord()) {
            if (word->hasSpaceAfter())
                line.text += u' ';
            continue;
        }
        line.text = line.text.simplified();
        if (!line.text.isEmpty())
            result.lines.append(std::move(line));
        line = {};
    }
    return result;
}

// The outline's entries in order, as far down as `depth`, 10,000 at most.
void addOutline(Poppler::Document& document, const QList<Poppler::OutlineItem>& items, int depth,
                QList<PdfChapter>& chapters) {
    for (const Poppler::OutlineItem& item : items) {
        if (chapters.size() >= 10000)
            return;
        QSharedPointer<const Poppler::LinkDestination> destination = item.destination();
        std::unique_ptr<Poppler::LinkDestination> named;
        if (destination && destination->pageNumber() <= 0 &&
            !destination->destinationName().isEmpty()) {
            named = document.linkDestination(destination->destinationName());
        }
        const Poppler::LinkDestination* target = named ? named.get() : destination.data();
        if (target && target->pageNumber() > 0) {
            chapters.append({target->pageNumber() - 1,
                             target->isChangeTop() ? qBound<qreal>(0, target->top(), 1) : -1,
                             item.name()});
        }
        if (depth > 1 && item.hasChildren())
            addOutline(document, item.children(), depth - 1, chapters);
    }
}

// Chapters in the order of the pages; an outline out of order keeps the
// entries that go forward.
QList<PdfChapter> outlineChapters(Poppler::Document& document) {
    QList<PdfChapter> all;
    addOutline(document, document.outline(), 16, all);
    QList<PdfChapter> ordered;
    for (const PdfChapter& c : std::as_const(all)) {
        if (ordered.isEmpty() || c.page > ordered.last().page ||
            (c.page == ordered.last().page && c.top > ordered.last().top))
            ordered.append(c);
    }
    return ordered;
}

} // namespace

bool looksLikePdf(const QByteArray& bytes) {
    return bytes.startsWith("%PDF");
}

BookText readPdf(const QByteArray& bytes, const BookLimits& limits, BookProgress& progress) {
    silencePoppler();
    std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(bytes);
    if (!document)
        return BookText::failed(BookFailure::Damaged, QStringLiteral("PDF не удаётся разобрать"));
    if (document->isLocked())
        return BookText::failed(BookFailure::Password);
    const int count = document->numPages();
    if (count > limits.pdfPages)
        return BookText::failed(BookFailure::TooBig,
                                QStringLiteral("в PDF больше %1 страниц").arg(limits.pdfPages));
    if (count <= 0)
        return BookText::failed(BookFailure::Damaged, QStringLiteral("в PDF нет страниц"));

    QList<PdfPage> pages;
    pages.reserve(count);
    qsizetype chars = 0;
    for (int i = 0; i < count; ++i) {
        if (progress.cancelled())
            return BookText::failed(BookFailure::Cancelled);
        progress.report(i, count);
        const std::unique_ptr<Poppler::Page> page = document->page(i);
        pages.append(page ? pageLines(*page, progress) : PdfPage());
        for (const PdfLine& line : std::as_const(pages.last().lines))
            chars += line.text.size() + 1;
        if (chars > limits.textChars)
            return BookText::failed(BookFailure::TooBig,
                                    QStringLiteral("текст книги слишком длинный"));
    }
    if (progress.cancelled())
        return BookText::failed(BookFailure::Cancelled);
    BookText book = joinPdfPages(pages, outlineChapters(*document), limits);
    if (book.error.failure == BookFailure::Empty)
        book.error.detail = QStringLiteral("в PDF нет текста, только изображения страниц");
    if (!book.ok())
        return book;
    book.format = QStringLiteral("PDF");
    book.title = document->info(QStringLiteral("Title")).simplified();
    book.author = document->info(QStringLiteral("Author")).simplified();
    return book;
}
