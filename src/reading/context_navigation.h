#pragma once

#include "reading/reading_context.h"

#include <QObject>
#include <QPoint>

#include <functional>

class MainWindow;
class QAction;
class Reader;
struct ReadingState;

// The paused reading position made visible and movable: while words are
// stopped (a pause, the end of the text) the display field shows the word at
// the position (for a pause entry the word before it) and the context panel
// the text around it; a click on a word of the panel, Left and Right (one
// word) and Ctrl+Left (the start of the sentence, then of the one before)
// move the position there, still paused. Resuming reads on from it.
//
// Nothing here runs while words run: the panel is laid out when it opens and
// when the position leaves the stretch of text it shows.
class ContextNavigation : public QObject {
    Q_OBJECT
public:
    // The room the panel asks for under the speed row, less where the screen
    // is too small (but never below minimumRoom).
    static constexpr int panelRoom = 236;
    static constexpr int minimumRoom = 120;

    ContextNavigation(MainWindow& window, ReadingState& state, Reader& reader,
                      QObject* parent = nullptr);

    // Asked before the panel opens: true keeps it closed (the program ends).
    std::function<bool()> keptClosed;

    bool isOpen() const { return m_open; }
    // Shows the position in the display field and the panel; refreshes both
    // when already open.
    void open();
    void close();
    // The word entry the display field and the panel show; -1 when closed.
    int shownEntry() const { return m_open ? m_span.current : -1; }
    const ContextSpan& span() const { return m_span; }

    // The position moved to the word entry `entry`, shown at once.
    void moveTo(int entry);
    // One word entry forward (+1) or back (-1) from the word shown.
    void stepWord(int direction);
    // To the start of the shown word's sentence, or of the sentence before.
    void stepToSentenceStart();
    // A click on the character `index` of the panel's text.
    void panelClicked(qsizetype index);

Q_SIGNALS:
    // The reader moved the position to the word entry `entry` from the panel
    // or by a stepping key.
    void moved(int entry);

private:
    void show(int entry);
    void giveRoom(bool room);
    void addKey(QAction*& action, const QKeySequence& key, const std::function<void()>& step);
    bool textBoxHasFocus() const;

    MainWindow& m_window;
    ReadingState& m_state;
    Reader& m_reader;
    ContextSpan m_span;
    bool m_open = false;
    QAction* m_left = nullptr;
    QAction* m_right = nullptr;
    QAction* m_sentence = nullptr;
    // Where the window stood before it moved to make room on the screen, and
    // where it went; it goes back when the room is given up, unless moved.
    QPoint m_before;
    QPoint m_movedTo;
    bool m_moved = false;
};
