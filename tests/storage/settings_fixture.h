#pragma once

// What the settings tests share: the main window as loadSettings sees it, a
// clock that moves, and plain file access.
#include "fakes.h"
#include "platform/time_format.h"
#include "storage/memory_settings_view.h"
#include "storage/settings.h"

#include <QFile>

inline const QString welcome = QStringLiteral("Вставьте сюда текст");

// The main window as loadSettings sees it: the text box's change handler resets
// the position, the check box's click handler notes whether it would explain.
class TestView : public MemorySettingsView {
public:
    explicit TestView(ReadingState& s) : state(s) { text = welcome; }
    void studyModeClicked() override { booAtClick.append(state.explainLearningMode); }
    void textChanged() override { state.position = 0; }
    void splashTimeLeft(const QString& t) override {
        MemorySettingsView::splashTimeLeft(t);
        timeLabels.append(t);
    }
    void splashFileProgress(int permille) override { fileProgress.append(permille); }
    ReadingState& state;
    QList<bool> booAtClick;
    QStringList timeLabels;
    QList<int> fileProgress;
};

// A clock that moves on by `stepMs` each time it is read.
class SteppingClock final : public Clock {
public:
    explicit SteppingClock(qint64 stepMs) : m_step(stepMs) {}
    QDateTime now() const override {
        m_t = m_t.addMSecs(m_step);
        return m_t;
    }

private:
    qint64 m_step;
    mutable QDateTime m_t{QDate(2026, 1, 1), QTime(23, 0, 0)};
};

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline const TimeFormat& timeFormat() {
    static const TimeFormat tf{QLocale::c()};
    return tf;
}

inline void load(TestView& view, ReadingState& state, const QString& path, const Clock& clock) {
    loadSettings(view, state, path, clock, timeFormat());
}
