// The save on pause: a snapshot queued for a worker thread, left out when
// nothing changed since the last save, tried again after a failure, and the
// save at the end skipped when the background save already wrote the same.
// Saves asked for while one is written are merged into one.
#include "platform/atomic_save.h"
#include "reading/preparation.h"
#include "storage/ini_file.h"
#include "storage/memory_settings_view.h"
#include "storage/settings_saver.h"

#include <QFile>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestSettingsSaver : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void savesOnlyWhatChanged_data();
    void savesOnlyWhatChanged();
    void queuedSavesAreMerged_data();
    void queuedSavesAreMerged();
};

void TestSettingsSaver::savesOnlyWhatChanged_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("queued");
    QTest::newRow("nothing") << u"nothing"_qs << false;
    QTest::newRow("position") << u"position"_qs << true;
    QTest::newRow("speed") << u"speed"_qs << true;
    QTest::newRow("learning mode") << u"study"_qs << true;
    QTest::newRow("progress colour") << u"colour"_qs << true;
    QTest::newRow("entry count") << u"count"_qs << true;
    QTest::newRow("the same text cut again") << u"recut"_qs << true;
    QTest::newRow("nothing, but the last save failed") << u"failed"_qs << true;
}

void TestSettingsSaver::savesOnlyWhatChanged() {
    QFETCH(QString, change);
    QFETCH(bool, queued);
    QTemporaryDir dir;
    const bool failing = change == u"failed";
    // A file where the folder should be makes every save fail.
    QFile blocker(dir.filePath(u"blocker"_qs));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const FileLocation file{(failing ? blocker.fileName() : dir.path()) + u"/kestrix.ini"_qs, {}};
    const QString text = u"Раз два три. Четыре пять шесть!\nСемь восемь девять десять."_qs;
    MemorySettingsView view;
    ReadingState state;
    state.entryCount = cutWhole(state.words, text);
    state.position = 3;

    SettingsSaver saver;
    QStringList results;
    connect(&saver, &SettingsSaver::saveFinished, this,
            [&](const QString& error) { results.append(error); });
    QVERIFY(saver.saveInBackground(view, state, file));
    saver.waitForSaves();
    QTRY_COMPARE_WITH_TIMEOUT(results.size(), 1, 30000);
    QCOMPARE(results[0].isEmpty(), !failing);

    if (change == u"position")
        ++state.position;
    else if (change == u"speed")
        view.speed = 9;
    else if (change == u"study")
        view.study = true;
    else if (change == u"colour")
        view.progress = ProgressState::Paused;
    else if (change == u"count")
        --state.entryCount;
    else if (change == u"recut")
        cutWhole(state.words, QString(text.constData(), text.size()));
    QCOMPARE(saver.saveInBackground(view, state, file), queued);
    saver.waitForSaves();
    if (failing)
        return;
    // The file holds what a save of the current state writes.
    ReadingState copy = state;
    saveSettings(view, copy, dir.filePath(u"expected.ini"_qs));
    QCOMPARE(fileBytes(file.path), fileBytes(dir.filePath(u"expected.ini"_qs)));

    // The save at the end writes only what the background saves did not.
    QVERIFY(QFile::remove(file.path));
    QCOMPARE(saver.save(view, state, file), QString());
    QVERIFY(!QFile::exists(file.path));
    ++state.position;
    QCOMPARE(saver.save(view, state, file), QString());
    QVERIFY(QFile::exists(file.path));
}

void TestSettingsSaver::queuedSavesAreMerged_data() {
    QTest::addColumn<bool>("closing");
    QTest::newRow("pauses: one waits, with the newest state") << false;
    QTest::newRow("the close after them: waits for the running one only") << true;
}

void TestSettingsSaver::queuedSavesAreMerged() {
    QFETCH(bool, closing);
    QTemporaryDir dir;
    const FileLocation file{dir.filePath(u"kestrix.ini"_qs), {}};
    MemorySettingsView view;
    ReadingState state;
    state.entryCount = cutWhole(state.words, u"Раз два три. Четыре пять шесть семь восемь."_qs);
    // The first save is held as it begins until five more were asked for.
    QSemaphore entered;
    QSemaphore open;
    std::atomic<int> written{0};
    const SaveFaultHook hook([&](SaveStep step) {
        if (step == SaveStep::Create && written.load() == 0 && entered.available() == 0) {
            entered.release();
            open.tryAcquire(1, 60000);
        }
        if (step == SaveStep::Rename)
            ++written;
        return 0;
    });
    SettingsSaver saver;
    QSignalSpy finished(&saver, &SettingsSaver::saveFinished);
    QSignalSpy last(&saver, &SettingsSaver::lastSaveFinished);
    QVERIFY(saver.saveInBackground(view, state, file));
    QVERIFY(entered.tryAcquire(1, 60000));
    for (int i = 0; i < 5; ++i) {
        ++state.position;
        QVERIFY(saver.saveInBackground(view, state, file));
    }
    if (closing) {
        ++state.position;
        QVERIFY(saver.saveLast(view, state, file));
    }
    open.release();
    saver.waitForSaves();
    QCOMPARE(written.load(), 2);
    IniFile ini;
    QVERIFY(ini.load(file.path));
    QCOMPARE(ini.intValue(u"Config", u"TextPosition", -1), state.position);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size() + last.size(), closing ? 1 : 2, 30000);
    QCOMPARE(last.size(), closing ? 1 : 0);
}

QTEST_GUILESS_MAIN(TestSettingsSaver)
#include "tst_settings_saver.moc"
