#include "picture.h"
#include "ui/main_window.h"
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
#include <QSignalSpy>
#include <QtTest>

class TestMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void controlsHaveTheirNamesKindsAndPlaces_data();
    void controlsHaveTheirNamesKindsAndPlaces();
    void membersAreTheNamedControls();
    void texts_data();
    void texts();
    void speedListHoldsEighteenItemsWithTrailingTab();
    void initialStates();
    void fontButtonsKeepTheirCaptionFontHeight();
    void hintsShownOnlyWhereDesigned();
    void buttonsNeverTakeFocusAndTabOrder();
    void welcomeTextIsElevenLines();
    void compactViewHidesTheLowerControls();
    void reservedRowsAreNeverVisible();
    void statusBarStaysDockedAtTheBottom();
    void labelsShowPlainText();
    void windowSignals();
    void controlSignals();
};

void TestMainWindow::controlsHaveTheirNamesKindsAndPlaces_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QRect>("geometry");
    const auto row = [](const char* name, const char* kind, QRect geometry) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(kind) << geometry;
    };
    row("Panel4", "QFrame", {24, 11, 314, 49});
    row("SpeedButton1", "QToolButton", {24, 69, 129, 33});
    row("CheckBox1", "QCheckBox", {175, 78, 20, 17});
    row("SpeedButton2", "QToolButton", {209, 69, 129, 33});
    row("SpeedButton7", "QToolButton", {24, 108, 150, 33});
    row("SpeedButton3", "QToolButton", {188, 108, 150, 33});
    row("SpeedButton6", "QToolButton", {24, 147, 42, 22});
    row("ComboBox1", "QComboBox", {125, 148, 49, 21});
    row("SpeedButton4", "QToolButton", {286, 147, 23, 22});
    row("SpeedButton5", "QToolButton", {315, 147, 23, 22});
    row("Memo1", "QPlainTextEdit", {24, 184, 314, 237});
    row("GroupBox1", "QGroupBox", {24, 427, 314, 78});
    row("ProgressBar1", "QProgressBar", {24, 502, 314, 13});
    row("StatusBar1", "QFrame", {0, 530, 356, 19});
}

void TestMainWindow::controlsHaveTheirNamesKindsAndPlaces() {
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QRect, geometry);
    TForm1 form;
    const auto found = form.findChildren<QWidget*>(name);
    QCOMPARE(found.size(), 1);
    QVERIFY(found.front()->inherits(kind.toLatin1()));
    QCOMPARE(found.front()->geometry(), geometry);
}

void TestMainWindow::membersAreTheNamedControls() {
    TForm1 form;
    const std::pair<QWidget*, const char*> members[] = {
        {form.Panel1, "Panel1"},
        {form.Panel2, "Panel2"},
        {form.Panel3, "Panel3"},
        {form.Panel4, "Panel4"},
        {form.Panel5, "Panel5"},
        {form.Panel6, "Panel6"},
        {form.Label1, "Label1"},
        {form.Label2, "Label2"},
        {form.Label3, "Label3"},
        {form.Label4, "Label4"},
        {form.Label5, "Label5"},
        {form.Label7, "Label7"},
        {form.Label8, "Label8"},
        {form.Label9, "Label9"},
        {form.Label10, "Label10"},
        {form.Label11, "Label11"},
        {form.Label12, "Label12"},
        {form.Label13, "Label13"},
        {form.Label14, "Label14"},
        {form.Label15, "Label15"},
        {form.Label16, "Label16"},
        {form.Label17, "Label17"},
        {form.SpeedButton1, "SpeedButton1"},
        {form.SpeedButton2, "SpeedButton2"},
        {form.SpeedButton3, "SpeedButton3"},
        {form.SpeedButton4, "SpeedButton4"},
        {form.SpeedButton5, "SpeedButton5"},
        {form.SpeedButton6, "SpeedButton6"},
        {form.SpeedButton7, "SpeedButton7"},
        {form.CheckBox1, "CheckBox1"},
        {form.ComboBox1, "ComboBox1"},
        {form.Memo1, "Memo1"},
        {form.GroupBox1, "GroupBox1"},
        {form.ProgressBar1, "ProgressBar1"},
        {form.StatusBar1, "StatusBar1"},
    };
    for (const auto& [widget, name] : members) {
        QVERIFY2(widget != nullptr, name);
        QCOMPARE(widget->objectName(), QLatin1String(name));
        QVERIFY2(form.isAncestorOf(widget), name);
    }
    // The tick marks lie above every other part of the display field.
    const QObjectList& field = form.Panel4->children();
    QVERIFY(field.indexOf(form.Panel5) > field.indexOf(form.Panel3));
    QVERIFY(field.indexOf(form.Panel6) > field.indexOf(form.Panel3));
    QCOMPARE(form.Panel6->mapTo(&form, QPoint(0, 0)), QPoint(143, 11));
    QCOMPARE(form.Panel5->mapTo(&form, QPoint(0, 0)), QPoint(143, 48));
}

