#include "platform/hotkeys.h"
#include "platform/hotkeys_activation.h"
#include "platform/hotkeys_qt.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <memory>

namespace {

// One key as the user strikes it: pressed (held for `presses` auto-repeated
// presses), then released.
struct Stroke {
    Qt::Key key = Qt::Key_unknown;
    Qt::KeyboardModifiers mods = Qt::NoModifier;
    int presses = 1;
};

Stroke key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier, int presses = 1) {
    return Stroke{k, mods, presses};
}
const Stroke space = key(Qt::Key_Space);
const Stroke enter = key(Qt::Key_Return);
const Stroke keypadEnter = key(Qt::Key_Enter, Qt::KeypadModifier);
const Stroke keypadPlus = key(Qt::Key_Plus, Qt::KeypadModifier);
const Stroke keypadMinus = key(Qt::Key_Minus, Qt::KeypadModifier);
const Stroke up = key(Qt::Key_Up);
const Stroke down = key(Qt::Key_Down);

// The text a key types, as a keyboard would give it with the event.
QString textOf(const Stroke& s) {
    if (s.mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return {};
    switch (s.key) {
    case Qt::Key_Space:
        return QStringLiteral(" ");
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QStringLiteral("\r");
    case Qt::Key_Plus:
        return QStringLiteral("+");
    case Qt::Key_Minus:
        return QStringLiteral("-");
    case Qt::Key_A:
        return s.mods & Qt::ShiftModifier ? QStringLiteral("A") : QStringLiteral("a");
    default:
        return {};
    }
}

void strike(QWidget* target, const Stroke& s) {
    const QString text = textOf(s);
    // The first press goes the way of a real key, shortcut override included.
    QTest::keyPress(target, s.key, s.mods);
    for (int i = 1; i < s.presses; ++i) {
        QKeyEvent repeat(QEvent::KeyPress, s.key, s.mods, text, /*autorep=*/true);
        QCoreApplication::sendEvent(target, &repeat);
    }
    QTest::keyRelease(target, s.key, s.mods);
}

// What one widget itself receives of the keyboard.
class KeyRecorder final : public QObject {
public:
    QList<int> pressed;
    QList<int> released;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
            return QObject::eventFilter(watched, event);
        // QTest strikes the modifier keys themselves too; they are no concern here.
        const int k = static_cast<QKeyEvent*>(event)->key();
        if (k == Qt::Key_Shift || k == Qt::Key_Control || k == Qt::Key_Alt || k == Qt::Key_Meta)
            return QObject::eventFilter(watched, event);
        (type == QEvent::KeyPress ? pressed : released).append(k);
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

Q_DECLARE_METATYPE(Stroke)

class TestHotkeys : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QWidget> window;
    QPlainTextEdit* edit = nullptr;
    QPushButton* button = nullptr;
    KeyRecorder editKeys;
    std::unique_ptr<ApplicationActivation> activation;
    std::unique_ptr<EventFilterHotkeys> hotkeys;
    QList<int> delivered;

private Q_SLOTS:
    void init() {
        window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window.get());
        edit = new QPlainTextEdit(window.get());
        button = new QPushButton(QStringLiteral("Пауза"), window.get());
        layout->addWidget(edit);
        layout->addWidget(button);
        edit->installEventFilter(&editKeys);
        editKeys.pressed.clear();
        editKeys.released.clear();
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get(), 30000));
        edit->setFocus();

        activation = std::make_unique<ApplicationActivation>(ApplicationActivation::Source::Manual);
        activation->setState(Qt::ApplicationActive);
        hotkeys = std::make_unique<EventFilterHotkeys>(activation.get());
        delivered.clear();
        connect(hotkeys.get(), &Hotkeys::hotkey, this, [this](int id) { delivered.append(id); });
    }

    void cleanup() {
        hotkeys.reset();
        activation.reset();
        window.reset();
    }

    void keys_data() {
        QTest::addColumn<bool>("registered");
        QTest::addColumn<bool>("active");
        QTest::addColumn<QList<Stroke>>("strokes");
        QTest::addColumn<QList<int>>("ids");  // delivered to the handler
        QTest::addColumn<QList<int>>("seen"); // presses the text box saw
        QTest::addColumn<QString>("typed");   // the text box's text afterwards

        const QList<Stroke> six{space, keypadPlus, keypadMinus, up, down, enter};
        using L = QList<int>;
        QTest::newRow("space") << true << true << QList{space} << L{32} << L{} << QString();
        QTest::newRow("return") << true << true << QList{enter} << L{13} << L{} << QString();
        QTest::newRow("keypad enter")
            << true << true << QList{keypadEnter} << L{13} << L{} << QString();
        QTest::newRow("keypad plus")
            << true << true << QList{keypadPlus} << L{107} << L{} << QString();
        QTest::newRow("keypad minus")
            << true << true << QList{keypadMinus} << L{109} << L{} << QString();
        QTest::newRow("up") << true << true << QList{up} << L{38} << L{} << QString();
        QTest::newRow("down") << true << true << QList{down} << L{40} << L{} << QString();
        QTest::newRow("up from the keypad")
            << true << true << QList{key(Qt::Key_Up, Qt::KeypadModifier)} << L{38} << L{}
            << QString();
        QTest::newRow("all six in order")
            << true << true << six << L{32, 107, 109, 38, 40, 13} << L{} << QString();
        QTest::newRow("other keys pass between them")
            << true << true << QList{key(Qt::Key_A), space, key(Qt::Key_A), down} << L{32, 40}
            << L{Qt::Key_A, Qt::Key_A} << QStringLiteral("aa");

        QTest::newRow("ctrl+space passes")
            << true << true << QList{key(Qt::Key_Space, Qt::ControlModifier)} << L{}
            << L{Qt::Key_Space} << QString();
        QTest::newRow("shift+space passes")
            << true << true << QList{key(Qt::Key_Space, Qt::ShiftModifier)} << L{}
            << L{Qt::Key_Space} << QStringLiteral(" ");
        QTest::newRow("alt+up passes") << true << true << QList{key(Qt::Key_Up, Qt::AltModifier)}
                                       << L{} << L{Qt::Key_Up} << QString();
        QTest::newRow("meta+return passes")
            << true << true << QList{key(Qt::Key_Return, Qt::MetaModifier)} << L{}
            << L{Qt::Key_Return} << QString();
        QTest::newRow("ctrl+keypad minus passes")
            << true << true << QList{key(Qt::Key_Minus, Qt::ControlModifier | Qt::KeypadModifier)}
            << L{} << L{Qt::Key_Minus} << QStringLiteral("-");
        QTest::newRow("main-keyboard plus passes")
            << true << true << QList{key(Qt::Key_Plus, Qt::ShiftModifier)} << L{} << L{Qt::Key_Plus}
            << QStringLiteral("+");
        QTest::newRow("main-keyboard minus passes")
            << true << true << QList{key(Qt::Key_Minus)} << L{} << L{Qt::Key_Minus}
            << QStringLiteral("-");

        QTest::newRow("auto-repeat down")
            << true << true << QList{key(Qt::Key_Down, Qt::NoModifier, 3)} << L{40, 40, 40} << L{}
            << QString();
        // A held Space or Enter toggles the pause once; its repeats are swallowed.
        QTest::newRow("auto-repeat space then up")
            << true << true << QList{key(Qt::Key_Space, Qt::NoModifier, 4), up} << L{32, 38} << L{}
            << QString();
        QTest::newRow("auto-repeat enter")
            << true << true << QList{key(Qt::Key_Return, Qt::NoModifier, 3)} << L{13} << L{}
            << QString();

        const L sixKeys{Qt::Key_Space, Qt::Key_Plus, Qt::Key_Minus,
                        Qt::Key_Up,    Qt::Key_Down, Qt::Key_Return};
        QTest::newRow("inactive application")
            << true << false << six << L{} << sixKeys << QStringLiteral(" +-\n");
        QTest::newRow("released") << false << true << six << L{} << sixKeys
                                  << QStringLiteral(" +-\n");
        QTest::newRow("released, auto-repeat space")
            << false << true << QList{key(Qt::Key_Space, Qt::NoModifier, 3)} << L{}
            << L{Qt::Key_Space, Qt::Key_Space, Qt::Key_Space} << QStringLiteral("   ");
    }

    void keys() {
        QFETCH(bool, registered);
        QFETCH(bool, active);
        QFETCH(QList<Stroke>, strokes);
        QFETCH(QList<int>, ids);
        QFETCH(QList<int>, seen);
        QFETCH(QString, typed);

        if (registered)
            hotkeys->registerAll();
        activation->setState(active ? Qt::ApplicationActive : Qt::ApplicationInactive);
        for (const Stroke& s : strokes)
            strike(edit, s);

        QCOMPARE(delivered, ids);
        QCOMPARE(editKeys.pressed, seen);
        // A swallowed press leaves no stray release behind for the widget.
        QList<int> releasedExpected;
        for (const Stroke& s : strokes)
            if (seen.contains(s.key))
                releasedExpected.append(s.key);
        QCOMPARE(editKeys.released, releasedExpected);
        QCOMPARE(edit->toPlainText(), typed);
    }

    // Right after activation a space goes to the hotkey; once released, the
    // same keys type into the text box again.
    void typingAfterRelease() {
        hotkeys->registerAll();
        strike(edit, space);
        strike(edit, enter);
        QCOMPARE(edit->toPlainText(), QString());
        hotkeys->releaseAll();
        strike(edit, space);
        strike(edit, enter);
        strike(edit, key(Qt::Key_A));
        QCOMPARE(edit->toPlainText(), QStringLiteral(" \na"));
        QCOMPARE(delivered, (QList<int>{32, 13}));
    }

    void groupIsIdempotent_data() {
        QTest::addColumn<QString>("calls"); // R = registerAll, U = releaseAll
        QTest::addColumn<bool>("registered");
        QTest::newRow("none") << QString() << false;
        QTest::newRow("register") << QStringLiteral("R") << true;
        QTest::newRow("register twice") << QStringLiteral("RR") << true;
        QTest::newRow("register twice, release once") << QStringLiteral("RRU") << false;
        QTest::newRow("release while released") << QStringLiteral("UU") << false;
        QTest::newRow("release twice, register once") << QStringLiteral("RUUR") << true;
    }

    void groupIsIdempotent() {
        QFETCH(QString, calls);
        QFETCH(bool, registered);
        for (QChar c : calls) {
            if (c == u'R')
                hotkeys->registerAll();
            else
                hotkeys->releaseAll();
        }
        QCOMPARE(hotkeys->isRegistered(), registered);
        strike(edit, up);
        QCOMPARE(delivered, registered ? QList<int>{38} : QList<int>{});
    }

    // With the focus on a button, a hotkey must neither click it nor fire a
    // shortcut of the window.
    void shortcutsAndButtons_data() {
        QTest::addColumn<bool>("registered");
        QTest::addColumn<Stroke>("stroke");
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<int>("shortcuts");
        QTest::newRow("space registered") << true << space << 32 << 0 << 0;
        QTest::newRow("space released") << false << space << 0 << 1 << 0;
        QTest::newRow("up registered") << true << up << 38 << 0 << 0;
        QTest::newRow("up released") << false << up << 0 << 0 << 1;
        QTest::newRow("ctrl+up registered")
            << true << key(Qt::Key_Up, Qt::ControlModifier) << 0 << 0 << 0;
    }

    void shortcutsAndButtons() {
        QFETCH(bool, registered);
        QFETCH(Stroke, stroke);
        QFETCH(int, id);
        QFETCH(int, clicks);
        QFETCH(int, shortcuts);

        auto* action = new QAction(window.get());
        action->setShortcut(QKeySequence(Qt::Key_Up));
        action->setShortcutContext(Qt::WindowShortcut);
        window->addAction(action);
        QSignalSpy fired(action, &QAction::triggered);
        QSignalSpy clicked(button, &QPushButton::clicked);
        button->setFocus();
        QVERIFY(button->hasFocus());

        if (registered)
            hotkeys->registerAll();
        strike(button, stroke);
        QCOMPARE(delivered, id != 0 ? QList<int>{id} : QList<int>{});
        QCOMPARE(clicked.count(), clicks);
        QCOMPARE(fired.count(), shortcuts);
    }

    // A key already taken when the keys are released: its release reaches the
    // widget, which must not confuse it.
    void releaseWhileHeld() {
        hotkeys->registerAll();
        QTest::keyPress(edit, Qt::Key_Space);
        hotkeys->releaseAll();
        QTest::keyRelease(edit, Qt::Key_Space);
        QCOMPARE(delivered, QList<int>{32});
        QCOMPARE(edit->toPlainText(), QString());
        strike(edit, key(Qt::Key_A));
        QCOMPARE(edit->toPlainText(), QStringLiteral("a"));
    }

    // While a modal box is open, Enter and Space answer it; once it is
    // closed they are the reader's again.
    void modalBoxAnswersItsKeys_data() {
        QTest::addColumn<Stroke>("stroke");
        QTest::addColumn<int>("id");
        QTest::newRow("return") << enter << 13;
        QTest::newRow("space") << space << 32;
    }

    void modalBoxAnswersItsKeys() {
        QFETCH(Stroke, stroke);
        QFETCH(int, id);
        hotkeys->registerAll();
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Kestrix"), QStringLiteral("?"),
                        QMessageBox::Ok, window.get());
        box.setWindowModality(Qt::ApplicationModal);
        QSignalSpy answered(&box, &QDialog::finished);
        box.show();
        strike(box.button(QMessageBox::Ok), stroke);
        QCOMPARE(answered.count(), 1);
        QVERIFY(delivered.isEmpty());
        strike(edit, stroke);
        QCOMPARE(delivered, QList<int>{id});
    }

    // A window of the program's own over the main one (not modal) keeps its
    // keys; the main window's keys stay the reader's meanwhile.
    void windowOverMainKeepsItsKeys_data() {
        QTest::addColumn<Stroke>("stroke");
        QTest::addColumn<int>("id");
        QTest::newRow("up") << up << 38;
        QTest::newRow("return") << enter << 13;
    }

    void windowOverMainKeepsItsKeys() {
        QFETCH(Stroke, stroke);
        QFETCH(int, id);
        hotkeys->registerAll();
        QDialog over(window.get());
        auto* list = new QPlainTextEdit(&over);
        over.show();
        QVERIFY(QTest::qWaitForWindowExposed(&over));
        strike(list, stroke);
        QVERIFY(delivered.isEmpty());
        strike(edit, stroke);
        QCOMPARE(delivered, QList<int>{id});
    }

    void destroyedFilterLetsKeysThrough() {
        hotkeys->registerAll();
        hotkeys.reset();
        strike(edit, space);
        QCOMPARE(edit->toPlainText(), QStringLiteral(" "));
    }
};

QTEST_MAIN(TestHotkeys)
#include "tst_hotkeys.moc"
