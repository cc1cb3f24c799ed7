#include "shelf/shelf.h"

#include <QAtomicInt>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

QAtomicInt connections;

// The steps that bring a schema of version N-1 to version N, in order.
const char* const migrations[] = {
    // 1: the books.
    "CREATE TABLE books ("
    " fingerprint TEXT PRIMARY KEY NOT NULL,"
    " title TEXT NOT NULL DEFAULT '',"
    " author TEXT NOT NULL DEFAULT '',"
    " path TEXT NOT NULL DEFAULT '',"
    " format TEXT NOT NULL DEFAULT '',"
    " entries INTEGER NOT NULL DEFAULT 0,"
    " position INTEGER NOT NULL DEFAULT 0,"
    " words_before INTEGER NOT NULL DEFAULT 0,"
    " speed INTEGER NOT NULL DEFAULT 0,"
    " first_read INTEGER NOT NULL DEFAULT 0,"
    " last_read INTEGER NOT NULL DEFAULT 0,"
    " saved_at INTEGER NOT NULL DEFAULT 0);"
    "CREATE INDEX books_by_last_read ON books (last_read DESC);",
    // 2: where each book's chapters begin, and the stretches of reading.
    "CREATE TABLE chapters ("
    " fingerprint TEXT NOT NULL,"
    " entries INTEGER NOT NULL,"
    " ordinal INTEGER NOT NULL,"
    " entry INTEGER NOT NULL,"
    " title TEXT NOT NULL DEFAULT '',"
    " PRIMARY KEY (fingerprint, ordinal));"
    "CREATE TABLE sessions ("
    " id INTEGER PRIMARY KEY,"
    " fingerprint TEXT NOT NULL,"
    " started INTEGER NOT NULL,"
    " ended INTEGER NOT NULL,"
    " running_ms INTEGER NOT NULL,"
    " words INTEGER NOT NULL,"
    " speed_index INTEGER NOT NULL,"
    " learning INTEGER NOT NULL DEFAULT 0);"
    "CREATE INDEX sessions_by_start ON sessions (started);",
};

// SQLite's primary result codes that have a cause worth telling.
QString causeOf(const QSqlError& error) {
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xff;
    if (ok) {
        switch (code) {
        case 5: // SQLITE_BUSY
        case 6: // SQLITE_LOCKED
            return QStringLiteral("база занята другой программой");
        case 8: // SQLITE_READONLY
            return QStringLiteral("запись запрещена");
        case 10: // SQLITE_IOERR
            return QStringLiteral("ошибка ввода-вывода");
        case 11: // SQLITE_CORRUPT
        case 26: // SQLITE_NOTADB
            return QStringLiteral("файл повреждён или не является базой данных");
        case 13: // SQLITE_FULL
            return QStringLiteral("на диске нет места");
        case 14: // SQLITE_CANTOPEN
            return QStringLiteral("файл не открывается");
        default:
            break;
        }
    }
    const QString text = error.text().trimmed();
    return text.isEmpty() ? QStringLiteral("неизвестная ошибка") : text;
}

// A text cut to its bound, never null (a null string would be bound as NULL).
QString bounded(const QString& text) {
    return text.isEmpty() ? QStringLiteral("") : text.left(Shelf::maxTextLength);
}

ShelfBook bookOf(const QSqlQuery& q) {
    ShelfBook b;
    b.fingerprint = q.value(0).toString();
    b.title = q.value(1).toString();
    b.author = q.value(2).toString();
    b.path = q.value(3).toString();
    b.format = q.value(4).toString();
    b.entries = q.value(5).toInt();
    b.position = q.value(6).toInt();
    b.wordsBefore = q.value(7).toInt();
    b.speed = q.value(8).toInt();
    b.firstRead = q.value(9).toLongLong();
    b.lastRead = q.value(10).toLongLong();
    b.savedAt = q.value(11).toLongLong();
    return b;
}

// The columns of bookOf, each text cut to its bound by SQLite itself, so that
// a hostile row never comes into memory whole.
const QString columns = QStringLiteral(
    "fingerprint, substr(title, 1, 1000), substr(author, 1, 1000), substr(path, 1, 1000),"
    " substr(format, 1, 1000), entries, position, words_before, speed, first_read, last_read,"
    " saved_at");

} // namespace

Shelf::Shelf()
    : m_connection(QStringLiteral("kestrix-shelf-%1").arg(connections.fetchAndAddRelaxed(1))) {}

Shelf::~Shelf() {
    close();
}

bool Shelf::fail(const QString& what, const QString& cause) {
    m_error = what.isEmpty() ? cause : what + QStringLiteral(": ") + cause;
    return false;
}

