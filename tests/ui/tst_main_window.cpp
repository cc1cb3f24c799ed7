#include "picture.h"
#include "ui/context_panel.h"
#include "ui/flat_button.h"
#include "ui/main_window.h"
#include "ui/state_progress_bar.h"
#include "ui/status_bar.h"
#include "ui/text_box.h"
#include "ui/welcome_text.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextDocumentLayout>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTextBlock>
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
    void buttonsTakeFocusByTabInLayoutOrder();
    void screenReadersHearRussianNames();
    void welcomeTextIsElevenLines();
    void textPutBeforeShowWrapsAtTheBoxWidth();
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
    row("displayField", "QFrame", {24, 11, 314, 49});
    row("startButton", "QToolButton", {24, 69, 129, 33});
    row("learningModeBox", "QCheckBox", {175, 78, 20, 17});
    row("pauseButton", "QToolButton", {209, 69, 129, 33});
    row("restartButton", "QToolButton", {24, 108, 150, 33});
    row("jumpBackButton", "QToolButton", {188, 108, 150, 33});
    row("viewButton", "QToolButton", {24, 147, 42, 22});
    row("speedList", "QComboBox", {123, 148, 55, 21});
    row("faceAButton", "QToolButton", {286, 147, 23, 22});
    row("faceBButton", "QToolButton", {315, 147, 23, 22});
    row("textBox", "QPlainTextEdit", {24, 184, 314, 237});
    row("informationBox", "QGroupBox", {24, 427, 314, 78});
    row("progressBar", "QProgressBar", {24, 502, 314, 13});
    row("statusBar", "QFrame", {0, 530, 356, 19});
}

void TestMainWindow::controlsHaveTheirNamesKindsAndPlaces() {
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QRect, geometry);
    MainWindow form;
    const auto found = form.findChildren<QWidget*>(name);
    QCOMPARE(found.size(), 1);
    QVERIFY(found.front()->inherits(kind.toLatin1()));
    QCOMPARE(found.front()->geometry(), geometry);
}

void TestMainWindow::membersAreTheNamedControls() {
    MainWindow form;
    const std::pair<QWidget*, const char*> members[] = {
        {form.displayField, "displayField"},
        {form.readingTimeCaption, "readingTimeCaption"},
        {form.wordsReadCaption, "wordsReadCaption"},
        {form.hiddenSpeedLabel, "hiddenSpeedLabel"},
        {form.speedUnitLabel, "speedUnitLabel"},
        {form.speedLabel, "speedLabel"},
        {form.measuredSpeedCaption, "measuredSpeedCaption"},
        {form.reservedCaption1, "reservedCaption1"},
        {form.reservedCaption2, "reservedCaption2"},
        {form.readingTimeLabel, "readingTimeLabel"},
        {form.wordsReadLabel, "wordsReadLabel"},
        {form.measuredSpeedLabel, "measuredSpeedLabel"},
        {form.reservedLabel1, "reservedLabel1"},
        {form.reservedLabel2, "reservedLabel2"},
        {form.startButton, "startButton"},
        {form.pauseButton, "pauseButton"},
        {form.jumpBackButton, "jumpBackButton"},
        {form.faceAButton, "faceAButton"},
        {form.faceBButton, "faceBButton"},
        {form.viewButton, "viewButton"},
        {form.restartButton, "restartButton"},
        {form.learningModeBox, "learningModeBox"},
        {form.speedList, "speedList"},
        {form.textBox, "textBox"},
        {form.informationBox, "informationBox"},
        {form.progressBar, "progressBar"},
        {form.statusBar, "statusBar"},
    };
    for (const auto& [widget, name] : members) {
        QVERIFY2(widget != nullptr, name);
        QCOMPARE(widget->objectName(), QLatin1String(name));
        QVERIFY2(form.isAncestorOf(widget), name);
    }
    // The display field is one widget: the parts of a word change together.
    QVERIFY(form.displayField->findChildren<QWidget*>().isEmpty());
    // The tick marks, one pixel wide at x = 143, lie above every part of the
    // word, even of one that fills its whole cells.
    form.showEntry(u"███", u'█', u"███");
    const QImage image = picture::render(&form);
    for (const QRect tick : {QRect(143, 11, 1, 9), QRect(143, 48, 1, 10)}) {
        for (int y = tick.top(); y <= tick.bottom(); ++y) {
            QVERIFY2(qGray(image.pixel(143, y)) < 40, qPrintable(QString::number(y)));
        }
    }
    for (int y = 12; y < 17; ++y) {
        QVERIFY(qGray(image.pixel(142, y)) > 150 && qGray(image.pixel(144, y)) > 150);
    }
}

