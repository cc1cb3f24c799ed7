#include "books/epub_toc.h"

#include "books/xml_reading.h"
#include "books/zip_archive.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace {

// An entry of the archive as decoded XML; empty when it cannot be read.
QString entryXml(ZipArchive& zip, const QString& path, BookProgress& progress) {
    const int index = zip.find(path);
    QByteArray bytes;
    if (index < 0 || zip.read(index, &bytes, progress).failed())
        return {};
    return decodeXml(bytes);
}

// The entries of the navigation document's table of contents: the links of
// the nav element of the type "toc" (of the first nav, if none says so).
QList<TocEntry> navEntries(const QString& xml, const QString& navPath, const BookLimits& limits,
                           BookProgress& progress, bool tocOnly) {
    QList<TocEntry> entries;
    XmlWalk walk(xml, limits, progress, true);
    int navDepth = 0;
    int linkDepth = 0;
    bool navRead = false;
    while (walk.next()) {
        if (walk.isStart()) {
            if (navDepth == 0 && !navRead && walk.name() == u"nav") {
                const QString type =
                    walk.attribute(u"http://www.idpf.org/2007/ops", u"epub", u"type");
                if (!tocOnly || type.split(u' ').contains(u"toc"))
                    navDepth = walk.depth();
            } else if (navDepth != 0 && linkDepth == 0 && walk.name() == u"a" &&
                       walk.hasAttribute(u"href")) {
                linkDepth = walk.depth();
                TocEntry entry;
                entry.document = resolveHref(navPath, walk.attribute(u"href"), &entry.fragment);
                entries.append(entry);
            }
        } else if (walk.isEnd()) {
            if (walk.depth() == linkDepth) {
                linkDepth = 0;
                entries.last().title = entries.last().title.simplified();
            } else if (walk.depth() == navDepth) {
                navDepth = 0;
                navRead = true;
            }
        } else if (walk.isText() && linkDepth != 0) {
            entries.last().title += walk.text();
        }
    }
    return entries;
}

// The entries of an NCX's navigation map, navPoints of every level in order.
QList<TocEntry> ncxEntries(const QString& xml, const QString& ncxPath, const BookLimits& limits,
                           BookProgress& progress) {
    QList<TocEntry> entries;
    XmlWalk walk(xml, limits, progress, true);
    bool inMap = false;
    bool inLabel = false;
    QString label;
    while (walk.next()) {
        if (walk.isStart()) {
            const QStringView name = walk.name();
            if (name == u"navMap") {
                inMap = true;
            } else if (inMap && name == u"navLabel") {
                inLabel = true;
                label.clear();
            } else if (inMap && name == u"content") {
                TocEntry entry;
                entry.document = resolveHref(ncxPath, walk.attribute(u"src"), &entry.fragment);
                entry.title = label.simplified();
                entries.append(entry);
            }
        } else if (walk.isEnd()) {
            if (walk.name() == u"navLabel")
                inLabel = false;
            else if (walk.name() == u"navMap")
                inMap = false;
        } else if (walk.isText() && inLabel) {
            label += walk.text();
        }
    }
    return entries;
}

} // namespace

QString resolveHref(const QString& base, const QString& href, QString* fragment) {
    QString path = href;
    const qsizetype hash = path.indexOf(u'#');
    if (fragment)
        *fragment =
            hash < 0 ? QString() : QUrl::fromPercentEncoding(path.sliced(hash + 1).toUtf8());
    if (hash >= 0)
        path.truncate(hash);
    path = QUrl::fromPercentEncoding(path.toUtf8());
    if (path.isEmpty())
        return base;
    const QString folder = QFileInfo(base).path();
    return QDir::cleanPath(folder == u"." ? path : folder + u'/' + path);
}

QList<TocEntry> readToc(ZipArchive& zip, const QString& navPath, const QString& ncxPath,
                        const BookLimits& limits, BookProgress& progress) {
    if (!navPath.isEmpty()) {
        const QString xml = entryXml(zip, navPath, progress);
        QList<TocEntry> entries = navEntries(xml, navPath, limits, progress, true);
        if (entries.isEmpty())
            entries = navEntries(xml, navPath, limits, progress, false);
        if (!entries.isEmpty())
            return entries;
    }
    if (!ncxPath.isEmpty())
        return ncxEntries(entryXml(zip, ncxPath, progress), ncxPath, limits, progress);
    return {};
}
