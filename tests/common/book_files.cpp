#include "book_files.h"

#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <QUrl>

#include <zip.h>

namespace bookfiles {

QByteArray zip(const QList<Entry>& entries) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    zip_error_fini(&error);
    if (!archive)
        return {};
    zip_source_keep(buffer);
    for (const Entry& e : entries) {
        zip_source_t* data = zip_source_buffer(archive, e.data.constData(),
                                               static_cast<zip_uint64_t>(e.data.size()), 0);
        const zip_int64_t index =
            zip_file_add(archive, e.name.toUtf8().constData(), data, ZIP_FL_ENC_UTF_8);
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index),
                                 e.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 9);
        if (e.encrypted)
            zip_file_set_encryption(archive, static_cast<zip_uint64_t>(index), ZIP_EM_TRAD_PKWARE,
                                    "secret");
    }
    QByteArray out;
    if (zip_close(archive) == 0 && zip_source_open(buffer) == 0) {
        zip_stat_t st;
        zip_source_stat(buffer, &st);
        out.resize(static_cast<qsizetype>(st.size));
        zip_source_read(buffer, out.data(), st.size);
        zip_source_close(buffer);
    }
    zip_source_free(buffer);
    return out;
}

QByteArray fb2(const QString& inside, const QByteArray& encoding, bool declared) {
    const QString xml =
        (declared ? QStringLiteral("<?xml version=\"1.0\" encoding=\"%1\"?>\n")
                        .arg(QString::fromLatin1(encoding))
                  : QStringLiteral("<?xml version=\"1.0\"?>\n")) +
        QStringLiteral("<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\" "
                       "xmlns:l=\"http://www.w3.org/1999/xlink\">") +
        inside + QStringLiteral("</FictionBook>\n");
    QStringEncoder encoder(encoding.constData());
    return encoder.encode(xml);
}

QString xhtml(const QString& body, const QString& doctype) {
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n") + doctype +
           QStringLiteral("<html xmlns=\"http://www.w3.org/1999/xhtml\" "
                          "xmlns:epub=\"http://www.idpf.org/2007/ops\"><head><title>Заглавие"
                          "</title><style>p { margin: 0 }</style></head><body>") +
           body + QStringLiteral("</body></html>\n");
}

QByteArray epub(const Epub& book) {
    const QString folder = QFileInfo(book.opfPath).path();
    QString manifest;
    QString spine;
    for (qsizetype i = 0; i < book.documents.size(); ++i) {
        QString href = book.documents[i].first;
        if (folder != u".")
            href.remove(0, folder.size() + 1);
        manifest += QStringLiteral("<item id=\"d%1\" href=\"%2\" media-type=\"application/"
                                   "xhtml+xml\"/>")
                        .arg(i)
                        .arg(QString::fromUtf8(QUrl::toPercentEncoding(href, "/")));
    }
    QList<int> order = book.spine;
    if (order.isEmpty()) {
        for (qsizetype i = 0; i < book.documents.size(); ++i)
            order.append(static_cast<int>(i));
    }
    for (const int i : order)
        spine += QStringLiteral("<itemref idref=\"d%1\"/>").arg(i);
    const QString opf =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<package "
                       "xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\" "
                       "unique-identifier=\"id\"><metadata "
                       "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>Книга</dc:title>") +
        book.metadataExtra + QStringLiteral("</metadata><manifest>") + manifest +
        book.manifestExtra +
        QStringLiteral("<item id=\"css\" href=\"style.css\" media-type=\"text/css\"/>") +
        QStringLiteral("</manifest><spine>") + spine + book.spineExtra +
        QStringLiteral("</spine></package>\n");
    const QString container =
        QStringLiteral("<?xml version=\"1.0\"?>\n<container version=\"1.0\" "
                       "xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\"><rootfiles>"
                       "<rootfile full-path=\"%1\" media-type=\"application/oebps-package+xml\"/>"
                       "</rootfiles></container>\n")
            .arg(book.opfPath);
    QList<Entry> entries = {
        {QStringLiteral("mimetype"), "application/epub+zip", true},
        {QStringLiteral("META-INF/container.xml"), container.toUtf8()},
        {book.opfPath, opf.toUtf8()},
    };
    for (qsizetype i = 0; i < book.documents.size(); ++i) {
        if (!book.notPacked.contains(int(i)))
            entries.append({book.documents[i].first, book.documents[i].second.toUtf8()});
    }
    entries += book.extra;
    return zip(entries);
}

bool write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace bookfiles
