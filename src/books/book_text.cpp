#include "books/book_text.h"

#include <algorithm>

namespace {

bool isNoBreakSpace(char16_t c) {
    return c == 0x00A0 || c == 0x202F || c == 0x2007;
}

bool isInvisible(char16_t c) {
    return c == 0x00AD || c == 0x200B || c == 0x2060 || c == 0xFEFF;
}

bool isBreakOrSpace(char16_t c) {
    return c == u' ' || c == u'\n' || c == u'\t' || isNoBreakSpace(c);
}

// Cleans `text` in place; `offsets`, ascending, move with it.
void clean(QString& text, QList<qsizetype*> offsets = {}) {
    const auto needsCleaning = [](QChar c) {
        return isNoBreakSpace(c.unicode()) || isInvisible(c.unicode());
    };
    if (std::none_of(text.cbegin(), text.cend(), needsCleaning))
        return;
    QChar* const data = text.data();
    const qsizetype size = text.size();
    qsizetype write = 0;
    qsizetype next = 0; // the first offset not yet moved
    for (qsizetype read = 0; read < size; ++read) {
        while (next < offsets.size() && *offsets[next] <= read)
            *offsets[next++] = write;
        const char16_t c = data[read].unicode();
        if (isInvisible(c))
            continue;
        if (isNoBreakSpace(c)) {
            // One space between words; none beside another or a line's end.
            const bool spaceBefore = write == 0 || isBreakOrSpace(data[write - 1].unicode());
            const bool spaceAfter = read + 1 == size || isBreakOrSpace(data[read + 1].unicode());
            if (spaceBefore || spaceAfter)
                continue;
            data[write++] = QLatin1Char(' ');
            continue;
        }
        data[write++] = data[read];
    }
    while (next < offsets.size())
        *offsets[next++] = write;
    text.truncate(write);
}

} // namespace

void cleanBookText(BookText& book) {
    QList<qsizetype*> offsets;
    offsets.reserve(book.chapters.size());
    for (ChapterMark& chapter : book.chapters) {
        offsets.append(&chapter.offset);
        clean(chapter.title);
        chapter.title = chapter.title.trimmed();
    }
    clean(book.text, offsets);
    clean(book.title);
    clean(book.author);
}

QString supportedFormats() {
    return QStringLiteral("TXT, FB2, FB2.ZIP и EPUB");
}

QString bookDamageMessage(const QString& fileName, const BookText& book) {
    if (book.damaged.isEmpty())
        return {};
    return QStringLiteral("Книга «") + fileName +
           QStringLiteral("» открыта, но часть её документа может отсутствовать: документ "
                          "повреждён. [") +
           book.damaged.join(QStringLiteral(", ")) + u']';
}

QString bookFailureMessage(const QString& fileName, const BookError& error) {
    const QString name = QStringLiteral("«") + fileName + QStringLiteral("»");
    const QString brackets =
        error.detail.isEmpty() ? QString() : QStringLiteral(" [") + error.detail + QLatin1Char(']');
    const QString formats =
        QStringLiteral(" Kestrix открывает книги в форматах ") + supportedFormats() + u'.';
    switch (error.failure) {
    case BookFailure::None:
    case BookFailure::Cancelled:
        return {};
    case BookFailure::Unreadable:
        return QStringLiteral("Не удалось прочитать файл ") + name + u'.' + brackets;
    case BookFailure::TooBig:
        return QStringLiteral("Файл ") + name + QStringLiteral(" слишком велик для Kestrix.") +
               brackets;
    case BookFailure::NotABook:
        return QStringLiteral("Файл ") + name + QStringLiteral(" не похож на книгу.") + formats;
    case BookFailure::Unsupported:
        return QStringLiteral("Файл ") + name + QStringLiteral(" в формате ") + error.detail +
               QStringLiteral(", его Kestrix не читает.") + formats;
    case BookFailure::Damaged:
        return QStringLiteral("Файл ") + name + QStringLiteral(" повреждён, книга не открыта.") +
               brackets;
    case BookFailure::Encrypted:
        return QStringLiteral("Книга ") + name +
               QStringLiteral(" зашифрована (защищена DRM), Kestrix не может её прочитать.");
    case BookFailure::Empty:
        return QStringLiteral("В файле ") + name + QStringLiteral(" нет текста.");
    }
    return {};
}
