#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QLabel;
class QListWidget;
class QPushButton;

// The "Главы" window: the chapters of the book with where each begins in per
// cent, the current one marked and chosen. Enter, a double click or "Перейти"
// asks to go to the chosen chapter and closes the window; Escape closes it.
// A book without chapters gets a line that says so. The window is modal
// to its parent, so the playback keys leave it its keys.
class ChaptersWindow : public QDialog {
    Q_OBJECT
public:
    struct Row {
        QString title;
        int percent = 0;
    };

    explicit ChaptersWindow(QWidget* parent = nullptr);

    // `current`: the row of the chapter being read, -1 for none.
    void setRows(const QList<Row>& rows, int current);
    // An explanation instead of the list (no chapters, no text yet).
    void setEmptyText(const QString& text);

    QListWidget* list = nullptr;
    QLabel* emptyLabel = nullptr;
    QPushButton* goButton = nullptr;

Q_SIGNALS:
    // The reader chose the chapter of row `row`.
    void chapterChosen(int row);

private:
    void choose();
};
