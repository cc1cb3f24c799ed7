// The bookshelf in the whole program: a book comes back at its place however
// it comes back (pasted again, restored from the settings file, after another
// book), the newer of the two saved places wins at start-up, a restart is
// stored, an unusable shelf is told once and left alone, and the "Книги"
// window lists, opens and removes books.
#include "app/books_wiring.h"
#include "app/shelf_wiring.h"
#include "program_run.h"
#include "reading/book_identity.h"
#include "reading/preparation.h"
#include "reading/reader.h"
#include "shelf/shelf.h"
#include "shelf/shelf_worker.h"
#include "ui/books_window.h"
#include "ui/flat_button.h"
#include "ui/text_box.h"

#include <QComboBox>
#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

namespace {

QString bookText(const QString& name, int sentences) {
    QString text;
    for (int i = 0; i < sentences; ++i)
        text += name + QStringLiteral(" слово%1 идёт, за ним другое.\n").arg(i);
    return text;
}

const QString bookA = bookText(QStringLiteral("Альфа"), 200);
const QString bookB = bookText(QStringLiteral("Бета"), 200);

UserFiles shelfFilesIn(const QString& folder) {
    UserFiles files = filesIn(folder);
    files.shelf = folder + QStringLiteral("/books.sqlite");
    return files;
}

// The reader's place as word entries before it.
int placeOf(const Run& r) {
    return wordsBefore(r.program.state.words, r.program.state.position);
}

// Starts the text in the text box at the fastest speed, lets `words` ticks
// run and pauses; returns the place.
int readSome(Run& r, int words) {
    MainWindow* f = r.program.mainWindow;
    f->speedList->setCurrentIndex(17);
    const int from = r.program.state.position;
    f->startButton->clickFromCode();
    [&] { QTRY_VERIFY_WITH_TIMEOUT(r.program.state.position >= from + words, 60000); }();
    f->pauseButton->clickFromCode();
    return placeOf(r);
}

QByteArray digest(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
               : QByteArray();
}

} // namespace

class TestShelfWiring : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void bookComesBackAtItsPlace_data();
    void bookComesBackAtItsPlace();
    void newerPlaceWinsAtStart_data();
    void newerPlaceWinsAtStart();
    void restartIsStored();
    void unusableShelfToldOnce();
    void booksWindow();
    void handedOverFileOpens();
};

void TestShelfWiring::bookComesBackAtItsPlace_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("pasted again after another book") << u"paste"_qs;
    QTest::newRow("pasted with other white space") << u"spaces"_qs;
    QTest::newRow("pasted in the next run") << u"next run"_qs;
}

void TestShelfWiring::bookComesBackAtItsPlace() {
    QFETCH(QString, how);
    QTemporaryDir dir;
    int placeOfA = -1;
    int found = -2;
    {
        Run r(shelfFilesIn(dir.path()));
        r.run([&] {
            MainWindow* f = r.program.mainWindow;
            f->textBox->setPlainText(bookA);
            placeOfA = readSome(r, 40);
            f->textBox->setPlainText(bookB);
            readSome(r, 10);
            if (how != u"next run") {
                QString again = bookA;
                if (how == u"spaces")
                    again.replace(u' ', u"  "_qs);
                f->textBox->setPlainText(again);
                f->startButton->clickFromCode();
                found = placeOf(r);
            }
            f->close();
        });
    }
    if (how == u"next run") {
        Run r(shelfFilesIn(dir.path()));
        r.run([&] {
            MainWindow* f = r.program.mainWindow;
            f->textBox->setPlainText(bookA);
            f->startButton->clickFromCode();
            found = placeOf(r);
            f->close();
        });
        QCOMPARE(r.boxes.shown.size(), 0);
    }
    QVERIFY(placeOfA >= 20);
    QCOMPARE(found, placeOfA);
}

void TestShelfWiring::newerPlaceWinsAtStart_data() {
    QTest::addColumn<qint64>("shelfLater"); // ms the shelf's save is later than the file's
    QTest::addColumn<bool>("shelfWins");
    QTest::newRow("the shelf saved later (a kill after the last pause)") << 60000LL << true;
    QTest::newRow("the settings file saved later") << -60000LL << false;
}

void TestShelfWiring::newerPlaceWinsAtStart() {
    QFETCH(qint64, shelfLater);
    QFETCH(bool, shelfWins);
    QTemporaryDir dir;
    const UserFiles files = shelfFilesIn(dir.path());
    int paused = -1;
    {
        Run r(files);
        r.run([&] {
            r.program.mainWindow->textBox->setPlainText(bookA);
            paused = readSome(r, 20);
            r.program.mainWindow->close();
        });
    }
    // Reading went on after the pause and the shelf took the place, then
    // the program was killed: the settings file still has the pause's place.
    const QString fingerprint = bookFingerprint(startText(bookA));
    const qint64 iniSaved = QFileInfo(files.settings.path).lastModified().toMSecsSinceEpoch();
    {
        Shelf shelf;
        QVERIFY(shelf.open(files.shelf));
        const auto b = shelf.find(fingerprint);
        QVERIFY(b);
        QCOMPARE(b->wordsBefore, paused);
        QVERIFY(shelf.savePlace({fingerprint, b->entries, b->position + 100, b->wordsBefore + 60,
                                 1000, iniSaved + shelfLater, iniSaved + shelfLater}));
    }
    Run r(files);
    int restored = -1;
    r.run([&] {
        r.program.mainWindow->startButton->clickFromCode();
        restored = placeOf(r);
        r.program.mainWindow->close();
    });
    QVERIFY(paused >= 10);
    QCOMPARE(restored, shelfWins ? paused + 60 : paused);
}

