#pragma once

#include "storage/settings.h"

#include <QStringList>

// A SettingsView that keeps the window's state in plain members: for the probe
// and for tests, which can hook the handlers.
class MemorySettingsView : public SettingsView {
public:
    void releaseHotkeys() override { ++hotkeyReleases; }
    bool studyMode() const override { return study; }
    void setStudyMode(bool on) override {
        if (on == study)
            return;
        study = on;
        studyModeClicked();
    }
    int speedIndex() const override { return speed; }
    void setSpeedIndex(int index) override { speed = index; }
    ProgressState progressState() const override { return progress; }
    void setProgressState(ProgressState state) override { progress = state; }
    void clearText() override { text.clear(); }
    void setText(const QString& t) override {
        text = t;
        ++textSets;
        textChanged();
    }
    void splashShow() override { splashVisible = true; }
    void splashProgress(int maximum, int position) override {
        splashMaximum = maximum;
        splashPosition = position;
    }
    void splashTimeLeft(const QString& t) override { splashTime = t; }
    void splashHide() override { splashVisible = false; }
    void processEvents() override { ++eventRounds; }
    void showMessage(const QString& t) override { messages.append(t); }

    // The handlers that the real window runs; nothing here.
    virtual void studyModeClicked() {}
    virtual void textChanged() {}

    bool study = false;
    int speed = 3;
    ProgressState progress = ProgressState::Normal;
    QString text;
    int textSets = 0;
    int hotkeyReleases = 0;
    bool splashVisible = false;
    int splashMaximum = 0;
    int splashPosition = 0;
    QString splashTime;
    int eventRounds = 0;
    QStringList messages;
};
