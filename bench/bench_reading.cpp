// Cutting a whole book into the word sequence, and how long it lasts on screen.
#include "reading/preparation.h"
#include "reading/reading_state.h"
#include "reading/time_left.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>

namespace {

QString largestText() {
    QDir dir(QStringLiteral(KESTRIX_CORPUS_DEFAULT));
    const auto files = dir.entryInfoList({QStringLiteral("*.txt")}, QDir::Files, QDir::Size);
    QFile f(files.value(0).absoluteFilePath());
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

const QString& book() {
    static const QString text = largestText();
    return text;
}

void BM_CutLargestBook(benchmark::State& state) {
    const QString text = startText(book());
    WordSequence words;
    int k = 0;
    for (auto _ : state) {
        Preparation p(words, text);
        p.runToEnd();
        k = p.filled();
        benchmark::DoNotOptimize(k);
    }
    state.counters["chars_per_s"] =
        benchmark::Counter(double(text.size()), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["entries"] = k;
    state.counters["bytes_per_entry"] = double(WordSequence::bytesPerEntry());
}
BENCHMARK(BM_CutLargestBook)->Unit(benchmark::kMillisecond);

void BM_StartTextOfLargestBook(benchmark::State& state) {
    for (auto _ : state) {
        QString text = startText(book());
        benchmark::DoNotOptimize(text);
    }
    state.counters["chars_per_s"] =
        benchmark::Counter(double(book().size()), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_StartTextOfLargestBook)->Unit(benchmark::kMillisecond);

// Counting a whole cut book into its pace profile: done once per Start.
void BM_PaceProfileOfLargestBook(benchmark::State& state) {
    WordSequence words;
    cutWhole(words, book());
    for (auto _ : state) {
        PaceProfile profile;
        profile.update(words);
        benchmark::DoNotOptimize(profile.size());
    }
    state.counters["entries"] = words.written();
}
BENCHMARK(BM_PaceProfileOfLargestBook)->Unit(benchmark::kMillisecond);

// The time left from the middle of the book after a speed change: what the
// window asks at every change of speed and once a second while reading.
void BM_TimeLeftAfterSpeedChange(benchmark::State& state) {
    WordSequence words;
    cutWhole(words, book());
    PaceProfile profile;
    profile.update(words);
    int speed = 0;
    for (auto _ : state) {
        speed = (speed + 1) % 18;
        benchmark::DoNotOptimize(
            profile.durationMs(words.written() / 2 + speed, words.written(), baseInterval(speed)));
    }
}
BENCHMARK(BM_TimeLeftAfterSpeedChange)->Unit(benchmark::kMicrosecond);

} // namespace