void TestMainWindow::texts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    const auto row = [](const char* name, const QString& text) {
        QTest::newRow(name) << QString::fromLatin1(name) << text;
    };
    row("startButton", u"Поехали"_qs);
    row("pauseButton", u"Пауза [пробел]"_qs);
    row("restartButton", u"Начать с начала"_qs);
    row("jumpBackButton", u"Вернуться на 5 сек. назад"_qs);
    row("viewButton", u"- -"_qs);
    row("faceAButton", u"A"_qs);
    row("faceBButton", u"A"_qs);
    row("learningModeBox", QString());
    row("hiddenSpeedLabel", u"Скорость"_qs);
    row("speedLabel", u"Скорость"_qs);
    row("speedUnitLabel", u"слов в минуту [+/-]"_qs);
    row("informationBox", u"Информация"_qs);
    row("readingTimeCaption", u"Время чтения: "_qs);
    row("wordsReadCaption", u"Слов прочитано/всего:"_qs);
    row("measuredSpeedCaption", u"Скорость чтения (слов в мин):"_qs);
    row("reservedCaption1", u"Зарезервировано:"_qs);
    row("reservedCaption2", u"Зарезервировано:"_qs);
    for (const char* value : {"readingTimeLabel", "wordsReadLabel", "measuredSpeedLabel",
                              "reservedLabel1", "reservedLabel2"}) {
        row(value, u"-"_qs);
    }
}

void TestMainWindow::texts() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    MainWindow form;
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
    MainWindow form;
    QCOMPARE(form.speedList->count(), 18);
    for (int i = 0; i < 18; ++i) {
        QCOMPARE(form.speedList->itemText(i), QString::number(150 + 50 * i) + u'\t');
    }
    QCOMPARE(form.speedList->currentIndex(), 3);
    QVERIFY(!form.speedList->isEditable());
}

