#pragma once

#include "platform/user_files.h"
#include "storage/settings.h"

#include <QMutex>
#include <QObject>
#include <QThreadPool>

#include <memory>

// Saves the settings and the bookmark while the program runs, off the
// interface thread: the snapshot is taken on the caller's thread (the text is
// shared, the entries copied), the file is written on a worker thread, one
// save at a time in the order asked. A save is left out when the window and the
// reading state still hold what the last save wrote, or was asked to write.
class SettingsSaver final : public QObject {
    Q_OBJECT
public:
    explicit SettingsSaver(QObject* parent = nullptr);
    // Waits for the saves still running.
    ~SettingsSaver() override;

    // Queues a save into `file` of what the window and `state` hold now.
    // Returns whether one was queued: not when nothing changed since the last
    // save asked for, nor when reading was never started in this run.
    bool saveInBackground(const SettingsView& view, const ReadingState& state,
                          const FileLocation& file);
    // For the end of the program: waits for the queued saves, then writes on
    // this thread unless the last save written holds the same. Returns the
    // error's own message text, empty when nothing failed. Results of queued
    // saves not delivered yet are dropped: this save covers them.
    QString save(const SettingsView& view, const ReadingState& state, const FileLocation& file);
    // Blocks until every queued save has been written.
    void waitForSaves();

Q_SIGNALS:
    // One per queued save, in order, in this object's thread; `error` is
    // empty when the save succeeded.
    void saveFinished(const QString& error);

private:
    using Snapshot = std::shared_ptr<const SettingsSnapshot>;
    void finished(quint64 generation, const QString& error);

    QThreadPool m_writer;
    Snapshot m_asked;         // the last snapshot queued; interface thread only
    QMutex m_mutex;           // guards m_written
    Snapshot m_written;       // the last snapshot written successfully
    quint64 m_generation = 0; // bumped by save(): older results are dropped
};
