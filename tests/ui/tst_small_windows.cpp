#include "picture.h"
#include "ui/closing_dialog.h"
#include "ui/flat_button.h"
#include "ui/main_window.h"
#include "ui/splash_window.h"
#include "ui/state_progress_bar.h"

#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

class TestSmallWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void closingDialogLayout_data();
    void closingDialogLayout();
    void splashLayout_data();
    void splashLayout();
    void windowsAreBorderlessAndOnTop();
    void centring();
    void closingDialogSignals();
    void progressBarColours_data();
    void progressBarColours();
};

namespace {

void layoutColumns() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
}

void checkLayout(QWidget& window) {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QWidget* control = window.findChild<QWidget*>(name);
    QVERIFY(control != nullptr);
    QCOMPARE(control->geometry(), geometry);
    if (auto* label = qobject_cast<QLabel*>(control)) {
        QCOMPARE(label->text(), text);
        QCOMPARE(label->textFormat(), Qt::PlainText);
        QVERIFY(label->wordWrap());
        QVERIFY(label->alignment() & Qt::AlignHCenter);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        QCOMPARE(button->text(), text);
        QCOMPARE(button->focusPolicy(), Qt::NoFocus);
    }
}

} // namespace

void TestSmallWindows::closingDialogLayout_data() {
    layoutColumns();
    const auto row = [](const char* name, QRect geometry, const QString& text) {
        QTest::newRow(name) << QString::fromLatin1(name) << geometry << text;
    };
    row("titleLabel", {8, 8, 177, 17}, u"Анализ текста в процессе."_qs);
    row("autoCloseLabel", {8, 28, 177, 34},
        u"По завершению работы программа закроется автоматически."_qs);
    row("killHintLabel", {8, 60, 179, 59},
        u"Можно убить приложение (в таком случае закладки не сохранятся!)"_qs);
    row("hideHintLabel", {8, 95, 177, 59},
        u"Или скрыть приложение, позволив ему незаметно завершить свою работу "
        u"[предпочтительно]"_qs);
    row("killButton", {10, 160, 79, 31}, u"Убить"_qs);
    row("hideButton", {112, 160, 75, 31}, u"Скрыть"_qs);
    row("timeLeftLabel", {8, 197, 177, 20}, u"00:00:01"_qs);
    row("progressBar", {10, 213, 177, 41}, QString());
}

void TestSmallWindows::closingDialogLayout() {
    ClosingDialog dialog;
    QCOMPARE(dialog.size(), QSize(195, 262));
    QCOMPARE(dialog.windowTitle(), u"Анализ в процессе"_qs);
    QVERIFY(!dialog.isVisible());
    checkLayout(dialog);
}

void TestSmallWindows::splashLayout_data() {
    layoutColumns();
    const auto row = [](const char* name, QRect geometry, const QString& text) {
        QTest::newRow(name) << QString::fromLatin1(name) << geometry << text;
    };
    row("titleLabel", {8, 8, 177, 17}, u"Загрузка книги."_qs);
    row("explanationLabel", {8, 28, 177, 42},
        u"Ваша книга, которую Вы читали в прошлый раз, загружается в программу."_qs);
    row("waitLabel", {8, 95, 177, 18}, u"Придется немного подождать."_qs);
    row("timeLeftLabel", {8, 119, 177, 20}, u"00:00:01"_qs);
    row("progressBar", {8, 141, 177, 41}, QString());
}

void TestSmallWindows::splashLayout() {
    SplashWindow splash;
    QCOMPARE(splash.size(), QSize(197, 195));
    QCOMPARE(splash.windowTitle(), u"Form3"_qs);
    QVERIFY(splash.findChildren<QLabel*>().size() == 4);
    checkLayout(splash);
}

void TestSmallWindows::windowsAreBorderlessAndOnTop() {
    ClosingDialog dialog;
    SplashWindow splash;
    for (QWidget* window : std::initializer_list<QWidget*>{&dialog, &splash}) {
        QVERIFY(window->isWindow());
        QVERIFY(window->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(window->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(QFontInfo(window->font()).pixelSize(), 11);
    }
}

void TestSmallWindows::centring() {
    MainWindow form;
    form.move(100, 80);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form, 30000));
    ClosingDialog dialog;
    dialog.centerOn(&form);
    const QPoint formCentre = form.frameGeometry().center();
    QVERIFY((dialog.geometry().center() - formCentre).manhattanLength() <= 2);

    SplashWindow splash;
    splash.centerOnScreen();
    const QPoint screenCentre = splash.screen()->availableGeometry().center();
    QVERIFY((splash.geometry().center() - screenCentre).manhattanLength() <= 2);
}

void TestSmallWindows::closingDialogSignals() {
    ClosingDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog, 30000));
    QSignalSpy kill(dialog.killButton, &QAbstractButton::clicked);
    QSignalSpy hide(dialog.hideButton, &QAbstractButton::clicked);
    QSignalSpy pressed(dialog.progressBar, &StateProgressBar::mousePressed);
    QTest::mouseClick(dialog.killButton, Qt::LeftButton);
    QTest::mouseClick(dialog.hideButton, Qt::LeftButton);
    QTest::mousePress(dialog.progressBar, Qt::LeftButton);
    QCOMPARE(kill.size(), 1);
    QCOMPARE(hide.size(), 1);
    QCOMPARE(pressed.size(), 1);
}

void TestSmallWindows::progressBarColours_data() {
    QTest::addColumn<StateProgressBar::State>("state");
    QTest::addColumn<int>("hue"); // expected hue of the chunk, degrees
    QTest::newRow("normal is green") << StateProgressBar::State::Normal << 120;
    QTest::newRow("paused is yellow") << StateProgressBar::State::Paused << 55;
    QTest::newRow("error is red") << StateProgressBar::State::Error << 0;
}

void TestSmallWindows::progressBarColours() {
    QFETCH(StateProgressBar::State, state);
    QFETCH(int, hue);
    MainWindow form;
    StateProgressBar* bar = form.progressBar;
    bar->setRange(0, 99);
    bar->setValue(50);
    bar->setState(state);
    QCOMPARE(bar->state(), state);
    const QImage image = picture::render(bar);
    // Inside the chunk (first quarter) the colour has the state's hue.
    const QColor chunk = QColor(image.pixel(image.width() / 4, image.height() / 2)).toHsv();
    QVERIFY(chunk.hsvSaturation() > 150);
    const int distance = qAbs(chunk.hsvHue() - hue);
    QVERIFY2(qMin(distance, 360 - distance) <= 15, qPrintable(QString::number(chunk.hsvHue())));
    // Beyond the position, the trough stays grey.
    const QColor trough = QColor(image.pixel(image.width() * 3 / 4, image.height() / 2)).toHsv();
    QVERIFY(trough.hsvSaturation() < 30);
}

QTEST_MAIN(TestSmallWindows)
#include "tst_small_windows.moc"
