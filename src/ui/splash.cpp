#include "ui/splash.h"

#include "ui/state_progress_bar.h"

#include <QLabel>

TForm3::TForm3(QWidget* parent) : SmallWindow(QStringLiteral("Form3"), QSize(197, 195), parent) {
    setObjectName(QStringLiteral("Form3"));
    ProgressBar1 = new StateProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(8, 141, 177, 41);
    Label1 = addLabel("Label1", {8, 8, 177, 17}, QStringLiteral("Загрузка книги."));
    Label2 = addLabel("Label2", {8, 28, 177, 42},
                      QStringLiteral("Ваша книга, которую Вы читали в прошлый раз, загружается "
                                     "в программу."));
    Label4 = addLabel("Label4", {8, 95, 177, 18}, QStringLiteral("Придется немного подождать."));
    Label5 = addLabel("Label5", {8, 119, 177, 20}, QStringLiteral("00:00:01"));
}
