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
           r.position == state.position && snapshot.words.written() == state.words.written() &&
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
    m_writer.start([this, snapshot = m_asked, file, generation = m_generation] {
        // A file kept from saves is left alone, which counts as success.
        if (!file.keptFromSaves())
            makeFolderFor(file.path);
        const QString error =
            writeSettings(file.path, snapshot->record, snapshot->words, file.readPath());
        if (error.isEmpty()) {
            const QMutexLocker lock(&m_mutex);
            m_written = snapshot;
        }
        QMetaObject::invokeMethod(
            this, [this, generation, error] { finished(generation, error); }, Qt::QueuedConnection);
    });
    return true;
}

void SettingsSaver::finished(quint64 generation, const QString& error) {
    if (generation != m_generation)
        return;
    // The next pause tries again.
    if (!error.isEmpty())
        m_asked.reset();
    Q_EMIT saveFinished(error);
}

QString SettingsSaver::save(const SettingsView& view, const ReadingState& state,
                            const FileLocation& file) {
    waitForSaves();
    ++m_generation;
    m_asked.reset();
    {
        const QMutexLocker lock(&m_mutex);
        if (m_written && stillHolds(*m_written, view, state))
            return {};
    }
    std::optional<SettingsSnapshot> taken = takeSettingsSnapshot(view, state);
    if (!taken)
        return {};
    if (!file.keptFromSaves())
        makeFolderFor(file.path);
    const QString error = writeSettings(file.path, taken->record, taken->words, file.readPath());
    if (error.isEmpty()) {
        const QMutexLocker lock(&m_mutex);
        m_written = std::make_shared<const SettingsSnapshot>(std::move(*taken));
    }
    return error;
}

void SettingsSaver::waitForSaves() {
    m_writer.waitForDone();
}
