#pragma once

#include "ui/small_window.h"

class QLabel;
class FlatButton;
class StateProgressBar;

// The closing dialog: progress of the text preparation, the time left, and
// the kill and hide buttons. Hidden when created.
class ClosingDialog : public SmallWindow {
    Q_OBJECT
public:
    explicit ClosingDialog(QWidget* parent = nullptr);

    StateProgressBar* progressBar;
    QLabel* titleLabel;
    QLabel* autoCloseLabel;
    QLabel* killHintLabel;
    QLabel* hideHintLabel;
    FlatButton* killButton; // stops the preparation
    FlatButton* hideButton; // hides both windows
    QLabel* timeLeftLabel;
    // What the program saves at its end, on a line below the bar; hidden
    // until then.
    QLabel* savingLabel;

    // The last saves run: `what` is shown on the saving line, the window grown
    // to hold it.
    void showSaving(const QString& what);
};
