#pragma once

#include "app/program.h"
#include "storage/settings.h"

#include <QDateTime>
#include <QElapsedTimer>

// loadSettings and saveSettings acting on the main window, the splash and the reader.
class WindowSettingsView final : public SettingsView {
public:
    WindowSettingsView(Program& program, Platform& platform);

    void releaseHotkeys() override;
    bool studyMode() const override;
    void setStudyMode(bool on) override;
    int speedIndex() const override;
    void setSpeedIndex(int index) override;
    ProgressState progressState() const override;
    void setProgressState(ProgressState state) override;
    void clearText() override;
    void setText(const QString& text) override;
    void splashShow() override;
    void splashProgress(int maximum, int position) override;
    void splashTimeLeft(const QString& text) override;
    void splashFileProgress(int permille) override;
    void splashHide() override;
    void processEvents() override;
    bool restoreStopped() const override;
    void showMessage(const QString& text) override;
    DisplayLook look() const override;
    void setLook(const DisplayLook& look) override;

private:
    // The splash's bar runs over the whole restore: reading and parsing the
    // file take the first part, the stored entries the next, putting the
    // text into the text box the rest.
    static constexpr int barRange = 1000;
    static constexpr int fileShare = 150;
    static constexpr int readShare = 300;
    void showSplashProgress(double value);
    // Lets pending events run, at most once in a short while.
    void letEventsRun();

    Program& m_program;
    Platform& m_platform;
    QDateTime m_started;
    QElapsedTimer m_sinceEvents;
};
