#include "ui/main_window.h"

#include "ui/context_panel.h"
#include "ui/flat_button.h"
#include "ui/fonts.h"
#include "ui/speed_list.h"
#include "ui/state_progress_bar.h"
#include "ui/status_bar.h"
#include "ui/text_box.h"
#include "ui/welcome_text.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QScreen>

namespace {

template <typename Widget> Widget* named(Widget* widget, const char* name, QRect geometry) {
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(fonts::scaled(geometry));
    return widget;
}

// A label sized to its text from `topLeft`, the way the designer's
// auto-sized labels are; its text is always plain.
QLabel* textLabel(QWidget* parent, const char* name, QPoint topLeft, const QString& text,
                  int minWidth = 0, const QFont* font = nullptr) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    if (font)
        label->setFont(*font);
    label->move(fonts::scaled(topLeft.x()), fonts::scaled(topLeft.y()));
    label->resize(qMax(fonts::scaled(minWidth), label->sizeHint().width()), fonts::scaled(13));
    return label;
}

// The first local file among the dropped data, or an empty string.
QString droppedFile(const QMimeData* data) {
    const QList<QUrl> urls = data ? data->urls() : QList<QUrl>();
    for (const QUrl& url : urls) {
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return {};
}

FlatButton* button(QWidget* parent, const char* name, QRect geometry, const QString& caption,
                   const QFont& font, int height) {
    return named(new FlatButton(caption, font, height, parent), name, geometry);
}

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Kestrix"));
    setFont(fonts::tahoma(fonts::scaled(13)));
    resize(fonts::scaled(clientWidth), fonts::scaled(designedHeight));
    move(710, 214);

    // Created first so that the display field covers it.
    hiddenSpeedLabel =
        textLabel(this, "hiddenSpeedLabel", {98, 26}, QStringLiteral("Скорость"), 48);

    displayField = new DisplayField(this);

    createButtons();
    createSpeedRow();

    textBox = named(new TextBox(this), "textBox", {24, 184, 314, 237});
    textBox->setFont(fonts::tahoma(fonts::scaled(-11)));
    textBox->setPlainText(welcomeText());

    createInformationBox();

    contextPanel = new ContextPanel(this);
    contextPanel->hide();

    progressBar = named(new StateProgressBar(this), "progressBar", {24, 502, 314, 13});
    progressBar->setHint(QStringLiteral("Клик для смены цвета"));

    statusBar = new StatusBar(this);
    statusBar->setPanelText(1, QStringLiteral("v.2.1.4"));
    menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("menu"));
    menuButton = button(this, "menuButton", {}, QStringLiteral("Меню"), fonts::tahoma(-11), -11);
    menuButton->setMenu(menu);
    menuButton->setPopupMode(QToolButton::InstantPopup);
    placeMenuButton();
    chaptersAction = menu->addAction(QStringLiteral("Главы…"));
    chaptersAction->setObjectName(QStringLiteral("chaptersAction"));
    chaptersAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    chaptersAction->setShortcutContext(Qt::WindowShortcut);
    addAction(chaptersAction);

    // Never seen, so never told of.
    for (QLabel* hidden :
         {hiddenSpeedLabel, reservedCaption1, reservedCaption2, reservedLabel1, reservedLabel2})
        hidden->hide();
    createShortcuts();
    setTabChain();
    nameControls();
    setAcceptDrops(true);
}

