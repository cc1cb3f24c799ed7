#include "books/epub_reader.h"

#include "books/epub_toc.h"
#include "books/text_lines.h"
#include "books/xhtml_text.h"
#include "books/xml_reading.h"
#include "books/zip_archive.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

const QString containerPath = QStringLiteral("META-INF/container.xml");

// An entry of the archive.
BookError readEntry(ZipArchive& zip, const QString& name, QByteArray* bytes,
                    BookProgress& progress) {
    const int index = zip.find(name);
    if (index < 0)
        return {BookFailure::Damaged, QStringLiteral("в книге нет файла ") + name};
    return zip.read(index, bytes, progress);
}

// An entry of the archive as decoded XML.
BookError readXml(ZipArchive& zip, const QString& name, QString* xml, BookProgress& progress) {
    QByteArray bytes;
    BookError error = readEntry(zip, name, &bytes, progress);
    if (!error.failed())
        *xml = decodeXml(bytes);
    return error;
}

// Names a failure after the entry it came from.
BookError in(const QString& name, BookError error) {
    if (error.failure == BookFailure::Damaged && !error.detail.startsWith(name))
        error.detail = name + QStringLiteral(": ") + error.detail;
    return error;
}

// The algorithms that only obfuscate embedded fonts.
bool isFontObfuscation(QStringView algorithm) {
    return algorithm == u"http://www.idpf.org/2008/embedding" ||
           algorithm == u"http://ns.adobe.com/pdf/enc#RC";
}

// Whether META-INF/encryption.xml names encrypted content.
BookError checkEncryption(ZipArchive& zip, const BookLimits& limits, BookProgress& progress) {
    const QString name = QStringLiteral("META-INF/encryption.xml");
    if (zip.find(name) < 0)
        return {};
    QString xml;
    if (BookError error = readXml(zip, name, &xml, progress); error.failed())
        return in(name, error);
    XmlWalk walk(xml, limits, progress);
    while (walk.next()) {
        if (walk.isStart() && walk.name() == u"EncryptionMethod" &&
            !isFontObfuscation(walk.attribute(u"Algorithm")))
            return {BookFailure::Encrypted, {}};
    }
    return in(name, walk.error());
}

// The path of the package document that container.xml names.
BookError packagePath(ZipArchive& zip, const BookLimits& limits, BookProgress& progress,
                      QString* path) {
    QString xml;
    if (BookError error = readXml(zip, containerPath, &xml, progress); error.failed())
        return in(containerPath, error);
    XmlWalk walk(xml, limits, progress);
    while (walk.next()) {
        if (walk.isStart() && walk.name() == u"rootfile") {
            *path = walk.attribute(u"full-path");
            if (!path->isEmpty())
                return {};
        }
    }
    if (walk.error().failed())
        return in(containerPath, walk.error());
    return {BookFailure::Damaged, containerPath + QStringLiteral(" не называет содержания")};
}

// What the package document says: the archive paths of the spine's linear
// XHTML documents, in order, each once; the book's title, first author and
// language.
struct Package {
    QStringList documents;
    QString navPath; // the navigation document, EPUB 3
    QString ncxPath; // the NCX, EPUB 2
    QString title;
    QString author;
    QString language;
};

BookError readPackage(ZipArchive& zip, const QString& opfPath, const BookLimits& limits,
                      BookProgress& progress, Package* package) {
    QString xml;
    if (BookError error = readXml(zip, opfPath, &xml, progress); error.failed())
        return in(opfPath, error);
    QHash<QString, QString> hrefs; // manifest id to archive path, XHTML only
    QStringList order;
    QString* capture = nullptr; // the metadata element whose text is being read
    XmlWalk walk(xml, limits, progress);
    while (walk.next()) {
        if (walk.isText() && capture) {
            *capture += walk.text();
            continue;
        }
        if (walk.isEnd()) {
            capture = nullptr;
            continue;
        }
        if (!walk.isStart())
            continue;
        const QStringView name = walk.name();
        if (name == u"item") {
            const QString type = walk.attribute(u"media-type");
            const QString path = resolveHref(opfPath, walk.attribute(u"href"));
            if (type == u"application/x-dtbncx+xml")
                package->ncxPath = path;
            if (type != u"application/xhtml+xml" && type != u"text/html")
                continue;
            if (walk.attribute(u"properties").split(u' ').contains(u"nav"))
                package->navPath = path;
            hrefs.insert(walk.attribute(u"id"), path);
        } else if (name == u"itemref" && walk.attribute(u"linear") != u"no") {
            order.append(walk.attribute(u"idref"));
        } else if (name == u"title" && package->title.isEmpty()) {
            capture = &package->title;
        } else if (name == u"creator" && package->author.isEmpty()) {
            capture = &package->author;
        } else if (name == u"language" && package->language.isEmpty()) {
            capture = &package->language;
        }
    }
    if (walk.error().failed())
        return in(opfPath, walk.error());
    // A document that several entries of the spine name (at its parts) is
    // read once, where it first comes. The navigation document is the book's
    // table of contents, not part of its reading, even where the spine names
    // it; unless it is all the spine holds.
    QSet<QString> seen;
    if (!package->navPath.isEmpty() &&
        std::any_of(order.cbegin(), order.cend(), [&](const QString& id) {
            const QString path = hrefs.value(id);
            return !path.isEmpty() && path != package->navPath;
        }))
        seen.insert(package->navPath);
    for (const QString& id : std::as_const(order)) {
        const auto it = hrefs.constFind(id);
        if (it != hrefs.constEnd() && !seen.contains(*it)) {
            seen.insert(*it);
            package->documents.append(*it);
        }
    }
    package->title = package->title.simplified();
    package->author = package->author.simplified();
    package->language = package->language.trimmed();
    if (package->documents.isEmpty())
        return {BookFailure::Empty, {}};
    return {};
}