void TestMainWindow::texts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    const auto row = [](const char* name, const QString& text) {
        QTest::newRow(name) << QString::fromLatin1(name) << text;
    };
    row("SpeedButton1", u"Поехали"_qs);
    row("SpeedButton2", u"Пауза [пробел]"_qs);
    row("SpeedButton7", u"Начать с начала"_qs);
    row("SpeedButton3", u"Вернуться на 5 сек. назад"_qs);
    row("SpeedButton6", u"- -"_qs);
    row("SpeedButton4", u"A"_qs);
    row("SpeedButton5", u"A"_qs);
    row("CheckBox1", QString());
    row("Label7", u"Скорость"_qs);
    row("Label9", u"Скорость"_qs);
    row("Label8", u"слов в минуту [+/-]"_qs);
    row("GroupBox1", u"Информация"_qs);
    row("Label4", u"Время чтения: "_qs);
    row("Label5", u"Слов прочитано/всего:"_qs);
    row("Label10", u"Скорость чтения (слов в мин):"_qs);
    row("Label11", u"Зарезервировано:"_qs);
    row("Label12", u"Зарезервировано:"_qs);
    for (const char* value : {"Label13", "Label14", "Label15", "Label16", "Label17"}) {
        row(value, u"-"_qs);
    }
}

void TestMainWindow::texts() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    TForm1 form;
    QWidget* widget = form.findChild<QWidget*>(name);
    QVERIFY(widget != nullptr);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        QCOMPARE(button->text(), text);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        QCOMPARE(label->text(), text);
    } else if (auto* box = qobject_cast<QGroupBox*>(widget)) {
        QCOMPARE(box->title(), text);
    } else {
        QFAIL("no text");
    }
}

void TestMainWindow::speedListHoldsEighteenItemsWithTrailingTab() {
    TForm1 form;
    QCOMPARE(form.ComboBox1->count(), 18);
    for (int i = 0; i < 18; ++i) {
        QCOMPARE(form.ComboBox1->itemText(i), QString::number(150 + 50 * i) + u'\t');
    }
    QCOMPARE(form.ComboBox1->currentIndex(), 3);
    QVERIFY(!form.ComboBox1->isEditable());
}

