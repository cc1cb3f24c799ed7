#pragma once

#include "platform/user_files.h"
#include "storage/settings.h"

#include <QMutex>
#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <memory>

// Saves the settings and the bookmark while the program runs, off the
// interface thread: the snapshot is taken on the caller's thread (the text is
// shared, the entries copied), the file is written on a worker thread, one
// save at a time. Saves asked for while one is written are merged: at most one
// waits behind the running one, and it writes the newest state asked for. A
// save is left out when the window and the reading state still hold what the
// last save wrote, or was asked to write.
class SettingsSaver final : public QObject {
    Q_OBJECT
public:
    explicit SettingsSaver(QObject* parent = nullptr);
    // Waits for the saves still running.
    ~SettingsSaver() override;

    // Queues a save into `file` of what the window and `state` hold now, in
    // place of one still waiting. Returns whether one was queued: not when
    // nothing changed since the last save asked for, nor when reading was
    // never started in this run.
    bool saveInBackground(const SettingsView& view, const ReadingState& state,
                          const FileLocation& file);
    // For the end of the program: the save still waiting is dropped, and
    // what the window and `state` hold now is saved on the worker after the
    // running one, unless a save written or being written holds the same.
    // Returns false when nothing is left to write; otherwise
    // lastSaveFinished() follows. Results of earlier saves not delivered yet
    // are dropped: this save covers them.
    bool saveLast(const SettingsView& view, const ReadingState& state, const FileLocation& file);
    // saveLast() waited for on this thread; returns the error's own message
    // text, empty when nothing failed.
    QString save(const SettingsView& view, const ReadingState& state, const FileLocation& file);
    // Blocks until every queued save has been written.
    void waitForSaves();
    // The results of the saves queued so far are not delivered: a save to
    // come covers them.
    void forgetResults() { ++m_generation; }
    // How far the save being written has come, in thousandths.
    int progress() const { return m_progress.load(); }

Q_SIGNALS:
    // One per save written in the background, in order, in this object's
    // thread; `error` is empty when the save succeeded.
    void saveFinished(const QString& error);
    // The save of saveLast() is done.
    void lastSaveFinished(const QString& error);

private:
    using Snapshot = std::shared_ptr<const SettingsSnapshot>;
    enum class Kind { Background, Last, LastWaited };
    struct Job {
        Snapshot snapshot;
        FileLocation file;
        quint64 generation = 0;
        Kind kind = Kind::Background;
    };
    bool queueLast(const SettingsView& view, const ReadingState& state, const FileLocation& file,
                   Kind kind);
    void queue(Job job);
    void writeQueued();
    void finished(quint64 generation, Kind kind, const QString& error);

    QThreadPool m_writer;
    Snapshot m_asked;         // the last snapshot queued; interface thread only
    quint64 m_generation = 0; // bumped by saveLast(): older results are dropped
    std::atomic<int> m_progress{0};
    QMutex m_mutex;               // guards what follows
    Snapshot m_written;           // the last snapshot written successfully
    std::optional<Job> m_waiting; // behind the one being written
    Snapshot m_running;           // being written; its kind and generation may change
    Kind m_runningKind = Kind::Background;
    quint64 m_runningGeneration = 0;
    bool m_draining = false; // a task of m_writer takes the waiting jobs
    QString m_lastError;     // of the last save waited for by save()
};
