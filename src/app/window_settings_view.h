#pragma once

#include "app/program.h"
#include "storage/settings.h"

#include <QDateTime>

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
    void splashHide() override;
    void processEvents() override;
    void showMessage(const QString& text) override;
    DisplayLook look() const override;
    void setLook(const DisplayLook& look) override;

private:
    // The splash's bar runs over the whole restore: the stored entries take
    // the first part, putting the text into the text box the rest.
    static constexpr int barRange = 1000;
    static constexpr int readShare = 250;
    void showSplashProgress(double value);

    Program& m_program;
    Platform& m_platform;
    QDateTime m_started;
};
