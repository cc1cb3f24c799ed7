// The save on pause with the largest book of the corpus: what the interface
// thread pays (the snapshot and queueing it), and the whole save as the worker
// thread writes it.
#include "reading/preparation.h"
#include "storage/memory_settings_view.h"
#include "storage/settings_saver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>

namespace {

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// The reading state after Start on the largest Russian text.
ReadingState& bookState() {
    static ReadingState state = [] {
        ReadingState s;
        QFile f(QDir(QStringLiteral(KESTRIX_CORPUS_DEFAULT))
                    .filePath(QStringLiteral("ru_tolstoy_voina_i_mir.txt")));
        if (f.open(QIODevice::ReadOnly))
            s.entryCount = cutWhole(s.words, QString::fromUtf8(f.readAll()));
        s.position = s.entryCount / 2;
        return s;
    }();
    return state;
}

// The interface thread's share of one pause: every iteration moves the
// bookmark, so each one takes a snapshot and queues a save. The worker's
// writing is waited for outside the measured time.
void BM_PauseSaveInterfaceThread(benchmark::State& st) {
    ReadingState& s = bookState();
    if (s.entryCount <= 0) {
        st.SkipWithError("corpus text missing");
        return;
    }
    QTemporaryDir dir;
    const FileLocation file{dir.filePath(QStringLiteral("kestrix.ini")), {}};
    MemorySettingsView view;
    SettingsSaver saver;
    double longest = 0;
    double longestCpu = 0;
    double first = -1;
    for (auto _ : st) {
        ++s.position;
        const double cpuStart = threadCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        const bool queued = saver.saveInBackground(view, s, file);
        const auto end = std::chrono::steady_clock::now();
        const double seconds = std::chrono::duration<double>(end - start).count();
        st.SetIterationTime(seconds);
        longest = std::max(longest, seconds);
        if (first < 0)
            first = seconds;
        longestCpu = std::max(longestCpu, threadCpuSeconds() - cpuStart);
        if (!queued)
            st.SkipWithError("no save queued");
        saver.waitForSaves();
        QCoreApplication::processEvents();
    }
    st.counters["entries"] = s.entryCount;
    // The longest call on the wall clock, and in the thread's own CPU time,
    // which a busy machine taking the processor away does not lengthen.
    st.counters["longest_ms"] = longest * 1000;
    st.counters["longest_cpu_ms"] = longestCpu * 1000;
    st.counters["first_ms"] = first * 1000;
}
// Each iteration waits for a whole save: a fixed count keeps the run short.
BENCHMARK(BM_PauseSaveInterfaceThread)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(20);

// The same pause with the worker's writing included, to set the share above
// against the whole save.
void BM_PauseSaveWhole(benchmark::State& st) {
    ReadingState& s = bookState();
    QTemporaryDir dir;
    const FileLocation file{dir.filePath(QStringLiteral("kestrix.ini")), {}};
    MemorySettingsView view;
    SettingsSaver saver;
    for (auto _ : st) {
        ++s.position;
        saver.saveInBackground(view, s, file);
        saver.waitForSaves();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_PauseSaveWhole)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace
