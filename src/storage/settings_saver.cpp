#include "storage/settings_saver.h"

#include <QMetaObject>

namespace {

// Whether `snapshot` holds what a snapshot taken now would hold. The text is
// compared by identity: the snapshot keeps its text alive, and the reading
// state's text is only changed after detaching from it, so the same data at
// the same size is the same text, cut into the same entries.
bool stillHolds(const SettingsSnapshot& snapshot, const SettingsView& view,
                const ReadingState& state) {
    const SettingsRecord& r = snapshot.record;
    return r.studyMode == view.studyMode() && r.progress == view.progressState() &&
           r.speedIndex == view.speedIndex() && r.entryCount == state.entryCount &&
           r.position == state.position && r.look == view.look() &&
           snapshot.words.written() == state.words.written() &&
           snapshot.words.text().size() == state.words.text().size() &&
           snapshot.words.text().constData() == state.words.text().constData();
}

} // namespace

SettingsSaver::SettingsSaver(QObject* parent) : QObject(parent) {
    m_writer.setMaxThreadCount(1);
}

SettingsSaver::~SettingsSaver() {
    waitForSaves();
}

bool SettingsSaver::saveInBackground(const SettingsView& view, const ReadingState& state,
                                     const FileLocation& file) {
    if (m_asked && stillHolds(*m_asked, view, state))
        return false;
    std::optional<SettingsSnapshot> taken = takeSettingsSnapshot(view, state);
    if (!taken)
        return false;
    m_asked = std::make_shared<const SettingsSnapshot>(std::move(*taken));
    const QMutexLocker lock(&m_mutex);
    queue({m_asked, file, m_generation, Kind::Background});
    return true;
}

bool SettingsSaver::saveLast(const SettingsView& view, const ReadingState& state,
                             const FileLocation& file) {
    return queueLast(view, state, file, Kind::Last);
}

QString SettingsSaver::save(const SettingsView& view, const ReadingState& state,
                            const FileLocation& file) {
    if (!queueLast(view, state, file, Kind::LastWaited))
        return {};
    waitForSaves();
    const QMutexLocker lock(&m_mutex);
    return m_lastError;
}

bool SettingsSaver::queueLast(const SettingsView& view, const ReadingState& state,
                              const FileLocation& file, Kind kind) {
    ++m_generation;
    m_asked.reset();
    const QMutexLocker lock(&m_mutex);
    m_waiting.reset();
    if (m_running && stillHolds(*m_running, view, state)) {
        // The save being written is the last one.
        m_runningKind = kind;
        m_runningGeneration = m_generation;
        return true;
    }
    if (!m_running && m_written && stillHolds(*m_written, view, state))
        return false;
    std::optional<SettingsSnapshot> taken = takeSettingsSnapshot(view, state);
    if (!taken)
        return false;
    queue({std::make_shared<const SettingsSnapshot>(std::move(*taken)), file, m_generation, kind});
    return true;
}

void SettingsSaver::queue(Job job) {
    // Called with m_mutex held. A save still waiting gives way to this newer one.
    m_waiting = std::move(job);
    if (!m_draining) {
        m_draining = true;
        m_writer.start([this] { writeQueued(); });
    }
}

void SettingsSaver::writeQueued() {
    for (;;) {
        Job job;
        {
            const QMutexLocker lock(&m_mutex);
            if (!m_waiting) {
                m_draining = false;
                return;
            }
            job = std::move(*m_waiting);
            m_waiting.reset();
            m_running = job.snapshot;
            m_runningKind = job.kind;
            m_runningGeneration = job.generation;
            m_progress.store(0);
        }
        // A file kept from saves is left alone, which counts as success.
        if (!job.file.keptFromSaves())
            makeFolderFor(job.file.path);
        const QString error = writeSettings(job.file.path, job.snapshot->record,
                                            job.snapshot->words, job.file.readPath(),
                                            [this](int permille) { m_progress.store(permille); });
        m_progress.store(1000);
        Kind kind;
        quint64 generation;
        {
            const QMutexLocker lock(&m_mutex);
            if (error.isEmpty())
                m_written = job.snapshot;
            m_running.reset();
            kind = m_runningKind;
            generation = m_runningGeneration;
            if (kind == Kind::LastWaited)
                m_lastError = error;
        }
        if (kind != Kind::LastWaited) {
            QMetaObject::invokeMethod(
                this, [this, generation, kind, error] { finished(generation, kind, error); },
                Qt::QueuedConnection);
        }
    }
}

void SettingsSaver::finished(quint64 generation, Kind kind, const QString& error) {
    if (generation != m_generation)
        return;
    if (kind == Kind::Last) {
        Q_EMIT lastSaveFinished(error);
        return;
    }
    // The next pause tries again.
    if (!error.isEmpty())
        m_asked.reset();
    Q_EMIT saveFinished(error);
}

void SettingsSaver::waitForSaves() {
    m_writer.waitForDone();
}
