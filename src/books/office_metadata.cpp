#include "books/office_metadata.h"

#include "books/xml_reading.h"
#include "books/zip_archive.h"

void readOfficeMetadata(ZipArchive& zip, const QString& entry, const BookLimits& limits,
                        BookProgress& progress, BookText& book) {
    const int index = zip.find(entry);
    QByteArray bytes;
    if (index < 0 || zip.read(index, &bytes, progress).failed())
        return;
    // Metadata is small; a bigger entry is not worth the time.
    if (bytes.size() > 1024 * 1024)
        return;
    // A progress of its own: the book's progress goes on with its text.
    BookProgress quiet;
    XmlWalk walk(decodeXml(bytes), limits, quiet);
    QString title, initialCreator, creator;
    QString* into = nullptr;
    while (walk.next()) {
        if (walk.isStart()) {
            const QStringView name = walk.name();
            into = name == u"title"             ? &title
                   : name == u"initial-creator" ? &initialCreator
                   : name == u"creator"         ? &creator
                                                : nullptr;
            if (into && !into->isEmpty())
                into = nullptr;
        } else if (walk.isEnd()) {
            into = nullptr;
        } else if (into && walk.isText() && into->size() < 1000) {
            *into += walk.text();
        }
    }
    book.title = title.simplified();
    book.author = (initialCreator.trimmed().isEmpty() ? creator : initialCreator).simplified();
}
