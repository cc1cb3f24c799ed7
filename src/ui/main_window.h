#pragma once

#include "ui/display_field.h"

#include <QWidget>

class QCheckBox;
class QCloseEvent;
class QComboBox;
class QGroupBox;
class QLabel;
class SpeedButton;
class StateProgressBar;
class StatusBar;
class TextBox;
class WordLabel;

// `TForm1`, the main window, with every control at its designed place. The
// window is passive: the program connects its handlers to the controls'
// signals and to the window's own signals below.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    static constexpr int clientWidth = 356;
    static constexpr int designedHeight = 549;

    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // The display field (`Panel4`) and its fonts; see DisplayField.
    DisplayField* displayField() const { return Panel4; }
    void setDisplayFont(DisplayField::Face face, bool small) {
        Panel4->setDisplayFont(face, small);
    }
    void showEntry(QStringView left, QChar letter, QStringView rest) {
        Panel4->showEntry(left, letter, rest);
    }

    // The display field.
    DisplayField* Panel4;
    QFrame* Panel1;
    QFrame* Panel2;
    QFrame* Panel3;
    QFrame* Panel5;
    QFrame* Panel6;
    WordLabel* Label1;
    WordLabel* Label2;
    WordLabel* Label3;
    QLabel* Label7; // "Скорость" hidden under the display field

    // Buttons and the speed row.
    SpeedButton* SpeedButton1; // start
    QCheckBox* CheckBox1;      // learning mode
    SpeedButton* SpeedButton2; // pause and resume
    SpeedButton* SpeedButton7; // restart
    SpeedButton* SpeedButton3; // jump back
    SpeedButton* SpeedButton6; // compact or full view
    QLabel* Label9;
    QComboBox* ComboBox1; // speed
    QLabel* Label8;
    SpeedButton* SpeedButton4; // display face A
    SpeedButton* SpeedButton5; // display face B

    TextBox* Memo1;

    // The information box: fixed texts on the left, values on the right.
    QGroupBox* GroupBox1;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label10;
    QLabel* Label11;
    QLabel* Label12;
    QLabel* Label13; // reading time
    QLabel* Label14; // entries read / total
    QLabel* Label15; // measured speed
    QLabel* Label16;
    QLabel* Label17;

    StateProgressBar* ProgressBar1;
    StatusBar* StatusBar1;

Q_SIGNALS:
    // The window is asked to close; the event is accepted unless a handler
    // ignores it.
    void closeRequested(QCloseEvent* event);
    // Another window of the program became the active window.
    void deactivated();
    // The window is being shown (also when shown again after hiding).
    void shown();
    // The window is being destroyed; every control still exists.
    void destroying();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    void createButtons();
    void createSpeedRow();
    void createInformationBox();
};