void MainWindow::createShortcuts() {
    // Each press goes through the control, so that a disabled one does
    // nothing. The keys leave the text box's own editing keys alone.
    const auto shortcut = [this](QAbstractButton* control, const QList<QKeySequence>& keys) {
        auto* action = new QAction(this);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        connect(action, &QAction::triggered, control, &QAbstractButton::click);
    };
    shortcut(startButton, {QKeySequence(Qt::CTRL | Qt::Key_Return),
                           QKeySequence(Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_Enter)});
    shortcut(restartButton, {QKeySequence(Qt::CTRL | Qt::Key_R)});
    shortcut(jumpBackButton, {QKeySequence(Qt::ALT | Qt::Key_Left)});
    shortcut(viewButton, {QKeySequence(Qt::CTRL | Qt::Key_T)});
    shortcut(faceAButton, {QKeySequence(Qt::CTRL | Qt::Key_1)});
    shortcut(faceBButton, {QKeySequence(Qt::CTRL | Qt::Key_2)});
    shortcut(learningModeBox, {QKeySequence(Qt::CTRL | Qt::Key_L)});

    startButton->setToolTip(QStringLiteral("Начать чтение [пробел, Enter, Ctrl+Enter]"));
    pauseButton->setToolTip(pauseButton->toolTip() + QStringLiteral(" [пробел, Enter]"));
    restartButton->setToolTip(QStringLiteral("Начать с начала текста [Ctrl+R]"));
    jumpBackButton->setToolTip(QStringLiteral("Вернуться на 5 секунд назад [Alt+←]"));
    viewButton->setToolTip(QStringLiteral("Показать\\скрыть текст и статистику [Ctrl+T]"));
    faceAButton->setToolTip(faceAButton->toolTip() + QStringLiteral(" [Ctrl+1]"));
    faceBButton->setToolTip(faceBButton->toolTip() + QStringLiteral(" [Ctrl+2]"));
    learningModeBox->setToolTip(learningModeBox->toolTip() + QStringLiteral("[Ctrl+L]"));
    menuButton->setToolTip(QStringLiteral("Меню программы"));
}