void TestMainWindow::initialStates() {
    MainWindow form;
    QCOMPARE(form.windowTitle(), u"Kestrix"_qs);
    QCOMPARE(form.size(), QSize(356, 549));
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!form.pauseButton->isEnabled());
    for (QWidget* w :
         std::initializer_list<QWidget*>{form.startButton, form.jumpBackButton, form.faceAButton,
                                         form.faceBButton, form.viewButton, form.restartButton,
                                         form.textBox, form.speedList, form.learningModeBox}) {
        QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
    }
    QVERIFY(!form.learningModeBox->isChecked());
    QCOMPARE(form.progressBar->value(), 0);
    QCOMPARE(form.progressBar->state(), StateProgressBar::State::Normal);
    QCOMPARE(form.faceAButton->captionFontHeight(), 16);
    QCOMPARE(form.faceBButton->captionFontHeight(), 16);
    QVERIFY(form.faceBButton->font().bold());
    QVERIFY(QFontInfo(form.faceAButton->font()).fixedPitch());
    QCOMPARE(form.textBox->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(form.textBox->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(form.textBox->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(form.statusBar->panelText(1), u"v.2.1.4"_qs);
}

void TestMainWindow::fontButtonsKeepTheirCaptionFontHeight() {
    MainWindow form;
    FlatButton* button = form.faceBButton;
    const int large = QFontMetrics(button->font()).height();
    button->setCaptionFontHeight(10);
    QCOMPARE(button->captionFontHeight(), 10);
    QVERIFY(QFontMetrics(button->font()).height() <= 10);
    QVERIFY(QFontMetrics(button->font()).height() < large);
    QVERIFY(button->font().bold());
    QCOMPARE(button->font().family(), form.faceBButton->font().family());
    button->setCaptionFontHeight(16);
    QCOMPARE(QFontMetrics(button->font()).height(), large);
    QCOMPARE(form.faceAButton->captionFontHeight(), 16);
}

void TestMainWindow::hintsShownOnlyWhereDesigned() {
    MainWindow form;
    // The designed hints stay as they were, each button's key named after them.
    const QHash<QWidget*, QString> hints = {
        {form.learningModeBox, u"Режим обучения. Каждое слово, которое показывается впервый раз - "
                               u"отображается увеличенное время. [Ctrl+L]"_qs},
        {form.pauseButton, u"\"Пробел\" чтобы остановить\\продолжить. [пробел, Enter]"_qs},
        {form.faceAButton, u"Большой\\маленький шрифт типа А [Ctrl+1]"_qs},
        {form.faceBButton, u"Большой\\маленький шрифт типа Б [Ctrl+2]"_qs},
        {form.startButton, u"Начать чтение [пробел, Enter, Ctrl+Enter]"_qs},
        {form.restartButton, u"Начать с начала текста [Ctrl+R]"_qs},
        {form.jumpBackButton, u"Вернуться на 5 секунд назад [Alt+←]"_qs},
        {form.viewButton, u"Показать\\скрыть текст и статистику [Ctrl+T]"_qs},
        {form.menuButton, u"Меню программы"_qs},
        {form.contextPanel->chaptersButton, u"Список глав [Ctrl+G]"_qs},
    };
    for (QWidget* widget : form.findChildren<QWidget*>()) {
        QCOMPARE(widget->toolTip(), hints.value(widget));
    }
    QCOMPARE(form.toolTip(), QString());
    QCOMPARE(form.progressBar->hint(), u"Клик для смены цвета"_qs);
}

void TestMainWindow::buttonsTakeFocusByTabInLayoutOrder() {
    MainWindow form;
    for (FlatButton* button : form.findChildren<FlatButton*>()) {
        QCOMPARE(button->focusPolicy(), Qt::TabFocus);
    }
    QCOMPARE(form.progressBar->focusPolicy(), Qt::NoFocus);
    QCOMPARE(form.statusBar->focusPolicy(), Qt::NoFocus);
    // Walk the focus chain from the start button, row by row.
    QList<QWidget*> order;
    for (QWidget* w = form.startButton->nextInFocusChain();
         w != form.startButton && order.size() < 20; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus)) {
            order.append(w);
        }
    }
    QCOMPARE(order,
             (QList<QWidget*>{form.learningModeBox, form.pauseButton, form.restartButton,
                              form.jumpBackButton, form.viewButton, form.speedList,
                              form.faceAButton, form.faceBButton, form.contextPanel->chaptersButton,
                              form.textBox, form.menuButton}));
}

// Every control a reader can reach is told by a Russian name (not "A" or
// "- -"), the word field by the word it shows, the speed items without their
// tab; the labels never seen are not reported as showing.
void TestMainWindow::screenReadersHearRussianNames() {
    MainWindow form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form, 30000));
    const auto nameOf = [](QObject* object) {
        QAccessibleInterface* told = QAccessible::queryAccessibleInterface(object);
        return told ? told->text(QAccessible::Name) : QString();
    };
    static const QRegularExpression russian(QStringLiteral("[А-Яа-яЁё]{3}"));
    for (QWidget* control : std::initializer_list<QWidget*>{
             form.startButton, form.pauseButton, form.restartButton, form.jumpBackButton,
             form.viewButton, form.faceAButton, form.faceBButton, form.learningModeBox,
             form.textBox, form.informationBox, form.progressBar, form.statusBar, form.menuButton,
             form.readingTimeLabel}) {
        QVERIFY2(nameOf(control).contains(russian),
                 qPrintable(control->objectName() + QStringLiteral(": ") + nameOf(control)));
    }
    form.showEntry(u"Пр", u'и', u"вет,");
    QCOMPARE(nameOf(form.displayField), u"Привет,"_qs);
    // The speed list, its items and its popup are told without the tab.
    QCOMPARE(nameOf(form.speedList), u"300 слов в минуту"_qs);
    QCOMPARE(form.speedList->itemData(3, Qt::AccessibleTextRole).toString(),
             u"300 слов в минуту"_qs);
    QVERIFY(nameOf(form.speedList->view()).contains(russian));
    for (QWidget* never : std::initializer_list<QWidget*>{
             form.hiddenSpeedLabel, form.reservedCaption1, form.reservedLabel2}) {
        QVERIFY(QAccessible::queryAccessibleInterface(never)->state().invisible);
    }
}

