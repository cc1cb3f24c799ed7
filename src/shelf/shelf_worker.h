#pragma once

#include "shelf/shelf.h"

#include <QMutex>
#include <QObject>
#include <QThread>

#include <memory>

// The shelf on a thread of its own: writes are queued and cost the calling
// thread only the queuing; questions wait for their answer. Writes are done in
// the order they were asked for.
class ShelfWorker {
public:
    // Opens the shelf at `path` on the worker and waits for the outcome.
    explicit ShelfWorker(const QString& path);
    // Does the writes still queued, then ends the thread.
    ~ShelfWorker();
    ShelfWorker(const ShelfWorker&) = delete;
    ShelfWorker& operator=(const ShelfWorker&) = delete;

    bool isOpen() const { return m_open; }
    // Why the shelf could not be opened, or why the last write failed.
    QString error() const;
    // The cause of a failed write not yet taken, then nothing until the next.
    QString takeWriteError();

    std::optional<ShelfBook> find(const QString& fingerprint);
    QList<ShelfBook> recent(int limit = Shelf::maxListed);
    bool remove(const QString& fingerprint);
    qint64 latestSave();
    void put(const ShelfBook& book);
    void savePlace(const ShelfPlace& place);
    void saveChapters(const QString& fingerprint, int entries, const QList<ShelfChapter>& chapters);
    QList<ShelfChapter> chapters(const QString& fingerprint, int entries);
    // Reading sessions (see Shelf).
    void saveSession(const ShelfSession& session);
    QList<ShelfSession> sessions(qint64 from = 0, qint64 to = std::numeric_limits<qint64>::max());
    // Returns once every write asked for so far is done.
    void waitForWrites();

private:
    template <typename F> void post(F&& f);
    template <typename F> void ask(F&& f);
    void noteWrite(bool ok);

    QThread m_thread;
    QObject* m_context = nullptr;   // lives on m_thread
    std::unique_ptr<Shelf> m_shelf; // used only on m_thread
    bool m_open = false;
    mutable QMutex m_mutex;
    QString m_error;
    QString m_writeError;
};