// In the order the controls are laid out: row by row, the context panel's
// button (while it is shown), then the text box and the menu.
void MainWindow::setTabChain() {
    const QList<QWidget*> chain{
        startButton, learningModeBox, pauseButton, restartButton, jumpBackButton,
        viewButton,  speedList,       faceAButton, faceBButton,   contextPanel->chaptersButton,
        textBox,     menuButton};
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void MainWindow::setFullViewParts(bool shown) {
    textBox->setVisible(shown);
    informationBox->setVisible(shown);
    progressBar->setVisible(shown);
}

void MainWindow::setContextRoom(int height) {
    height = qMax(height, 0);
    const int by = height - m_contextRoom;
    if (by == 0)
        return;
    m_contextRoom = height;
    for (QWidget* below : {static_cast<QWidget*>(textBox), static_cast<QWidget*>(informationBox),
                           static_cast<QWidget*>(progressBar)})
        below->move(below->x(), below->y() + by);
    if (height > 0)
        contextPanel->setGeometry(24, contextTop, 314, height - contextGap);
    contextPanel->setVisible(height > 0);
    resize(width(), this->height() + by);
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers held = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (held == Qt::NoModifier && (key == Qt::Key_Space || enter)) {
        if (!event->isAutoRepeat())
            Q_EMIT playbackKeyPressed(enter ? 13 : 32);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

MainWindow::~MainWindow() {
    Q_EMIT destroying();
}

void MainWindow::createButtons() {
    const QFont small = fonts::tahoma(fonts::scaled(-11));
    const QFont window = font();
    startButton =
        button(this, "startButton", {24, 69, 129, 33}, QStringLiteral("Поехали"), small, -11);

    learningModeBox = named(new QCheckBox(this), "learningModeBox", {175, 78, 20, 17});
    learningModeBox->setToolTip(QStringLiteral("Режим обучения. Каждое слово, которое показывается "
                                               "впервый раз - отображается увеличенное время. "));

    pauseButton = button(this, "pauseButton", {209, 69, 129, 33}, QStringLiteral("Пауза [пробел]"),
                         window, 13);
    pauseButton->setToolTip(QStringLiteral("\"Пробел\" чтобы остановить\\продолжить."));
    pauseButton->setEnabled(false);

    restartButton = button(this, "restartButton", {24, 108, 150, 33},
                           QStringLiteral("Начать с начала"), window, 13);
    jumpBackButton = button(this, "jumpBackButton", {188, 108, 150, 33},
                            QStringLiteral("Вернуться на 5 сек. назад"), window, 13);
}

void MainWindow::createSpeedRow() {
    const QFont small = fonts::tahoma(fonts::scaled(-11));
    viewButton = button(this, "viewButton", {24, 147, 42, 22}, QStringLiteral("- -"), small, -11);

    // The speed list is wider than designed so that "1000" shows whole with
    // the stand-in fonts; its neighbours move aside by a few pixels.
    speedLabel = textLabel(this, "speedLabel", {72, 150}, QStringLiteral("Скорость"), 48, &small);

    speedList = named(new SpeedList(this), "speedList", {123, 148, 55, 21});
    speedList->setFont(small);
    speedList->setCurrentIndex(3);

    speedUnitLabel = textLabel(this, "speedUnitLabel", {182, 150},
                               QStringLiteral("слов в минуту [+/-]"), 98, &small);

    faceAButton = button(this, "faceAButton", {286, 147, 23, 22}, QStringLiteral("A"),
                         fonts::display(fonts::DisplayFace::A, 16), 16);
    faceAButton->setToolTip(QStringLiteral("Большой\\маленький шрифт типа А"));

    QFont faceB = fonts::display(fonts::DisplayFace::B, 16);
    faceB.setBold(true);
    faceBButton = button(this, "faceBButton", {315, 147, 23, 22}, QStringLiteral("A"), faceB, 16);
    faceBButton->setToolTip(QStringLiteral("Большой\\маленький шрифт типа Б"));
}

void MainWindow::createInformationBox() {
    informationBox = named(new QGroupBox(QStringLiteral("Информация"), this), "informationBox",
                           {24, 427, 314, 78});
    informationBox->setFont(fonts::tahoma(fonts::scaled(-11)));
    QWidget* box = informationBox;
    readingTimeCaption =
        textLabel(box, "readingTimeCaption", {16, 24}, QStringLiteral("Время чтения: "));
    wordsReadCaption =
        textLabel(box, "wordsReadCaption", {16, 40}, QStringLiteral("Слов прочитано/всего:"));
    measuredSpeedCaption = textLabel(box, "measuredSpeedCaption", {16, 56},
                                     QStringLiteral("Скорость чтения (слов в мин):"));
    reservedCaption1 =
        textLabel(box, "reservedCaption1", {16, 94}, QStringLiteral("Зарезервировано:"));
    reservedCaption2 =
        textLabel(box, "reservedCaption2", {16, 110}, QStringLiteral("Зарезервировано:"));
    // The values grow to the box's right edge.
    const QString dash = QStringLiteral("-");
    readingTimeLabel = textLabel(box, "readingTimeLabel", {200, 24}, dash, 106);
    wordsReadLabel = textLabel(box, "wordsReadLabel", {200, 40}, dash, 106);
    measuredSpeedLabel = textLabel(box, "measuredSpeedLabel", {200, 56}, dash, 106);
    reservedLabel1 = textLabel(box, "reservedLabel1", {176, 94}, dash, 130);
    reservedLabel2 = textLabel(box, "reservedLabel2", {176, 110}, dash, 130);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    Q_EMIT closeRequested(event);
}

void MainWindow::keepOnScreen() {
    const QScreen* where = screen();
    if (!where)
        return;
    const QRect area = where->availableGeometry();
    // Before the window manager has framed the window its frame is unknown:
    // room is left for a usual title bar and border.
    const QRect frame = frameGeometry();
    const QSize outer = frame.size() == size() ? size() + QSize(8, 32) : frame.size();
    QPoint to = pos(); // the frame's top left corner
    to.setX(qMax(area.left(), qMin(to.x(), area.left() + area.width() - outer.width())));
    to.setY(qMax(area.top(), qMin(to.y(), area.top() + area.height() - outer.height())));
    if (to != pos())
        move(to);
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        Q_EMIT shown();
    }
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    statusBar->dock();
    placeMenuButton();
}

void MainWindow::placeMenuButton() {
    // Right of the version panel, within the status bar's height.
    menuButton->setGeometry(fonts::scaled(302), statusBar->y() + 1, fonts::scaled(52),
                            statusBar->height() - 2);
    menuButton->raise();
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate) {
        Q_EMIT deactivated();
    }
    return QWidget::event(event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (textBox->isEnabled() && !droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
    if (textBox->isEnabled() && !droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QString path = droppedFile(event->mimeData());
    if (!textBox->isEnabled() || path.isEmpty())
        return;
    event->acceptProposedAction();
    Q_EMIT fileDropped(path);
}
