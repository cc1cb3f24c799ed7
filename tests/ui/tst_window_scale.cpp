// The main window laid out for a larger desktop font: the scale follows the
// font, every caption fits its control and no two controls overlap, at the
// usual size as at larger ones.
#include "ui/flat_button.h"
#include "ui/fonts.h"
#include "ui/main_window.h"
#include "ui/status_bar.h"
#include "ui/text_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QtTest>

class TestWindowScale : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { fonts::setLayoutScale(1); }
    void scaleFollowsTheDesktopFont_data();
    void scaleFollowsTheDesktopFont();
    void captionsFitAndNothingOverlaps_data();
    void captionsFitAndNothingOverlaps();
};

void TestWindowScale::scaleFollowsTheDesktopFont_data() {
    QTest::addColumn<QFont>("font");
    QTest::addColumn<qreal>("scale");
    QTest::newRow("Qt's own 9 points") << QFont(u"Sans Serif"_qs, 9) << 1.0;
    QTest::newRow("the usual 10 points") << QFont(u"Sans Serif"_qs, 10) << 1.0;
    QTest::newRow("11 points") << QFont(u"Sans Serif"_qs, 11) << 1.1;
    QTest::newRow("16 points") << QFont(u"Sans Serif"_qs, 16) << 1.6;
    QFont pixels(u"Sans Serif"_qs);
    pixels.setPixelSize(40);
    QTest::newRow("40 pixels") << pixels << QFontInfo(pixels).pointSizeF() / 10;
}

void TestWindowScale::scaleFollowsTheDesktopFont() {
    QFETCH(QFont, font);
    QFETCH(qreal, scale);
    QCOMPARE(fonts::layoutScaleFor(font), scale);
}

void TestWindowScale::captionsFitAndNothingOverlaps_data() {
    QTest::addColumn<qreal>("scale");
    QTest::newRow("as designed") << 1.0;
    QTest::newRow("16 points") << 1.6;
    QTest::newRow("twice") << 2.0;
}

void TestWindowScale::captionsFitAndNothingOverlaps() {
    QFETCH(qreal, scale);
    fonts::setLayoutScale(scale);
    MainWindow form;
    form.setFullViewParts(true);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form, 30000));
    QCOMPARE(form.width(), qRound(MainWindow::clientWidth * scale));
    QCOMPARE(form.startButton->font().pixelSize(), qRound(11 * scale));
    QCOMPARE(form.textBox->font().pixelSize(), qRound(11 * scale));
    QCOMPARE(form.displayField->geometry(), fonts::scaled(DisplayField::designGeometry));
    QCOMPARE(form.statusBar->geometry().bottom(), form.height() - 1);
    for (FlatButton* button :
         {form.startButton, form.pauseButton, form.restartButton, form.jumpBackButton,
          form.viewButton, form.faceAButton, form.faceBButton, form.menuButton}) {
        const int text = button->fontMetrics().horizontalAdvance(button->text());
        QVERIFY2(text <= button->width() - 4, qPrintable(button->objectName()));
        QVERIFY2(button->fontMetrics().height() <= button->height(),
                 qPrintable(button->objectName()));
    }
    for (QLabel* label : form.findChildren<QLabel*>()) {
        if (label->isVisibleTo(&form) && !label->text().isEmpty() &&
            !qobject_cast<StatusBar*>(label->parentWidget()))
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                     qPrintable(label->objectName()));
    }
    const QList<QWidget*> controls{form.displayField,   form.startButton,    form.learningModeBox,
                                   form.pauseButton,    form.restartButton,  form.jumpBackButton,
                                   form.viewButton,     form.speedLabel,     form.speedList,
                                   form.speedUnitLabel, form.faceAButton,    form.faceBButton,
                                   form.textBox,        form.informationBox, form.statusBar};
    for (qsizetype i = 0; i < controls.size(); ++i) {
        for (qsizetype j = i + 1; j < controls.size(); ++j)
            QVERIFY2(
                !controls[i]->geometry().intersects(controls[j]->geometry()),
                qPrintable(controls[i]->objectName() + u" over "_qs + controls[j]->objectName()));
    }
}

QTEST_MAIN(TestWindowScale)
#include "tst_window_scale.moc"
