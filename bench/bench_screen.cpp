// The word display as a reader sees it: the real program's window on a private
// Xvfb display, watched from outside by an X client (XDamage), every change of
// the display field read back as a picture and lined up with the entries of
// the text and the intervals `kestrix-probe cut` prints for them. At 300, 600
// and 1000 words per minute, quiet and with one core kept busy by this
// benchmark. Skipped with a message where Xvfb or the X extensions are missing.
//
// KESTRIX_SCREEN_ENTRIES sets the entries per run (default 400; 2000 for the
// full measurement, about 11 minutes per condition). KESTRIX_BENCH_DISPLAY
// picks the display number (default: the first free one from 140 on).
// KESTRIX_SCREEN_WINDOW runs another build of the window under test.
// KESTRIX_SCREEN_DUMP names a folder for one file per run with every change:
// first entry, interval, when seen (ms after the first) and the picture's
// distance from its reference.
#include "screen/analysis.h"
#include "screen/observer.h"
#include "screen/process.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using screen::Child;

struct Session {
    std::string display;
    Display* x = nullptr;
    std::string folder;
    std::string textFile;
    int entries = 400;
};
Session session;

struct Row {
    std::string name;
    screen::Figures figures;
    double load = 0;
};
std::vector<Row> rows;

double loadAverage() {
    std::ifstream in("/proc/loadavg");
    double load = 0;
    in >> load;
    return load;
}

bool exists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

std::unique_ptr<Child> startXvfb(const std::string& xvfb) {
    const char* fixed = std::getenv("KESTRIX_BENCH_DISPLAY");
    for (int n = fixed ? std::atoi(fixed) : 140; n < 200; ++n) {
        const std::string number = std::to_string(n);
        // A server of an earlier run on the same display may still be going.
        for (int wait = 0; fixed && wait < 50 && exists("/tmp/.X" + number + "-lock"); ++wait)
            usleep(100000);
        if (!fixed && (exists("/tmp/.X11-unix/X" + number) || exists("/tmp/.X" + number + "-lock")))
            continue;
        auto server =
            std::make_unique<Child>(std::vector<std::string>{xvfb, ":" + number, "-screen", "0",
                                                             "1280x1024x24", "-nolisten", "tcp"},
                                    std::vector<std::string>{}, false);
        for (int tries = 0; tries < 100; ++tries) {
            usleep(100000);
            if (Display* d = XOpenDisplay((":" + number).c_str())) {
                session.display = ":" + number;
                session.x = d;
                return server;
            }
        }
        if (fixed)
            break;
    }
    return nullptr;
}

int entryCount(const std::string& file) {
    const std::string out = screen::outputOf({KESTRIX_PROBE, "cut", "--count", file});
    const size_t at = out.rfind("k1\t");
    return at == std::string::npos ? -1 : std::atoi(out.c_str() + at + 3);
}

// The shortest run of whole lines from the start of the book with at least
// the wanted number of entries.
bool writeText(const std::string& book, const std::string& file, int wanted) {
    std::ifstream in(book);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line + '\n');
    const auto write = [&](size_t n) {
        std::ofstream out(file, std::ios::trunc);
        for (size_t i = 0; i < n; ++i)
            out << lines[i];
        return out.good();
    };
    size_t low = 1, high = lines.size();
    while (low < high) {
        const size_t mid = (low + high) / 2;
        if (!write(mid))
            return false;
        if (entryCount(file) >= wanted)
            high = mid;
        else
            low = mid + 1;
    }
    return write(low) && entryCount(file) >= wanted;
}

std::vector<int> probeIntervals(int speedIndex) {
    std::istringstream out(screen::outputOf(
        {KESTRIX_PROBE, "cut", "--speed", std::to_string(speedIndex), session.textFile}));
    std::vector<int> ms;
    for (std::string line; std::getline(out, line);) {
        if (line.rfind("k1\t", 0) == 0)
            break;
        ms.push_back(std::atoi(line.c_str() + line.rfind('\t') + 1));
    }
    return ms;
}

