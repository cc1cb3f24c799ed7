#pragma once

#include "reading/display_look.h"

#include <QObject>

class MainWindow;
class MessageBoxes;
struct ReadingState;

// The main window's controls that change how reading looks rather than what
// is read: the two display-font buttons, the compact or full view, the
// learning-mode box's one-time explanation and the progress bar's colour.
class ViewControls : public QObject {
    Q_OBJECT
public:
    ViewControls(MainWindow& window, ReadingState& state, MessageBoxes& boxes,
                 QObject* parent = nullptr);

    // Each font button switches the display to its face and toggles its own
    // size (large at first).
    void chooseFaceA();
    void chooseFaceB();
    void toggleView();
    bool isFullView() const;
    // The view and the display's face and size, as they are and as restored.
    DisplayLook look() const;
    void setLook(const DisplayLook& look);
    // Explains the learning mode at the first click of a run.
    void learningModeClicked();
    // Green, yellow, red, green, … at every press on the bar.
    void cycleProgressColour();

private:
    void chooseFace(bool faceA);
    int fullViewHeight() const;

    MainWindow& m_window;
    ReadingState& m_state;
    MessageBoxes& m_boxes;
};
