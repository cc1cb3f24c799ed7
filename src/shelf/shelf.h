#pragma once

#include "shelf/shelf_session.h"

#include <QList>
#include <QString>

#include <limits>
#include <optional>

// A book on the shelf: what it is, where it came from, and where the reader is.
struct ShelfBook {
    QString fingerprint; // see bookFingerprint
    QString title;
    QString author;
    QString path;         // the file it was opened from; empty for a pasted text
    QString format;       // the file's format ("FB2", "EPUB", ...); empty for a pasted text
    int entries = 0;      // entries of the sequence the place was saved in
    int position = 0;     // the place: an entry index into that sequence
    int wordsBefore = 0;  // the place as word entries before it, for another form
    int speed = 0;        // words per minute last used
    qint64 firstRead = 0; // milliseconds since 1970 (UTC)
    qint64 lastRead = 0;
    qint64 savedAt = 0; // when the place was last written
};

// A place to write, while reading.
struct ShelfPlace {
    QString fingerprint;
    int entries = 0;
    int position = 0;
    int wordsBefore = 0;
    int speed = 0;
    qint64 lastRead = 0;
    qint64 savedAt = 0;
};

// Where a chapter of a book begins: an entry index into the sequence of
// `entries` entries it was found in, and its title.
struct ShelfChapter {
    int entry = 0;
    QString title;
};

// The reader's bookshelf: an SQLite database (Qt SQL's driver) in WAL mode,
// its schema numbered by PRAGMA user_version and brought forward on opening.
// A database that cannot be used (not a database, damaged, from a newer
// version of the program, locked, unwritable) is left exactly as it is: the
// shelf stays closed and error() says why, in words for the reader.
//
// A Shelf belongs to the thread that opened it.
class Shelf {
public:
    Shelf();
    ~Shelf();
    Shelf(const Shelf&) = delete;
    Shelf& operator=(const Shelf&) = delete;

    // Opens (or creates) the database at `path`. `readOnly`: opens an
    // existing database only, writes nothing to it and does not bring its
    // schema forward (an older one reads as an empty shelf).
    bool open(const QString& path, bool readOnly = false);
    void close();
    bool isOpen() const { return m_open; }
    QString error() const { return m_error; }

    // The version of the schema this program writes.
    static int schemaVersion() { return 2; }
    // Longest title, author, path and format kept or read.
    static constexpr int maxTextLength = 1000;
    // Most books listed by recent().
    static constexpr int maxListed = 5000;

    std::optional<ShelfBook> find(const QString& fingerprint);
    // Puts a book on the shelf, or updates what the shelf knows of it (the
    // first time read stays).
    bool put(const ShelfBook& book);
    bool savePlace(const ShelfPlace& place);
    // The books, most recently read first, at most `limit` of them.
    QList<ShelfBook> recent(int limit = maxListed);
    bool remove(const QString& fingerprint);
    // The time of the latest place written, 0 for none.
    qint64 latestSave();

    // A book's chapters (shelf_chapters.cpp), kept for a sequence of
    // `entries` entries: saving replaces what was kept for the book; reading
    // gives them in their order only for the same count of entries, at most
    // maxChapters, titles cut to maxTextLength. What the rows hold is not
    // checked here.
    static constexpr int maxChapters = 100000;
    bool saveChapters(const QString& fingerprint, int entries, const QList<ShelfChapter>& chapters);
    QList<ShelfChapter> chapters(const QString& fingerprint, int entries);
    // Reading sessions (shelf_sessions.cpp). A session is known by its book
    // and its start: saving it again replaces what was written of it.
    bool saveSession(const ShelfSession& session);
    // Many sessions in one transaction.
    bool saveSessions(const QList<ShelfSession>& sessions);
    // The sessions begun in [from, to), earliest first.
    QList<ShelfSession> sessions(qint64 from = 0, qint64 to = std::numeric_limits<qint64>::max());

private:
    bool migrate();
    bool fail(const QString& what, const QString& cause);

    QString m_connection;
    QString m_error;
    bool m_open = false;
    bool m_empty = false; // read-only, and no books table yet
};

// The message shown once when the shelf cannot be used.
QString shelfFailedMessage(const QString& error);
// The message shown once when a write to the shelf failed.
QString shelfWriteFailedMessage(const QString& error);
