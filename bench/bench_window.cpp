// The reading in the real window (offscreen): Start on the largest book, the
// word display's timing at 1000 words per minute, and restoring a stored book
// into the text box.
#include "platform/clock.h"
#include "platform/hotkeys.h"
#include "platform/message_boxes.h"
#include "reading/preparation.h"
#include "reading/reader.h"
#include "storage/memory_settings_view.h"
#include "storage/settings.h"
#include "ui/closing_dialog.h"
#include "ui/flat_button.h"
#include "ui/main_window.h"
#include "ui/text_box.h"
#include "words/library.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

namespace {

QString corpusText(bool largest) {
    QDir dir(QStringLiteral(KESTRIX_CORPUS_DEFAULT));
    const auto files = dir.entryInfoList({QStringLiteral("*.txt")}, QDir::Files, QDir::Size);
    QFile f(files.value(largest ? 0 : 1).absoluteFilePath());
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

class NoBoxes final : public MessageBoxes {
public:
    Answer show(QWidget*, const QString&, const QString&, Buttons) override { return Answer::Ok; }
};

struct Window {
    QTemporaryDir dir;
    MainWindow form;
    ClosingDialog closing;
    ReadingState state;
    WordLibrary library;
    ManualHotkeys hotkeys;
    NoBoxes boxes;
    SystemClock clock;
    Reader reader{form, closing, state, library,
                  Reader::Services{boxes,
                                   hotkeys,
                                   clock,
                                   TimeFormat(),
                                   {dir.filePath(QStringLiteral("library.txt")), {}}}};
    Window() { form.show(); }
};

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[static_cast<size_t>(std::min<double>(double(v.size()) - 1, p * double(v.size())))];
}

// Start on the largest book: how long the whole preparation takes, and the
// longest time a pending event waited meanwhile (the gap between two turns of
// a zero-interval timer). The first turn after Start, which also repaints the
// window in its reading state, is reported on its own. Argument 0: a new text
// (Start compares it with the book the bookmark belongs to); 1: the same text
// again.
void BM_StartLargestBookInWindow(benchmark::State& st) {
    const QString book = corpusText(true);
    const bool sameText = st.range(0) == 1;
    double longestGapMs = 0;
    double firstGapMs = 0;
    for (auto _ : st) {
        Window w;
        w.form.textBox->setPlainText(book);
        if (sameText)
            w.reader.takeTextAsBook();
        QCoreApplication::processEvents();
        using Clock = std::chrono::steady_clock;
        Clock::time_point last = Clock::now();
        double gap = 0;
        double firstGap = -1;
        QTimer probe;
        probe.setInterval(0);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            const auto now = Clock::now();
            const double g = std::chrono::duration<double, std::milli>(now - last).count();
            if (firstGap < 0)
                firstGap = g; // includes the window's repaint after Start
            else
                gap = std::max(gap, g);
            last = now;
        });
        probe.start();
        QElapsedTimer t;
        t.start();
        last = Clock::now();
        w.form.startButton->clickFromCode();
        st.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        probe.stop();
        w.reader.wordTimer.setEnabled(false);
        longestGapMs = std::max(longestGapMs, gap);
        firstGapMs = std::max(firstGapMs, firstGap);
        st.counters["entries"] = w.state.entryCount;
    }
    st.counters["first_turn_ms"] = firstGapMs;
    st.counters["longest_event_gap_ms"] = longestGapMs;
}
BENCHMARK(BM_StartLargestBookInWindow)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// The word display at 1000 words per minute with the real word timer: the
// time between two changes of the display against the interval the tick set.
void BM_DisplayTiming1000wpm(benchmark::State& st) {
    const QString text = corpusText(false);
    constexpr int changes = 2001;
    for (auto _ : st) {
        Window w;
        w.form.speedList->setCurrentIndex(17);
        w.form.textBox->setPlainText(text);
        using Clock = std::chrono::steady_clock;
        std::vector<Clock::time_point> at;
        std::vector<unsigned> set;
        at.reserve(changes);
        QEventLoop loop;
        QObject::connect(&w.reader.wordTimer, &Timer::timeout, [&] {
            at.push_back(Clock::now());
            set.push_back(w.reader.wordTimer.interval());
            if (at.size() >= size_t(changes))
                loop.quit();
        });
        w.form.startButton->clickFromCode();
        loop.exec();
        std::vector<double> errors;
        double total = 0;
        double intended = 0;
        for (size_t i = 1; i < at.size(); ++i) {
            const double actual =
                std::chrono::duration<double, std::milli>(at[i] - at[i - 1]).count();
            errors.push_back(std::abs(actual - set[i - 1]));
            total += actual;
            intended += set[i - 1];
        }
        st.SetIterationTime(total / 1000);
        st.counters["median_error_ms"] = percentile(errors, 0.5);
        st.counters["p99_error_ms"] = percentile(errors, 0.99);
        st.counters["max_error_ms"] = percentile(errors, 1.0);
        st.counters["total_drift_pct"] = 100.0 * (total - intended) / intended;
        st.counters["intervals"] = double(errors.size());
    }
}
BENCHMARK(BM_DisplayTiming1000wpm)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

// A stored copy of the largest book restored until its text is in the text box.
// Argument 0: the text put at once; 1: put in slices with pending events run
// after each (as the program does, so that the splash stays painted).
void BM_RestoreLargestBookIntoTextBox(benchmark::State& st) {
    const bool sliced = st.range(0) == 1;
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("kestrix.ini"));
    {
        ReadingState s;
        s.entryCount = cutWhole(s.words, corpusText(true));
        MemorySettingsView view;
        saveSettings(view, s, ini);
    }
    MainWindow form;
    SystemClock clock;
    const TimeFormat format;
    for (auto _ : st) {
        QElapsedTimer t;
        t.start();
        MemorySettingsView view;
        ReadingState s;
        loadSettings(view, s, ini, clock, format);
        if (sliced)
            form.textBox->putText(view.text, [](qsizetype, qsizetype) {
                QCoreApplication::processEvents();
                return true;
            });
        else
            form.textBox->setPlainText(view.text);
        st.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
    }
}
BENCHMARK(BM_RestoreLargestBookIntoTextBox)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace
