#pragma once

#include "platform/hotkeys_activation.h"
#include "platform/hotkeys_qt.h"
#include "program_run.h"

#include <QApplication>
#include <QtTest>

// The program as Run starts it, but with the keys taken by the event filter
// that the real program uses, and the program active.
struct KeysRun {
    explicit KeysRun(const QString& folder) : KeysRun(filesIn(folder)) {}
    explicit KeysRun(const UserFiles& files)
        : program(Platform{boxes,
                           fileDialog,
                           opener,
                           http,
                           hotkeys,
                           activation,
                           power,
                           clock,
                           TimeFormat(QLocale::c()),
                           nullptr,
                           files,
                           {},
                           {}}) {}

    int run(const std::function<void()>& script) {
        program.start();
        QTimer::singleShot(0, &program, [this, script] {
            activation.setState(Qt::ApplicationActive);
            if (QTest::qWaitForWindowActive(program.mainWindow, 30000))
                script();
            else
                QTest::qFail("the main window never became active", __FILE__, __LINE__);
            if (program.mainWindow && !program.closing())
                program.mainWindow->close();
        });
        return program.exec();
    }
    // A key typed where the focus is, as the keyboard would send it.
    void type(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* to = QApplication::focusWidget();
        QTest::keyClick(to ? to : program.mainWindow, key, modifiers);
    }

    ScriptedMessageBoxes boxes;
    ScriptedFileDialog fileDialog;
    RecordingUrlOpener opener;
    GenerousHttpGet http;
    ApplicationActivation activation{ApplicationActivation::Source::Manual};
    EventFilterHotkeys hotkeys{&activation};
    RecordingPower power;
    WatchingClock clock;
    Program program;
};