// Where the entries of the table of contents begin in the text, in the order
// of the text; entries that point outside the text read are left out, and
// an id the document lacks stands for the document's start.
QList<ChapterMark> chapterMarks(const QList<TocEntry>& toc,
                                const QHash<QString, QHash<QString, qsizetype>>& places) {
    QList<ChapterMark> marks;
    for (const TocEntry& entry : toc) {
        const auto document = places.constFind(entry.document);
        if (document == places.constEnd())
            continue;
        const qsizetype offset = document->value(entry.fragment, document->value(QString()));
        marks.append({offset, entry.title});
    }
    std::stable_sort(marks.begin(), marks.end(), [](const ChapterMark& a, const ChapterMark& b) {
        return a.offset < b.offset;
    });
    return marks;
}

} // namespace

bool isEpub(ZipArchive& zip) {
    if (zip.find(containerPath) >= 0)
        return true;
    const int mimetype = zip.find(QStringLiteral("mimetype"));
    if (mimetype < 0)
        return false;
    BookProgress ignored;
    QByteArray bytes;
    return !zip.read(mimetype, &bytes, ignored).failed() &&
           bytes.trimmed() == "application/epub+zip";
}

BookText readEpub(ZipArchive& zip, const BookLimits& limits, BookProgress& progress) {
    if (BookError error = checkEncryption(zip, limits, progress); error.failed())
        return BookText::failed(error);
    QString opfPath;
    if (BookError error = packagePath(zip, limits, progress, &opfPath); error.failed())
        return BookText::failed(error);
    Package package;
    if (BookError error = readPackage(zip, opfPath, limits, progress, &package); error.failed())
        return BookText::failed(error);
    const QStringList& documents = package.documents;
    // The places the table of contents points at, by document.
    const QList<TocEntry> toc = readToc(zip, package.navPath, package.ncxPath, limits, progress);
    QHash<QString, QSet<QString>> anchors;
    for (const TocEntry& entry : toc) {
        anchors[entry.document].insert(entry.fragment);
        anchors[entry.document].insert(QString());
    }
    QHash<QString, QHash<QString, qsizetype>> places;

    BookText book;
    TextLines lines;
    const int from = progress.phaseFrom();
    const qsizetype span = progress.phaseTo() - from;
    const qsizetype count = documents.size();
    for (qsizetype i = 0; i < count; ++i) {
        // Each document has its share of the progress.
        progress.setPhase(from + int(span * i / count), from + int(span * (i + 1) / count));
        QByteArray xhtml;
        XhtmlDocument document;
        document.language = package.language;
        document.anchors = anchors.value(documents[i]);
        BookError error = readEntry(zip, documents[i], &xhtml, progress);
        if (!error.failed())
            error = appendXhtml(xhtml, lines, limits, progress, document);
        if (error.failed())
            return BookText::failed(in(documents[i], error));
        if (document.lostText)
            book.damaged.append(documents[i]);
        if (!document.places.isEmpty())
            places.insert(documents[i], document.places);
    }
    book.chapters = chapterMarks(toc, places);
    book.text = lines.take();
    book.format = QStringLiteral("EPUB");
    book.title = package.title;
    book.author = package.author;
    if (book.text.isEmpty())
        return BookText::failed(BookFailure::Empty);
    return book;
}
