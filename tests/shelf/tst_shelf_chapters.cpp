// A book's chapters on the bookshelf: kept for the sequence they were found
// in, replaced by the next save, and rows written by someone else read
// within bounds.
#include "shelf/shelf.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString listed(const QList<ShelfChapter>& chapters) {
    QStringList out;
    for (const ShelfChapter& c : chapters)
        out.append(QString::number(c.entry) + u':' + c.title.left(12) + u'/' +
                   QString::number(c.title.size()));
    return out.join(u' ');
}

} // namespace

class TestShelfChapters : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keptPerBookAndSequence();
    void rowsOfOthersBounded_data();
    void rowsOfOthersBounded();
    void closedShelf();
};

void TestShelfChapters::keptPerBookAndSequence() {
    QTemporaryDir dir;
    Shelf shelf;
    QVERIFY(shelf.open(dir.filePath(u"books.sqlite"_qs)));
    QVERIFY(shelf.saveChapters(u"A"_qs, 900, {{3, u"Глава 1"_qs}, {40, u"Глава 2"_qs}}));
    QVERIFY(shelf.saveChapters(u"B"_qs, 50, {{0, u"Пролог"_qs}}));
    QCOMPARE(listed(shelf.chapters(u"A"_qs, 900)), u"3:Глава 1/7 40:Глава 2/7"_qs);
    // Another sequence of the same book: its entries would point elsewhere.
    QCOMPARE(listed(shelf.chapters(u"A"_qs, 901)), QString());
    QVERIFY(shelf.saveChapters(u"A"_qs, 901, {{5, QString()}}));
    QCOMPARE(listed(shelf.chapters(u"A"_qs, 901)), u"5:/0"_qs);
    QCOMPARE(listed(shelf.chapters(u"A"_qs, 900)), QString());
    QCOMPARE(listed(shelf.chapters(u"B"_qs, 50)), u"0:Пролог/6"_qs);
    shelf.close();
    // Kept across runs.
    Shelf again;
    QVERIFY(again.open(dir.filePath(u"books.sqlite"_qs)));
    QCOMPARE(listed(again.chapters(u"B"_qs, 50)), u"0:Пролог/6"_qs);
}

void TestShelfChapters::rowsOfOthersBounded_data() {
    QTest::addColumn<QString>("values");
    QTest::addColumn<QString>("expected");
    QTest::newRow("in the order of their ordinals")
        << u"(2, 9, 'b'), (1, 4, 'a')"_qs << u"4:a/1 9:b/1"_qs;
    QTest::newRow("an entry that is text") << u"(1, 'x', 'a')"_qs << u"-1:a/1"_qs;
    QTest::newRow("an entry beyond 32 bits") << u"(1, 5000000000, 'a')"_qs << u"-1:a/1"_qs;
    QTest::newRow("a fraction") << u"(1, 2.5, 'a')"_qs << u"-1:a/1"_qs;
    QTest::newRow("a title of ten million characters")
        << u"(1, 7, replace(hex(zeroblob(10000000)), '00', 'я'))"_qs << u"7:яяяяяяяяяяяя/1000"_qs;
    QTest::newRow("a title that is a blob") << u"(1, 7, x'd0b0d0b1')"_qs << u"7:аб/2"_qs;
    QTest::newRow("a title that is a number") << u"(1, 7, 12)"_qs << u"7:12/2"_qs;
}

void TestShelfChapters::rowsOfOthersBounded() {
    QFETCH(QString, values);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"books.sqlite"_qs);
    {
        Shelf shelf;
        QVERIFY(shelf.open(path));
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_qs, u"raw"_qs);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        // A table without the column types' affinity in the way.
        QVERIFY(q.exec(u"DROP TABLE chapters"_qs));
        QVERIFY(q.exec(u"CREATE TABLE chapters (fingerprint, entries, ordinal, entry, title)"_qs));
        QString insert = u"INSERT INTO chapters (ordinal, entry, title) VALUES "_qs + values;
        QVERIFY2(q.exec(insert), qPrintable(insert));
        QVERIFY(q.exec(u"UPDATE chapters SET fingerprint = 'A', entries = 10"_qs));
        db.close();
    }
    QSqlDatabase::removeDatabase(u"raw"_qs);
    Shelf shelf;
    QVERIFY(shelf.open(path));
    QCOMPARE(listed(shelf.chapters(u"A"_qs, 10)), expected);
}

void TestShelfChapters::closedShelf() {
    Shelf shelf;
    QVERIFY(!shelf.saveChapters(u"A"_qs, 1, {{0, u"a"_qs}}));
    QVERIFY(shelf.chapters(u"A"_qs, 1).isEmpty());
}

QTEST_MAIN(TestShelfChapters)
#include "tst_shelf_chapters.moc"