void TestMainWindow::welcomeTextIsElevenLines() {
    MainWindow form;
    const QStringList lines = form.textBox->toPlainText().split(u'\n');
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
    QCOMPARE(form.textBox->toPlainText(), welcomeText());
}

// A book put into the text box before the window is first shown (as the
// restore does) is laid out for the box's own width, as a text put after.
void TestMainWindow::textPutBeforeShowWrapsAtTheBoxWidth() {
    QString text;
    for (int i = 0; i < 300; ++i)
        text += QStringLiteral(" слово").repeated(40) + QStringLiteral("\n\r");
    MainWindow before;
    before.textBox->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    before.textBox->putText(text, {});
    before.resize(MainWindow::clientWidth, 555);
    before.show();
    QVERIFY(QTest::qWaitForWindowExposed(&before, 30000));
    MainWindow after;
    after.textBox->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    after.resize(MainWindow::clientWidth, 555);
    after.show();
    QVERIFY(QTest::qWaitForWindowExposed(&after, 30000));
    after.textBox->putText(text, {});
    const auto* layout =
        qobject_cast<QPlainTextDocumentLayout*>(before.textBox->document()->documentLayout());
    QVERIFY(layout);
    QCOMPARE(before.textBox->toPlainText(), after.textBox->toPlainText());
    const QTextBlock first = before.textBox->document()->firstBlock();
    const QTextBlock reference = after.textBox->document()->firstBlock();
    // Laid out on demand, for the width the layout holds.
    QCOMPARE(layout->blockBoundingRect(first),
             after.textBox->document()->documentLayout()->blockBoundingRect(reference));
    QVERIFY(first.layout()->lineCount() > 1);
    QCOMPARE(first.layout()->lineCount(), reference.layout()->lineCount());
}

void TestMainWindow::compactViewHidesTheLowerControls() {
    MainWindow form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form, 30000));
    form.resize(MainWindow::clientWidth, 200);
    for (QWidget* hidden :
         std::initializer_list<QWidget*>{form.textBox, form.informationBox, form.progressBar}) {
        QVERIFY2(hidden->visibleRegion().isEmpty(), qPrintable(hidden->objectName()));
    }
    for (QWidget* seen :
         std::initializer_list<QWidget*>{form.displayField, form.startButton, form.jumpBackButton,
                                         form.speedList, form.faceBButton, form.statusBar}) {
        QVERIFY2(!seen->visibleRegion().isEmpty(), qPrintable(seen->objectName()));
    }
}

void TestMainWindow::reservedRowsAreNeverVisible() {
    MainWindow form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form, 30000));
    form.resize(MainWindow::clientWidth, 555);
    QVERIFY(form.reservedCaption1->visibleRegion().isEmpty());
    QVERIFY(form.reservedLabel2->visibleRegion().isEmpty());
    QVERIFY(!form.measuredSpeedCaption->visibleRegion().isEmpty());
    // Nothing of the display field's hidden label shows through.
    QVERIFY(form.hiddenSpeedLabel->visibleRegion().isEmpty());
}

