#pragma once

#include <QString>

// Where one of the reader's files lives: saved at `path`, and read from there
// once it exists. Until then a file of the old layout at `oldPath` is read in
// its place; it is never written, so it stays as it was.
struct FileLocation {
    QString path;
    QString oldPath; // empty when there is no old place to look

    // `path` when it exists or when no old file exists, else `oldPath`.
    QString readPath() const;
    // Whether saves are held back: the file read (readPath()) could not be
    // read in this run and may hold what the program never saw, so no save
    // may replace it, nor take its place in the per-user folder.
    bool keptFromSaves() const;
};

// The two files of the reader: the settings and bookmark file "kestrix.ini"
// and the learning mode's word library "library.txt".
struct UserFiles {
    FileLocation settings;
    FileLocation library;
    // The bookshelf database "books.sqlite" (with its lock file and local
    // socket of the running program beside it); empty: no shelf.
    QString shelf;
};

// The per-user places the system names for the application: "kestrix.ini" in
// its configuration folder, "library.txt" in its data folder (on Linux
// $XDG_CONFIG_HOME/<application> and $XDG_DATA_HOME/<application>). The old
// layout, "kestrix.ini" beside the executable in `executableDir` and
// "library.txt" in the working folder `workingDir`, is read while the per-user
// file does not exist yet. With `portable` both files are kept beside the
// executable, as the old layout kept the settings. The bookshelf lives in the
// data folder, or beside the executable with `portable` or without a home.
UserFiles userFiles(bool portable, const QString& executableDir, const QString& workingDir);

// Creates the folder that holds the file at `path`, with its parents, when it
// is missing. A failure shows in the save that follows.
void makeFolderFor(const QString& path);
