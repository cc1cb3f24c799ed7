#include "words/library.h"

#include "platform/codepage.h"
#include "words/clean_word.h"
#include "words/word_root.h"

#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QSaveFile>

namespace {

constexpr char endOfFile = '\x1A';
constexpr qint64 readChunk = 1 << 20;

// The file's bytes up to its first 0x1A. Returns the error text, or an empty
// string when all was read.
QString readUpToEndMark(QFile& f, QByteArray& bytes) {
    const qint64 expected = f.size();
    if (expected > 0 && expected < (qint64(1) << 40))
        bytes.reserve(expected);
    for (;;) {
        const qsizetype before = bytes.size();
        bytes.resize(before + readChunk);
        const qint64 got = f.read(bytes.data() + before, readChunk);
        if (got < 0) {
            bytes.clear();
            return f.errorString();
        }
        bytes.resize(before + got);
        const qsizetype mark = bytes.indexOf(endOfFile, before);
        if (mark >= 0) {
            bytes.truncate(mark);
            return {};
        }
        if (got == 0)
            return {};
    }
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
    // An entry matches when its cleaned form equals the root; the root itself
    // is compared and stored as it is, so a root that cleaning would change
    // never finds its own entry and is appended again.
    const QString root = wordRoot(cleanWord(joined));
    if (m_cleaned.contains(root))
        return 1;
    m_entries.append(root);
    m_cleaned.insert(cleanWord(root));
    return 2;
}

QString WordLibrary::load(const QString& path) {
    waitForSaves();
    if (!QFileInfo::exists(path))
        return {};
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return f.errorString();
    QByteArray bytes;
    const QString error = readUpToEndMark(f, bytes);
    // A read that fails part-way keeps the whole library in memory rather than
    // the lines before the failure, which the next save would make permanent.
    if (!error.isEmpty())
        return error;
    if (bytes.isEmpty())
        return {};
    QStringList lines = splitLines(fromCodePage(bytes));
    if (!lines.isEmpty())
        setEntries(std::move(lines));
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
    return toCodePage(text);
}

QString WordLibrary::writeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return f.errorString();
    if (f.write(bytes) != bytes.size()) {
        const QString error = f.errorString();
        f.cancelWriting();
        return error;
    }
    if (!f.commit())
        return f.errorString();
    return {};
}

QString WordLibrary::save(const QString& path) {
    waitForSaves();
    return writeFile(path, encode(m_entries));
}

void WordLibrary::saveAsync(const QString& path) {
    // A copy of the list shares its data: the snapshot costs a reference count.
    m_writer.start([this, path, snapshot = m_entries]() {
        const QString error = writeFile(path, encode(snapshot));
        QMetaObject::invokeMethod(
            this, [this, error]() { Q_EMIT saveFinished(error); }, Qt::QueuedConnection);
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
