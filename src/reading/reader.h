#pragma once

#include "platform/time_format.h"
#include "platform/user_files.h"
#include "reading/preparation_runner.h"
#include "reading/reading_state.h"
#include "reading/timer.h"
#include "reading/view_controls.h"

#include <QObject>

#include <functional>
#include <optional>

class Clock;
class Hotkeys;
class MessageBoxes;
class MainWindow;
class ClosingDialog;
class WordLibrary;

// The handlers of the main window's reading controls and its three timers:
// Start, the word and statistics ticks, pause, jump back, restart, the speed
// list and the shortcut keys. The cutting of the text and the controls of the
// display's look have classes of their own, owned here.
class Reader : public QObject {
    Q_OBJECT
public:
    struct Services {
        MessageBoxes& boxes;
        Hotkeys& hotkeys;
        const Clock& clock;
        TimeFormat timeFormat;
        FileLocation library; // "library.txt"
    };

    Reader(MainWindow& window, ClosingDialog& closing, ReadingState& state, WordLibrary& library,
           Services services, QObject* parent = nullptr);

    Timer wordTimer{1000};
    Timer statisticsTimer{1000};
    Timer libraryTimer{30000}; // saves the word library while reading

    // Asked by the preparation after every slice: true once the closing
    // dialog's kill button has been pressed.
    void setStopRequest(std::function<bool()> stopRequested) {
        m_preparation.stopRequested = std::move(stopRequested);
    }
    bool preparing() const { return m_preparation.running(); }
    // Where Start begins the text, given whether the text box still holds the
    // text of the last Start or of the restored book (unedited). Unset: the
    // same text keeps the position and another begins at 0.
    std::function<int(bool sameText)> startPlace;
    ViewControls& view() { return m_view; }

    // Cuts the text box's text and starts the word timer.
    void start();
    // The word timer's tick: shows the entry at the reading position, sets how
    // long it stays and moves on, or ends reading after the last entry.
    void showNextWord();
    // The statistics timer's tick: reading time, entries read, measured speed
    // and the progress bar.
    void updateStatistics();
    void saveLibraryPeriodically();
    void togglePause();
    // The same for a close, which keeps the main window from input: the rest
    // of a text still being cut is not taken at once (takeRestOfText() comes
    // before the window takes input again).
    void togglePauseForClose();
    void takeRestOfText();
    void jumpBack();
    void restart();
    void textEdited();
    void selectAllText();
    void speedChosen();
    // Takes the text box's text as the book the reading position belongs to
    // (after a stored book has been restored into it). A later Start keeps
    // the position only for this text, or for the text of the last Start.
    // `startTextHash`, when known, is the hash of that text as Start cuts it.
    void takeTextAsBook(std::optional<size_t> startTextHash = std::nullopt);
    // One of the six playback keys, by its id (see Hotkeys). Space and Enter
    // pause and resume; when there is nothing to pause they press Start,
    // unless the focus is on the text box, the speed list or the
    // learning-mode box.
    void playbackKey(int id);
    // The program became, or stopped being, the active application.
    void takeKeys();
    void releaseKeys();

    // Loading and saving the word library, with their failure messages.
    void loadLibrary();
    void saveLibrary();

    // The pause button's two captions.
    static QString pauseCaption() { return QStringLiteral("Пауза [пробел]"); }
    static QString resumeCaption() { return QStringLiteral("Продолжить [пробел]"); }

    // The step of the jump back, in entries, for the speed list's index.
    static int jumpBackStep(int speedIndex);

Q_SIGNALS:
    // Restart ("Начать с начала") put the position back to 0.
    void restarted();
    // The words stopped: reading was paused or reached the end of the text.
    void stopped();
    // Words began, or stopped, running: Start and resume, or pause, the end
    // of the text and the jump back's pause.
    void wordsRunningChanged(bool running);

private:
    // What tells the book apart from another text: its length in the text
    // box, and a hash of the text as Start cuts it, taken only when needed
    // (the word sequence holds that text once the book has been started).
    struct BookMark {
        int characters = -1;
        std::optional<size_t> hash;
    };
    bool textIsBook();
    size_t hashOfText() const;
    void connectControls();
    void showEntry(int i);
    void toggle(bool takeRestOfText);
    void endReading();
    void setWordsRunning(bool on);
    // Start enabled, pause disabled, the keys released: after an edit and a restart.
    void allowStart();
    // Whether the focus is on a control that takes Space and Enter itself.
    bool focusTakesSpaceAndEnter() const;
    qint64 timeOfDayMs() const;

    MainWindow& m_window;
    ReadingState& m_state;
    WordLibrary& m_library;
    Services m_services;
    PreparationRunner m_preparation;
    ViewControls m_view;
    BookMark m_book;           // the text the reading position belongs to
    bool m_textEdited = false; // the text box changed since m_book was taken
};
