#include "ui/chapters_window.h"

#include <QDialogButtonBox>
#include <QFont>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

ChaptersWindow::ChaptersWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("chaptersWindow"));
    setWindowTitle(QStringLiteral("Главы"));
    // Modal to the main window: the arrows, Enter and Space are the list's
    // while it is open, not the playback keys.
    setWindowModality(Qt::WindowModal);
    list = new QListWidget(this);
    list->setObjectName(QStringLiteral("chaptersList"));
    list->setUniformItemSizes(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setAccessibleName(QStringLiteral("Главы книги"));
    emptyLabel = new QLabel(this);
    emptyLabel->setObjectName(QStringLiteral("chaptersEmpty"));
    emptyLabel->setWordWrap(true);
    emptyLabel->setAlignment(Qt::AlignCenter);
    emptyLabel->hide();
    auto* buttons = new QDialogButtonBox(this);
    goButton = buttons->addButton(QStringLiteral("Перейти"), QDialogButtonBox::AcceptRole);
    goButton->setObjectName(QStringLiteral("chaptersGo"));
    buttons->addButton(QStringLiteral("Закрыть"), QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(list);
    layout->addWidget(emptyLabel, 1);
    layout->addWidget(buttons);
    resize(420, 460);
    connect(buttons, &QDialogButtonBox::accepted, this, &ChaptersWindow::choose);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list, &QListWidget::itemActivated, this, &ChaptersWindow::choose);
}

void ChaptersWindow::setRows(const QList<Row>& rows, int current) {
    list->clear();
    emptyLabel->hide();
    list->show();
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const bool here = i == current;
        auto* item = new QListWidgetItem(
            (here ? QStringLiteral("▶ ") : QStringLiteral("    ")) +
                QStringLiteral("%1 %   ").arg(rows[i].percent, 3, 10, QChar(0x2007)) +
                rows[i].title,
            list);
        item->setToolTip(rows[i].title);
        if (here) {
            QFont bold = item->font();
            bold.setBold(true);
            item->setFont(bold);
            item->setData(Qt::AccessibleDescriptionRole, QStringLiteral("читается сейчас"));
        }
    }
    goButton->setEnabled(!rows.isEmpty());
    if (!rows.isEmpty()) {
        list->setCurrentRow(qBound(0, current, static_cast<int>(rows.size()) - 1));
        list->scrollToItem(list->currentItem(), QAbstractItemView::PositionAtCenter);
    }
    list->setFocus();
}

void ChaptersWindow::setEmptyText(const QString& text) {
    list->clear();
    list->hide();
    emptyLabel->setText(text);
    emptyLabel->show();
    goButton->setEnabled(false);
}

void ChaptersWindow::choose() {
    const int row = list->currentRow();
    if (list->isHidden() || row < 0)
        return;
    // Closed once the key that chose has gone its way: while the window is
    // modal that key is the window's, never a playback key.
    QMetaObject::invokeMethod(
        this,
        [this, row] {
            if (!isVisible())
                return;
            accept();
            Q_EMIT chapterChosen(row);
        },
        Qt::QueuedConnection);
}
