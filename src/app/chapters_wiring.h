#pragma once

#include "books/book_text.h"
#include "reading/chapters.h"
#include "reading/time_left.h"
#include "reading/time_left_text.h"
#include "reading/word_sequence.h"
#include "ui/chapters_window.h"

#include <QObject>
#include <QPointer>

class BookOpener;
class MainWindow;
class Reader;
class ShelfWiring;
struct ReadingState;

// The chapters of the book being read and the time left in it.
//
// A book's chapters are known as entries of the sequence Start cuts from its
// text: from the book file's own marks when the text is still the one the
// file gave (and then kept on the bookshelf), else from the bookshelf (a
// book restored at start-up, a text pasted again), else from the headings of
// the text itself. Before the first Start, and while a text is being cut, the
// text box's text is cut aside when the chapters are asked for.
//
// The chapter list ("Главы…", Ctrl+G) moves the reading position to the
// first entry of the chapter chosen, paused. The time left to the end of the
// chapter and of the book shows in the information box's caption; it is
// counted again at the statistics tick, a pause, a speed change and a move,
// never at a word tick.
class ChaptersWiring : public QObject {
    Q_OBJECT
public:
    ChaptersWiring(MainWindow& window, ReadingState& state, Reader& reader, BookOpener& opener,
                   ShelfWiring& shelf, QObject* parent = nullptr);
    ~ChaptersWiring() override;

    // The chapters of the text being read (or of the text box's text before
    // the first Start).
    const QList<Chapter>& chapters();
    // Lists the chapters and shows the window.
    void show();
    // Moves the reading position to `entry`, paused.
    void goTo(int entry);
    ChaptersWindow* window() const { return m_list; }

    // Counts the time left again and shows it; returns the line for the
    // context panel (empty while there is nothing to count).
    QString refreshTimeLeft();
    const QString& timeLeftText() const { return m_timeLeftText; }

Q_SIGNALS:
    // The context panel's line of the time left changed.
    void timeLeftTextChanged(const QString& text);
    // goTo() moved the reading position to `entry`.
    void moved(int entry);

private:
    const WordSequence& subject();
    QList<Chapter> findChapters(const WordSequence& words, bool started);

    MainWindow& m_window;
    ReadingState& m_state;
    Reader& m_reader;
    BookOpener& m_opener;
    ShelfWiring& m_shelf;
    QPointer<ChaptersWindow> m_list;
    // The text box's text cut aside, and the text box's revision it was cut at.
    WordSequence m_aside;
    int m_asideRevision = -1;
    // The chapters found, for the sequence of this generation.
    QList<Chapter> m_chapters;
    quint64 m_chaptersOf = 0;
    // The book file last placed in the text box: the length and hash of its
    // text as Start cuts it, and its chapter marks in that text.
    struct Opened {
        qsizetype length = -1;
        size_t hash = 0;
        QList<ChapterMark> marks;
    } m_opened;
    QList<int> m_listed; // the entries of the chapters the window lists
    PaceProfile m_profile;
    QString m_timeLeftText;
};
