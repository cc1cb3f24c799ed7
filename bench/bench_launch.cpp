// The start of the real program as a reader sees it: under an Xvfb display of
// its own, with a temporary HOME holding (a) no file, (b) War and Peace stored
// in kestrix.ini, (c) six copies of it in one file. For each: the time from
// exec to the main window ("Kestrix") being mapped, and the resident memory
// (VmRSS) and its peak (VmHWM) 2 s later. Median of 5 runs each, the cases
// alternating; the ratios of (b) and (c) to (a) are printed. Skipped with a
// message where Xvfb is missing.
//
// KESTRIX_LAUNCH_RUNS sets the runs per case (default 5); KESTRIX_LAUNCH_PROGRAM
// starts another build of the program.
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

template <typename Reply> using Owned = std::unique_ptr<Reply, decltype(&std::free)>;
template <typename Reply> Owned<Reply> own(Reply* reply) {
    return Owned<Reply>(reply, &std::free);
}

std::string findInPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        const fs::path p = fs::path(dir) / name;
        if (::access(p.c_str(), X_OK) == 0)
            return p.string();
    }
    return {};
}

// Runs argv with extra environment entries; returns the child's pid.
pid_t spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env,
            int stdoutFd = -1) {
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    for (const std::string& e : env)
        ::putenv(const_cast<char*>(e.c_str()));
    const int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, 0);
    ::dup2(stdoutFd >= 0 ? stdoutFd : null, 1);
    ::dup2(null, 2);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    ::_exit(127);
}

int waitFor(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string windowTitle(xcb_connection_t* c, xcb_window_t window) {
    const auto reply = own(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, XCB_ATOM_WM_NAME, XCB_ATOM_ANY, 0, 256), nullptr));
    if (!reply)
        return {};
    const auto* text = static_cast<const char*>(xcb_get_property_value(reply.get()));
    return std::string(text, static_cast<size_t>(xcb_get_property_value_length(reply.get())));
}

// Waits for a top-level window titled `wanted` to be mapped; false after `seconds`.
bool waitForMap(xcb_connection_t* c, const std::string& wanted, int seconds) {
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    const int fd = xcb_get_file_descriptor(c);
    while (Clock::now() < deadline) {
        while (auto* event = xcb_poll_for_event(c)) {
            const Owned<xcb_generic_event_t> e = own(event);
            if ((e->response_type & 0x7f) != XCB_MAP_NOTIFY)
                continue;
            const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(e.get());
            if (windowTitle(c, map->window) == wanted)
                return true;
        }
        if (xcb_connection_has_error(c))
            return false;
        fd_set set;
        FD_ZERO(&set);
        FD_SET(fd, &set);
        timeval tv{0, 100000};
        ::select(fd + 1, &set, nullptr, nullptr, &tv);
    }
    return false;
}

// VmRSS and VmHWM of a process, in KiB.
std::pair<long, long> memoryOf(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    long rss = -1;
    long hwm = -1;
    while (std::getline(in, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            rss = std::atol(line.c_str() + 6);
        else if (line.rfind("VmHWM:", 0) == 0)
            hwm = std::atol(line.c_str() + 6);
    }
    return {rss, hwm};
}

std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string line;
    std::getline(in, line);
    return line;
}

struct Case {
    std::string name;
    fs::path home;
    std::vector<double> ms;
    std::vector<double> rssMb;
    std::vector<double> hwmMb;
};

double median(std::vector<double> v) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Makes a HOME whose kestrix.ini holds the text of `copies` copies of `book`.
bool storeBook(const fs::path& home, const fs::path& work, const std::string& book, int copies) {
    const fs::path config = home / ".config" / "Kestrix";
    fs::create_directories(config);
    const fs::path text = work / ("book" + std::to_string(copies) + ".txt");
    {
        std::ifstream in(book, std::ios::binary);
        std::stringstream all;
        all << in.rdbuf();
        std::ofstream out(text, std::ios::binary);
        for (int i = 0; i < copies; ++i)
            out << all.str();
    }
    const pid_t pid =
        spawn({KESTRIX_PROBE, "store", text.string(), (config / "kestrix.ini").string()},
              {"QT_QPA_PLATFORM=offscreen"});
    return waitFor(pid) == 0;
}

} // namespace

