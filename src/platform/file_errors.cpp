#include "platform/file_errors.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

QString fileErrorText(int error) {
    switch (error) {
    case ENOSPC:
        return QStringLiteral("на устройстве не осталось места");
    case EDQUOT:
        return QStringLiteral("исчерпана дисковая квота");
    case EACCES:
    case EPERM:
        return QStringLiteral("нет прав доступа");
    case EROFS:
        return QStringLiteral("файловая система доступна только для чтения");
    case EFBIG:
        return QStringLiteral("файл слишком велик");
    case EIO:
        return QStringLiteral("ошибка ввода-вывода");
    case ENOENT:
        return QStringLiteral("нет такого файла или папки");
    case ENOTDIR:
        return QStringLiteral("часть пути не является папкой");
    case EISDIR:
        return QStringLiteral("это папка, а не файл");
    case ENAMETOOLONG:
        return QStringLiteral("слишком длинное имя файла");
    case ELOOP:
        return QStringLiteral("слишком много символических ссылок");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("открыто слишком много файлов");
    case ENOMEM:
        return QStringLiteral("недостаточно памяти");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("файл занят");
    default:
        break;
    }
    char buffer[256] = {};
    // The GNU strerror_r returns the text, which may or may not be `buffer`.
    const char* text = strerror_r(error, buffer, sizeof buffer);
    return QString::fromLocal8Bit(text);
}

QString notRegularFileText(unsigned mode) {
    switch (mode & S_IFMT) {
    case S_IFDIR:
        return fileErrorText(EISDIR);
    case S_IFIFO:
        return QStringLiteral("это канал (FIFO), а не обычный файл");
    case S_IFCHR:
    case S_IFBLK:
        return QStringLiteral("это устройство, а не обычный файл");
    case S_IFSOCK:
        return QStringLiteral("это сокет, а не обычный файл");
    default:
        return QStringLiteral("это не обычный файл");
    }
}

QString fileTooLargeText(qint64 maxBytes) {
    if (maxBytes >= 1024 * 1024)
        return QStringLiteral("файл больше допустимых %1 МБ").arg(maxBytes / (1024 * 1024));
    return QStringLiteral("файл больше допустимых %1 байт").arg(maxBytes);
}

QString writeProtectedText() {
    return QStringLiteral("файл защищён от записи");
}

QString unreadFileKeptText(const QString& path) {
    return QStringLiteral("файл «%1» не удалось прочитать, и он оставлен как был").arg(path);
}
