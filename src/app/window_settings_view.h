#pragma once

#include "app/program.h"
#include "storage/settings.h"

// loadSettings and saveSettings acting on the main window, the splash and the reader.
class WindowSettingsView final : public SettingsView {
public:
    WindowSettingsView(Program& program, Platform& platform)
        : m_program(program), m_platform(platform) {}

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

private:
    Program& m_program;
    Platform& m_platform;
};
