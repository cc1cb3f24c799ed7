#include "shelf/shelf_worker.h"

#include <QMetaObject>
#include <QMutexLocker>

#include <utility>

template <typename F> void ShelfWorker::post(F&& f) {
    QMetaObject::invokeMethod(m_context, std::forward<F>(f), Qt::QueuedConnection);
}

template <typename F> void ShelfWorker::ask(F&& f) {
    QMetaObject::invokeMethod(m_context, std::forward<F>(f), Qt::BlockingQueuedConnection);
}

ShelfWorker::ShelfWorker(const QString& path) {
    m_thread.setObjectName(QStringLiteral("shelf"));
    m_context = new QObject;
    m_context->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_context, &QObject::deleteLater);
    m_thread.start();
    ask([this, path] {
        m_shelf = std::make_unique<Shelf>();
        m_open = m_shelf->open(path);
        QMutexLocker lock(&m_mutex);
        m_error = m_shelf->error();
    });
}

ShelfWorker::~ShelfWorker() {
    ask([this] { m_shelf.reset(); });
    m_thread.quit();
    m_thread.wait();
}

QString ShelfWorker::error() const {
    QMutexLocker lock(&m_mutex);
    return m_error;
}

QString ShelfWorker::takeWriteError() {
    QMutexLocker lock(&m_mutex);
    return std::exchange(m_writeError, QString());
}

void ShelfWorker::noteWrite(bool ok) {
    if (ok)
        return;
    QMutexLocker lock(&m_mutex);
    m_error = m_shelf->error();
    m_writeError = m_error;
}

std::optional<ShelfBook> ShelfWorker::find(const QString& fingerprint) {
    std::optional<ShelfBook> found;
    if (m_open)
        ask([&] { found = m_shelf->find(fingerprint); });
    return found;
}

QList<ShelfBook> ShelfWorker::recent(int limit) {
    QList<ShelfBook> books;
    if (m_open)
        ask([&] { books = m_shelf->recent(limit); });
    return books;
}

bool ShelfWorker::remove(const QString& fingerprint) {
    bool ok = false;
    if (m_open)
        ask([&] {
            ok = m_shelf->remove(fingerprint);
            noteWrite(ok);
        });
    return ok;
}

qint64 ShelfWorker::latestSave() {
    qint64 latest = 0;
    if (m_open)
        ask([&] { latest = m_shelf->latestSave(); });
    return latest;
}

void ShelfWorker::put(const ShelfBook& book) {
    if (m_open)
        post([this, book] { noteWrite(m_shelf->put(book)); });
}

void ShelfWorker::savePlace(const ShelfPlace& place) {
    if (m_open)
        post([this, place] { noteWrite(m_shelf->savePlace(place)); });
}

void ShelfWorker::saveChapters(const QString& fingerprint, int entries,
                               const QList<ShelfChapter>& chapters) {
    if (m_open)
        post([this, fingerprint, entries, chapters] {
            noteWrite(m_shelf->saveChapters(fingerprint, entries, chapters));
        });
}

QList<ShelfChapter> ShelfWorker::chapters(const QString& fingerprint, int entries) {
    QList<ShelfChapter> found;
    if (m_open)
        ask([&] { found = m_shelf->chapters(fingerprint, entries); });
    return found;
}

void ShelfWorker::saveSession(const ShelfSession& session) {
    if (m_open)
        post([this, session] { noteWrite(m_shelf->saveSession(session)); });
}

QList<ShelfSession> ShelfWorker::sessions(qint64 from, qint64 to) {
    QList<ShelfSession> found;
    if (m_open)
        ask([&] { found = m_shelf->sessions(from, to); });
    return found;
}

void ShelfWorker::waitForWrites() {
    if (m_open)
        ask([] {});
}
