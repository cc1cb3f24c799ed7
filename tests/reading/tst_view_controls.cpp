// The controls of the display's look: the font buttons, the view, the
// learning-mode explanation and the progress bar's colour.
#include "reader_fixture.h"

#include "ui/state_progress_bar.h"

#include <QtTest>

class TestViewControls : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fontButtons();
    void viewButton();
    void learningModeMessageOnce();
    void progressBarColourCycle();
};

void TestViewControls::fontButtons() {
    ReaderFixture f; // the start-up click on face B
    QCOMPARE(f.form.displayField->face(), DisplayField::Face::B);
    QVERIFY(!f.form.displayField->isSmall());
    QCOMPARE(f.form.faceBButton->captionFontHeight(), 10);
    QCOMPARE(f.form.faceAButton->captionFontHeight(), 16);
    f.form.faceAButton->clickFromCode();
    QCOMPARE(f.form.displayField->face(), DisplayField::Face::A);
    QVERIFY(!f.form.displayField->isSmall()); // face A large, not small
    f.form.faceAButton->clickFromCode();
    QVERIFY(f.form.displayField->isSmall());
    f.form.faceBButton->clickFromCode();
    QCOMPARE(f.form.displayField->face(), DisplayField::Face::B);
    QVERIFY(f.form.displayField->isSmall());
}

void TestViewControls::viewButton() {
    ReaderFixture f;
    f.form.resize(420, f.form.height()); // widened by the user
    f.form.viewButton->setText(u"- -"_qs);
    f.form.viewButton->clickFromCode();
    QCOMPARE(f.form.height(), 555);
    QCOMPARE(f.form.viewButton->text(), u"^^"_qs);
    f.form.viewButton->clickFromCode();
    QCOMPARE(f.form.height(), 200);
    QCOMPARE(f.form.viewButton->text(), u"- -"_qs);
    QCOMPARE(f.form.width(), 420); // only the height changes
}

void TestViewControls::learningModeMessageOnce() {
    ReaderFixture f;
    f.state.explainLearningMode = true;
    f.form.learningModeBox->click();
    f.form.learningModeBox->click();
    f.form.learningModeBox->click();
    QCOMPARE(f.boxes.shown.size(), 1);
    QVERIFY(f.boxes.shown[0].text.startsWith(u"Режим обучения. При включеном режиме"_qs));
    QVERIFY(f.boxes.shown[0].text.endsWith(u"поможет избежать этой проблемы."_qs));
}

void TestViewControls::progressBarColourCycle() {
    using State = StateProgressBar::State;
    ReaderFixture f;
    QList<State> seen;
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        QTest::mousePress(f.form.progressBar, b);
        seen << f.form.progressBar->state();
    }
    QCOMPARE(seen, (QList<State>{State::Paused, State::Error, State::Normal}));
}

QTEST_MAIN(TestViewControls)
#include "tst_view_controls.moc"
