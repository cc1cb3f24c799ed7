#include "app/book_opener.h"

#include "books/book_reader.h"
#include "platform/file_dialog.h"
#include "platform/message_boxes.h"
#include "ui/main_window.h"
#include "ui/text_box.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QProgressDialog>
#include <QTextDocument>

#include <mutex>
#include <thread>

namespace {

// How often the progress window follows the reading.
constexpr int progressEveryMs = 100;
// One turn of putting the text in stops after this time, so that pending
// events get theirs; a piece is sized to take a few milliseconds.
constexpr qint64 turnNs = 8'000'000;
constexpr qint64 pieceNs = 3'000'000;
constexpr qsizetype smallestPiece = 4 * 1024;
constexpr qsizetype largestPiece = 64 * 1024;

// Keeps the reader's input from the main window while a book is being opened:
// clicks, wheel turns and drops on it, and keys anywhere (the playback keys
// included) except Escape, which closes the progress window.
class InputGuard final : public QObject {
public:
    explicit InputGuard(QWidget* window) : m_window(window) { qApp->installEventFilter(this); }
    ~InputGuard() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            return static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop: {
            const auto* widget = qobject_cast<QWidget*>(watched);
            return widget && widget->window() == m_window;
        }
        default:
            return false;
        }
    }

private:
    QWidget* m_window;
};

// Where a piece of `text` from `from` on, about `chars` long, should end: after
// a line feed when there is one, never inside a surrogate pair.
qsizetype pieceEnd(const QString& text, qsizetype from, qsizetype chars) {
    qsizetype end = qMin(text.size(), from + chars);
    if (end == text.size())
        return end;
    const qsizetype lineEnd = text.lastIndexOf(QLatin1Char('\n'), end - 1);
    if (lineEnd >= from + chars / 2)
        return lineEnd + 1;
    if (text.at(end - 1).isHighSurrogate())
        ++end;
    return end;
}

// Grows or shrinks the piece so that one takes about pieceNs.
qsizetype nextPiece(qsizetype chars, qint64 tookNs) {
    if (tookNs < pieceNs / 2)
        return qMin(chars * 2, largestPiece);
    if (tookNs > pieceNs * 2)
        return qMax(chars / 2, smallestPiece);
    return chars;
}

} // namespace

// Where a worker delivers the book it read: to the opener, unless the opener
// gave the reading up (a cancel, or the opener is gone) meanwhile.
struct ReadingRelay {
    std::mutex mutex;
    BookOpener* opener = nullptr;
};

BookOpener::BookOpener(MainWindow& window, MessageBoxes& boxes, FileDialog& fileDialog,
                       QObject* parent)
    : QObject(parent), m_window(window), m_boxes(boxes), m_fileDialog(fileDialog) {
    // In the program's menu, and Ctrl+O anywhere in the main window.
    QAction* openAction = window.menu->addAction(QStringLiteral("Открыть книгу…"));
    openAction->setObjectName(QStringLiteral("openBookAction"));
    openAction->setShortcut(QKeySequence::Open);
    window.addAction(openAction);
    connect(openAction, &QAction::triggered, this, &BookOpener::chooseAndOpen);
    connect(&window, &MainWindow::fileDropped, this, &BookOpener::open);
    connect(&m_progressTimer, &QTimer::timeout, this, &BookOpener::showProgress);
    m_sliceTimer.setSingleShot(true);
    connect(&m_sliceTimer, &QTimer::timeout, this, &BookOpener::placeSlice);
}

BookOpener::~BookOpener() {
    abandonReading();
    if (m_busy)
        QApplication::restoreOverrideCursor();
    delete m_progressWindow;
}

QString BookOpener::fileFilter() {
    return QStringLiteral("Книги (*.txt *.fb2 *.fb2.zip *.epub *.docx *.odt *.pdf *.zip);;"
                          "Все файлы (*)");
}

void BookOpener::chooseAndOpen() {
    if (m_busy || !m_window.textBox->isEnabled())
        return;
    const QString path =
        m_fileDialog.openFile(&m_window, QStringLiteral("Открыть книгу"), fileFilter());
    if (path.isEmpty())
        return;
    // Reading may have been resumed while the dialog was open.
    if (!m_window.textBox->isEnabled()) {
        m_boxes.message(&m_window, QStringLiteral("Книга «") + QFileInfo(path).fileName() +
                                       QStringLiteral("» не открыта: пока идут слова, текст "
                                                      "менять нельзя. Поставьте чтение на "
                                                      "паузу и откройте книгу снова."));
        return;
    }
    open(path);
}

void BookOpener::open(const QString& path) {
    if (m_busy || !m_window.textBox->isEnabled())
        return;
    m_busy = true;
    m_fileName = QFileInfo(path).fileName();
    m_path = QFileInfo(path).absoluteFilePath();
    m_inputGuard = std::make_unique<InputGuard>(&m_window);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    m_progress = std::make_shared<BookProgress>();
    if (progressDelayMs > 0)
        m_progressTimer.start(progressDelayMs);
    else
        showProgress();

    m_relay = std::make_shared<ReadingRelay>();
    m_relay->opener = this;
    // The worker is never waited for: a cancel and the window's close answer
    // at once, whatever call the reading is inside.
    std::thread([relay = m_relay, path, bounds = limits, progress = m_progress, read = readFile] {
        const BookText book = read(path, bounds, *progress);
        const std::lock_guard<std::mutex> lock(relay->mutex);
        if (BookOpener* opener = relay->opener) {
            // Delivered on the interface thread, to the reading that asked.
            QMetaObject::invokeMethod(
                opener,
                [opener, relay, book] {
                    if (opener->m_relay == relay)
                        opener->readingDone(book);
                },
                Qt::QueuedConnection);
        }
    }).detach();
}

