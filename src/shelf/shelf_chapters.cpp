#include "shelf/shelf.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <climits>

namespace {

QString causeOf(const QSqlQuery& q) {
    const QString text = q.lastError().text().trimmed();
    return text.isEmpty() ? QStringLiteral("неизвестная ошибка") : text;
}

} // namespace

bool Shelf::saveChapters(const QString& fingerprint, int entries,
                         const QList<ShelfChapter>& chapters) {
    if (!m_open)
        return false;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.transaction())
        return fail({}, db.lastError().text());
    QSqlQuery q(db);
    q.prepare(QStringLiteral("DELETE FROM chapters WHERE fingerprint = ?"));
    q.addBindValue(fingerprint);
    bool ok = q.exec();
    if (ok) {
        q.prepare(
            QStringLiteral("INSERT INTO chapters (fingerprint, entries, ordinal, entry, title)"
                           " VALUES (?, ?, ?, ?, ?)"));
        const qsizetype count = qMin<qsizetype>(chapters.size(), maxChapters);
        for (qsizetype i = 0; ok && i < count; ++i) {
            q.addBindValue(fingerprint);
            q.addBindValue(entries);
            q.addBindValue(static_cast<int>(i));
            q.addBindValue(chapters[i].entry);
            const QString& title = chapters[i].title;
            q.addBindValue(title.isEmpty() ? QStringLiteral("") : title.left(maxTextLength));
            ok = q.exec();
        }
    }
    if (!ok) {
        const QString cause = causeOf(q);
        db.rollback();
        return fail({}, cause);
    }
    return db.commit() || fail({}, db.lastError().text());
}

QList<ShelfChapter> Shelf::chapters(const QString& fingerprint, int entries) {
    QList<ShelfChapter> found;
    if (!m_open || m_empty)
        return found;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    // Texts are cut by SQLite itself, so that a hostile row never comes into
    // memory whole; an entry that is no whole number reads as -1.
    q.prepare(QStringLiteral("SELECT CASE WHEN typeof(entry) = 'integer' THEN entry ELSE -1 END,"
                             " substr(CAST(title AS TEXT), 1, 1000) FROM chapters"
                             " WHERE fingerprint = ? AND entries = ? ORDER BY ordinal LIMIT ?"));
    q.addBindValue(fingerprint);
    q.addBindValue(entries);
    q.addBindValue(maxChapters);
    if (!q.exec()) {
        fail({}, causeOf(q));
        return found;
    }
    while (q.next()) {
        const qlonglong entry = q.value(0).toLongLong();
        found.append(
            {entry < 0 || entry > INT_MAX ? -1 : static_cast<int>(entry), q.value(1).toString()});
    }
    return found;
}
