#pragma once

#include "ui/display_field.h"

#include <QWidget>

class QAction;
class QCheckBox;
class QCloseEvent;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class ContextPanel;
class FlatButton;
class StateProgressBar;
class StatusBar;
class TextBox;

// The main window, with every control at its designed place. The
// window is passive: the program connects its handlers to the controls'
// signals and to the window's own signals below.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int clientWidth = 356;
    static constexpr int designedHeight = 549;

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The word display and its fonts; see DisplayField.
    void setDisplayFont(DisplayField::Face face, bool small) {
        displayField->setDisplayFont(face, small);
    }
    void showEntry(QStringView left, QChar letter, QStringView rest) {
        displayField->showEntry(left, letter, rest);
    }

    // Moves the window, if needed, so that it lies wholly on its screen's
    // available area (it opens where it was laid out, which a small screen
    // may not reach).
    void keepOnScreen();

    // The text box, the information box and the progress bar take part in
    // the window (shown, in the focus chain, known to screen readers) only in
    // the full view.
    void setFullViewParts(bool shown);

    // Room of `height` pixels under the speed row for the context panel,
    // which is shown in it (0: none, the panel hidden): the window grows by
    // as much and the controls below move down.
    void setContextRoom(int height);
    int contextRoom() const { return m_contextRoom; }
    // The top of the context room; the panel leaves a few pixels to what
    // follows.
    static constexpr int contextTop = 175;
    static constexpr int contextGap = 4;

    DisplayField* displayField;
    QLabel* hiddenSpeedLabel; // "Скорость", hidden under the display field

    // Buttons and the speed row.
    FlatButton* startButton;
    QCheckBox* learningModeBox;
    FlatButton* pauseButton; // pause and resume
    FlatButton* restartButton;
    FlatButton* jumpBackButton;
    FlatButton* viewButton; // compact or full view
    QLabel* speedLabel;
    QComboBox* speedList;
    QLabel* speedUnitLabel;
    FlatButton* faceAButton; // display face A and its size
    FlatButton* faceBButton; // display face B and its size

    TextBox* textBox;
    ContextPanel* contextPanel;

    // The information box: fixed captions on the left, values on the right.
    QGroupBox* informationBox;
    QLabel* readingTimeCaption;
    QLabel* wordsReadCaption;
    QLabel* measuredSpeedCaption;
    QLabel* reservedCaption1;
    QLabel* reservedCaption2;
    QLabel* readingTimeLabel;
    QLabel* wordsReadLabel; // entries read / total
    QLabel* measuredSpeedLabel;
    QLabel* reservedLabel1;
    QLabel* reservedLabel2;

    StateProgressBar* progressBar;
    StatusBar* statusBar;
    // The program's menu, at the right end of the status bar: what is not a
    // reading control (opening a book, the other windows) is chosen here.
    FlatButton* menuButton;
    QMenu* menu;
    // "Главы…" (Ctrl+G): the chapter list.
    QAction* chaptersAction;

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
    // A file was dropped on the window while the text box could be edited.
    void fileDropped(const QString& path);
    // Space (id 32) or Enter (id 13) reached the window: the focused control
    // did not take it (see Hotkeys for the ids). Auto-repeat does not count.
    void playbackKeyPressed(int id);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createButtons();
    void createSpeedRow();
    void createInformationBox();
    void placeMenuButton();
    void createShortcuts();
    // Names and descriptions for screen readers (main_window_names.cpp).
    void nameControls();
    void setTabChain();

    int m_contextRoom = 0;
};
