#pragma once

#include "ui/small_window.h"

class QLabel;
class SpeedButton;
class StateProgressBar;

// `TForm2`, the closing dialog: progress of the text preparation, the time
// left, and the kill and hide buttons. Hidden when created.
class TForm2 : public SmallWindow {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);

    StateProgressBar* ProgressBar1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    SpeedButton* SpeedButton1; // kill
    SpeedButton* SpeedButton2; // hide
    QLabel* Label5;            // time left
};
