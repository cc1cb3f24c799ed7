#pragma once

#include "platform/time_format.h"

#include <QEventLoop>
#include <QObject>
#include <QString>

#include <functional>

class Clock;
class ClosingDialog;
class SettingsSaver;
class SettingsView;
class WordLibrary;
struct FileLocation;
struct ReadingState;

// The program's last saves under the closing dialog. Each runs on its
// worker while this thread turns events, so that the dialog stays painted
// and its buttons answer; the dialog says what is being saved, and its bar
// and its time left follow the save.
class FinalSave {
public:
    FinalSave(ClosingDialog& dialog, const Clock& clock, TimeFormat timeFormat);

    // The word library into `file`, unless it is kept from saves. Returns
    // why the save failed, or an empty string.
    QString saveLibrary(WordLibrary& library, const FileLocation& file);
    // The settings and the bookmark into `file`, unless nothing changed since
    // they were last saved. Returns why the save failed, or an empty string;
    // for a file kept from saves, which is left alone, why this run's book
    // and bookmark are not saved (when reading was started).
    QString saveSettings(SettingsSaver& saver, const SettingsView& view, const ReadingState& state,
                         const FileLocation& file);

    // The texts of the saving line.
    static QString libraryText() { return QStringLiteral("Сохранение словаря…"); }
    static QString settingsText() { return QStringLiteral("Сохранение книги и закладки…"); }

private:
    // Shows `what` and turns events until `sender` emits `finished` (with
    // the save's error, empty on success), which is returned; `progress`
    // (thousandths) is read for the bar and the time left meanwhile.
    template <typename Sender>
    QString wait(const QString& what, const Sender* sender,
                 void (Sender::*finished)(const QString&), const std::function<int()>& progress) {
        QString result;
        QEventLoop loop;
        const QMetaObject::Connection connection =
            QObject::connect(sender, finished, &loop, [&](const QString& error) {
                result = error;
                loop.quit();
            });
        turnEvents(loop, what, progress);
        QObject::disconnect(connection);
        return result;
    }
    void turnEvents(QEventLoop& loop, const QString& what, const std::function<int()>& progress);
    void show(int permille, qint64 elapsedMs);

    ClosingDialog& m_dialog;
    const Clock& m_clock;
    TimeFormat m_timeFormat;
};
