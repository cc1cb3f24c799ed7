#include "app/window_settings_view.h"

#include "platform/hotkeys.h"
#include "platform/message_boxes.h"
#include "ui/main_window.h"
#include "ui/splash_window.h"
#include "ui/state_progress_bar.h"
#include "ui/text_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>

void WindowSettingsView::releaseHotkeys() {
    m_platform.hotkeys.releaseAll();
}

bool WindowSettingsView::studyMode() const {
    return m_program.mainWindow->learningModeBox->isChecked();
}

void WindowSettingsView::setStudyMode(bool on) {
    m_program.mainWindow->learningModeBox->setChecked(on);
}

int WindowSettingsView::speedIndex() const {
    return m_program.mainWindow->speedList->currentIndex();
}

void WindowSettingsView::setSpeedIndex(int index) {
    m_program.mainWindow->speedList->setCurrentIndex(index);
}

ProgressState WindowSettingsView::progressState() const {
    switch (m_program.mainWindow->progressBar->state()) {
    case StateProgressBar::State::Paused:
        return ProgressState::Paused;
    case StateProgressBar::State::Error:
        return ProgressState::Error;
    case StateProgressBar::State::Normal:
        break;
    }
    return ProgressState::Normal;
}

void WindowSettingsView::setProgressState(ProgressState state) {
    StateProgressBar::State s = StateProgressBar::State::Normal;
    if (state == ProgressState::Paused)
        s = StateProgressBar::State::Paused;
    else if (state == ProgressState::Error)
        s = StateProgressBar::State::Error;
    m_program.mainWindow->progressBar->setState(s);
}

void WindowSettingsView::clearText() {
    m_program.mainWindow->textBox->clear();
}

void WindowSettingsView::setText(const QString& text) {
    m_program.mainWindow->textBox->setPlainText(text);
}

void WindowSettingsView::splashShow() {
    if (m_program.splash && !m_program.splash->isVisible())
        m_program.splash->show();
}

void WindowSettingsView::splashProgress(int maximum, int position) {
    if (!m_program.splash)
        return;
    m_program.splash->progressBar->setMaximum(maximum);
    m_program.splash->progressBar->setValue(position);
}

void WindowSettingsView::splashTimeLeft(const QString& text) {
    if (m_program.splash)
        m_program.splash->timeLeftLabel->setText(text);
}

void WindowSettingsView::splashHide() {
    if (m_program.splash)
        m_program.splash->hide();
}

void WindowSettingsView::processEvents() {
    QCoreApplication::processEvents();
}

void WindowSettingsView::showMessage(const QString& text) {
    m_program.boxes().message(m_program.mainWindow, text);
}
