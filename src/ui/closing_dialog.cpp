#include "ui/closing_dialog.h"

#include "ui/speed_button.h"
#include "ui/state_progress_bar.h"

#include <QLabel>

TForm2::TForm2(QWidget* parent)
    : SmallWindow(QStringLiteral("Анализ в процессе"), QSize(195, 262), parent) {
    setObjectName(QStringLiteral("Form2"));
    ProgressBar1 = new StateProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(10, 213, 177, 41);
    Label1 = addLabel("Label1", {8, 8, 177, 17}, QStringLiteral("Анализ текста в процессе."));
    Label2 = addLabel("Label2", {8, 28, 177, 34},
                      QStringLiteral("По завершению работы программа закроется автоматически."));
    Label3 = addLabel(
        "Label3", {8, 60, 179, 59},
        QStringLiteral("Можно убить приложение (в таком случае закладки не сохранятся!)"), 35);
    Label4 = addLabel("Label4", {8, 95, 177, 59},
                      QStringLiteral("Или скрыть приложение, позволив ему незаметно завершить "
                                     "свою работу [предпочтительно]"));
    SpeedButton1 = new SpeedButton(QStringLiteral("Убить"), font(), -11, this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setGeometry(10, 160, 79, 31);
    SpeedButton2 = new SpeedButton(QStringLiteral("Скрыть"), font(), -11, this);
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));
    SpeedButton2->setGeometry(112, 160, 75, 31);
    Label5 = addLabel("Label5", {8, 197, 177, 20}, QStringLiteral("00:00:01"));
}
