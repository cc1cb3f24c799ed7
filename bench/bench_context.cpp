// The context panel on War and Peace: opening it at a pause (the stretch of
// text found, laid out and painted), and the word tick's cost with and
// without the panel's handlers connected, measured in the same run.
#include "platform/clock.h"
#include "platform/hotkeys.h"
#include "platform/message_boxes.h"
#include "reading/context_navigation.h"
#include "reading/preparation.h"
#include "reading/reader.h"
#include "ui/closing_dialog.h"
#include "ui/context_panel.h"
#include "ui/main_window.h"
#include "words/library.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

const QString& warAndPeace() {
    static const QString text = [] {
        QFile f(QStringLiteral(KESTRIX_CORPUS_DEFAULT "/ru_tolstoy_voina_i_mir.txt"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }();
    return text;
}

class NoBoxes final : public MessageBoxes {
public:
    Answer show(QWidget*, const QString&, const QString&, Buttons) override { return Answer::Ok; }
};

// The main window with the book cut, as after a Start; with or without the
// context panel's handlers.
struct Window {
    explicit Window(bool withContext) {
        state.entryCount = cutWhole(state.words, warAndPeace());
        if (withContext)
            context = std::make_unique<ContextNavigation>(form, state, reader);
        form.show();
        QCoreApplication::processEvents();
    }
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
    std::unique_ptr<ContextNavigation> context;
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Opening the panel at 40 places spread over the book, each painted before
// the clock stops; closed again between them. Iteration time: one opening.
void BM_OpenContextPanelWarAndPeace(benchmark::State& st) {
    Window w(true);
    const int entries = w.state.words.written();
    std::vector<double> ms;
    int place = 0;
    for (auto _ : st) {
        w.state.position = int((qint64(place++ % 40) * 2477 + 13) * entries / (40 * 2477 + 13));
        QElapsedTimer t;
        t.start();
        w.context->open();
        w.form.contextPanel->repaint();
        const double took = double(t.nsecsElapsed()) / 1e6;
        st.SetIterationTime(took / 1000);
        ms.push_back(took);
        st.PauseTiming();
        w.context->close();
        QCoreApplication::processEvents();
        st.ResumeTiming();
    }
    st.counters["median_ms"] = median(ms);
    st.counters["max_ms"] = *std::max_element(ms.begin(), ms.end());
    st.counters["target_ms"] = 30;
}
BENCHMARK(BM_OpenContextPanelWarAndPeace)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(40);

// The word tick (entry chosen, interval set, display painted) over 2000
// entries of the book. Argument 0: without the context panel's handlers; 1:
// with them. The ratio of the two is the panel's cost per tick.
void BM_WordTickWarAndPeace(benchmark::State& st) {
    Window w(st.range(0) == 1);
    w.reader.wordTimer.setEnabled(true);
    w.state.baseIntervalMs = 150;
    for (auto _ : st) {
        w.state.position = 100000;
        for (int i = 0; i < 2000; ++i)
            w.reader.showNextWord();
    }
    w.reader.wordTimer.setEnabled(false);
    st.counters["ticks"] =
        benchmark::Counter(2000.0 * double(st.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WordTickWarAndPeace)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