std::vector<screen::Signature> readReferences(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::uint32_t count = 0;
    in.read(reinterpret_cast<char*>(&count), sizeof count);
    std::vector<screen::Signature> refs(count);
    for (screen::Signature& s : refs) {
        std::uint32_t n = 0;
        in.read(reinterpret_cast<char*>(&s.hash), sizeof s.hash);
        in.read(reinterpret_cast<char*>(&n), sizeof n);
        s.sums.resize(n);
        in.read(reinterpret_cast<char*>(s.sums.data()), std::streamsize(n * sizeof(s.sums[0])));
    }
    return in ? refs : std::vector<screen::Signature>();
}

bool measure(int speedIndex, bool busy, screen::Figures& figures, std::string& error) {
    const std::vector<int> intervals = probeIntervals(speedIndex);
    const std::string refFile = session.folder + "/references.bin";
    const char* harness = std::getenv("KESTRIX_SCREEN_WINDOW");
    Child window(
        {harness ? harness : SCREEN_WINDOW, session.textFile, std::to_string(speedIndex), refFile},
        {"DISPLAY=" + session.display, "QT_QPA_PLATFORM=xcb",
         "XDG_CONFIG_HOME=" + session.folder + "/config"},
        true);
    std::string ready;
    while (window.readLine(ready, 120000) && ready.rfind("READY ", 0) != 0) {
    }
    screen::FieldPlace place;
    unsigned long long id = 0;
    if (std::sscanf(ready.c_str(), "READY %llu %d %d %d %d %d %d %d %d", &id, &place.x, &place.y,
                    &place.width, &place.height, &place.border, &place.tickColumn, &place.clickX,
                    &place.clickY) != 9) {
        error = "the window did not come up";
        return false;
    }
    place.window = static_cast<Window>(id);
    const std::vector<screen::Signature> refs = readReferences(refFile);
    if (refs.size() != intervals.size() || refs.empty()) {
        error = "the window's entries (" + std::to_string(refs.size()) +
                ") differ from the probe's (" + std::to_string(intervals.size()) + ")";
        return false;
    }
    std::atomic<bool> stop{false};
    std::thread spinner;
    if (busy) {
        spinner = std::thread([&stop] {
            setpriority(PRIO_PROCESS, 0, 0); // busy like any other program
            volatile std::uint64_t n = 0;
            while (!stop.load(std::memory_order_relaxed))
                n = n + 1;
        });
    }
    double total = 1000;
    for (int ms : intervals)
        total += ms;
    bool done = false;
    const screen::Observation seen = screen::observe(
        session.x, place,
        [&] {
            std::vector<std::string> lines;
            const bool open = window.drain(lines);
            for (const std::string& l : lines)
                done = done || l == "DONE";
            return done || !open;
        },
        2 * total + 10000);
    stop = true;
    if (spinner.joinable())
        spinner.join();
    window.finish(10000);
    figures = screen::analyse(refs, intervals, seen);
    if (const char* dump = std::getenv("KESTRIX_SCREEN_DUMP")) {
        std::ofstream out(std::string(dump) + "/" + std::to_string(speedIndex) +
                          (busy ? "-busy" : "-quiet") + ".tsv");
        const double start = figures.detail.empty() ? 0 : figures.detail.front().shownAt;
        for (const auto& c : figures.detail)
            out << c.firstEntry << '\t' << c.intervalMs << '\t'
                << (c.shownAt < 0 ? -1 : c.shownAt - start) << '\t' << c.distance << '\n';
    }
    return true;
}

