// The settings and bookmark file with the largest book of the corpus: saving
// the whole word sequence, and loading until the rebuilt text exists.
#include "platform/clock.h"
#include "platform/time_format.h"
#include "reading/preparation.h"
#include "storage/ini_file.h"
#include "storage/memory_settings_view.h"
#include "storage/settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QString corpusFile(const char* name) {
    return QDir(QStringLiteral(KESTRIX_CORPUS_DEFAULT)).filePath(QLatin1String(name));
}

// The reading state after Start on the largest Russian text.
ReadingState& bookState() {
    static ReadingState state = [] {
        ReadingState s;
        QFile f(corpusFile("ru_tolstoy_voina_i_mir.txt"));
        if (f.open(QIODevice::ReadOnly))
            s.entryCount = cutWhole(s.words, QString::fromUtf8(f.readAll()));
        s.position = s.entryCount / 2;
        return s;
    }();
    return state;
}

QTemporaryDir& tempDir() {
    static QTemporaryDir dir;
    return dir;
}

QString iniPath() {
    return tempDir().filePath(QStringLiteral("kestrix.ini"));
}

void saveOnce() {
    MemorySettingsView view;
    saveSettings(view, bookState(), iniPath());
}

void BM_SaveSettingsBook(benchmark::State& st) {
    ReadingState& s = bookState();
    if (s.entryCount <= 0) {
        st.SkipWithError("corpus text missing");
        return;
    }
    for (auto _ : st) {
        QFile::remove(iniPath());
        saveOnce();
    }
    st.counters["entries"] = s.entryCount;
    st.counters["bytes"] = static_cast<double>(QFileInfo(iniPath()).size());
}
BENCHMARK(BM_SaveSettingsBook)->Unit(benchmark::kMillisecond)->UseRealTime();

// Saving over the file of the previous run: the old book is read and dropped.
void BM_SaveSettingsBookOverOld(benchmark::State& st) {
    saveOnce();
    for (auto _ : st)
        saveOnce();
}
BENCHMARK(BM_SaveSettingsBookOverOld)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadSettingsBook(benchmark::State& st) {
    saveOnce();
    const SystemClock clock;
    const TimeFormat tf;
    qsizetype chars = 0;
    for (auto _ : st) {
        ReadingState s;
        MemorySettingsView view;
        loadSettings(view, s, iniPath(), clock, tf);
        chars = view.text.size();
        benchmark::DoNotOptimize(chars);
    }
    st.counters["text_chars"] = static_cast<double>(chars);
}
BENCHMARK(BM_LoadSettingsBook)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ParseIniBook(benchmark::State& st) {
    saveOnce();
    for (auto _ : st) {
        IniFile ini;
        ini.load(iniPath());
        benchmark::DoNotOptimize(ini.keyCount(u"Content"));
    }
}
BENCHMARK(BM_ParseIniBook)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
