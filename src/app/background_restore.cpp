#include "app/background_restore.h"

#include "reading/preparation.h"
#include "storage/ini_file.h"

#include <QHash>

#include <chrono>

BackgroundRestore::BackgroundRestore(const QString& path) : m_thread([this, path] { run(path); }) {}

BackgroundRestore::~BackgroundRestore() {
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

void BackgroundRestore::run(const QString& path) {
    Result r;
    {
        IniFile ini;
        r.loaded = ini.load(path, IniFile::defaultMaxBytes, [this](int permille) {
            m_filePermille = permille;
            return !m_stop;
        });
        r.error = ini.errorString();
        if (r.loaded && !m_stop) {
            r.config = readStoredConfig(ini);
            if (r.config.textLength > 0) {
                rebuildStoredText(ini, r.config.textLength, r.text, [this](int done, int total) {
                    m_total = total;
                    m_done = done;
                    return !m_stop;
                });
            }
        }
    }
    // The file's lines are gone by now: the hash's copy of the text does
    // not come on top of them.
    if (r.loaded && r.config.textLength > 0 && !m_stop)
        r.startTextHash = qHash(startText(r.text), 0);
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_result = std::move(r);
    m_finished = true;
    m_ended.notify_all();
}

BackgroundRestore::Progress BackgroundRestore::progress() const {
    return {m_filePermille, m_done, m_total};
}

bool BackgroundRestore::waitFor(int ms) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_ended.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_finished; });
}

BackgroundRestore::Result BackgroundRestore::take() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return std::move(m_result);
}