void runOnScreen(benchmark::State& st, int wpm, bool busy) {
    const int speedIndex = (wpm - 150) / 50;
    for (auto _ : st) {
        const double load = loadAverage();
        screen::Figures f;
        std::string error;
        if (!measure(speedIndex, busy, f, error)) {
            st.SkipWithError(error.c_str());
            return;
        }
        st.SetIterationTime(f.timed > 0 ? f.timed / 1000.0 : 0);
        st.counters["median_err_ms"] = f.medianErrorMs;
        st.counters["p99_err_ms"] = f.p99ErrorMs;
        st.counters["max_err_ms"] = f.maxErrorMs;
        st.counters["drift_pct"] = f.driftPct;
        st.counters["short75"] = f.shorterThan75;
        st.counters["never_visible"] = f.neverVisible;
        st.counters["partial"] = f.partial;
        st.counters["rects_per_entry"] = f.rectsPerEntry;
        st.counters["stalls"] = f.stalls;
        st.counters["load1"] = load;
        rows.push_back({std::to_string(wpm) + (busy ? " busy " : " quiet"), f, load});
    }
}

void printTable() {
    std::printf("\n| wpm, condition | load | entries | changes | timed | median |err| ms | "
                "p99 |err| ms | max ms | drift %% | <75 %% | never visible | partial | "
                "rects/entry |\n|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    for (const Row& r : rows) {
        const screen::Figures& f = r.figures;
        std::printf("| %s | %.1f | %d | %d | %d | %.2f | %.1f | %.1f | %+.3f | %d | %d | %d | "
                    "%.2f |\n",
                    r.name.c_str(), r.load, f.entries, f.changes, f.timed, f.medianErrorMs,
                    f.p99ErrorMs, f.maxErrorMs, f.driftPct, f.shorterThan75, f.neverVisible,
                    f.partial, f.rectsPerEntry);
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    screen::endChildrenWithThisProcess();
    const std::string xvfb = screen::findInPath("Xvfb");
    if (xvfb.empty()) {
        std::printf("bench_screen: skipped, Xvfb is not installed (apt-get install xvfb)\n");
        return 0;
    }
    // The observer is the measuring instrument: where allowed, it runs ahead
    // of other work so that it sees each change when the server draws it.
    const bool raised = setpriority(PRIO_PROCESS, 0, -10) == 0;
    std::printf("bench_screen: observer priority %s\n", raised ? "raised (nice -10)" : "normal");
    if (const char* n = std::getenv("KESTRIX_SCREEN_ENTRIES"))
        session.entries = std::max(10, std::atoi(n));
    char folder[] = "/tmp/kestrix-screen-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        std::printf("bench_screen: cannot make a temporary folder\n");
        return 1;
    }
    session.folder = folder;
    session.textFile = session.folder + "/text.txt";
    const std::unique_ptr<Child> server = startXvfb(xvfb);
    int status = 0;
    if (!server) {
        std::printf("bench_screen: skipped, Xvfb did not start\n");
    } else if (!screen::canObserve(session.x)) {
        std::printf("bench_screen: skipped, the display lacks XDamage or XTest\n");
    } else if (!writeText(std::string(KESTRIX_CORPUS_DEFAULT) +
                              "/ru_pushkin_kapitanskaya_dochka.txt",
                          session.textFile, session.entries)) {
        std::printf("bench_screen: cannot prepare the text\n");
        status = 1;
    } else {
        for (const bool busy : {false, true}) {
            for (const int wpm : {300, 600, 1000}) {
                const std::string name =
                    "BM_OnScreen/" + std::to_string(wpm) + (busy ? "/busy" : "/quiet");
                benchmark::RegisterBenchmark(name.c_str(), runOnScreen, wpm, busy)
                    ->Iterations(1)
                    ->UseManualTime()
                    ->Unit(benchmark::kSecond);
            }
        }
        benchmark::RunSpecifiedBenchmarks();
        printTable();
    }
    if (session.x)
        XCloseDisplay(session.x);
    benchmark::Shutdown();
    std::system(("rm -rf '" + session.folder + "'").c_str());
    return status;
}
