#include "app/window_settings_view.h"

#include "platform/clock.h"
#include "platform/hotkeys.h"
#include "platform/message_boxes.h"
#include "reading/reader.h"
#include "ui/main_window.h"
#include "ui/splash_window.h"
#include "ui/state_progress_bar.h"
#include "ui/text_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>

WindowSettingsView::WindowSettingsView(Program& program, Platform& platform)
    : m_program(program), m_platform(platform), m_started(platform.clock.now()) {}

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
    // A speed outside the list would leave reading halted on its first word:
    // 300 words per minute instead.
    QComboBox* list = m_program.mainWindow->speedList;
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : 3);
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
    // Putting a whole book into the text box takes about as long as reading
    // it from the file: the splash's bar goes on over it.
    m_program.mainWindow->textBox->putText(text, [this](qsizetype done, qsizetype total) {
        showSplashProgress(readShare + (barRange - readShare) * double(done) / double(total));
        letEventsRun();
        return !m_program.closing();
    });
}

void WindowSettingsView::showSplashProgress(double value) {
    if (!m_program.splash)
        return;
    StateProgressBar* bar = m_program.splash->progressBar;
    bar->setMaximum(barRange);
    bar->setValue(qBound(0, int(value), barRange));
    if (value <= 0)
        return;
    const qint64 elapsed = m_started.msecsTo(m_platform.clock.now());
    const qint64 left = qint64(double(elapsed) * (barRange - value) / value);
    m_program.splash->timeLeftLabel->setText(QStringLiteral("Осталось: ") +
                                             m_platform.timeFormat.timeToStr(left));
}

void WindowSettingsView::splashShow() {
    if (m_program.splash && !m_program.splash->isVisible())
        m_program.splash->show();
}

void WindowSettingsView::splashProgress(int maximum, int position) {
    if (maximum > 0)
        showSplashProgress(fileShare +
                           (readShare - fileShare) * double(position) / double(maximum));
}

void WindowSettingsView::splashFileProgress(int permille) {
    splashShow();
    showSplashProgress(fileShare * double(permille) / 1000.0);
    letEventsRun();
}

void WindowSettingsView::splashTimeLeft(const QString&) {
    // The time left is estimated over the whole restore, text box included.
}

void WindowSettingsView::splashHide() {
    if (m_program.splash)
        m_program.splash->hide();
}

void WindowSettingsView::processEvents() {
    letEventsRun();
}

void WindowSettingsView::letEventsRun() {
    // Each turn repaints the splash, which costs a round trip to the display
    // server: a few dozen a second keep it moving.
    constexpr qint64 turnMs = 20;
    if (m_sinceEvents.isValid() && m_sinceEvents.elapsed() < turnMs)
        return;
    QCoreApplication::processEvents();
    m_sinceEvents.start();
}

bool WindowSettingsView::restoreStopped() const {
    return m_program.closing();
}

void WindowSettingsView::showMessage(const QString& text) {
    m_program.boxes().message(m_program.mainWindow, text);
}

DisplayLook WindowSettingsView::look() const {
    return m_program.reader->view().look();
}

void WindowSettingsView::setLook(const DisplayLook& look) {
    m_program.reader->view().setLook(look);
}
