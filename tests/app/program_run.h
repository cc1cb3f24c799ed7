#pragma once

// The whole program in the test's process: the services it takes from the
// system replaced (message boxes answered by the test, no update server),
// real timers and real termination signals.
#include "app/program.h"
#include "fakes.h"
#include "platform/hotkeys.h"
#include "platform/hotkeys_activation.h"
#include "platform/http_get_qt.h"
#include "platform/power.h"
#include "platform/termination_signals.h"
#include "ui/display_field.h"
#include "ui/main_window.h"

#include <QFile>
#include <QTest>
#include <QTimer>

#include <functional>

// HTTP GET with a generous time-out: a busy machine must not make the local
// server seem unreachable.
class GenerousHttpGet final : public HttpGet {
public:
    Reply get(const Request& request) override {
        Request generous = request;
        generous.timeoutMs = std::max(request.timeoutMs, 60000);
        return m_http.get(generous);
    }

private:
    QtHttpGet m_http;
};

// Refusing sleep, as a log: "+" when taken, "-" when let go.
class RecordingPower final : public PowerInhibitor {
public:
    bool acquire() override {
        if (!m_held)
            log += QLatin1Char('+');
        m_held = true;
        return true;
    }
    void release() override {
        if (m_held)
            log += QLatin1Char('-');
        m_held = false;
    }
    bool held() const override { return m_held; }
    QString log;

private:
    bool m_held = false;
};

// The system clock, running `onNow` whenever it is read, and moved by
// `offsetMs` (to read on other days).
class WatchingClock final : public Clock {
public:
    QDateTime now() const override {
        if (onNow)
            onNow();
        return QDateTime::currentDateTime().addMSecs(offsetMs);
    }
    std::function<void()> onNow;
    qint64 offsetMs = 0;
};

inline UserFiles filesIn(const QString& folder) {
    return {{folder + QStringLiteral("/kestrix.ini"), {}},
            {folder + QStringLiteral("/library.txt"), {}},
            {}};
}

// One run of the program, its files in `folder` (or where `files` says).
// Without a version file's address, as in a build without a web server,
// there is no update check.
struct Run {
    explicit Run(const QString& folder, const QUrl& versionUrl = {}, const QUrl& pageUrl = {})
        : Run(filesIn(folder), versionUrl, pageUrl) {}
    explicit Run(UserFiles files, const QUrl& versionUrl = {}, const QUrl& pageUrl = {})
        : program(Platform{boxes, fileDialog, opener, http, hotkeys, activation, power, clock,
                           TimeFormat(QLocale::c()), &termination, std::move(files), versionUrl,
                           pageUrl}) {}

    // Starts the program, runs `script` once the event loop runs, and returns
    // the exit code when the program has ended (the saves done).
    // A check that fails inside the script leaves it early; the program is
    // then closed, so that the test reports at once instead of at its timeout.
    int run(const std::function<void()>& script) {
        program.start();
        QTimer::singleShot(0, &program, [this, script] {
            script();
            if (QTest::currentTestFailed() && program.mainWindow)
                program.mainWindow->close();
        });
        return program.exec();
    }
    QString shown() const {
        const DisplayField* field = program.mainWindow->displayField;
        return field->left() + field->letter() + field->rest();
    }

    ScriptedMessageBoxes boxes;
    ScriptedFileDialog fileDialog;
    RecordingUrlOpener opener;
    GenerousHttpGet http;
    ManualHotkeys hotkeys;
    ApplicationActivation activation{ApplicationActivation::Source::Manual};
    RecordingPower power;
    WatchingClock clock;
    TerminationSignals termination;
    Program program;
};

inline QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline const QString failedUpdate =
    QStringLiteral("Не удалось загрузить информацию о новых версиях программы.");
