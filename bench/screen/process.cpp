#include "screen/process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace screen {

namespace {

// Children still running, for the signal handler.
constexpr int maxChildren = 16;
volatile sig_atomic_t running[maxChildren] = {};

void track(pid_t pid, bool on) {
    for (auto& slot : running) {
        if (on ? slot == 0 : slot == pid) {
            slot = on ? pid : 0;
            return;
        }
    }
}

void endAll(int) {
    for (auto& slot : running) {
        if (slot > 0)
            kill(slot, SIGTERM);
    }
    _exit(130);
}

std::vector<std::string> mergedEnvironment(const std::vector<std::string>& extra) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry(*e);
        const std::string name = entry.substr(0, entry.find('=') + 1);
        bool replaced = false;
        for (const std::string& x : extra)
            replaced = replaced || x.compare(0, name.size(), name) == 0;
        if (!replaced)
            env.push_back(entry);
    }
    env.insert(env.end(), extra.begin(), extra.end());
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> p;
    for (std::string& s : strings)
        p.push_back(s.data());
    p.push_back(nullptr);
    return p;
}

} // namespace

Child::Child(const std::vector<std::string>& argv, const std::vector<std::string>& env,
             bool captureOutput) {
    int fds[2] = {-1, -1};
    if (captureOutput && pipe2(fds, O_CLOEXEC) != 0)
        return;
    std::vector<std::string> args = argv;
    std::vector<std::string> environment = mergedEnvironment(env);
    std::vector<char*> argp = pointers(args);
    std::vector<char*> envp = pointers(environment);
    m_pid = fork();
    if (m_pid == 0) {
        const int devNull = open("/dev/null", O_RDWR);
        dup2(captureOutput ? fds[1] : devNull, 1);
        dup2(devNull, 0);
        setpriority(PRIO_PROCESS, 0, 0); // not the observer's priority
        execve(argp[0], argp.data(), envp.data());
        _exit(127);
    }
    track(m_pid, true);
    if (captureOutput) {
        close(fds[1]);
        m_out = fds[0];
    }
}

Child::~Child() {
    if (m_pid > 0)
        finish(0);
    if (m_out >= 0)
        close(m_out);
}

bool Child::fill(int timeoutMs) {
    if (m_out < 0 || m_eof)
        return false;
    pollfd p{m_out, POLLIN, 0};
    if (poll(&p, 1, timeoutMs) <= 0)
        return false;
    char buf[4096];
    const ssize_t n = read(m_out, buf, sizeof buf);
    if (n <= 0) {
        m_eof = true;
        return false;
    }
    m_buffer.append(buf, static_cast<size_t>(n));
    return true;
}

bool Child::readLine(std::string& line, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const size_t nl = m_buffer.find('\n');
        if (nl != std::string::npos) {
            line = m_buffer.substr(0, nl);
            m_buffer.erase(0, nl + 1);
            return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              end - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0 || !fill(static_cast<int>(left)))
            return false;
    }
}

bool Child::drain(std::vector<std::string>& lines) {
    while (fill(0)) {
    }
    for (size_t nl; (nl = m_buffer.find('\n')) != std::string::npos;) {
        lines.push_back(m_buffer.substr(0, nl));
        m_buffer.erase(0, nl + 1);
    }
    return !m_eof;
}

int Child::finish(int timeoutMs) {
    if (m_pid <= 0)
        return -1;
    int status = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const pid_t r = waitpid(m_pid, &status, WNOHANG);
        if (r == m_pid)
            break;
        if (r < 0) {
            status = -1;
            break;
        }
        if (std::chrono::steady_clock::now() >= end) {
            kill(m_pid, SIGTERM);
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            if (waitpid(m_pid, &status, WNOHANG) != m_pid) {
                kill(m_pid, SIGKILL);
                waitpid(m_pid, &status, 0);
            }
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    track(m_pid, false);
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void endChildrenWithThisProcess() {
    std::signal(SIGINT, endAll);
    std::signal(SIGTERM, endAll);
}

std::string outputOf(const std::vector<std::string>& argv) {
    Child child(argv, {}, true);
    std::string all;
    std::string line;
    while (child.readLine(line, 60000))
        all += line + '\n';
    return child.finish(1000) == 0 ? all : std::string();
}

std::string findInPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        const std::string candidate = dirs.substr(start, end - start) + '/' + program;
        struct stat st {};
        if (stat(candidate.c_str(), &st) == 0 && (st.st_mode & S_IXUSR))
            return candidate;
        start = end + 1;
    }
    return {};
}

} // namespace screen
