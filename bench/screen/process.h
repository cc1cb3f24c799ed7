#pragma once
// Child processes for the on-screen benchmark: started with extra environment
// variables, their standard output read line by line with a time-out.

#include <string>
#include <utility>
#include <vector>

#include <sys/types.h>

namespace screen {

class Child {
public:
    // Starts `argv[0]` (a path) with `argv`; `env` entries ("NAME=value")
    // replace or add to this process's environment. Its standard output comes
    // through a pipe when `captureOutput`, else it goes to /dev/null; its
    // standard error stays this process's.
    Child(const std::vector<std::string>& argv, const std::vector<std::string>& env,
          bool captureOutput);
    ~Child(); // terminates the child if it still runs
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool started() const { return m_pid > 0; }
    int outputFd() const { return m_out; }
    // The next line of output, waiting up to `timeoutMs`; false on time-out or
    // end of output.
    bool readLine(std::string& line, int timeoutMs);
    // Takes whatever output is ready without waiting; false at end of output.
    bool drain(std::vector<std::string>& lines);
    // Waits up to `timeoutMs` for the child to end, then kills it.
    int finish(int timeoutMs);

private:
    bool fill(int timeoutMs);
    pid_t m_pid = -1;
    int m_out = -1;
    std::string m_buffer;
    bool m_eof = false;
};

// On SIGINT or SIGTERM, ends every child still running, then this process.
void endChildrenWithThisProcess();

// The whole standard output of a command, or an empty string when it failed.
std::string outputOf(const std::vector<std::string>& argv);

// The directory in PATH holding `program`, with the name appended, or "".
std::string findInPath(const std::string& program);

} // namespace screen
