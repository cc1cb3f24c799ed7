// The bookshelf on the largest book of the corpus: what the interface thread
// pays for a periodic save of the place (counting the words before it and
// queueing the write), the write itself on the worker, the book's
// fingerprint and the mapping of a place into another form of the text at
// Start, and the "Книги" window listing 1,000 books.
#include "app/books_wiring.h"
#include "reading/book_identity.h"
#include "reading/preparation.h"
#include "shelf/shelf_worker.h"
#include "ui/books_window.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

namespace {

const QString& bookText() {
    static const QString text = [] {
        QFile f(QDir(QStringLiteral(KESTRIX_CORPUS_DEFAULT))
                    .filePath(QStringLiteral("ru_tolstoy_voina_i_mir.txt")));
        return f.open(QIODevice::ReadOnly) ? startText(QString::fromUtf8(f.readAll())) : QString();
    }();
    return text;
}

const WordSequence& bookWords() {
    static const WordSequence words = [] {
        WordSequence w;
        Preparation p(w, bookText());
        p.runToEnd();
        w.truncate(p.filled());
        return w;
    }();
    return words;
}

ShelfBook sampleBook(int i) {
    ShelfBook b;
    b.fingerprint = QStringLiteral("%1").arg(i, 40, 10, QLatin1Char('0'));
    b.title = QStringLiteral("Книга номер %1 с довольно длинным названием").arg(i);
    b.author = QStringLiteral("Автор %1").arg(i % 37);
    b.entries = 600000;
    b.position = i * 500;
    b.speed = 300 + 50 * (i % 10);
    b.firstRead = 1'700'000'000'000 + i;
    b.lastRead = b.firstRead + i;
    b.savedAt = b.lastRead;
    return b;
}

// Each iteration is one periodic save about 5 s of reading (50 entries)
// further on: the count of word entries before the place, and the write
// queued for the worker. The worker's writing is waited for outside the
// measured time.
void BM_PeriodicSaveInterfaceThread(benchmark::State& st) {
    const WordSequence& words = bookWords();
    if (words.isEmpty()) {
        st.SkipWithError("corpus text missing");
        return;
    }
    QTemporaryDir dir;
    ShelfWorker shelf(dir.filePath(QStringLiteral("books.sqlite")));
    shelf.put(sampleBook(1));
    WordCounter counter;
    int position = words.written() / 2;
    counter.wordsBefore(words, position);
    for (auto _ : st) {
        position += 50;
        ShelfPlace place{sampleBook(1).fingerprint,
                         words.written(),
                         position,
                         counter.wordsBefore(words, position),
                         300,
                         position,
                         position};
        shelf.savePlace(place);
        st.PauseTiming();
        shelf.waitForWrites();
        st.ResumeTiming();
    }
}
BENCHMARK(BM_PeriodicSaveInterfaceThread)->Unit(benchmark::kMicrosecond);

// The same save as the worker does it: the UPDATE and its commit (WAL, synced).
void BM_PeriodicSaveWorker(benchmark::State& st) {
    QTemporaryDir dir;
    Shelf shelf;
    if (!shelf.open(dir.filePath(QStringLiteral("books.sqlite"))) || !shelf.put(sampleBook(1))) {
        st.SkipWithError("no shelf");
        return;
    }
    int position = 0;
    for (auto _ : st) {
        ++position;
        shelf.savePlace({sampleBook(1).fingerprint, 600000, position, position, 300, 1, 1});
    }
}
BENCHMARK(BM_PeriodicSaveWorker)->Unit(benchmark::kMicrosecond);

// The first count of a periodic save after Start, for a place in the middle
// of the book: every entry before it is looked at once.
void BM_WordsBeforeFirstCount(benchmark::State& st) {
    const WordSequence& words = bookWords();
    for (auto _ : st)
        benchmark::DoNotOptimize(wordsBefore(words, words.written() / 2));
}
BENCHMARK(BM_WordsBeforeFirstCount)->Unit(benchmark::kMicrosecond);

void BM_Fingerprint(benchmark::State& st) {
    const QString& text = bookText();
    for (auto _ : st)
        benchmark::DoNotOptimize(bookFingerprint(text));
}
BENCHMARK(BM_Fingerprint)->Unit(benchmark::kMillisecond);

// Start of the book in another form than its place was saved in: the place
// in the middle of the book found by cutting up to it.
void BM_PlaceInAnotherForm(benchmark::State& st) {
    const WordSequence& words = bookWords();
    const int middle = wordsBefore(words, words.written() / 2);
    for (auto _ : st)
        benchmark::DoNotOptimize(entryOfWord(bookText(), middle));
}
BENCHMARK(BM_PlaceInAnotherForm)->Unit(benchmark::kMillisecond);

// Opening the "Книги" window with 1,000 books on the shelf: the books read
// from the database, the rows made and the window shown and painted.
void BM_BooksWindowThousand(benchmark::State& st) {
    QTemporaryDir dir;
    ShelfWorker shelf(dir.filePath(QStringLiteral("books.sqlite")));
    for (int i = 0; i < 1000; ++i)
        shelf.put(sampleBook(i));
    shelf.waitForWrites();
    for (auto _ : st) {
        BooksWindow window;
        window.setRows(BooksWiring::rowsOf(shelf.recent(1000)));
        window.show();
        window.grab();
        QApplication::processEvents();
        if (window.list->topLevelItemCount() != 1000)
            st.SkipWithError("not all books listed");
    }
}
BENCHMARK(BM_BooksWindowThousand)->Unit(benchmark::kMillisecond);

} // namespace
