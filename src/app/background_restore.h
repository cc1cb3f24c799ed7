#pragma once

#include "storage/settings.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

// The stored book read on a thread of its own while the windows are made:
// the settings file read and parsed, its "Config" values taken, the text of
// the text box rebuilt from the stored entries and the hash of that text as
// Start cuts it taken. The interface thread then only puts the text into
// the text box. No window, clock or save register is touched here.
class BackgroundRestore {
public:
    struct Result {
        bool loaded = false;
        QString error; // why the file could not be read
        StoredConfig config;
        QString text;                        // rebuilt when config.textLength > 0
        std::optional<size_t> startTextHash; // of `text`, when rebuilt
    };
    struct Progress {
        int filePermille = 0; // reading and parsing the file
        int done = 0;         // entries rebuilt so far
        int total = 0;        // of all; 0 until the rebuilding begins
    };

    // Starts reading the settings file at `path`.
    explicit BackgroundRestore(const QString& path);
    // Stops the reading where it is and waits for its thread.
    ~BackgroundRestore();
    BackgroundRestore(const BackgroundRestore&) = delete;
    BackgroundRestore& operator=(const BackgroundRestore&) = delete;

    Progress progress() const;
    // Waits up to `ms` milliseconds for the end; true once everything is done.
    bool waitFor(int ms);
    // The outcome, once waitFor() returned true.
    Result take();

private:
    void run(const QString& path);

    std::atomic<bool> m_stop{false};
    std::atomic<int> m_filePermille{0};
    std::atomic<int> m_done{0};
    std::atomic<int> m_total{0};
    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_finished = false;
    Result m_result;
    std::thread m_thread;
};
