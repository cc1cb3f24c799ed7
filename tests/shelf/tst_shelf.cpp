// The bookshelf database: books and places kept, the schema brought forward,
// damaged and foreign files left alone, a writer killed at any moment.
#include "shelf/shelf.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>

namespace {

ShelfBook book(const QString& fingerprint, qint64 lastRead) {
    ShelfBook b;
    b.fingerprint = fingerprint;
    b.title = QStringLiteral("Книга ") + fingerprint;
    b.author = QStringLiteral("Автор");
    b.path = QStringLiteral("/книги/") + fingerprint + QStringLiteral(".fb2");
    b.format = QStringLiteral("FB2");
    b.entries = 1000;
    b.position = 10;
    b.wordsBefore = 8;
    b.speed = 300;
    b.firstRead = lastRead;
    b.lastRead = lastRead;
    b.savedAt = lastRead;
    return b;
}

QByteArray digest(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// Runs `sql` on the database at `path` through a connection of its own.
void runSql(const QString& path, const QStringList& sql) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), u"raw"_qs);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        for (const QString& s : sql)
            QVERIFY2(q.exec(s), qPrintable(s));
        db.close();
    }
    QSqlDatabase::removeDatabase(u"raw"_qs);
}

// The child's work in the kill test: writes places as fast as it can and
// tells each one written on its standard output.
int writePlaces(const QString& path) {
    Shelf shelf;
    if (!shelf.open(path) || !shelf.put(book(QStringLiteral("k"), 1)))
        return 2;
    for (int i = 1;; ++i) {
        ShelfPlace p{QStringLiteral("k"), 1000, i, i, 300, i, i};
        if (!shelf.savePlace(p))
            return 3;
        std::printf("%d\n", i);
        std::fflush(stdout);
    }
}

} // namespace

class TestShelf : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keepsBooksAndPlaces();
    void recentComesFirst();
    void schemaBroughtForward();
    void unusableFileLeftAlone_data();
    void unusableFileLeftAlone();
    void hostileRowsBounded();
    void survivesKill();
};

void TestShelf::keepsBooksAndPlaces() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"books.sqlite"_qs);
    {
        Shelf shelf;
        QVERIFY2(shelf.open(path), qPrintable(shelf.error()));
        QVERIFY(shelf.put(book(u"a"_qs, 100)));
        QVERIFY(shelf.savePlace({u"a"_qs, 1200, 500, 420, 450, 200, 201}));
        QVERIFY(!shelf.find(u"b"_qs));
    }
    Shelf shelf;
    QVERIFY(shelf.open(path));
    const auto a = shelf.find(u"a"_qs);
    QVERIFY(a);
    QCOMPARE(a->title, QStringLiteral("Книга a"));
    QCOMPARE(a->entries, 1200);
    QCOMPARE(a->position, 500);
    QCOMPARE(a->wordsBefore, 420);
    QCOMPARE(a->speed, 450);
    QCOMPARE(a->firstRead, 100);
    QCOMPARE(a->lastRead, 200);
    QCOMPARE(a->savedAt, 201);
    // Put again: what the shelf knows changes, the first reading stays.
    ShelfBook again = book(u"a"_qs, 300);
    again.firstRead = 300;
    again.title = u"Другое"_qs;
    QVERIFY(shelf.put(again));
    QCOMPARE(shelf.find(u"a"_qs)->firstRead, 100);
    QCOMPARE(shelf.find(u"a"_qs)->title, QStringLiteral("Другое"));
    QVERIFY(shelf.remove(u"a"_qs));
    QVERIFY(!shelf.find(u"a"_qs));
}

void TestShelf::recentComesFirst() {
    QTemporaryDir dir;
    Shelf shelf;
    QVERIFY(shelf.open(dir.filePath(u"books.sqlite"_qs)));
    for (const auto& [f, t] : {std::pair{u"a"_qs, 5}, {u"b"_qs, 9}, {u"c"_qs, 1}})
        QVERIFY(shelf.put(book(f, t)));
    QVERIFY(shelf.savePlace({u"c"_qs, 1000, 1, 1, 300, 20, 20}));
    QStringList order;
    for (const ShelfBook& b : shelf.recent())
        order << b.fingerprint;
    QCOMPARE(order, (QStringList{u"c"_qs, u"b"_qs, u"a"_qs}));
    QCOMPARE(shelf.recent(2).size(), 2);
}

