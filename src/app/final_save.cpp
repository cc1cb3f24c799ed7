#include "app/final_save.h"

#include "platform/clock.h"
#include "platform/file_errors.h"
#include "platform/user_files.h"
#include "storage/settings_saver.h"
#include "ui/closing_dialog.h"
#include "ui/state_progress_bar.h"
#include "words/library.h"

#include <QLabel>
#include <QTimer>

namespace {

// How often the bar and the time left are refreshed.
constexpr int refreshMs = 50;

} // namespace

FinalSave::FinalSave(ClosingDialog& dialog, const Clock& clock, TimeFormat timeFormat)
    : m_dialog(dialog), m_clock(clock), m_timeFormat(std::move(timeFormat)) {}

QString FinalSave::saveLibrary(WordLibrary& library, const FileLocation& file) {
    if (file.keptFromSaves())
        return {};
    makeFolderFor(file.path);
    library.saveLast(file.path);
    return wait(libraryText(), &library, &WordLibrary::lastSaveFinished,
                [&library] { return library.progress(); });
}

QString FinalSave::saveSettings(SettingsSaver& saver, const SettingsView& view,
                                const ReadingState& state, const FileLocation& file) {
    if (file.keptFromSaves()) {
        // The reader hears that this run's book and bookmark are lost.
        return takeSettingsSnapshot(view, state) ? unreadFileKeptText(file.readPath()) : QString();
    }
    if (!saver.saveLast(view, state, file))
        return {};
    return wait(settingsText(), &saver, &SettingsSaver::lastSaveFinished,
                [&saver] { return saver.progress(); });
}

void FinalSave::turnEvents(QEventLoop& loop, const QString& what,
                           const std::function<int()>& progress) {
    m_dialog.showSaving(what);
    // The analysis is over: its time left no longer holds.
    m_dialog.timeLeftLabel->clear();
    m_dialog.progressBar->setMaximum(1000);
    const QDateTime start = m_clock.now();
    show(0, 0);
    QTimer refresh;
    refresh.setInterval(refreshMs);
    QObject::connect(&refresh, &QTimer::timeout, &loop,
                     [&] { show(progress ? progress() : 0, start.msecsTo(m_clock.now())); });
    refresh.start();
    loop.exec();
    show(1000, 0);
}

void FinalSave::show(int permille, qint64 elapsedMs) {
    m_dialog.progressBar->setValue(qBound(0, permille, 1000));
    if (permille > 0 && permille < 1000 && elapsedMs > 0) {
        const qint64 left = elapsedMs * (1000 - permille) / permille;
        m_dialog.timeLeftLabel->setText(QStringLiteral("Осталось: ") +
                                        m_timeFormat.timeToStr(left));
    }
}
