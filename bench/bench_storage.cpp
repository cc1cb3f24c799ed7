// The settings and bookmark file: saving and loading the largest book of the
// corpus, restoring six copies of it (an 84 MB file), and restoring a 29-byte
// file that announces a million entries and holds none into the real text box.
#include "platform/clock.h"
#include "platform/time_format.h"
#include "reading/preparation.h"
#include "storage/ini_file.h"
#include "storage/memory_settings_view.h"
#include "storage/settings.h"
#include "ui/main_window.h"
#include "ui/text_box.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

QString corpusFile(const char* name) {
    return QDir(QStringLiteral(KESTRIX_CORPUS_DEFAULT)).filePath(QLatin1String(name));
}

QString bookText() {
    QFile f(corpusFile("ru_tolstoy_voina_i_mir.txt"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The reading state after Start on `copies` copies of the largest Russian text.
ReadingState stateOf(int copies) {
    ReadingState s;
    const QString one = bookText();
    if (one.isEmpty())
        return s;
    QString text;
    text.reserve(one.size() * copies);
    for (int i = 0; i < copies; ++i)
        text += one;
    s.entryCount = cutWhole(s.words, text);
    s.position = s.entryCount / 2;
    return s;
}

ReadingState& bookState() {
    static ReadingState state = stateOf(1);
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

double peakRssMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;
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

// loadSettings of the file at `path` in every iteration, until the rebuilt
// text exists.
void loadRepeatedly(benchmark::State& st, const QString& path) {
    const SystemClock clock;
    const TimeFormat tf;
    qsizetype chars = 0;
    for (auto _ : st) {
        ReadingState s;
        MemorySettingsView view;
        loadSettings(view, s, path, clock, tf);
        chars = view.text.size();
        benchmark::DoNotOptimize(chars);
    }
    st.counters["text_chars"] = static_cast<double>(chars);
}

void BM_LoadSettingsBook(benchmark::State& st) {
    saveOnce();
    loadRepeatedly(st, iniPath());
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

// Six copies of the book in one file (about 84 MB, 3.3 million entries):
// loadSettings until the rebuilt text exists.
void BM_LoadSettingsSixBooks(benchmark::State& st) {
    const QString path = tempDir().filePath(QStringLiteral("six.ini"));
    int entries = 0;
    {
        ReadingState s = stateOf(6);
        entries = s.entryCount;
        MemorySettingsView view;
        saveSettings(view, s, path);
    }
    if (entries <= 0) {
        st.SkipWithError("corpus text missing");
        return;
    }
    loadRepeatedly(st, path);
    st.counters["entries_saved"] = entries;
    st.counters["file_mb"] = static_cast<double>(QFileInfo(path).size()) / 1e6;
}
BENCHMARK(BM_LoadSettingsSixBooks)->Unit(benchmark::kMillisecond)->UseRealTime();

// "[Config]" with "TextLength=999999" and nothing else, 29 bytes: the whole
// restore, until the shown text box has laid out what it was given.
void BM_RestoreEmptyMillionIntoTextBox(benchmark::State& st) {
    const QString path = tempDir().filePath(QStringLiteral("empty-million.ini"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write("[Config]\r\nTextLength=999999\r\n") != 29) {
            st.SkipWithError("cannot write the file");
            return;
        }
    }
    const SystemClock clock;
    const TimeFormat tf;
    MainWindow form;
    form.textBox->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    form.show();
    QCoreApplication::processEvents();
    qsizetype chars = 0;
    for (auto _ : st) {
        QElapsedTimer t;
        t.start();
        ReadingState s;
        MemorySettingsView view;
        loadSettings(view, s, path, clock, tf);
        form.textBox->setPlainText(view.text);
        QCoreApplication::processEvents();
        st.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        chars = view.text.size();
        form.textBox->clear();
    }
    st.counters["text_chars"] = static_cast<double>(chars);
    st.counters["peak_rss_mb"] = peakRssMb();
}
BENCHMARK(BM_RestoreEmptyMillionIntoTextBox)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace
