// Word analysis: roots of real text, the learning-mode check against a large
// library, and the library file.
#include "reading/preparation.h"
#include "words/clean_word.h"
#include "words/library.h"
#include "words/word_root.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// The words (entries that are no blanks) of the largest text of the corpus.
const QStringList& corpusWords() {
    static const QStringList words = [] {
        const QFileInfoList texts =
            QDir(QStringLiteral(KESTRIX_CORPUS_DEFAULT))
                .entryInfoList({QStringLiteral("*.txt")}, QDir::Files, QDir::Size);
        QStringList out;
        if (texts.isEmpty())
            return out;
        QFile f(texts.first().absoluteFilePath());
        if (!f.open(QIODevice::ReadOnly))
            return out;
        WordSequence sequence;
        const int k = cutWhole(sequence, QString::fromUtf8(f.readAll()));
        for (int i = 0; i < k; ++i) {
            if (!sequence.isBlank(i))
                out << sequence.joined(i);
        }
        return out;
    }();
    return words;
}

// n distinct roots of Cyrillic letters, none of which a word of the corpus
// is likely to produce.
QStringList syntheticRoots(int n) {
    QStringList out;
    out.reserve(n);
    for (int i = 0; i < n; ++i) {
        QString r = QStringLiteral("щ");
        for (int v = i; v > 0; v /= 32)
            r += QChar(u'а' + v % 32);
        out << r;
    }
    return out;
}

void cleanAndRoot(benchmark::State& state) {
    const QStringList& words = corpusWords();
    if (words.isEmpty()) {
        state.SkipWithError("no corpus");
        return;
    }
    qsizetype i = 0;
    for (auto _ : state) {
        QString root = wordRoot(cleanWord(words.at(i)));
        benchmark::DoNotOptimize(root);
        if (++i == words.size())
            i = 0;
    }
    state.counters["words"] = static_cast<double>(words.size());
}
BENCHMARK(cleanAndRoot)->Name("clean+wordRoot per word");

void checkWord(benchmark::State& state) {
    const QStringList& words = corpusWords();
    if (words.isEmpty()) {
        state.SkipWithError("no corpus");
        return;
    }
    WordLibrary lib;
    lib.setEntries(syntheticRoots(static_cast<int>(state.range(0))));
    qsizetype i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(lib.checkWord(words.at(i), true));
        if (++i == words.size())
            i = 0;
    }
    state.counters["entries"] = static_cast<double>(lib.entries().size());
}
BENCHMARK(checkWord)->Name("checkWord per check")->Arg(10)->Arg(1000000);

void load(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("library.txt"));
    {
        WordLibrary lib;
        lib.setEntries(syntheticRoots(static_cast<int>(state.range(0))));
        if (!lib.save(path).isEmpty()) {
            state.SkipWithError("cannot write");
            return;
        }
    }
    for (auto _ : state) {
        WordLibrary lib;
        benchmark::DoNotOptimize(lib.load(path));
        state.PauseTiming();
        lib.setEntries({});
        state.ResumeTiming();
    }
}
BENCHMARK(load)->Name("load")->Arg(1000000)->Unit(benchmark::kMillisecond);

void save(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("library.txt"));
    WordLibrary lib;
    lib.setEntries(syntheticRoots(static_cast<int>(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(lib.save(path));
}
BENCHMARK(save)->Name("save")->Arg(1000000)->Unit(benchmark::kMillisecond);

// What the periodic save costs the interface thread: asking for the save and
// the next word tick, whose new root makes the library leave the snapshot.
void saveAsyncInterfaceCost(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("library.txt"));
    WordLibrary lib;
    lib.setEntries(syntheticRoots(static_cast<int>(state.range(0))));
    int n = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        lib.saveAsync(path);
        lib.checkWord(QStringLiteral("новоеслово") + QString::number(n++), true);
        state.SetIterationTime(static_cast<double>(t.nsecsElapsed()) * 1e-9);
        lib.waitForSaves();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(saveAsyncInterfaceCost)
    ->Name("saveAsync interface-thread cost")
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

} // namespace
