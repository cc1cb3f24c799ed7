#include "ui/main_window.h"

#include "ui/fonts.h"
#include "ui/speed_button.h"
#include "ui/state_progress_bar.h"
#include "ui/status_bar.h"
#include "ui/text_box.h"
#include "ui/welcome_text.h"
#include "ui/word_label.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

namespace {

template <typename Widget> Widget* named(Widget* widget, const char* name, QRect geometry) {
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    return widget;
}

// A label sized to its text from `topLeft`, the way the designer's
// auto-sized labels are; its text is always plain.
QLabel* textLabel(QWidget* parent, const char* name, QPoint topLeft, const QString& text,
                  int minWidth = 0) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->move(topLeft);
    label->resize(qMax(minWidth, label->sizeHint().width()), 13);
    return label;
}

SpeedButton* button(QWidget* parent, const char* name, QRect geometry, const QString& caption,
                    const QFont& font, int height) {
    return named(new SpeedButton(caption, font, height, parent), name, geometry);
}

} // namespace

TForm1::TForm1(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Kestrix"));
    setFont(fonts::tahoma(13));
    resize(clientWidth, designedHeight);
    move(710, 214);

    // Created first so that the display field covers it.
    Label7 = textLabel(this, "Label7", {98, 26}, QStringLiteral("Скорость"), 48);

    Panel4 = new DisplayField(this);
    Panel1 = Panel4->Panel1;
    Panel2 = Panel4->Panel2;
    Panel3 = Panel4->Panel3;
    Panel5 = Panel4->Panel5;
    Panel6 = Panel4->Panel6;
    Label1 = Panel4->Label1;
    Label2 = Panel4->Label2;
    Label3 = Panel4->Label3;

    createButtons();
    createSpeedRow();

    Memo1 = named(new TextBox(this), "Memo1", {24, 184, 314, 237});
    Memo1->setFont(fonts::tahoma(-11));
    Memo1->setPlainText(welcomeText());

    createInformationBox();

    ProgressBar1 = named(new StateProgressBar(this), "ProgressBar1", {24, 502, 314, 13});
    ProgressBar1->setHint(QStringLiteral("Клик для смены цвета"));

    StatusBar1 = new StatusBar(this);
    StatusBar1->setPanelText(1, QStringLiteral("v.2.1.4"));

    setTabOrder(Memo1, ComboBox1);
    setTabOrder(ComboBox1, CheckBox1);
}

TForm1::~TForm1() {
    Q_EMIT destroying();
}

void TForm1::createButtons() {
    const QFont small = fonts::tahoma(-11);
    const QFont window = font();
    SpeedButton1 =
        button(this, "SpeedButton1", {24, 69, 129, 33}, QStringLiteral("Поехали"), small, -11);

    CheckBox1 = named(new QCheckBox(this), "CheckBox1", {175, 78, 20, 17});
    CheckBox1->setToolTip(QStringLiteral("Режим обучения. Каждое слово, которое показывается "
                                         "впервый раз - отображается увеличенное время. "));

    SpeedButton2 = button(this, "SpeedButton2", {209, 69, 129, 33},
                          QStringLiteral("Пауза [пробел]"), window, 13);
    SpeedButton2->setToolTip(QStringLiteral("\"Пробел\" чтобы остановить\\продолжить."));
    SpeedButton2->setEnabled(false);

    SpeedButton7 = button(this, "SpeedButton7", {24, 108, 150, 33},
                          QStringLiteral("Начать с начала"), window, 13);
    SpeedButton3 = button(this, "SpeedButton3", {188, 108, 150, 33},
                          QStringLiteral("Вернуться на 5 сек. назад"), window, 13);
}

void TForm1::createSpeedRow() {
    const QFont small = fonts::tahoma(-11);
    SpeedButton6 =
        button(this, "SpeedButton6", {24, 147, 42, 22}, QStringLiteral("- -"), small, -11);

    Label9 = textLabel(this, "Label9", {74, 150}, QStringLiteral("Скорость"), 48);
    Label9->setFont(small);

    ComboBox1 = named(new QComboBox(this), "ComboBox1", {125, 148, 49, 21});
    ComboBox1->setFont(small);
    ComboBox1->setEditable(false);
    for (int wpm = 150; wpm <= 1000; wpm += 50) {
        ComboBox1->addItem(QString::number(wpm) + QLatin1Char('\t'));
    }
    ComboBox1->setCurrentIndex(3);

    Label8 = textLabel(this, "Label8", {179, 150}, QStringLiteral("слов в минуту [+/-]"), 98);
    Label8->setFont(small);

    SpeedButton4 = button(this, "SpeedButton4", {286, 147, 23, 22}, QStringLiteral("A"),
                          fonts::display(fonts::DisplayFace::A, 16), 16);
    SpeedButton4->setToolTip(QStringLiteral("Большой\\маленький шрифт типа А"));

    QFont faceB = fonts::display(fonts::DisplayFace::B, 16);
    faceB.setBold(true);
    SpeedButton5 = button(this, "SpeedButton5", {315, 147, 23, 22}, QStringLiteral("A"), faceB, 16);
    SpeedButton5->setToolTip(QStringLiteral("Большой\\маленький шрифт типа Б"));
}

void TForm1::createInformationBox() {
    GroupBox1 =
        named(new QGroupBox(QStringLiteral("Информация"), this), "GroupBox1", {24, 427, 314, 78});
    GroupBox1->setFont(fonts::tahoma(-11));
    QWidget* box = GroupBox1;
    Label4 = textLabel(box, "Label4", {16, 24}, QStringLiteral("Время чтения: "));
    Label5 = textLabel(box, "Label5", {16, 40}, QStringLiteral("Слов прочитано/всего:"));
    Label10 = textLabel(box, "Label10", {16, 56}, QStringLiteral("Скорость чтения (слов в мин):"));
    Label11 = textLabel(box, "Label11", {16, 94}, QStringLiteral("Зарезервировано:"));
    Label12 = textLabel(box, "Label12", {16, 110}, QStringLiteral("Зарезервировано:"));
    // The values grow to the box's right edge.
    const QString dash = QStringLiteral("-");
    Label13 = textLabel(box, "Label13", {200, 24}, dash, 106);
    Label14 = textLabel(box, "Label14", {200, 40}, dash, 106);
    Label15 = textLabel(box, "Label15", {200, 56}, dash, 106);
    Label16 = textLabel(box, "Label16", {176, 94}, dash, 130);
    Label17 = textLabel(box, "Label17", {176, 110}, dash, 130);
}

void TForm1::closeEvent(QCloseEvent* event) {
    event->accept();
    Q_EMIT closeRequested(event);
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        Q_EMIT shown();
    }
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    StatusBar1->dock();
}

bool TForm1::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate) {
        Q_EMIT deactivated();
    }
    return QWidget::event(event);
}
