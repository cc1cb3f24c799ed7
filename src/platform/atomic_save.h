#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>

// Saves that either replace a file whole or leave it as it was, for every file
// the program writes.

// How far a save has come, in thousandths; told on the thread that saves.
using SaveProgress = std::function<void(int permille)>;

// Writes `data` as the file at `path` through a temporary file in the same
// folder (named ".NAME.kestrix-save-PID-XXXXXX", PID the saving process):
// every write, the fsync and the
// close are checked, and only when all succeeded is the temporary renamed over
// the file and the folder synced. On any failure the temporary is removed and
// the file stays as it was. A symbolic link is followed (its target is
// replaced, the link stays); an existing file keeps its permissions; a folder,
// FIFO, device or socket in the file's place is not replaced, nor is a file
// protected from writing (isWriteProtected()). Returns why the save failed, in
// words for the user, or an empty string.
//
// A path kept from saves (below) is left alone, and that counts as success.
//
// With `progress`, the data goes to the disk as it is written, so that the
// sync at the end is short, and `progress` is told how far the save has come.
QString saveFileAtomically(const QString& path, QByteArrayView data,
                           const SaveProgress& progress = {});

// A file that exists but could not be read in this run is not saved over by
// any save of this run: the reader was told when it could not be read, and
// the file may hold what the program never saw. Thread-safe.
void keepFromSaves(const QString& path);
// The file was read whole after all: saves may replace it again.
void allowSaves(const QString& path);
bool isKeptFromSaves(const QString& path);

// Removes what saves of the files at `paths` left behind when the program was
// killed midway: their temporaries in the files' folders, owned by this user,
// of processes that no longer run (temporaries of older programs, named
// without the process: last written before this program started).
void removeStaleSaveTemporaries(const QStringList& paths);

// The steps of a save, in order.
enum class SaveStep { Create, Write, Sync, Close, Rename };

// For tests: while an object lives, every save asks `fault` before each step
// and, when it returns an errno value other than 0, fails that step with it.
class SaveFaultHook {
public:
    using Fault = std::function<int(SaveStep)>;
    explicit SaveFaultHook(Fault fault);
    ~SaveFaultHook();
    SaveFaultHook(const SaveFaultHook&) = delete;
    SaveFaultHook& operator=(const SaveFaultHook&) = delete;

private:
    Fault m_fault;
    const Fault* m_previous;
};
