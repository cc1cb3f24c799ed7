#pragma once

#include "platform/time_format.h"
#include "reading/reading_state.h"
#include "reading/timer.h"

#include <QObject>

#include <functional>

class Clock;
class Hotkeys;
class MessageBoxes;
class TForm1;
class TForm2;
class WordLibrary;

// The handlers of the main window's reading controls and its three timers:
// Start and the preparation of the text, the word and statistics ticks, pause,
// jump back, restart, the speed list, the shortcut keys, the font and view
// buttons, the learning-mode box and the progress bar's colour.
class Reader : public QObject {
    Q_OBJECT
public:
    struct Services {
        MessageBoxes& boxes;
        Hotkeys& hotkeys;
        const Clock& clock;
        TimeFormat timeFormat;
        QString libraryPath; // "library.txt" in the working directory
    };

    Reader(TForm1& form, TForm2& closing, ReadingState& state, WordLibrary& library,
           Services services, QObject* parent = nullptr);

    Timer Timer1{1000};  // word timer
    Timer Timer2{1000};  // statistics timer
    Timer Timer3{30000}; // library-saving timer

    // Read by the preparation after every slice: true once the closing
    // dialog's kill button has been pressed.
    std::function<bool()> stopRequested;

    bool preparing() const { return m_preparing > 0; }

    void SpeedButton1Click(); // Start
    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();
    void SpeedButton2Click(); // pause toggle
    void SpeedButton3Click(); // jump back
    void SpeedButton7Click(); // restart
    void Memo1Change();
    void Memo1Click();
    void ComboBox1Change();
    void WMHotKey(int id);
    void AppActivate();
    void AppDeactivate();
    void SpeedButton4Click(); // face A
    void SpeedButton5Click(); // face B
    void SpeedButton6Click(); // view
    void CheckBox1Click();
    void ProgressBar1MouseDown();

    // `LoadLib` and `SaveLib` with their failure messages.
    void LoadLib();
    void SaveLib();

    // The pause button's two captions.
    static QString pauseCaption() { return QStringLiteral("Пауза [пробел]"); }
    static QString resumeCaption() { return QStringLiteral("Продолжить [пробел]"); }

    // The step of the jump back, in entries, for the speed list's index.
    static int jumpBackStep(int speedIndex);

private:
    void connectControls();
    void prepare(qsizetype length);
    void showEntry(int i);
    void endReading();
    void fontButtonClick(bool faceA);
    qint64 timeOfDayMs() const;

    TForm1& m_form;
    TForm2& m_closing;
    ReadingState& m_state;
    WordLibrary& m_library;
    Services m_services;
    int m_preparing = 0;      // nesting depth of running preparations
    quint64 m_generation = 0; // bumped by every Start; an older loop gives up
};
