#include "reading/view_controls.h"

#include "platform/message_boxes.h"
#include "reading/reading_state.h"
#include "ui/flat_button.h"
#include "ui/fonts.h"
#include "ui/main_window.h"
#include "ui/state_progress_bar.h"
#include "ui/text_box.h"
#include "ui/window_fit.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QScreen>

#include <utility>

ViewControls::ViewControls(MainWindow& window, ReadingState& state, MessageBoxes& boxes,
                           QObject* parent)
    : QObject(parent), m_window(window), m_state(state), m_boxes(boxes) {
    connect(m_window.faceAButton, &FlatButton::clicked, this, &ViewControls::chooseFaceA);
    connect(m_window.faceBButton, &FlatButton::clicked, this, &ViewControls::chooseFaceB);
    connect(m_window.viewButton, &FlatButton::clicked, this, &ViewControls::toggleView);
    connect(m_window.learningModeBox, &QCheckBox::toggled, this,
            &ViewControls::learningModeClicked);
    connect(m_window.progressBar, &StateProgressBar::mousePressed, this,
            &ViewControls::cycleProgressColour);
}

void ViewControls::chooseFace(bool faceA) {
    FlatButton* button = faceA ? m_window.faceAButton : m_window.faceBButton;
    // The button's own caption-font height carries its size state.
    const bool small = button->captionFontHeight() == 10;
    button->setCaptionFontHeight(small ? 16 : 10);
    m_window.displayField->setDisplayFont(faceA ? DisplayField::Face::A : DisplayField::Face::B,
                                          small);
}

void ViewControls::chooseFaceA() {
    chooseFace(true);
}

void ViewControls::chooseFaceB() {
    chooseFace(false);
}

// Only the height changes: the width stays as the user made it. The context
// panel's room, while it is shown, comes on top of either view.
void ViewControls::toggleView() {
    const int room = m_window.contextRoom();
    if (isFullView()) {
        m_window.setFullViewParts(false);
        m_window.resize(m_window.width(), fonts::scaled(200) + room);
        m_window.viewButton->setText(QStringLiteral("- -"));
    } else {
        const int height = fullViewHeight();
        // What the screen cannot hold is taken from the text box; the
        // information box and the progress bar move up by as much.
        const int shorter = fonts::scaled(555) - height;
        m_window.textBox->setGeometry(
            fonts::scaled(QRect(24, 184, 314, 237)).adjusted(0, room, 0, room - shorter));
        m_window.informationBox->move(fonts::scaled(24), fonts::scaled(427) + room - shorter);
        m_window.progressBar->move(fonts::scaled(24), fonts::scaled(502) + room - shorter);
        m_window.resize(m_window.width(), height + room);
        m_window.setFullViewParts(true);
        m_window.keepOnScreen();
        m_window.viewButton->setText(QStringLiteral("^^"));
    }
}

// A window on Wayland cannot be moved into the screen, so it is made to fit
// where it stands; elsewhere keepOnScreen() moves it, and it is made to fit
// only a screen lower than the whole window (a large scale, a small screen).
int ViewControls::fullViewHeight() const {
    const QScreen* screen = m_window.screen();
    if (!screen)
        return fonts::scaled(555);
    // Before the window is framed its frame is unknown: a usual title bar.
    const int frame = m_window.frameGeometry().height() - m_window.height();
    const QRect area = screen->availableGeometry();
    const int top = QGuiApplication::platformName().startsWith(u"wayland")
                        ? qMax(m_window.frameGeometry().top(), area.top())
                        : area.top();
    return fittedFullHeight(fonts::scaled(555), area.bottom() + 1 - top, frame > 0 ? frame : 32,
                            fonts::scaled(237), fonts::scaled(60));
}

bool ViewControls::isFullView() const {
    return m_window.viewButton->text() == QStringLiteral("^^");
}

DisplayLook ViewControls::look() const {
    const DisplayField* field = m_window.displayField;
    return {isFullView(), field->face() == DisplayField::Face::A, field->isSmall()};
}

void ViewControls::setLook(const DisplayLook& look) {
    if (look.fullView != isFullView())
        toggleView();
    // The chosen button's next press gives the other size; the other button
    // keeps its own state.
    FlatButton* button = look.faceA ? m_window.faceAButton : m_window.faceBButton;
    button->setCaptionFontHeight(look.small ? 16 : 10);
    m_window.displayField->setDisplayFont(
        look.faceA ? DisplayField::Face::A : DisplayField::Face::B, look.small);
}

void ViewControls::learningModeClicked() {
    // Cleared before the box is shown: a key that reaches the box again
    // while it is open does not open another.
    if (std::exchange(m_state.explainLearningMode, false)) {
        m_boxes.message(
            &m_window,
            QStringLiteral(
                "Режим обучения. При включеном режиме, слова, которые отображаются в первый "
                "раз - будут показаны чуть дольше. По началу это будет немного неудобно, но по "
                "мере наполнения вашего со Kestrix словарного запаса - эта функция будет очень "
                "полезна. Редкие слова, а так же названия и имена собственные воспринимаются "
                "сложнее. Дополнительное время на распознование слова поможет избежать этой "
                "проблемы."));
    }
}

void ViewControls::cycleProgressColour() {
    using State = StateProgressBar::State;
    StateProgressBar* bar = m_window.progressBar;
    switch (bar->state()) {
    case State::Error:
        bar->setState(State::Normal);
        break;
    case State::Paused:
        bar->setState(State::Error);
        break;
    case State::Normal:
        bar->setState(State::Paused);
        break;
    }
}
