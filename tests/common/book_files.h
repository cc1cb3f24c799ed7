#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Book files made in the tests themselves: zip archives written with libzip,
// FB2 documents and EPUB books.
namespace bookfiles {

struct Entry {
    QString name;
    QByteArray data;
    bool stored = false;    // kept unpacked (an EPUB's mimetype)
    bool encrypted = false; // traditional PKWARE encryption
};

// A zip archive holding `entries` in order.
QByteArray zip(const QList<Entry>& entries);

// An FB2 document: `inside` is what goes into FictionBook (description,
// bodies, binaries), the whole in `encoding`; without `declared` the XML
// declaration names no encoding.
QByteArray fb2(const QString& inside, const QByteArray& encoding = "UTF-8", bool declared = true);

// An XHTML document with `body` as the body's content.
QString xhtml(const QString& body, const QString& doctype = {});

// An EPUB book: the documents (archive path, XHTML) in manifest order, read
// in the order `spine` gives (indexes into `documents`; all in order when
// empty); META-INF/container.xml points at `opfPath`; `extra` entries are
// added at the end.
struct Epub {
    QList<QPair<QString, QString>> documents;
    QList<int> spine;
    QString opfPath = QStringLiteral("OEBPS/content.opf");
    QString spineExtra;    // more itemref elements, written as they stand
    QString manifestExtra; // more manifest items, written as they stand
    QString metadataExtra; // more metadata elements, written as they stand
    QList<int> notPacked;  // documents in the manifest but not in the archive
    QList<Entry> extra;
};
QByteArray epub(const Epub& book);

// Writes `bytes` to `path`; false on failure.
bool write(const QString& path, const QByteArray& bytes);

} // namespace bookfiles
