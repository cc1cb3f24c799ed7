#include "ui/closing_dialog.h"

#include "ui/flat_button.h"
#include "ui/state_progress_bar.h"

#include <QLabel>

ClosingDialog::ClosingDialog(QWidget* parent)
    : SmallWindow(QStringLiteral("Анализ в процессе"), QSize(195, 262), parent) {
    setObjectName(QStringLiteral("closingDialog"));
    progressBar = new StateProgressBar(this);
    progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBar->setGeometry(10, 213, 177, 41);
    titleLabel =
        addLabel("titleLabel", {8, 8, 177, 17}, QStringLiteral("Анализ текста в процессе."));
    autoCloseLabel =
        addLabel("autoCloseLabel", {8, 28, 177, 34},
                 QStringLiteral("По завершению работы программа закроется автоматически."));
    killHintLabel = addLabel(
        "killHintLabel", {8, 60, 179, 59},
        QStringLiteral("Можно убить приложение (в таком случае закладки не сохранятся!)"), 35);
    hideHintLabel =
        addLabel("hideHintLabel", {8, 95, 177, 59},
                 QStringLiteral("Или скрыть приложение, позволив ему незаметно завершить "
                                "свою работу [предпочтительно]"));
    killButton = new FlatButton(QStringLiteral("Убить"), font(), -11, this);
    killButton->setObjectName(QStringLiteral("killButton"));
    killButton->setGeometry(10, 160, 79, 31);
    hideButton = new FlatButton(QStringLiteral("Скрыть"), font(), -11, this);
    hideButton->setObjectName(QStringLiteral("hideButton"));
    hideButton->setGeometry(112, 160, 75, 31);
    // The dialog stands above a window that takes no input: it keeps no
    // keyboard focus of its own.
    killButton->setFocusPolicy(Qt::NoFocus);
    hideButton->setFocusPolicy(Qt::NoFocus);
    timeLeftLabel = addLabel("timeLeftLabel", {8, 197, 177, 20}, QStringLiteral("00:00:01"));
    savingLabel = addLabel("savingLabel", {8, 258, 177, 17}, QString());
    savingLabel->hide();
}

void ClosingDialog::showSaving(const QString& what) {
    savingLabel->setText(what);
    savingLabel->show();
    setFixedSize(width(), savingLabel->geometry().bottom() + 8);
}
