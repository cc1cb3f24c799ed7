#include "app/window_conf_view.h"

#include "platform/hotkeys.h"
#include "platform/message_boxes.h"
#include "ui/main_window.h"
#include "ui/splash.h"
#include "ui/state_progress_bar.h"
#include "ui/text_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>

void WindowConfView::releaseHotkeys() {
    m_platform.hotkeys.releaseAll();
}

bool WindowConfView::studyMode() const {
    return m_program.Form1->CheckBox1->isChecked();
}

void WindowConfView::setStudyMode(bool on) {
    m_program.Form1->CheckBox1->setChecked(on);
}

int WindowConfView::speedIndex() const {
    return m_program.Form1->ComboBox1->currentIndex();
}

void WindowConfView::setSpeedIndex(int index) {
    m_program.Form1->ComboBox1->setCurrentIndex(index);
}

ProgressState WindowConfView::progressState() const {
    switch (m_program.Form1->ProgressBar1->state()) {
    case StateProgressBar::State::Paused:
        return ProgressState::Paused;
    case StateProgressBar::State::Error:
        return ProgressState::Error;
    case StateProgressBar::State::Normal:
        break;
    }
    return ProgressState::Normal;
}

void WindowConfView::setProgressState(ProgressState state) {
    StateProgressBar::State s = StateProgressBar::State::Normal;
    if (state == ProgressState::Paused)
        s = StateProgressBar::State::Paused;
    else if (state == ProgressState::Error)
        s = StateProgressBar::State::Error;
    m_program.Form1->ProgressBar1->setState(s);
}

void WindowConfView::clearText() {
    m_program.Form1->Memo1->clear();
}

void WindowConfView::setText(const QString& text) {
    m_program.Form1->Memo1->setPlainText(text);
}

void WindowConfView::splashShow() {
    if (m_program.Form3 && !m_program.Form3->isVisible())
        m_program.Form3->show();
}

void WindowConfView::splashProgress(int maximum, int position) {
    if (!m_program.Form3)
        return;
    m_program.Form3->ProgressBar1->setMaximum(maximum);
    m_program.Form3->ProgressBar1->setValue(position);
}

void WindowConfView::splashTimeLeft(const QString& text) {
    if (m_program.Form3)
        m_program.Form3->Label5->setText(text);
}

void WindowConfView::splashHide() {
    if (m_program.Form3)
        m_program.Form3->hide();
}

void WindowConfView::processEvents() {
    QCoreApplication::processEvents();
}

void WindowConfView::showMessage(const QString& text) {
    m_platform.boxes.message(m_program.Form1, text);
}
