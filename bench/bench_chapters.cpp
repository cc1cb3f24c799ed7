// Chapters and the time left on the largest book: what a speed change costs
// (the figure counted again and shown in the information box's caption), what
// the first count after a Start costs, and finding and mapping the chapters.
#include "books/text_headings.h"
#include "reading/chapters.h"
#include "reading/preparation.h"
#include "reading/reading_state.h"
#include "reading/time_left.h"
#include "reading/time_left_text.h"
#include "ui/main_window.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QGroupBox>

namespace {

struct Book {
    QString text;
    WordSequence words;
    QList<Chapter> chapters;
    PaceProfile profile;
};

const Book& book() {
    static const Book b = [] {
        Book made;
        QDir dir(QStringLiteral(KESTRIX_CORPUS_DEFAULT));
        const auto files = dir.entryInfoList({QStringLiteral("*.txt")}, QDir::Files, QDir::Size);
        QFile f(files.value(0).absoluteFilePath());
        if (f.open(QIODevice::ReadOnly))
            made.text = QString::fromUtf8(f.readAll());
        cutWhole(made.words, made.text);
        made.chapters = chapterEntries(made.words, textHeadings(made.words.text()));
        made.profile.update(made.words);
        return made;
    }();
    return b;
}

// A speed change: the time left counted at the new speed, from the middle of
// the book, and shown in the caption of the information box.
void BM_TimeLeftAfterSpeedChange(benchmark::State& state) {
    const Book& b = book();
    MainWindow window;
    const int position = b.words.written() / 2;
    int speed = 3;
    for (auto _ : state) {
        speed = speed == 3 ? 9 : 3;
        const TimeLeft left =
            timeLeftAt(b.profile, b.chapters, position, b.words.written(), baseInterval(speed));
        window.informationBox->setTitle(informationCaption(left, false));
        QString line = timeLeftLine(left, false);
        benchmark::DoNotOptimize(line);
    }
    state.counters["chapters"] = double(b.chapters.size());
}
BENCHMARK(BM_TimeLeftAfterSpeedChange)->Unit(benchmark::kMicrosecond);

// The first count once the whole book is cut: the pace profile of every entry,
// then the time left.
void BM_TimeLeftFirstCount(benchmark::State& state) {
    const Book& b = book();
    for (auto _ : state) {
        PaceProfile profile;
        profile.update(b.words);
        const TimeLeft left =
            timeLeftAt(profile, b.chapters, b.words.written() / 2, b.words.written(), 150);
        benchmark::DoNotOptimize(left);
    }
}
BENCHMARK(BM_TimeLeftFirstCount)->Unit(benchmark::kMillisecond);

// The headings of the plain text found.
void BM_TextHeadingsOfLargestBook(benchmark::State& state) {
    const Book& b = book();
    for (auto _ : state) {
        QList<ChapterMark> marks = textHeadings(b.text);
        benchmark::DoNotOptimize(marks);
    }
}
BENCHMARK(BM_TextHeadingsOfLargestBook)->Unit(benchmark::kMillisecond);

// A book file's chapter marks moved into the text Start cuts and mapped to
// entries of its sequence: what the first tick after the cut pays once.
void BM_ChapterEntriesOfLargestBook(benchmark::State& state) {
    const Book& b = book();
    const QList<ChapterMark> marks = textHeadings(b.text);
    for (auto _ : state) {
        QList<Chapter> chapters = chapterEntries(b.words, startTextMarks(b.text, marks));
        benchmark::DoNotOptimize(chapters);
    }
    state.counters["chapters"] = double(marks.size());
}
BENCHMARK(BM_ChapterEntriesOfLargestBook)->Unit(benchmark::kMillisecond);

} // namespace
