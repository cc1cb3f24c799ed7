#pragma once

#include "platform/clock.h"
#include "platform/file_dialog.h"
#include "platform/message_boxes.h"
#include "platform/url_opener.h"

#include <QList>
#include <QUrl>

#include <functional>

// Answers message boxes from a script and records every box shown.
class ScriptedMessageBoxes final : public MessageBoxes {
public:
    struct Shown {
        QWidget* owner = nullptr;
        QString title;
        QString text;
        Buttons buttons = Buttons::Ok;
    };
    Answer show(QWidget* owner, const QString& title, const QString& text,
                Buttons buttons) override;

    // Answers given in turn; when they run out, `fallback` is given.
    QList<Answer> answers;
    Answer fallback = Answer::Ok;
    // Runs while a box is "open", to let tests act inside the modal wait.
    std::function<void(const Shown&)> whileOpen;
    QList<Shown> shown;
};

// Answers the file dialog from a script: the paths given in turn, then an
// empty answer (cancelled); records every filter asked with.
class ScriptedFileDialog final : public FileDialog {
public:
    QString openFile(QWidget*, const QString&, const QString& filter) override {
        filters.append(filter);
        if (whileOpen)
            whileOpen();
        return paths.isEmpty() ? QString() : paths.takeFirst();
    }
    QString saveFile(QWidget*, const QString&, const QString& suggested,
                     const QString& filter) override {
        suggestions.append(suggested);
        return openFile(nullptr, {}, filter);
    }
    QStringList paths;
    QStringList suggestions; // the names offered by saveFile
    // Runs while the dialog is "open".
    std::function<void()> whileOpen;
    QStringList filters;
};

class RecordingUrlOpener final : public UrlOpener {
public:
    bool open(const QUrl& url) override {
        opened.append(url);
        return true;
    }
    QList<QUrl> opened;
};

// A clock that stands still until moved.
class FixedClock final : public Clock {
public:
    explicit FixedClock(QDateTime t = QDateTime(QDate(2026, 1, 1), QTime(12, 0, 0)))
        : time(std::move(t)) {}
    QDateTime now() const override { return time; }
    void advanceMs(qint64 ms) { time = time.addMSecs(ms); }
    QDateTime time;
};
