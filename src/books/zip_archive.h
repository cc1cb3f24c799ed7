#pragma once

#include "books/book_limits.h"
#include "books/book_text.h"

#include <QByteArray>
#include <QStringList>

struct zip;

// A zip archive held in memory, read with libzip inside the bounds: the
// number of entries and the sum of the unpacked sizes that the archive's
// directory declares, each entry's unpacked size and its packing ratio, and
// the bytes that unpacking actually yields. A zip bomb is refused from its
// directory before anything is unpacked, and an entry that unpacks to more
// than it declares is cut off at its declared size.
class ZipArchive {
public:
    explicit ZipArchive(const BookLimits& limits) : m_limits(limits) {}
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // Whether the bytes start like a zip archive.
    static bool looksLikeZip(const QByteArray& bytes);

    // Opens the archive in `bytes`, which must outlive this object.
    BookError open(const QByteArray& bytes);

    // The entries' names, in the archive's order.
    const QStringList& names() const { return m_names; }
    // The index of the entry named `name`; one that differs only in case does
    // if there is no exact match. -1 when there is none.
    int find(const QString& name) const;

    // Unpacks one entry whole into `out`.
    BookError read(int index, QByteArray* out, BookProgress& progress);

private:
    const BookLimits& m_limits;
    zip* m_zip = nullptr;
    QStringList m_names;
    qint64 m_unpacked = 0; // bytes unpacked so far, all entries together
};
