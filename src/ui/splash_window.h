#pragma once

#include "ui/small_window.h"

class QLabel;
class StateProgressBar;

// The splash shown while a stored book is loaded: progress and the time
// left. Visible from its creation (the program shows it).
class SplashWindow : public SmallWindow {
    Q_OBJECT
public:
    explicit SplashWindow(QWidget* parent = nullptr);

    StateProgressBar* progressBar;
    QLabel* titleLabel;
    QLabel* explanationLabel;
    QLabel* waitLabel;
    QLabel* timeLeftLabel;
};
