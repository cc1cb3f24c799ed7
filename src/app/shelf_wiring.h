#pragma once

#include "reading/book_identity.h"
#include "shelf/session_recorder.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class BookOpener;
class Clock;
class MainWindow;
class MessageBoxes;
class Reader;
class ShelfWorker;
struct ReadingState;
struct ShelfBook;

// Ties the reading to the bookshelf: a text started whose book is on the
// shelf goes on at the book's place; every book started is put on the shelf;
// while words run its place is written every few seconds (and at a pause,
// the end of the text, a restart and every ending) on the shelf's worker,
// so that a crash loses seconds of reading. Without a usable shelf the
// reading keeps the old rule: the same text keeps the position. Each stretch
// of running words is a reading session on the shelf, written at its end and
// with every place written while it runs.
class ShelfWiring : public QObject {
    Q_OBJECT
public:
    // `shelfPath` empty: no shelf.
    ShelfWiring(const QString& shelfPath, MainWindow& window, ReadingState& state, Reader& reader,
                BookOpener& opener, MessageBoxes& boxes, const Clock& clock,
                QObject* parent = nullptr);
    ~ShelfWiring() override;

    // After the stored book was restored from the settings file at
    // `settingsPath`: the book's place on the shelf wins when it was saved
    // later than that file. Says once why a shelf cannot be used.
    void restored(const QString& settingsPath);
    // Writes the place of the book being read now, and the session running
    // (queued on the worker).
    void savePlace();
    // Waits until the writes asked for are done.
    void waitForWrites();
    // Opens the book `book` of the shelf at its place: re-read from its file
    // when the file still holds the same book. Says in Russian why not.
    void openBook(const ShelfBook& book);

    // Null when there is no usable shelf.
    ShelfWorker* shelf() { return m_shelf.get(); }
    const QString& currentBook() const { return m_current; }

    // Longest stretch of reading between two writes of the place.
    static constexpr int saveIntervalMs = 5000;
    QTimer saveTimer;

private:
    int placeAtStart(bool sameText);
    void tellFailure(const QString& error, bool opening);
    int wordsPerMinute() const;
    void wordsRunning(bool running);

    MainWindow& m_window;
    ReadingState& m_state;
    Reader& m_reader;
    BookOpener& m_opener;
    MessageBoxes& m_boxes;
    std::unique_ptr<ShelfWorker> m_shelf;
    QString m_current;      // the fingerprint of the book being read
    bool m_onShelf = false; // whether m_current has its entry on the shelf
    WordCounter m_counter;
    SessionRecorder m_sessions;
    // A place found at Start, as word entries before it: the first count in
    // the sequence Start cuts goes on from there.
    struct Seed {
        bool valid = false;
        quint64 before = 0; // the generation of the sequence before that Start
        int position = 0;
        int words = 0;
    } m_seed;
    int m_openedRevision = -1; // the text box's revision when a book file was placed
    bool m_told = false;
};

// A title for a text that names none: its first words, at most 60 characters.
QString titleFromText(QStringView startText);
