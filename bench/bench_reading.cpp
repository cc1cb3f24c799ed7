// Cutting a whole book into the word sequence.
#include "reading/preparation.h"

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

} // namespace
