// The controls of the display's look: the font buttons, the view, the
// learning-mode explanation and the progress bar's colour.
#include "reader_fixture.h"

#include "ui/fonts.h"
#include "ui/state_progress_bar.h"
#include "ui/window_fit.h"

#include <QAccessible>
#include <QGroupBox>
#include <QtTest>

class TestViewControls : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fontButtons();
    void viewButton();
    void compactViewKeepsTheLowerControlsOutOfReach_data();
    void compactViewKeepsTheLowerControlsOutOfReach();
    void fullViewFitsWhereItCannotMove_data();
    void fullViewFitsWhereItCannotMove();
    void fullViewAtALargeScaleFitsTheScreen();
    void lookIsSetAsStored_data();
    void lookIsSetAsStored();
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

void TestViewControls::compactViewKeepsTheLowerControlsOutOfReach_data() {
    QTest::addColumn<bool>("full");
    QTest::newRow("compact") << false;
    QTest::newRow("full") << true;
}

// Tab reaches the text box only where it can be seen; a screen reader is told
// of the lower controls only there.
void TestViewControls::compactViewKeepsTheLowerControlsOutOfReach() {
    QFETCH(bool, full);
    ReaderFixture f;
    f.form.setFullViewParts(false);
    f.form.resize(f.form.width(), 200);
    f.form.viewButton->setText(u"- -"_qs);
    if (full)
        f.form.viewButton->clickFromCode();
    f.form.show();
    QVERIFY(QTest::qWaitForWindowActive(&f.form, 30000));
    f.form.startButton->setFocus();
    QSet<QWidget*> reached;
    for (int i = 0; i < 20; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached.insert(QApplication::focusWidget());
    }
    QVERIFY(reached.contains(f.form.speedList));
    QCOMPARE(reached.contains(f.form.textBox), full);
    for (QWidget* lower : std::initializer_list<QWidget*>{f.form.textBox, f.form.informationBox,
                                                          f.form.progressBar}) {
        QAccessibleInterface* told = QAccessible::queryAccessibleInterface(lower);
        QVERIFY(told);
        QCOMPARE(told->state().invisible, !full);
    }
}

void TestViewControls::fullViewFitsWhereItCannotMove_data() {
    QTest::addColumn<int>("available"); // below the window's top
    QTest::addColumn<int>("height");
    QTest::newRow("room enough") << 1000 << 555;
    QTest::newRow("just enough") << 587 << 555;
    QTest::newRow("a short screen") << 500 << 468;
    QTest::newRow("too short: the shortest text box") << 300 << 378;
}

void TestViewControls::fullViewFitsWhereItCannotMove() {
    QFETCH(int, available);
    QFETCH(int, height);
    QCOMPARE(fittedFullHeight(555, available, 32, 237, 60), height);
}

// At twice the size the full view is higher than the test screen: it is made
// to fit as far as the shortest text box allows, the lower controls moved up
// with the text box shortened.
void TestViewControls::fullViewAtALargeScaleFitsTheScreen() {
    fonts::setLayoutScale(2);
    const auto usual = qScopeGuard([] { fonts::setLayoutScale(1); });
    ReaderFixture f;
    const int room = f.form.screen()->availableGeometry().height() - 32;
    QVERIFY(room < 2 * 555);
    f.form.viewButton->setText(u"- -"_qs);
    f.form.viewButton->clickFromCode();
    const int height = qMax(room, 2 * 555 - 2 * (237 - 60));
    QCOMPARE(f.form.height(), height);
    QCOMPARE(f.form.textBox->height(), 2 * 237 - (2 * 555 - height));
    QCOMPARE(f.form.progressBar->geometry().bottom(), 2 * (502 + 13) - (2 * 555 - height) - 1);
}

void TestViewControls::lookIsSetAsStored_data() {
    QTest::addColumn<bool>("full");
    QTest::addColumn<bool>("faceA");
    QTest::addColumn<bool>("small");
    QTest::newRow("compact, B, large") << false << false << false;
    QTest::newRow("full, A, small") << true << true << true;
    QTest::newRow("full, B, small") << true << false << true;
    QTest::newRow("compact, A, large") << false << true << false;
}

// A look set as stored is the look shown, and the chosen face's button then
// switches the size as if the reader had chosen it.
void TestViewControls::lookIsSetAsStored() {
    QFETCH(bool, full);
    QFETCH(bool, faceA);
    QFETCH(bool, small);
    ReaderFixture f;
    f.form.viewButton->setText(u"- -"_qs); // compact, as at start-up
    f.form.setFullViewParts(false);
    const DisplayLook look{full, faceA, small};
    f.reader.view().setLook(look);
    QCOMPARE(f.reader.view().look(), look);
    QCOMPARE(f.form.textBox->isVisibleTo(&f.form), full);
    (faceA ? f.form.faceAButton : f.form.faceBButton)->clickFromCode();
    QCOMPARE(f.form.displayField->isSmall(), !small);
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