// Stops waiting for the worker, which is told to stop too.
void BookOpener::abandonReading() {
    if (m_progress)
        m_progress->cancel();
    if (m_relay) {
        const std::lock_guard<std::mutex> lock(m_relay->mutex);
        m_relay->opener = nullptr;
    }
    m_relay.reset();
}

void BookOpener::cancel() {
    // Once the text is being put in, there is nothing left to cancel.
    if (!m_text.isEmpty() || !m_relay)
        return;
    abandonReading();
    finish();
    Q_EMIT finished(false);
}

void BookOpener::showProgress() {
    if (!m_progressWindow) {
        m_progressWindow = new QProgressDialog(&m_window);
        m_progressWindow->setWindowTitle(QStringLiteral("Kestrix"));
        m_progressWindow->setLabelText(QStringLiteral("Открывается книга «") + m_fileName +
                                       QStringLiteral("»…"));
        m_progressWindow->setCancelButtonText(QStringLiteral("Отмена"));
        m_progressWindow->setRange(0, 1000);
        m_progressWindow->setAutoClose(false);
        m_progressWindow->setAutoReset(false);
        m_progressWindow->setMinimumDuration(0);
        // The cancel button or Escape.
        connect(m_progressWindow, &QProgressDialog::canceled, this, &BookOpener::cancel);
        connect(m_progressWindow, &QDialog::rejected, this, &BookOpener::cancel);
        m_progressWindow->show();
        m_progressTimer.start(progressEveryMs);
    }
    if (m_text.isEmpty()) {
        m_progressWindow->setValue(m_progress->permille());
    } else {
        // Taking the old text out counts as much as putting the book in.
        const qint64 done = m_removing ? m_oldLength - m_cursor.position() : m_oldLength + m_placed;
        m_progressWindow->setValue(static_cast<int>(done * 1000 / (m_oldLength + m_text.size())));
    }
}

void BookOpener::readingDone(const BookText& book) {
    m_relay.reset();
    // Closing the window disables it: the text stays as it is then.
    if (!book.ok() || m_progress->cancelled() || !m_window.textBox->isEnabled()) {
        finish();
        const QString message = bookFailureMessage(m_fileName, book.error);
        if (!message.isEmpty() && m_window.isEnabled())
            m_boxes.message(&m_window, message);
        Q_EMIT finished(false);
        return;
    }
    m_text = book.text;
    m_opened = {m_path, book.format, book.title, book.author, book.text, book.chapters};
    m_damage = bookDamageMessage(m_fileName, book);
    m_placed = 0;
    m_edits = 0;
    m_sliceChars = smallestPiece;
    m_cursor = QTextCursor(m_window.textBox->document());
    m_cursor.movePosition(QTextCursor::End);
    m_oldLength = m_cursor.position();
    m_removing = m_oldLength > 0;
    if (m_progressWindow) {
        m_progressWindow->setCancelButton(nullptr);
        m_progressWindow->setLabelText(QStringLiteral("Книга «") + m_fileName +
                                       QStringLiteral("» помещается в окно…"));
    }
    placeSlice();
}

// The old text goes first, piece by piece from its end, then the book comes
// in piece by piece; all of it is one edit of the text box.
void BookOpener::placeSlice() {
    QElapsedTimer turn;
    turn.start();
    while (turn.nsecsElapsed() < turnNs && (m_removing || m_placed < m_text.size())) {
        QElapsedTimer piece;
        piece.start();
        if (m_edits++ == 0)
            m_cursor.beginEditBlock();
        else
            m_cursor.joinPreviousEditBlock();
        if (m_removing) {
            m_cursor.setPosition(qMax(0, m_cursor.position() - int(m_sliceChars)),
                                 QTextCursor::KeepAnchor);
            m_cursor.removeSelectedText();
            m_removing = m_cursor.position() > 0;
        } else {
            const qsizetype end = pieceEnd(m_text, m_placed, m_sliceChars);
            m_cursor.insertText(m_text.mid(m_placed, end - m_placed));
            m_placed = end;
        }
        m_cursor.endEditBlock();
        m_sliceChars = nextPiece(m_sliceChars, piece.nsecsElapsed());
    }
    if (m_removing || m_placed < m_text.size()) {
        m_sliceTimer.start(0);
        return;
    }
    // The reader sees the book from its beginning.
    m_window.textBox->setTextCursor(QTextCursor(m_window.textBox->document()));
    m_text.clear();
    finish();
    if (!m_damage.isEmpty())
        m_boxes.message(&m_window, std::exchange(m_damage, QString()));
    Q_EMIT finished(true);
}

void BookOpener::finish() {
    m_progressTimer.stop();
    delete m_progressWindow;
    m_inputGuard.reset();
    QApplication::restoreOverrideCursor();
    m_busy = false;
}
