#include "books/zip_archive.h"

#include <zip.h>

namespace {

// The cause of a libzip failure in the reader's language, never libzip's own
// English words.
QString libzipError(zip_error_t* error) {
    switch (zip_error_code_zip(error)) {
    case ZIP_ER_NOZIP:
        return QStringLiteral("это не zip-архив, или он обрезан");
    case ZIP_ER_INCONS:
    case ZIP_ER_CRC:
        return QStringLiteral("архив испорчен");
    case ZIP_ER_EOF:
        return QStringLiteral("архив обрывается");
    case ZIP_ER_COMPNOTSUPP:
        return QStringLiteral("файл в архиве сжат неизвестным способом");
    case ZIP_ER_ENCRNOTSUPP:
    case ZIP_ER_NOPASSWD:
    case ZIP_ER_WRONGPASSWD:
        return QStringLiteral("файл в архиве зашифрован");
    case ZIP_ER_MEMORY:
        return QStringLiteral("не хватило памяти");
    case ZIP_ER_NOENT:
        return QStringLiteral("файла в архиве нет, или его размер указан неверно");
    default:
        return QStringLiteral("архив испорчен (ошибка libzip %1)").arg(zip_error_code_zip(error));
    }
}

BookError tooBig(const QString& detail) {
    return {BookFailure::TooBig, detail};
}

} // namespace

ZipArchive::~ZipArchive() {
    if (m_zip)
        zip_discard(m_zip);
}

bool ZipArchive::looksLikeZip(const QByteArray& bytes) {
    return bytes.startsWith("PK\x03\x04") || bytes.startsWith("PK\x05\x06");
}

BookError ZipArchive::open(const QByteArray& bytes) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(
        bytes.constData(), static_cast<zip_uint64_t>(bytes.size()), 0, &error);
    if (source)
        m_zip = zip_open_from_source(source, ZIP_RDONLY, &error);
    if (!m_zip) {
        const QString detail = libzipError(&error);
        if (source)
            zip_source_free(source);
        zip_error_fini(&error);
        return {BookFailure::Damaged, detail};
    }
    zip_error_fini(&error);

    const zip_int64_t count = zip_get_num_entries(m_zip, 0);
    if (count > m_limits.entries)
        return tooBig(QStringLiteral("в архиве больше %1 файлов").arg(m_limits.entries));
    qint64 declared = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        if (zip_stat_index(m_zip, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS, &st) != 0)
            return {BookFailure::Damaged, libzipError(zip_get_error(m_zip))};
        m_names.append((st.valid & ZIP_STAT_NAME) ? QString::fromUtf8(st.name) : QString());
        if (st.valid & ZIP_STAT_SIZE) {
            declared += static_cast<qint64>(qMin<zip_uint64_t>(st.size, 1ULL << 62));
            if (declared > m_limits.unpackedBytes)
                return tooBig(QStringLiteral("архив распаковывается больше чем в %1 МБ")
                                  .arg(m_limits.unpackedBytes / BookLimits::mebibyte));
        }
    }
    return {};
}

int ZipArchive::find(const QString& name) const {
    const qsizetype exact = m_names.indexOf(name);
    if (exact >= 0)
        return static_cast<int>(exact);
    for (qsizetype i = 0; i < m_names.size(); ++i) {
        if (m_names[i].compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

BookError ZipArchive::read(int index, QByteArray* out, BookProgress& progress) {
    out->clear();
    const auto at = static_cast<zip_uint64_t>(index);
    zip_stat_t st;
    if (index < 0 || index >= m_names.size() || zip_stat_index(m_zip, at, 0, &st) != 0)
        return {BookFailure::Damaged, QStringLiteral("нет файла в архиве")};
    const QString name = m_names[index];
    if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
        return {BookFailure::Encrypted, name};
    if (!(st.valid & ZIP_STAT_SIZE) || !(st.valid & ZIP_STAT_COMP_SIZE))
        return {BookFailure::Damaged, name};
    const zip_uint64_t size = st.size;
    if (size > zip_uint64_t(m_limits.entryBytes) ||
        size > zip_uint64_t(m_limits.unpackedBytes - m_unpacked))
        return tooBig(name + QStringLiteral(" распаковывается в слишком большой объём"));
    if (size > zip_uint64_t(m_limits.ratioFrom) &&
        size / qMax<zip_uint64_t>(st.comp_size, 1) > zip_uint64_t(m_limits.packingRatio))
        return tooBig(name + QStringLiteral(" сжат в %1 раз, это похоже на zip-бомбу")
                                 .arg(size / qMax<zip_uint64_t>(st.comp_size, 1)));

    zip_file_t* file = zip_fopen_index(m_zip, at, 0);
    if (!file)
        return {BookFailure::Damaged,
                name + QStringLiteral(": ") + libzipError(zip_get_error(m_zip))};
    out->resize(static_cast<qsizetype>(size));
    qint64 done = 0;
    BookError result;
    for (;;) {
        if (progress.cancelled()) {
            result = {BookFailure::Cancelled, {}};
            break;
        }
        // One byte more than declared is asked for, to catch an entry that
        // unpacks to more than its size.
        char spare;
        const qint64 room = static_cast<qint64>(size) - done;
        const qint64 chunk = qMin<qint64>(room, 1024 * 1024);
        char* into = chunk > 0 ? out->data() + done : &spare;
        const zip_int64_t got =
            zip_fread(file, into, static_cast<zip_uint64_t>(qMax<qint64>(chunk, 1)));
        if (got < 0) {
            result = {BookFailure::Damaged,
                      name + QStringLiteral(": ") + libzipError(zip_file_get_error(file))};
            break;
        }
        if (got == 0)
            break;
        if (chunk == 0) {
            result = {BookFailure::Damaged,
                      name + QStringLiteral(" распаковывается больше заявленного размера")};
            break;
        }
        done += got;
    }
    zip_fclose(file);
    if (!result.failed() && done != static_cast<qint64>(size))
        result = {BookFailure::Damaged, name + QStringLiteral(" обрывается")};
    if (result.failed()) {
        out->clear();
        return result;
    }
    m_unpacked += done;
    return {};
}