bool Shelf::open(const QString& path, bool readOnly) {
    close();
    m_error.clear();
    m_empty = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        db.setDatabaseName(path);
        db.setConnectOptions(readOnly
                                 ? QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000;QSQLITE_OPEN_READONLY")
                                 : QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
        if (!db.open())
            return fail({}, causeOf(db.lastError()));
        QSqlQuery q(db);
        // Reading the version reads the header: a file that is no database
        // fails here, before anything is written.
        if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next())
            return fail({}, causeOf(q.lastError()));
        const int version = q.value(0).toInt();
        if (version > schemaVersion())
            return fail({}, QStringLiteral("база записана более новой версией программы"));
        if (version > 0 &&
            (!q.exec(QStringLiteral("SELECT count(*) FROM books LIMIT 1")) || !q.next()))
            return fail({}, causeOf(q.lastError()));
        if (readOnly) {
            m_open = true;
            m_empty = version < schemaVersion();
            return true;
        }
        if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL")))
            return fail({}, causeOf(q.lastError()));
        q.exec(QStringLiteral("PRAGMA synchronous=FULL"));
        m_open = true;
    }
    if (!migrate()) {
        close();
        return false;
    }
    return true;
}

bool Shelf::migrate() {
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next())
        return fail({}, causeOf(q.lastError()));
    const int version = q.value(0).toInt();
    for (int v = version; v < schemaVersion(); ++v) {
        if (!db.transaction())
            return fail({}, causeOf(db.lastError()));
        const QStringList statements =
            QString::fromLatin1(migrations[v]).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (const QString& s : statements) {
            if (!q.exec(s)) {
                const QString cause = causeOf(q.lastError());
                db.rollback();
                return fail({}, cause);
            }
        }
        if (!q.exec(QStringLiteral("PRAGMA user_version = %1").arg(v + 1)) || !db.commit()) {
            const QString cause = causeOf(q.lastError());
            db.rollback();
            return fail({}, cause);
        }
    }
    return true;
}

void Shelf::close() {
    if (!QSqlDatabase::contains(m_connection))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
    m_open = false;
}

std::optional<ShelfBook> Shelf::find(const QString& fingerprint) {
    if (!m_open || m_empty)
        return std::nullopt;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("SELECT ") + columns +
              QStringLiteral(" FROM books WHERE fingerprint = ?"));
    q.addBindValue(fingerprint);
    if (!q.exec()) {
        fail({}, causeOf(q.lastError()));
        return std::nullopt;
    }
    if (!q.next())
        return std::nullopt;
    return bookOf(q);
}

bool Shelf::put(const ShelfBook& b) {
    if (!m_open)
        return false;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral(
        "INSERT INTO books (fingerprint, title, author, path, format, entries, position,"
        " words_before, speed, first_read, last_read, saved_at)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"
        " ON CONFLICT (fingerprint) DO UPDATE SET title = excluded.title,"
        " author = excluded.author, path = excluded.path, format = excluded.format,"
        " entries = excluded.entries, position = excluded.position,"
        " words_before = excluded.words_before, speed = excluded.speed,"
        " last_read = excluded.last_read, saved_at = excluded.saved_at"));
    q.addBindValue(b.fingerprint);
    q.addBindValue(bounded(b.title));
    q.addBindValue(bounded(b.author));
    q.addBindValue(bounded(b.path));
    q.addBindValue(bounded(b.format));
    q.addBindValue(b.entries);
    q.addBindValue(b.position);
    q.addBindValue(b.wordsBefore);
    q.addBindValue(b.speed);
    q.addBindValue(b.firstRead);
    q.addBindValue(b.lastRead);
    q.addBindValue(b.savedAt);
    return q.exec() || fail({}, causeOf(q.lastError()));
}

bool Shelf::savePlace(const ShelfPlace& p) {
    if (!m_open)
        return false;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("UPDATE books SET entries = ?, position = ?, words_before = ?,"
                             " speed = ?, last_read = ?, saved_at = ? WHERE fingerprint = ?"));
    q.addBindValue(p.entries);
    q.addBindValue(p.position);
    q.addBindValue(p.wordsBefore);
    q.addBindValue(p.speed);
    q.addBindValue(p.lastRead);
    q.addBindValue(p.savedAt);
    q.addBindValue(p.fingerprint);
    return q.exec() || fail({}, causeOf(q.lastError()));
}

QList<ShelfBook> Shelf::recent(int limit) {
    QList<ShelfBook> books;
    if (!m_open || m_empty)
        return books;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT ") + columns +
              QStringLiteral(" FROM books ORDER BY last_read DESC LIMIT ?"));
    q.addBindValue(qBound(0, limit, maxListed));
    if (!q.exec()) {
        fail({}, causeOf(q.lastError()));
        return books;
    }
    while (q.next())
        books.append(bookOf(q));
    return books;
}

bool Shelf::remove(const QString& fingerprint) {
    if (!m_open)
        return false;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("DELETE FROM books WHERE fingerprint = ?"));
    q.addBindValue(fingerprint);
    return q.exec() || fail({}, causeOf(q.lastError()));
}

qint64 Shelf::latestSave() {
    if (!m_open || m_empty)
        return 0;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    if (!q.exec(QStringLiteral("SELECT max(saved_at) FROM books")) || !q.next())
        return 0;
    return q.value(0).toLongLong();
}

QString shelfWriteFailedMessage(const QString& error) {
    return QStringLiteral("Не удалось записать место в книге в список книг. [") + error +
           QStringLiteral("]");
}

QString shelfFailedMessage(const QString& error) {
    return QStringLiteral("Не удалось открыть список книг. [") + error +
           QStringLiteral("] В этом запуске места в книгах не запоминаются; файл списка не "
                          "изменён.");
}

QString shelfSqlCause(const QSqlError& error) {
    return causeOf(error);
}