void TestMainWindow::initialStates() {
    TForm1 form;
    QCOMPARE(form.windowTitle(), u"Kestrix"_qs);
    QCOMPARE(form.size(), QSize(356, 549));
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!form.SpeedButton2->isEnabled());
    for (QWidget* w : std::initializer_list<QWidget*>{
             form.SpeedButton1, form.SpeedButton3, form.SpeedButton4, form.SpeedButton5,
             form.SpeedButton6, form.SpeedButton7, form.Memo1, form.ComboBox1, form.CheckBox1}) {
        QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
    }
    QVERIFY(!form.CheckBox1->isChecked());
    QCOMPARE(form.ProgressBar1->value(), 0);
    QCOMPARE(form.ProgressBar1->state(), StateProgressBar::State::Normal);
    QCOMPARE(form.SpeedButton4->captionFontHeight(), 16);
    QCOMPARE(form.SpeedButton5->captionFontHeight(), 16);
    QVERIFY(form.SpeedButton5->font().bold());
    QVERIFY(QFontInfo(form.SpeedButton4->font()).fixedPitch());
    QCOMPARE(form.Memo1->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(form.Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(form.Memo1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(form.StatusBar1->panelText(1), u"v.2.1.4"_qs);
}

void TestMainWindow::fontButtonsKeepTheirCaptionFontHeight() {
    TForm1 form;
    SpeedButton* button = form.SpeedButton5;
    const int large = QFontMetrics(button->font()).height();
    button->setCaptionFontHeight(10);
    QCOMPARE(button->captionFontHeight(), 10);
    QVERIFY(QFontMetrics(button->font()).height() <= 10);
    QVERIFY(QFontMetrics(button->font()).height() < large);
    QVERIFY(button->font().bold());
    QCOMPARE(button->font().family(), form.SpeedButton5->font().family());
    button->setCaptionFontHeight(16);
    QCOMPARE(QFontMetrics(button->font()).height(), large);
    QCOMPARE(form.SpeedButton4->captionFontHeight(), 16);
}

void TestMainWindow::hintsShownOnlyWhereDesigned() {
    TForm1 form;
    const QHash<QWidget*, QString> hints = {
        {form.CheckBox1, u"Режим обучения. Каждое слово, которое показывается впервый раз - "
                         u"отображается увеличенное время. "_qs},
        {form.SpeedButton2, u"\"Пробел\" чтобы остановить\\продолжить."_qs},
        {form.SpeedButton4, u"Большой\\маленький шрифт типа А"_qs},
        {form.SpeedButton5, u"Большой\\маленький шрифт типа Б"_qs},
    };
    for (QWidget* widget : form.findChildren<QWidget*>()) {
        QCOMPARE(widget->toolTip(), hints.value(widget));
    }
    QCOMPARE(form.toolTip(), QString());
    QCOMPARE(form.ProgressBar1->hint(), u"Клик для смены цвета"_qs);
}

void TestMainWindow::buttonsNeverTakeFocusAndTabOrder() {
    TForm1 form;
    for (SpeedButton* button : form.findChildren<SpeedButton*>()) {
        QCOMPARE(button->focusPolicy(), Qt::NoFocus);
    }
    QCOMPARE(form.ProgressBar1->focusPolicy(), Qt::NoFocus);
    QCOMPARE(form.StatusBar1->focusPolicy(), Qt::NoFocus);
    // Walk the focus chain from the text box: the speed list, then the check box.
    QList<QWidget*> order;
    for (QWidget* w = form.Memo1->nextInFocusChain(); w != form.Memo1 && order.size() < 10;
         w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled()) {
            order.append(w);
        }
    }
    QCOMPARE(order, (QList<QWidget*>{form.ComboBox1, form.CheckBox1}));
}

void TestMainWindow::welcomeTextIsElevenLines() {
    TForm1 form;
    const QStringList lines = form.Memo1->toPlainText().split(u'\n');
    QCOMPARE(lines.size(), 11);
    QCOMPARE(lines.front(), u"Добро пожаловать в программу по скорочтению Kestrix."_qs);
    QCOMPARE(lines[8], u"Вы можете читать любую электронную книгу, вставит её вместо этого текста "
                       u"(окно внизу программы). Книги лучше скачивать в формате word. Перед "
                       u"загрузкой текста сюда, нужно в word'e отключить функцию переноса текста "
                       u"(разметка страниц - расстановка переносов)"_qs);
    QCOMPARE(lines.back(), u"Удачи!"_qs);
    for (int i = 1; i < 11; i += 2) {
        QVERIFY2(lines[i].isEmpty(), "paragraphs are separated by one empty line");
    }
    for (int i = 2; i <= 6; i += 2) {
        QVERIFY(lines[i].size() > 80);
    }
    QCOMPARE(form.Memo1->toPlainText(), welcomeText());
}

void TestMainWindow::compactViewHidesTheLowerControls() {
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.resize(TForm1::clientWidth, 200);
    for (QWidget* hidden :
         std::initializer_list<QWidget*>{form.Memo1, form.GroupBox1, form.ProgressBar1}) {
        QVERIFY2(hidden->visibleRegion().isEmpty(), qPrintable(hidden->objectName()));
    }
    for (QWidget* seen :
         std::initializer_list<QWidget*>{form.Panel4, form.SpeedButton1, form.SpeedButton3,
                                         form.ComboBox1, form.SpeedButton5, form.StatusBar1}) {
        QVERIFY2(!seen->visibleRegion().isEmpty(), qPrintable(seen->objectName()));
    }
}

void TestMainWindow::reservedRowsAreNeverVisible() {
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.resize(TForm1::clientWidth, 555);
    QVERIFY(form.Label11->visibleRegion().isEmpty());
    QVERIFY(form.Label17->visibleRegion().isEmpty());
    QVERIFY(!form.Label10->visibleRegion().isEmpty());
    // Nothing of the display field's hidden label shows through.
    QVERIFY(form.Label7->visibleRegion().isEmpty());
}

void TestMainWindow::statusBarStaysDockedAtTheBottom() {
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    for (const int height : {200, 555, 549}) {
        form.resize(TForm1::clientWidth, height);
        QCOMPARE(form.StatusBar1->geometry(), QRect(0, height - 19, 356, 19));
    }
    QCOMPARE(form.StatusBar1->cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(form.StatusBar1->panel(0)->alignment() & Qt::AlignLeft);
    QVERIFY(form.StatusBar1->panel(1)->alignment() & Qt::AlignRight);
    QCOMPARE(form.StatusBar1->panel(1)->x() - form.StatusBar1->panel(0)->x(), 250);
}

void TestMainWindow::labelsShowPlainText() {
    TForm1 form;
    for (QLabel* label : form.findChildren<QLabel*>()) {
        QVERIFY2(label->textFormat() == Qt::PlainText, qPrintable(label->objectName()));
    }
    // Drawn as characters, the tags take far more columns than "x" alone.
    const auto inkWidth = [&](const QString& text) {
        form.Label13->setText(text);
        const picture::Ink ink = picture::ink(picture::render(form.Label13), picture::blackness);
        return ink.lastColumn - ink.firstColumn;
    };
    QVERIFY(inkWidth(u"<b>x</b>"_qs) > 5 * inkWidth(u"x"_qs));
}

void TestMainWindow::windowSignals() {
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    QSignalSpy closing(&form, &TForm1::closeRequested);
    connect(&form, &TForm1::closeRequested, &form, [](QCloseEvent* event) { event->ignore(); });
    QVERIFY(!form.close());
    QCOMPARE(closing.size(), 1);
    QVERIFY(form.isVisible());

    QSignalSpy deactivated(&form, &TForm1::deactivated);
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(&form, &deactivate);
    QCOMPARE(deactivated.size(), 1);

    QSignalSpy shown(&form, &TForm1::shown);
    form.hide();
    form.show();
    QCOMPARE(shown.size(), 1);

    auto* other = new TForm1;
    QSignalSpy destroying(other, &TForm1::destroying);
    bool controlsAlive = false;
    connect(other, &TForm1::destroying, this,
            [&] { controlsAlive = other->Memo1->toPlainText() == welcomeText(); });
    delete other;
    QCOMPARE(destroying.size(), 1);
    QVERIFY(controlsAlive);
}

void TestMainWindow::controlSignals() {
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    // A disabled button ignores the mouse but runs its handler from code.
    QSignalSpy pause(form.SpeedButton2, &QAbstractButton::clicked);
    QTest::mouseClick(form.SpeedButton2, Qt::LeftButton);
    QCOMPARE(pause.size(), 0);
    form.SpeedButton2->clickFromCode();
    QCOMPARE(pause.size(), 1);
    QSignalSpy start(form.SpeedButton1, &QAbstractButton::clicked);
    QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
    QCOMPARE(start.size(), 1);

    QSignalSpy pressed(form.ProgressBar1, &StateProgressBar::mousePressed);
    QTest::mousePress(form.ProgressBar1, Qt::RightButton);
    QTest::mousePress(form.ProgressBar1, Qt::MiddleButton, Qt::ShiftModifier, QPoint(300, 5));
    QCOMPARE(pressed.size(), 2);
    QCOMPARE(pressed.at(0).at(0).value<Qt::MouseButton>(), Qt::RightButton);

    QSignalSpy memo(form.Memo1, &TextBox::clicked);
    QTest::mouseClick(form.Memo1->viewport(), Qt::LeftButton, {}, QPoint(40, 20));
    QCOMPARE(memo.size(), 1);

    QSignalSpy link(form.StatusBar1, &StatusBar::clicked);
    QTest::mouseClick(form.StatusBar1, Qt::LeftButton, {}, QPoint(300, 9));
    QTest::mouseClick(form.StatusBar1->panel(0), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(link.size(), 2);
}

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
