#include "ui/context_panel.h"
#include "ui/flat_button.h"
#include "ui/main_window.h"
#include "ui/state_progress_bar.h"
#include "ui/status_bar.h"
#include "ui/text_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

namespace {

// An empty name leaves the control's own caption as its name.
void describe(QWidget* control, const QString& name, const QString& description = {}) {
    if (!name.isEmpty())
        control->setAccessibleName(name);
    if (!description.isEmpty())
        control->setAccessibleDescription(description);
}

} // namespace

void MainWindow::nameControls() {
    setAccessibleName(QStringLiteral("Kestrix, скорочтение"));
    describe(startButton, {},
             QStringLiteral("Начать чтение текста. Клавиши: пробел, Enter, Ctrl+Enter"));
    describe(pauseButton, {},
             QStringLiteral("Остановить или продолжить чтение. Клавиши: пробел, Enter"));
    describe(restartButton, {}, QStringLiteral("Вернуться к началу текста. Клавиши: Ctrl+R"));
    describe(jumpBackButton, {}, QStringLiteral("Клавиши: Alt+стрелка влево"));
    describe(viewButton, QStringLiteral("Текст и статистика"),
             QStringLiteral("Показать или скрыть текст и статистику. Клавиши: Ctrl+T"));
    describe(faceAButton, QStringLiteral("Шрифт типа А"),
             QStringLiteral("Большой или маленький шрифт типа А. Клавиши: Ctrl+1"));
    describe(faceBButton, QStringLiteral("Шрифт типа Б"),
             QStringLiteral("Большой или маленький шрифт типа Б. Клавиши: Ctrl+2"));
    describe(learningModeBox, QStringLiteral("Режим обучения"),
             QStringLiteral("Слова, показанные впервые, показываются дольше. Клавиши: Ctrl+L"));
    describe(speedList, QStringLiteral("Скорость, слов в минуту"),
             QStringLiteral("Быстрее: стрелка вверх или плюс; медленнее: стрелка вниз или минус"));
    speedLabel->setBuddy(speedList);
    describe(textBox, QStringLiteral("Текст для чтения"),
             QStringLiteral("Вставьте сюда текст или откройте книгу: Ctrl+O"));
    describe(informationBox, QStringLiteral("Информация"));
    describe(readingTimeLabel, QStringLiteral("Время чтения"));
    describe(wordsReadLabel, QStringLiteral("Слов прочитано из всего"));
    describe(measuredSpeedLabel, QStringLiteral("Скорость чтения, слов в минуту"));
    describe(progressBar, QStringLiteral("Прочитано"), QStringLiteral("Щелчок меняет цвет полосы"));
    describe(statusBar, QStringLiteral("Строка состояния"),
             QStringLiteral("Щелчок открывает страницу программы"));
    describe(menuButton, QStringLiteral("Меню"), QStringLiteral("Открыть книгу и другие окна"));
    describe(contextPanel, QStringLiteral("Текст вокруг слова"),
             QStringLiteral("Щелчок по слову продолжает чтение с него; стрелки влево и вправо — "
                            "на слово, Ctrl+стрелка влево — к началу предложения"));
    describe(contextPanel->chaptersButton, {}, QStringLiteral("Список глав. Клавиши: Ctrl+G"));
    describe(displayField, QStringLiteral("Слово"),
             QStringLiteral("Показываемое слово; красная буква стоит между метками"));
}
