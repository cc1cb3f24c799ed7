#include "books/epub_reader.h"

#include "books/text_lines.h"
#include "books/xhtml_text.h"
#include "books/xml_reading.h"
#include "books/zip_archive.h"

#include <QDir>
#include <QHash>
#include <QUrl>

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
        if (walk.reader().isStartElement() && walk.name() == u"EncryptionMethod" &&
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
        if (walk.reader().isStartElement() && walk.name() == u"rootfile") {
            *path = walk.attribute(u"full-path");
            if (!path->isEmpty())
                return {};
        }
    }
    if (walk.error().failed())
        return in(containerPath, walk.error());
    return {BookFailure::Damaged, containerPath + QStringLiteral(" не называет содержания")};
}

// The archive paths of the spine's linear XHTML documents, in order.
BookError spineDocuments(ZipArchive& zip, const QString& opfPath, const BookLimits& limits,
                         BookProgress& progress, QStringList* documents) {
    QString xml;
    if (BookError error = readXml(zip, opfPath, &xml, progress); error.failed())
        return in(opfPath, error);
    const QString folder = QFileInfo(opfPath).path();
    QHash<QString, QString> hrefs; // manifest id to archive path, XHTML only
    QStringList order;
    XmlWalk walk(xml, limits, progress);
    while (walk.next()) {
        if (!walk.reader().isStartElement())
            continue;
        if (walk.name() == u"item") {
            const QString type = walk.attribute(u"media-type");
            if (type != u"application/xhtml+xml" && type != u"text/html")
                continue;
            QString href = QUrl::fromPercentEncoding(walk.attribute(u"href").toUtf8());
            href.truncate(href.indexOf(QLatin1Char('#')) < 0 ? href.size()
                                                             : href.indexOf(QLatin1Char('#')));
            const QString path = folder == u"." ? href : folder + QLatin1Char('/') + href;
            hrefs.insert(walk.attribute(u"id"), QDir::cleanPath(path));
        } else if (walk.name() == u"itemref" && walk.attribute(u"linear") != u"no") {
            order.append(walk.attribute(u"idref"));
        }
    }
    if (walk.error().failed())
        return in(opfPath, walk.error());
    for (const QString& id : std::as_const(order)) {
        const auto it = hrefs.constFind(id);
        if (it != hrefs.constEnd())
            documents->append(*it);
    }
    if (documents->isEmpty())
        return {BookFailure::Empty, {}};
    return {};
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
    QStringList documents;
    if (BookError error = spineDocuments(zip, opfPath, limits, progress, &documents);
        error.failed())
        return BookText::failed(error);

    TextLines lines;
    const int from = progress.phaseFrom();
    const qsizetype span = progress.phaseTo() - from;
    const qsizetype count = documents.size();
    for (qsizetype i = 0; i < count; ++i) {
        // Each document has its share of the progress.
        progress.setPhase(from + int(span * i / count), from + int(span * (i + 1) / count));
        QByteArray xhtml;
        BookError error = readEntry(zip, documents[i], &xhtml, progress);
        if (!error.failed())
            error = appendXhtml(xhtml, lines, limits, progress);
        if (error.failed())
            return BookText::failed(in(documents[i], error));
    }
    BookText book;
    book.text = lines.take();
    book.format = QStringLiteral("EPUB");
    if (book.text.isEmpty())
        return BookText::failed(BookFailure::Empty);
    return book;
}
