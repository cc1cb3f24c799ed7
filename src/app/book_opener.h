#pragma once

#include "books/book_limits.h"
#include "books/book_reader.h"
#include "books/book_text.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTextCursor>
#include <QTimer>

#include <functional>
#include <memory>

class FileDialog;
class MainWindow;
class MessageBoxes;
class QProgressDialog;
struct ReadingRelay;

// Opens book files into the main window's text box: Ctrl+O (a file dialog),
// a file dropped on the window, or a path from the command line. The file is
// read on a worker thread; a reading that takes more than a moment shows a
// progress window that can cancel it. The text then arrives in the text box
// the way a paste does: it replaces the whole text as one edit that Ctrl+Z
// takes back, and the text box's change handling runs. It is put in piece by
// piece so that no pending event waits long behind a whole novel. A file that
// cannot be opened gets a message and changes nothing.
class BookOpener : public QObject {
    Q_OBJECT
public:
    BookOpener(MainWindow& window, MessageBoxes& boxes, FileDialog& fileDialog,
               QObject* parent = nullptr);
    // Cancels a reading in progress without waiting for the worker: it stops
    // on its own, and what it read is dropped.
    ~BookOpener() override;

    // Asks for a file and opens it (Ctrl+O).
    void chooseAndOpen();
    // Opens the file at `path`. Does nothing while another book is being
    // opened or while the text box cannot be edited (words are running).
    void open(const QString& path);
    bool busy() const { return m_busy; }

    // The book last placed in the text box: its file and what it says of itself.
    struct OpenedBook {
        QString path; // absolute
        QString format;
        QString title;
        QString author;
        QString text;                // as the text box received it
        QList<ChapterMark> chapters; // offsets into `text`
    };
    const OpenedBook& opened() const { return m_opened; }

    // The bounds for the files opened from now on.
    BookLimits limits;
    // How long a reading goes on before its progress window shows.
    int progressDelayMs = 400;
    // Reads a book file on the worker thread.
    std::function<BookText(const QString&, const BookLimits&, BookProgress&)> readFile =
        readBookFile;

    // The file types the file dialog offers.
    static QString fileFilter();

Q_SIGNALS:
    // An opening is over: the book is in the text box, or it was refused or
    // cancelled.
    void finished(bool placed);

private:
    void readingDone(const BookText& book);
    void cancel();
    void abandonReading();
    void placeSlice();
    void finish();
    void showProgress();

    MainWindow& m_window;
    MessageBoxes& m_boxes;
    FileDialog& m_fileDialog;
    bool m_busy = false;
    QString m_fileName;
    QString m_path;
    OpenedBook m_opened;
    std::shared_ptr<BookProgress> m_progress;
    std::shared_ptr<ReadingRelay> m_relay; // to the worker reading now
    QString m_damage;                      // the message on a book read only in part
    QPointer<QProgressDialog> m_progressWindow;
    QTimer m_progressTimer;
    std::unique_ptr<QObject> m_inputGuard;

    // The text being put into the text box, and how far it got.
    QString m_text;
    qsizetype m_placed = 0;
    qsizetype m_sliceChars = 0;
    qint64 m_oldLength = 0;
    bool m_removing = false; // the old text is still being taken out
    int m_edits = 0;
    QTextCursor m_cursor;
    QTimer m_sliceTimer;
};