int main() {
    const std::string xvfb = findInPath("Xvfb");
    if (xvfb.empty()) {
        std::printf("bench_launch: skipped, no Xvfb\n");
        return 0;
    }
    const char* runsText = std::getenv("KESTRIX_LAUNCH_RUNS");
    const int runs = runsText ? std::max(1, std::atoi(runsText)) : 5;
    const char* programText = std::getenv("KESTRIX_LAUNCH_PROGRAM");
    const std::string program = programText ? programText : KESTRIX_PROGRAM;
    char pattern[] = "/tmp/kestrix-launch-XXXXXX";
    if (!::mkdtemp(pattern)) {
        std::perror("bench_launch: mkdtemp");
        return 1;
    }
    const fs::path work(pattern);

    int fds[2];
    if (::pipe(fds) != 0)
        return 1;
    const pid_t server = spawn({xvfb, "-displayfd", std::to_string(fds[1]), "-nolisten", "tcp",
                                "-screen", "0", "1024x768x24"},
                               {});
    ::close(fds[1]);
    std::string number;
    char ch = 0;
    while (::read(fds[0], &ch, 1) == 1 && ch != '\n')
        number += ch;
    ::close(fds[0]);
    if (number.empty()) {
        std::printf("bench_launch: skipped, Xvfb did not start\n");
        ::kill(server, SIGTERM);
        waitFor(server);
        fs::remove_all(work);
        return 0;
    }
    const std::string display = ":" + number;

    std::vector<Case> cases{{"(a) no file", work / "a", {}, {}, {}},
                            {"(b) War and Peace", work / "b", {}, {}, {}},
                            {"(c) six copies", work / "c", {}, {}, {}}};
    fs::create_directories(cases[0].home);
    const std::string book = std::string(KESTRIX_CORPUS_DEFAULT) + "/ru_tolstoy_voina_i_mir.txt";
    if (!storeBook(cases[1].home, work, book, 1) || !storeBook(cases[2].home, work, book, 6)) {
        std::fprintf(stderr, "bench_launch: cannot store the book\n");
        ::kill(server, SIGTERM);
        waitFor(server);
        fs::remove_all(work);
        return 1;
    }
    for (Case& c : cases) {
        const fs::path ini = c.home / ".config" / "Kestrix" / "kestrix.ini";
        std::printf("%s: %s\n", c.name.c_str(),
                    fs::exists(ini) ? (std::to_string(fs::file_size(ini)) + " bytes").c_str()
                                    : "no file");
    }

    xcb_connection_t* x = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "bench_launch: cannot open display %s\n", display.c_str());
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x);

    int status = 0;
    for (int run = 0; run < runs; ++run) {
        for (Case& c : cases) {
            const fs::path runtime = work / "runtime";
            fs::create_directories(runtime);
            fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
            const std::vector<std::string> env{"HOME=" + c.home.string(),
                                               "XDG_CONFIG_HOME=" + (c.home / ".config").string(),
                                               "XDG_DATA_HOME=" +
                                                   (c.home / ".local" / "share").string(),
                                               "XDG_RUNTIME_DIR=" + runtime.string(),
                                               "DISPLAY=" + display,
                                               "QT_QPA_PLATFORM=xcb"};
            while (auto* e = xcb_poll_for_event(x))
                std::free(e);
            const auto start = Clock::now();
            const pid_t pid = spawn({program}, env);
            const bool mapped = waitForMap(x, "Kestrix", 300);
            const double ms =
                std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            if (!mapped) {
                std::fprintf(stderr, "bench_launch: %s: no main window\n", c.name.c_str());
                status = 1;
            } else {
                std::this_thread::sleep_for(std::chrono::seconds(2));
                const auto [rss, hwm] = memoryOf(pid);
                c.ms.push_back(ms);
                c.rssMb.push_back(double(rss) / 1024);
                c.hwmMb.push_back(double(hwm) / 1024);
            }
            // Killed, not closed: nothing is saved over the stored book.
            ::kill(pid, SIGKILL);
            waitFor(pid);
        }
    }
    xcb_disconnect(x);
    ::kill(server, SIGTERM);
    waitFor(server);
    fs::remove_all(work);

    std::printf("load average: %s\n", loadAverage().c_str());
    std::printf("%-20s %10s %10s %10s\n", "case", "window ms", "VmRSS MB", "VmHWM MB");
    for (const Case& c : cases)
        std::printf("%-20s %10.0f %10.1f %10.1f\n", c.name.c_str(), median(c.ms), median(c.rssMb),
                    median(c.hwmMb));
    const double base = median(cases[0].ms);
    for (size_t i = 1; i < cases.size() && base > 0; ++i) {
        std::printf("%s / (a): window %.2fx, VmRSS +%.1f MB, VmHWM +%.1f MB\n",
                    cases[i].name.c_str(), median(cases[i].ms) / base,
                    median(cases[i].rssMb) - median(cases[0].rssMb),
                    median(cases[i].hwmMb) - median(cases[0].hwmMb));
    }
    return status;
}
