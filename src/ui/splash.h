#pragma once

#include "ui/small_window.h"

class QLabel;
class StateProgressBar;

// `TForm3`, the splash shown while a stored book is loaded: progress and the
// time left. Visible from its creation (the program shows it).
class TForm3 : public SmallWindow {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);

    StateProgressBar* ProgressBar1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label4;
    QLabel* Label5; // time left
};
