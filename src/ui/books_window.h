#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QTreeWidget;

// The "Книги" window: the books of the shelf, most recently read first, with
// their progress, the time left at their speed and when they were last read.
// Enter or a double click asks to open a book, Delete to remove it.
class BooksWindow : public QDialog {
    Q_OBJECT
public:
    struct Row {
        QString id; // the book's fingerprint
        QString title;
        QString author;
        int percent = 0;
        QString timeLeft;
        QString lastRead;
    };

    explicit BooksWindow(QWidget* parent = nullptr);

    void setRows(const QList<Row>& rows);
    // The id of the selected book, or empty.
    QString selectedId() const;
    QTreeWidget* list = nullptr;

Q_SIGNALS:
    void openRequested(const QString& id);
    void removeRequested(const QString& id);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