void TestMainWindow::statusBarStaysDockedAtTheBottom() {
    MainWindow form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form, 30000));
    for (const int height : {200, 555, 549}) {
        form.resize(MainWindow::clientWidth, height);
        QCOMPARE(form.statusBar->geometry(), QRect(0, height - 19, 356, 19));
    }
    QCOMPARE(form.statusBar->cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(form.statusBar->panel(0)->alignment() & Qt::AlignLeft);
    QVERIFY(form.statusBar->panel(1)->alignment() & Qt::AlignRight);
    QCOMPARE(form.statusBar->panel(1)->x() - form.statusBar->panel(0)->x(), 250);
}

void TestMainWindow::labelsShowPlainText() {
    MainWindow form;
    for (QLabel* label : form.findChildren<QLabel*>()) {
        QVERIFY2(label->textFormat() == Qt::PlainText, qPrintable(label->objectName()));
    }
    // Drawn as characters, the tags take far more columns than "x" alone.
    const auto inkWidth = [&](const QString& text) {
        form.readingTimeLabel->setText(text);
        const picture::Ink ink =
            picture::ink(picture::render(form.readingTimeLabel), picture::blackness);
        return ink.lastColumn - ink.firstColumn;
    };
    QVERIFY(inkWidth(u"<b>x</b>"_qs) > 5 * inkWidth(u"x"_qs));
}

void TestMainWindow::windowSignals() {
    MainWindow form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form, 30000));

    QSignalSpy closing(&form, &MainWindow::closeRequested);
    connect(&form, &MainWindow::closeRequested, &form, [](QCloseEvent* event) { event->ignore(); });
    QVERIFY(!form.close());
    QCOMPARE(closing.size(), 1);
    QVERIFY(form.isVisible());

    QSignalSpy deactivated(&form, &MainWindow::deactivated);
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(&form, &deactivate);
    QCOMPARE(deactivated.size(), 1);

    QSignalSpy shown(&form, &MainWindow::shown);
    form.hide();
    form.show();
    QCOMPARE(shown.size(), 1);

    auto* other = new MainWindow;
    QSignalSpy destroying(other, &MainWindow::destroying);
    bool controlsAlive = false;
    connect(other, &MainWindow::destroying, this,
            [&] { controlsAlive = other->textBox->toPlainText() == welcomeText(); });
    delete other;
    QCOMPARE(destroying.size(), 1);
    QVERIFY(controlsAlive);
}

void TestMainWindow::controlSignals() {
    MainWindow form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form, 30000));

    // A disabled button ignores the mouse but runs its handler from code.
    QSignalSpy pause(form.pauseButton, &QAbstractButton::clicked);
    QTest::mouseClick(form.pauseButton, Qt::LeftButton);
    QCOMPARE(pause.size(), 0);
    form.pauseButton->clickFromCode();
    QCOMPARE(pause.size(), 1);
    QSignalSpy start(form.startButton, &QAbstractButton::clicked);
    QTest::mouseClick(form.startButton, Qt::LeftButton);
    QCOMPARE(start.size(), 1);

    QSignalSpy pressed(form.progressBar, &StateProgressBar::mousePressed);
    QTest::mousePress(form.progressBar, Qt::RightButton);
    QTest::mousePress(form.progressBar, Qt::MiddleButton, Qt::ShiftModifier, QPoint(300, 5));
    QCOMPARE(pressed.size(), 2);
    QCOMPARE(pressed.at(0).at(0).value<Qt::MouseButton>(), Qt::RightButton);

    QSignalSpy memo(form.textBox, &TextBox::clicked);
    QTest::mouseClick(form.textBox->viewport(), Qt::LeftButton, {}, QPoint(40, 20));
    QCOMPARE(memo.size(), 1);

    QSignalSpy link(form.statusBar, &StatusBar::clicked);
    QTest::mouseClick(form.statusBar, Qt::LeftButton, {}, QPoint(300, 9));
    QTest::mouseClick(form.statusBar->panel(0), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(link.size(), 2);
}

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
