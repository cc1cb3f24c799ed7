#include "ui/books_window.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column { Title, Author, Progress, TimeLeft, LastRead, Columns };

} // namespace

BooksWindow::BooksWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("booksWindow"));
    setWindowTitle(QStringLiteral("Книги"));
    list = new QTreeWidget(this);
    list->setObjectName(QStringLiteral("booksList"));
    list->setColumnCount(Columns);
    list->setHeaderLabels({QStringLiteral("Название"), QStringLiteral("Автор"),
                           QStringLiteral("Прочитано"), QStringLiteral("Осталось"),
                           QStringLiteral("Последнее чтение")});
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->header()->setSectionResizeMode(Title, QHeaderView::Stretch);
    list->header()->setStretchLastSection(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(list);
    resize(720, 400);
    connect(list, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (item != nullptr)
            Q_EMIT openRequested(item->data(Title, Qt::UserRole).toString());
    });
    list->installEventFilter(this);
}

void BooksWindow::setRows(const QList<Row>& rows) {
    list->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(rows.size());
    for (const Row& r : rows) {
        auto* item = new QTreeWidgetItem(
            QStringList{r.title, r.author, QString::number(r.percent) + QLatin1String(" %"),
                        r.timeLeft, r.lastRead});
        item->setData(Title, Qt::UserRole, r.id);
        item->setTextAlignment(Progress, Qt::AlignRight | Qt::AlignVCenter);
        items.append(item);
    }
    list->addTopLevelItems(items);
    if (!items.isEmpty())
        list->setCurrentItem(items.first());
}

QString BooksWindow::selectedId() const {
    const QTreeWidgetItem* item = list->currentItem();
    return item == nullptr ? QString() : item->data(Title, Qt::UserRole).toString();
}

bool BooksWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != list || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    const QString id = selectedId();
    if (id.isEmpty())
        return false;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        Q_EMIT openRequested(id);
        return true;
    }
    if (key == Qt::Key_Delete) {
        Q_EMIT removeRequested(id);
        return true;
    }
    return false;
}
