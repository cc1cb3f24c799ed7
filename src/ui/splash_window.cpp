#include "ui/splash_window.h"

#include "ui/state_progress_bar.h"

#include <QLabel>

SplashWindow::SplashWindow(QWidget* parent)
    : SmallWindow(QStringLiteral("Form3"), QSize(197, 195), parent) {
    setObjectName(QStringLiteral("splash"));
    setAccessibleName(QStringLiteral("Загрузка книги"));
    progressBar = new StateProgressBar(this);
    progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBar->setGeometry(8, 141, 177, 41);
    titleLabel = addLabel("titleLabel", {8, 8, 177, 17}, QStringLiteral("Загрузка книги."));
    explanationLabel =
        addLabel("explanationLabel", {8, 28, 177, 42},
                 QStringLiteral("Ваша книга, которую Вы читали в прошлый раз, загружается "
                                "в программу."));
    waitLabel =
        addLabel("waitLabel", {8, 95, 177, 18}, QStringLiteral("Придется немного подождать."));
    timeLeftLabel = addLabel("timeLeftLabel", {8, 119, 177, 20}, QStringLiteral("00:00:01"));
}
