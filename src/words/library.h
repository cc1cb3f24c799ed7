#pragma once

#include "platform/atomic_save.h"
#include "words/string_set.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QThreadPool>

#include <atomic>

// The word library of the learning mode: the roots of the words
// already shown, in the order the file held them followed by the roots learnt
// since, and its file of one root per line.
//
// The file is written in the 8-bit code page (Windows-1251) as the original
// program wrote it, unless a root would not come back from it exactly; then
// it is written in UTF-8 with a byte-order mark. It is read in either, and in
// UTF-8 without a mark as an editor writes it (see decodeText()).
//
// Beside the entries it keeps the set of their cleaned forms, so that checkWord
// answers in constant time what a scan comparing cleanWord(entry) with the
// cleaned root for every entry would answer. Entries are only ever appended or
// replaced as a whole, so a set (and no count per key) is enough.
//
// File operations return the reason for a failure in words, or an empty string
// when they succeed; the caller shows loadFailedMessage() or
// saveFailedMessage() of it. Saves go through saveFileAtomically(): a failed
// save leaves the previous file as it was, and a file that failed to load is
// not saved over until a load succeeds.
class WordLibrary final : public QObject {
    Q_OBJECT
public:
    explicit WordLibrary(QObject* parent = nullptr);
    // Waits for the saves still running.
    ~WordLibrary() override;

    const QStringList& entries() const { return m_entries; }
    // Replaces the entries (tests, hand-made libraries).
    void setEntries(QStringList entries);

    // The library file's limits, far above what years of reading give: a
    // larger file is not loaded (and not saved over).
    static constexpr qint64 maxFileBytes = 128LL * 1024 * 1024;
    static constexpr qsizetype maxFileLines = 8 * 1024 * 1024;

    // The learning-mode check for the entry on show: 1 when learning mode is
    // off or the entry's root is known, 2 when it is new, in which case the
    // root is appended to `entries`. The root is compared after the same
    // cleaning as the entries, so every root it stores matches its own word.
    int checkWord(QStringView left, QChar letter, QStringView rest, bool learningMode);
    int checkWord(const QString& joined, bool learningMode);

    // Reads the file. A missing file changes nothing; a file of
    // n >= 1 lines replaces `entries` by exactly those lines; an empty file
    // changes nothing. A line ends at LF, a CR before it dropped; in a file
    // without a byte-order mark a byte 0x1A ends the file. Only a regular file
    // within the limits is read; on an error `entries` stays as it was and the
    // file is kept from saves. Waits for pending saves first, so it reads what
    // they wrote.
    QString load(const QString& path);

    // Writes every entry and CR LF, after the pending asynchronous
    // saves have finished. For shut-down.
    QString save(const QString& path);
    // The same on a background thread from a snapshot of `entries` taken now;
    // saves run one at a time in the order asked. The result arrives through
    // saveFinished() in this object's thread.
    void saveAsync(const QString& path);
    // For the end of the program: the same after the saves still queued, and
    // lastSaveFinished() instead of saveFinished().
    void saveLast(const QString& path);
    // Blocks until every asynchronous save has been written.
    void waitForSaves();
    // How far the save being written has come, in thousandths.
    int progress() const { return m_progress.load(); }

    // The library file's bytes for `entries`, and writing them atomically.
    static QByteArray encode(const QStringList& entries);
    static QString writeFile(const QString& path, const QByteArray& bytes,
                             const SaveProgress& progress = {});

Q_SIGNALS:
    // One per saveAsync(), in order; `error` is empty when the save succeeded.
    void saveFinished(const QString& error);
    // The save of saveLast() is done.
    void lastSaveFinished(const QString& error);

private:
    void rebuildIndex();
    void queueSave(const QString& path, bool last);

    QStringList m_entries;
    StringSet m_cleaned;
    QThreadPool m_writer;
    std::atomic<int> m_progress{0};
};

// The message texts the caller shows for a failed load or save.
QString loadFailedMessage(const QString& error);
QString saveFailedMessage(const QString& error);