void TestShelfWiring::restartIsStored() {
    QTemporaryDir dir;
    const UserFiles files = shelfFilesIn(dir.path());
    Run r(files);
    r.run([&] {
        r.program.mainWindow->textBox->setPlainText(bookA);
        readSome(r, 20);
        r.program.mainWindow->restartButton->clickFromCode();
        r.program.shelfWiring->waitForWrites();
        r.program.mainWindow->textBox->setPlainText(bookB);
        readSome(r, 5);
        r.program.mainWindow->textBox->setPlainText(bookA);
        r.program.mainWindow->startButton->clickFromCode();
        QCOMPARE(r.program.state.position, 0);
        r.program.mainWindow->close();
    });
}

void TestShelfWiring::unusableShelfToldOnce() {
    QTemporaryDir dir;
    const UserFiles files = shelfFilesIn(dir.path());
    {
        QFile f(files.shelf);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("не база данных ").repeated(500));
    }
    const QByteArray before = digest(files.shelf);
    Run r(files);
    int first = -1;
    r.run([&] {
        MainWindow* f = r.program.mainWindow;
        f->textBox->setPlainText(bookA);
        first = readSome(r, 20);
        // Without a shelf the same text keeps its place as before.
        f->textBox->setPlainText(bookA);
        f->startButton->clickFromCode();
        QCOMPARE(placeOf(r), first);
        f->close();
    });
    QCOMPARE(r.boxes.shown.size(), 1);
    QVERIFY2(r.boxes.shown[0].text.contains(u"повреждён"), qPrintable(r.boxes.shown[0].text));
    QCOMPARE(digest(files.shelf), before);
}

void TestShelfWiring::booksWindow() {
    QTemporaryDir dir;
    Run r(shelfFilesIn(dir.path()));
    r.boxes.answers = {MessageBoxes::Answer::Cancel, MessageBoxes::Answer::Ok};
    r.run([&] {
        MainWindow* f = r.program.mainWindow;
        f->textBox->setPlainText(bookA);
        readSome(r, 30);
        f->textBox->setPlainText(bookB);
        readSome(r, 10);
        r.program.booksWiring->show();
        BooksWindow* w = r.program.booksWiring->window();
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->list->topLevelItemCount(), 2);
        // Most recent first, with its progress.
        QVERIFY(w->list->topLevelItem(0)->text(0).startsWith(u"Бета"));
        QVERIFY(w->list->topLevelItem(1)->text(0).startsWith(u"Альфа"));
        QVERIFY(w->list->topLevelItem(1)->text(2) != u"0 %");
        // Delete asks; Cancel keeps, OK removes.
        w->list->setCurrentItem(w->list->topLevelItem(1));
        QTest::keyClick(w->list, Qt::Key_Delete);
        QCOMPARE(w->list->topLevelItemCount(), 2);
        QTest::keyClick(w->list, Qt::Key_Delete);
        QCOMPARE(w->list->topLevelItemCount(), 1);
        // A pasted book cannot be re-read from a file: said, and kept.
        QTest::keyClick(w->list, Qt::Key_Return);
        QCOMPARE(w->list->topLevelItemCount(), 1);
        f->close();
    });
    QCOMPARE(r.boxes.shown.size(), 3);
    QVERIFY(r.boxes.shown[0].text.contains(u"Альфа"));
    QVERIFY(r.boxes.shown[2].text.contains(u"вставлена"));
}

void TestShelfWiring::handedOverFileOpens() {
    QTemporaryDir dir;
    const QString file = dir.filePath(u"книга.txt"_qs);
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bookB.toUtf8());
    }
    Run r(shelfFilesIn(dir.path()));
    r.run([&] {
        MainWindow* f = r.program.mainWindow;
        f->showMinimized();
        r.program.takeHandedOver(file);
        QTRY_VERIFY_WITH_TIMEOUT(f->textBox->toPlainText().startsWith(u"Бета слово0"), 60000);
        QVERIFY(!(f->windowState() & Qt::WindowMinimized));
        // The book opened from the file is on the shelf by its file's name.
        readSome(r, 5);
        r.program.shelfWiring->waitForWrites();
        const auto b = r.program.shelfWiring->shelf()->find(r.program.shelfWiring->currentBook());
        QVERIFY(b);
        QCOMPARE(b->path, QFileInfo(file).absoluteFilePath());
        QCOMPARE(b->title, u"книга.txt"_qs);
        // Another book handed over while words run: reading pauses, its
        // place is kept, and the book opens.
        const QString other = dir.filePath(u"другая.txt"_qs);
        QFile o(other);
        QVERIFY(o.open(QIODevice::WriteOnly) && o.write(bookA.toUtf8()) > 0);
        o.close();
        const int from = r.program.state.position;
        f->startButton->clickFromCode();
        QTRY_VERIFY_WITH_TIMEOUT(r.program.state.position >= from + 3, 60000);
        r.program.takeHandedOver(other);
        QVERIFY(!r.program.reader->wordTimer.enabled());
        QTRY_VERIFY_WITH_TIMEOUT(f->textBox->toPlainText().startsWith(u"Альфа слово0"), 60000);
        QVERIFY(r.boxes.shown.isEmpty());
        r.program.shelfWiring->waitForWrites();
        const auto kept = r.program.shelfWiring->shelf()->find(b->fingerprint);
        QVERIFY(kept);
        QVERIFY2(kept->position >= from + 3, qPrintable(QString::number(kept->position)));
        f->close();
    });
}

QTEST_MAIN(TestShelfWiring)
#include "tst_shelf_wiring.moc"
