#include "shelf/shelf.h"
#include "shelf/shelf_sql.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

// Writes one session: the row of the same book and start is updated, or a
// new one is added.
bool writeSession(QSqlQuery& update, QSqlQuery& insert, const ShelfSession& s) {
    update.addBindValue(s.ended);
    update.addBindValue(s.runningMs);
    update.addBindValue(s.words);
    update.addBindValue(s.speedIndex);
    update.addBindValue(s.learning ? 1 : 0);
    update.addBindValue(s.fingerprint);
    update.addBindValue(s.started);
    if (!update.exec())
        return false;
    if (update.numRowsAffected() > 0)
        return true;
    insert.addBindValue(s.fingerprint);
    insert.addBindValue(s.started);
    insert.addBindValue(s.ended);
    insert.addBindValue(s.runningMs);
    insert.addBindValue(s.words);
    insert.addBindValue(s.speedIndex);
    insert.addBindValue(s.learning ? 1 : 0);
    return insert.exec();
}

void prepare(QSqlQuery& update, QSqlQuery& insert) {
    update.prepare(
        QStringLiteral("UPDATE sessions SET ended = ?, running_ms = ?, words = ?, speed_index = ?,"
                       " learning = ? WHERE fingerprint = ? AND started = ?"));
    insert.prepare(QStringLiteral(
        "INSERT INTO sessions (fingerprint, started, ended, running_ms, words, speed_index,"
        " learning) VALUES (?, ?, ?, ?, ?, ?, ?)"));
}

} // namespace

bool Shelf::saveSession(const ShelfSession& session) {
    return saveSessions({session});
}

bool Shelf::saveSessions(const QList<ShelfSession>& sessions) {
    if (!m_open)
        return false;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.transaction())
        return fail({}, shelfSqlCause(db.lastError()));
    QSqlQuery update(db);
    QSqlQuery insert(db);
    prepare(update, insert);
    for (const ShelfSession& s : sessions) {
        if (!writeSession(update, insert, s)) {
            const QString cause = shelfSqlCause(update.lastError().isValid() ? update.lastError()
                                                                             : insert.lastError());
            db.rollback();
            return fail({}, cause);
        }
    }
    return db.commit() || fail({}, shelfSqlCause(db.lastError()));
}

QList<ShelfSession> Shelf::sessions(qint64 from, qint64 to) {
    QList<ShelfSession> found;
    if (!m_open || m_empty)
        return found;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    // The fingerprint is cut to its bound by SQLite, so that a hostile row
    // never comes into memory whole.
    q.prepare(
        QStringLiteral("SELECT id, substr(fingerprint, 1, 1000), started, ended, running_ms, words,"
                       " speed_index, learning FROM sessions WHERE started >= ? AND started < ?"
                       " ORDER BY started, id"));
    q.addBindValue(from);
    q.addBindValue(to);
    if (!q.exec()) {
        fail({}, shelfSqlCause(q.lastError()));
        return found;
    }
    while (q.next()) {
        ShelfSession s;
        s.id = q.value(0).toLongLong();
        s.fingerprint = q.value(1).toString();
        s.started = q.value(2).toLongLong();
        s.ended = q.value(3).toLongLong();
        s.runningMs = q.value(4).toLongLong();
        s.words = q.value(5).toInt();
        s.speedIndex = q.value(6).toInt();
        s.learning = q.value(7).toInt() != 0;
        found.append(s);
    }
    return found;
}
