#include "words/library.h"

#include "platform/atomic_save.h"
#include "platform/codepage.h"
#include "platform/regular_file.h"
#include "words/clean_word.h"
#include "words/word_root.h"

#include <QMetaObject>

namespace {

// The text of the library file: with a byte-order mark as the mark says;
// without one up to the first 0x1A, the end mark of the original's text
// files, as UTF-8 or Windows-1251.
QString textOf(QByteArray& bytes) {
    const bool marked = bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") ||
                        bytes.startsWith("\xFE\xFF");
    if (!marked) {
        const qsizetype mark = bytes.indexOf('\x1A');
        if (mark >= 0)
            bytes.truncate(mark);
    }
    return decodeText(bytes);
}

// Lines end at LF, a CR right before it dropped; a last line without LF
// counts, an empty text has no lines.
QStringList splitLines(const QString& text) {
    QStringList lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    while (start < n) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0) {
            lines.append(text.mid(start));
            break;
        }
        qsizetype len = end - start;
        if (len > 0 && text.at(end - 1) == QLatin1Char('\r'))
            --len;
        lines.append(text.mid(start, len));
        start = end + 1;
    }
    return lines;
}

} // namespace

WordLibrary::WordLibrary(QObject* parent) : QObject(parent) {
    m_writer.setMaxThreadCount(1);
}

WordLibrary::~WordLibrary() {
    waitForSaves();
}

void WordLibrary::setEntries(QStringList entries) {
    m_entries = std::move(entries);
    rebuildIndex();
}

void WordLibrary::rebuildIndex() {
    m_cleaned.clear();
    m_cleaned.reserve(m_entries.size());
    for (const QString& e : std::as_const(m_entries))
        m_cleaned.insert(cleanWord(e));
}

int WordLibrary::checkWord(QStringView left, QChar letter, QStringView rest, bool learningMode) {
    if (!learningMode)
        return 1;
    QString joined;
    joined.reserve(left.size() + 1 + rest.size());
    joined.append(left);
    joined.append(letter);
    joined.append(rest);
    return checkWord(joined, true);
}

int WordLibrary::checkWord(const QString& joined, bool learningMode) {
    if (!learningMode)
        return 1;
    // An entry matches when its cleaned form equals the cleaned root. The
    // root is stored as it is; its cleaned form is what its next word finds.
    const QString root = wordRoot(cleanWord(joined));
    const QString key = cleanWord(root);
    if (m_cleaned.contains(key))
        return 1;
    m_entries.append(root);
    m_cleaned.insert(key);
    return 2;
}

QString WordLibrary::load(const QString& path) {
    waitForSaves();
    FileContents file = readRegularFile(path, maxFileBytes);
    if (!file.exists) {
        allowSaves(path);
        return {};
    }
    if (!file.error.isEmpty()) {
        keepFromSaves(path);
        return file.error;
    }
    const QString text = textOf(file.bytes);
    file.bytes = QByteArray();
    const qsizetype lineCount = text.count(QLatin1Char('\n')) +
                                (text.endsWith(QLatin1Char('\n')) || text.isEmpty() ? 0 : 1);
    if (lineCount > maxFileLines) {
        keepFromSaves(path);
        return QStringLiteral("в словаре больше %1 строк").arg(maxFileLines);
    }
    QStringList lines = splitLines(text);
    if (!lines.isEmpty())
        setEntries(std::move(lines));
    allowSaves(path);
    return {};
}

QByteArray WordLibrary::encode(const QStringList& entries) {
    qsizetype total = 0;
    for (const QString& e : entries)
        total += e.size() + 2;
    QString text;
    text.reserve(total);
    for (const QString& e : entries) {
        text += e;
        text += QLatin1String("\r\n");
    }
    QByteArray bytes = toCodePage(text);
    if (!text.contains(QChar(0x1A)) && decodeText(bytes) == text)
        return bytes;
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

QString WordLibrary::writeFile(const QString& path, const QByteArray& bytes,
                               const SaveProgress& progress) {
    return saveFileAtomically(path, bytes, progress);
}

QString WordLibrary::save(const QString& path) {
    waitForSaves();
    return writeFile(path, encode(m_entries));
}

void WordLibrary::saveAsync(const QString& path) {
    queueSave(path, false);
}

void WordLibrary::saveLast(const QString& path) {
    queueSave(path, true);
}

void WordLibrary::queueSave(const QString& path, bool last) {
    // A copy of the list shares its data: the snapshot costs a reference count.
    m_writer.start([this, path, snapshot = m_entries, last]() {
        m_progress.store(0);
        const QString error =
            writeFile(path, encode(snapshot), [this](int permille) { m_progress.store(permille); });
        QMetaObject::invokeMethod(
            this,
            [this, error, last]() {
                if (last)
                    Q_EMIT lastSaveFinished(error);
                else
                    Q_EMIT saveFinished(error);
            },
            Qt::QueuedConnection);
    });
}

void WordLibrary::waitForSaves() {
    m_writer.waitForDone();
}

QString loadFailedMessage(const QString& error) {
    return QStringLiteral("Не удалось загрузить словарь.  [") + error + QLatin1Char(']');
}

QString saveFailedMessage(const QString& error) {
    return QStringLiteral("Не удалось сохранить словарь.  [") + error + QLatin1Char(']');
}
