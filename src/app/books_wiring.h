#pragma once

#include "ui/books_window.h"

#include <QObject>
#include <QPointer>

class MainWindow;
class MessageBoxes;
class ShelfWiring;
struct ShelfBook;

// The "Книги" entry of the program's menu (Ctrl+B) and its window: the shelf's
// books listed, a book opened at its place, an entry removed after a question.
class BooksWiring : public QObject {
    Q_OBJECT
public:
    BooksWiring(MainWindow& window, ShelfWiring& shelf, MessageBoxes& boxes,
                QObject* parent = nullptr);
    ~BooksWiring() override;

    // Lists the books and shows the window.
    void show();
    BooksWindow* window() const { return m_books; }

    // What the window shows of `books`, `now` in milliseconds since 1970.
    static QList<BooksWindow::Row> rowsOf(const QList<ShelfBook>& books);
    // An estimate of the time the rest of a book takes at `wordsPerMinute`.
    static QString timeLeftText(int entries, int position, int wordsPerMinute);

private:
    void refresh();
    void open(const QString& id);
    void remove(const QString& id);

    MainWindow& m_window;
    ShelfWiring& m_shelf;
    MessageBoxes& m_boxes;
    QPointer<BooksWindow> m_books;
};