void TestShelf::schemaBroughtForward() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"books.sqlite"_qs);
    // A database of version 0: an empty SQLite file made by someone else.
    runSql(path, {u"CREATE TABLE other (x)"_qs, u"INSERT INTO other VALUES (1)"_qs});
    {
        Shelf shelf;
        QVERIFY2(shelf.open(path), qPrintable(shelf.error()));
        QVERIFY(shelf.put(book(u"a"_qs, 1)));
    }
    Shelf shelf;
    QVERIFY(shelf.open(path));
    QVERIFY(shelf.find(u"a"_qs));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), u"check"_qs);
    db.setDatabaseName(path);
    QVERIFY(db.open());
    QSqlQuery q(db);
    QVERIFY(q.exec(u"PRAGMA user_version"_qs) && q.next());
    QCOMPARE(q.value(0).toInt(), Shelf::schemaVersion());
    QVERIFY(q.exec(u"PRAGMA journal_mode"_qs) && q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("wal"));
    QVERIFY(q.exec(u"SELECT x FROM other"_qs) && q.next());
    q.finish();
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(u"check"_qs);
}

void TestShelf::unusableFileLeftAlone_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("version"); // > 0: a real database of that version
    QTest::addColumn<QString>("cause");
    QTest::newRow("not a database")
        << QByteArray("это не база данных, а просто текст ").repeated(200) << 0
        << QStringLiteral("файл повреждён или не является базой данных");
    QByteArray header("SQLite format 3");
    header.append('\0');
    QTest::newRow("damaged") << header + QByteArray(4080, '\xff') << 0
                             << QStringLiteral("файл повреждён или не является базой данных");
    QTest::newRow("newer version") << QByteArray() << 7 << QStringLiteral("более новой версией");
}

void TestShelf::unusableFileLeftAlone() {
    QFETCH(QByteArray, content);
    QFETCH(int, version);
    QFETCH(QString, cause);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"books.sqlite"_qs);
    if (version > 0) {
        runSql(path, {u"CREATE TABLE books (fingerprint TEXT)"_qs,
                      QStringLiteral("PRAGMA user_version = %1").arg(version)});
    } else {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    const QByteArray before = digest(path);
    Shelf shelf;
    QVERIFY(!shelf.open(path));
    QVERIFY2(shelf.error().contains(cause), qPrintable(shelf.error()));
    QVERIFY(!shelf.put(book(u"a"_qs, 1)));
    QVERIFY(shelf.recent().isEmpty());
    shelf.close();
    QCOMPARE(digest(path), before);
    QVERIFY(!QFile::exists(path + u"-wal"_qs) || QFileInfo(path + u"-wal"_qs).size() == 0);
}

void TestShelf::hostileRowsBounded() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"books.sqlite"_qs);
    {
        Shelf shelf;
        QVERIFY(shelf.open(path));
        ShelfBook b = book(u"'; DROP TABLE books; --"_qs, 1);
        b.title = u"x', title = 'y"_qs;
        QVERIFY(shelf.put(b));
    }
    runSql(path, {u"INSERT INTO books (fingerprint, title, last_read) VALUES"_qs
                  " ('huge', printf('%.*c', 20000000, 'x'), 5)",
                  u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n"_qs
                  u" WHERE i < 200000) INSERT INTO books (fingerprint, last_read)"_qs
                  u" SELECT 'row' || i, 0 FROM n"_qs});
    Shelf shelf;
    QVERIFY(shelf.open(path));
    const QList<ShelfBook> books = shelf.recent();
    QCOMPARE(books.size(), Shelf::maxListed);
    QCOMPARE(books[0].fingerprint, QStringLiteral("huge"));
    QCOMPARE(books[0].title.size(), Shelf::maxTextLength);
    QCOMPARE(shelf.find(u"'; DROP TABLE books; --"_qs)->title, QStringLiteral("x', title = 'y"));
}

void TestShelf::survivesKill() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"books.sqlite"_qs);
    for (int round = 0; round < 3; ++round) {
        QProcess writer;
        writer.start(QCoreApplication::applicationFilePath(), {u"--write-places"_qs, path});
        QVERIFY(writer.waitForStarted(60000));
        // Killed after a number of places that differs from round to round.
        int last = 0;
        QByteArray pending;
        const int goal = 50 + round * 137;
        while (last < goal) {
            QVERIFY2(writer.waitForReadyRead(60000), "the writer wrote no place");
            pending += writer.readAllStandardOutput();
            const QList<QByteArray> lines = pending.split('\n');
            if (lines.size() > 1)
                last = lines[lines.size() - 2].toInt();
        }
        writer.kill(); // SIGKILL
        QVERIFY(writer.waitForFinished(60000));
        Shelf shelf;
        QVERIFY2(shelf.open(path), qPrintable(shelf.error()));
        const auto b = shelf.find(u"k"_qs);
        QVERIFY(b);
        QVERIFY2(b->position >= last, qPrintable(QString::number(b->position)));
        QCOMPARE(b->title, QStringLiteral("Книга k"));
    }
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--write-places")
        return writePlaces(QString::fromLocal8Bit(argv[2]));
    TestShelf test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_shelf.moc"
