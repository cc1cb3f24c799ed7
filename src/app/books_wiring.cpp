#include "app/books_wiring.h"

#include "app/shelf_wiring.h"
#include "platform/message_boxes.h"
#include "reading/reading_state.h"
#include "shelf/shelf_worker.h"
#include "ui/main_window.h"

#include <QAction>
#include <QDateTime>
#include <QMenu>

BooksWiring::BooksWiring(MainWindow& window, ShelfWiring& shelf, MessageBoxes& boxes,
                         QObject* parent)
    : QObject(parent), m_window(window), m_shelf(shelf), m_boxes(boxes) {
    QAction* action = window.menu->addAction(QStringLiteral("Книги"));
    action->setObjectName(QStringLiteral("booksAction"));
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    window.addAction(action);
    connect(action, &QAction::triggered, this, &BooksWiring::show);
}

BooksWiring::~BooksWiring() {
    delete m_books;
}

QString BooksWiring::timeLeftText(int entries, int position, int wordsPerMinute) {
    const qint64 left = qMax(0, entries - position);
    // The base interval of the speed; pauses and long words add to it about
    // as much as blank entries count here.
    const int interval = baseInterval(qBound(0, (wordsPerMinute - 150) / 50, 17));
    const qint64 minutes = (left * interval + 59999) / 60000;
    if (minutes < 60)
        return QString::number(minutes) + QStringLiteral(" мин");
    return QString::number(minutes / 60) + QStringLiteral(" ч ") + QString::number(minutes % 60) +
           QStringLiteral(" мин");
}

QList<BooksWindow::Row> BooksWiring::rowsOf(const QList<ShelfBook>& books) {
    QList<BooksWindow::Row> rows;
    rows.reserve(books.size());
    for (const ShelfBook& b : books) {
        BooksWindow::Row r;
        r.id = b.fingerprint;
        r.title = b.title.isEmpty() ? QStringLiteral("(без названия)") : b.title;
        r.author = b.author;
        r.percent = b.entries > 0
                        ? int(qBound(qint64(0), qint64(b.position) * 100 / b.entries, qint64(100)))
                        : 0;
        r.timeLeft = timeLeftText(b.entries, b.position, b.speed);
        r.lastRead = b.lastRead > 0 ? QDateTime::fromMSecsSinceEpoch(b.lastRead)
                                          .toString(QStringLiteral("dd.MM.yyyy HH:mm"))
                                    : QString();
        rows.append(r);
    }
    return rows;
}

void BooksWiring::show() {
    if (m_shelf.shelf() == nullptr) {
        m_boxes.message(&m_window, QStringLiteral("Список книг в этом запуске недоступен."));
        return;
    }
    // The place of the book being read is in the list.
    m_shelf.savePlace();
    if (!m_books) {
        m_books = new BooksWindow(&m_window);
        connect(m_books, &BooksWindow::openRequested, this, &BooksWiring::open);
        connect(m_books, &BooksWindow::removeRequested, this, &BooksWiring::remove);
    }
    refresh();
    m_books->show();
    m_books->raise();
    m_books->activateWindow();
}

void BooksWiring::refresh() {
    if (m_books && m_shelf.shelf() != nullptr)
        m_books->setRows(rowsOf(m_shelf.shelf()->recent()));
}

void BooksWiring::open(const QString& id) {
    const std::optional<ShelfBook> book = m_shelf.shelf()->find(id);
    if (!book)
        return;
    m_books->hide();
    m_shelf.openBook(*book);
}

void BooksWiring::remove(const QString& id) {
    const std::optional<ShelfBook> book = m_shelf.shelf()->find(id);
    if (!book)
        return;
    const auto answer =
        m_boxes.show(m_books, QStringLiteral("Kestrix"),
                     QStringLiteral("Убрать книгу «") + book->title +
                         QStringLiteral("» из списка? Место, где вы остановились, забудется."),
                     MessageBoxes::Buttons::OkCancel);
    if (answer != MessageBoxes::Answer::Ok)
        return;
    m_shelf.shelf()->remove(id);
    refresh();
}
