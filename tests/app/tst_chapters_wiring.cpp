// Chapters in the whole program: an EPUB's chapters listed by Ctrl+G, a
// chapter chosen moves the reading there paused, the chapters come back with
// the book restored from the settings file (its file gone), a text without
// chapters says so, and the time left follows the speed at once.
#include "app/book_opener.h"
#include "app/chapters_wiring.h"
#include "book_files.h"
#include "keys_run.h"
#include "platform/hotkeys_qt.h"
#include "program_run.h"
#include "reading/reader.h"
#include "ui/chapters_window.h"
#include "ui/flat_button.h"
#include "ui/text_box.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Titles that are no headings by the rule for plain texts: the chapters can
// only come from the navigation document (or the shelf).
const QStringList titles = {u"Встреча"_qs,  u"Дорога"_qs,   u"Буран"_qs,
                            u"Крепость"_qs, u"Поединок"_qs, u"Любовь"_qs};
const int chapterCount = int(titles.size());

// An EPUB of six chapters, each a document of its own listed in the
// navigation document.
QByteArray chaptersEpub() {
    bookfiles::Epub book;
    QString nav = u"<nav epub:type=\"toc\"><ol>"_qs;
    for (int c = 1; c <= chapterCount; ++c) {
        QString body = u"<h1>%1</h1>"_qs.arg(titles[c - 1]);
        for (int p = 0; p < 30; ++p)
            body += u"<p>Слово%1 идёт за словом, и снова слово%2.</p>"_qs.arg(c).arg(p);
        book.documents.append({u"OEBPS/c%1.xhtml"_qs.arg(c), bookfiles::xhtml(body)});
        nav += u"<li><a href=\"c%1.xhtml\">%2</a></li>"_qs.arg(c).arg(titles[c - 1]);
    }
    book.manifestExtra = u"<item id=\"nav\" href=\"nav.xhtml\" properties=\"nav\" "
                         "media-type=\"application/xhtml+xml\"/>"_qs;
    book.extra = {{u"OEBPS/nav.xhtml"_qs, bookfiles::xhtml(nav + u"</ol></nav>"_qs).toUtf8()}};
    return bookfiles::epub(book);
}

UserFiles shelfFilesIn(const QString& folder) {
    UserFiles files = filesIn(folder);
    files.shelf = folder + QStringLiteral("/books.sqlite");
    return files;
}

void openBook(Run& r, const QString& path) {
    QSignalSpy done(r.program.bookOpener.get(), &BookOpener::finished);
    r.program.bookOpener->open(path);
    QTRY_COMPARE_WITH_TIMEOUT(done.size(), 1, 60000);
    QCOMPARE(done[0][0].toBool(), true);
}

// Ctrl+G, as the reader presses it where the focus is.
ChaptersWindow* pressCtrlG(Run& r) {
    MainWindow* f = r.program.mainWindow;
    f->activateWindow();
    if (!QTest::qWaitForWindowActive(f, 30000))
        return nullptr;
    // The offscreen platform leaves a closed dialog the active window.
    if (!f->isActiveWindow())
        QApplication::setActiveWindow(f);
    QWidget* to = f->focusWidget();
    QTest::keyClick(to ? to : f, Qt::Key_G, Qt::ControlModifier);
    return r.program.chaptersWiring->window();
}

QStringList rowsOf(const ChaptersWindow* w) {
    QStringList rows;
    for (int i = 0; i < w->list->count(); ++i)
        rows.append(w->list->item(i)->text().simplified());
    return rows;
}

} // namespace

class TestChaptersWiring : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void ctrlGJumpsAndPauses();
    void chaptersComeBackWithTheRestoredBook();
    void textWithoutChapters();
    void timeLeftFollowsTheSpeed();
    void listKeysAreNotPlaybackKeys();
};

void TestChaptersWiring::ctrlGJumpsAndPauses() {
    QTemporaryDir dir;
    const QString book = dir.filePath(u"главы.epub"_qs);
    QVERIFY(bookfiles::write(book, chaptersEpub()));
    Run r(shelfFilesIn(dir.path()));
    r.run([&] {
        MainWindow* f = r.program.mainWindow;
        openBook(r, book);
        f->speedList->setCurrentIndex(17);
        f->startButton->clickFromCode();
        QTRY_VERIFY_WITH_TIMEOUT(r.program.state.position > 20, 60000);
        ChaptersWindow* w = pressCtrlG(r);
        QVERIFY(w);
        QTRY_VERIFY(w->isVisible());
        QCOMPARE(w->list->count(), chapterCount);
        QVERIFY(rowsOf(w)[0].startsWith(u"▶ 0 % Встреча"_qs));
        QVERIFY(rowsOf(w)[4].contains(u"Поединок"_qs));
        QCOMPARE(w->list->currentRow(), 0);
        // The list's keys are its own while it is open.
        QCOMPARE(QGuiApplication::modalWindow(), w->windowHandle());
        w->list->setCurrentRow(4);
        QTest::keyClick(w->list, Qt::Key_Return);
        QTRY_VERIFY(!w->isVisible());
        const QList<Chapter>& chapters = r.program.chaptersWiring->chapters();
        QCOMPARE(r.program.state.position, chapters[4].entry);
        QVERIFY(!r.program.reader->wordTimer.enabled());
        QCOMPARE(r.shown().trimmed(), u"Поединок"_qs);
        QVERIFY(f->pauseButton->isEnabled()); // Space reads on from the chapter
        // Opened again, the list marks the chapter moved to.
        pressCtrlG(r);
        QTRY_VERIFY(w->isVisible());
        QCOMPARE(w->list->currentRow(), 4);
        QVERIFY(rowsOf(w)[4].startsWith(u"▶"_qs));
        QTest::keyClick(w->list, Qt::Key_Escape);
        QTRY_VERIFY(!w->isVisible());
        QCOMPARE(r.program.state.position, chapters[4].entry);
        f->close();
    });
    QCOMPARE(r.boxes.shown.size(), 0);
}

void TestChaptersWiring::chaptersComeBackWithTheRestoredBook() {
    QTemporaryDir dir;
    const QString book = dir.filePath(u"главы.epub"_qs);
    QVERIFY(bookfiles::write(book, chaptersEpub()));
    QList<Chapter> first;
    {
        Run r(shelfFilesIn(dir.path()));
        r.run([&] {
            openBook(r, book);
            r.program.mainWindow->startButton->clickFromCode();
            QTRY_VERIFY_WITH_TIMEOUT(!r.program.reader->preparing(), 60000);
            first = r.program.chaptersWiring->chapters();
            r.program.mainWindow->pauseButton->clickFromCode();
            r.program.mainWindow->close();
        });
    }
    QCOMPARE(first.size(), chapterCount);
    // The file is gone: the chapters can only come from the shelf.
    QVERIFY(QFile::remove(book));
    Run r(shelfFilesIn(dir.path()));
    r.run([&] {
        // Before any Start, and from the sequence Start makes.
        ChaptersWindow* w = pressCtrlG(r);
        QTRY_VERIFY(w && w->isVisible());
        QCOMPARE(w->list->count(), chapterCount);
        QCOMPARE(r.program.chaptersWiring->chapters(), first);
        w->list->setCurrentRow(2);
        w->goButton->click();
        QTRY_COMPARE(r.program.state.position, first[2].entry);
        r.program.mainWindow->startButton->clickFromCode();
        QTRY_VERIFY_WITH_TIMEOUT(!r.program.reader->preparing(), 60000);
        QCOMPARE(r.program.chaptersWiring->chapters(), first);
        QVERIFY(r.program.state.position >= first[2].entry);
        QVERIFY(r.program.state.position < first[3].entry);
        r.program.mainWindow->close();
    });
}

void TestChaptersWiring::textWithoutChapters() {
    QTemporaryDir dir;
    Run r(shelfFilesIn(dir.path()));
    r.run([&] {
        r.program.mainWindow->textBox->setPlainText(u"Просто текст без глав, одна строка.\n"_qs);
        ChaptersWindow* w = pressCtrlG(r);
        QTRY_VERIFY(w && w->isVisible());
        QVERIFY(w->emptyLabel->isVisible());
        QVERIFY(w->list->isHidden());
        QVERIFY(!w->goButton->isEnabled());
        QTest::keyClick(w, Qt::Key_Escape);
        QTRY_VERIFY(!w->isVisible());
        QCOMPARE(r.program.state.position, 0);
        r.program.mainWindow->close();
    });
}

void TestChaptersWiring::timeLeftFollowsTheSpeed() {
    QTemporaryDir dir;
    const QString book = dir.filePath(u"главы.epub"_qs);
    QVERIFY(bookfiles::write(book, chaptersEpub()));
    Run r(shelfFilesIn(dir.path()));
    r.run([&] {
        MainWindow* f = r.program.mainWindow;
        ChaptersWiring& wiring = *r.program.chaptersWiring;
        openBook(r, book);
        QCOMPARE(f->informationBox->title(), u"Информация"_qs);
        f->speedList->setCurrentIndex(0);
        f->startButton->clickFromCode();
        QTRY_VERIFY_WITH_TIMEOUT(!r.program.reader->preparing(), 60000);
        f->pauseButton->clickFromCode();
        QVERIFY(f->informationBox->title().startsWith(u"Информация · осталось "_qs));
        QVERIFY(wiring.timeLeftText().startsWith(u"Осталось: глава "_qs));
        QSignalSpy changed(&wiring, &ChaptersWiring::timeLeftTextChanged);
        const QString slow = wiring.timeLeftText();
        f->speedList->setCurrentIndex(17);
        QCOMPARE(changed.size(), 1);
        QVERIFY(changed[0][0].toString() != slow);
        f->learningModeBox->click();
        QVERIFY(wiring.timeLeftText().startsWith(u"Осталось не менее: "_qs));
        QVERIFY(f->informationBox->title().contains(u"не менее"_qs));
        f->close();
    });
}

// With the real playback-key filter: in the open list the arrows move the
// choice and Enter chooses, and none of them reaches the reading (no speed
// change, no resume after the list has closed).
void TestChaptersWiring::listKeysAreNotPlaybackKeys() {
    QTemporaryDir dir;
    const QString book = dir.filePath(u"главы.epub"_qs);
    QVERIFY(bookfiles::write(book, chaptersEpub()));
    KeysRun r(shelfFilesIn(dir.path()));
    r.run([&] {
        MainWindow* f = r.program.mainWindow;
        Reader& reader = *r.program.reader;
        QSignalSpy done(r.program.bookOpener.get(), &BookOpener::finished);
        r.program.bookOpener->open(book);
        QTRY_COMPARE_WITH_TIMEOUT(done.size(), 1, 60000);
        f->startButton->setFocus();
        r.type(Qt::Key_Space);
        QVERIFY(reader.wordTimer.enabled());
        const int speed = f->speedList->currentIndex();
        r.type(Qt::Key_G, Qt::ControlModifier);
        ChaptersWindow* w = r.program.chaptersWiring->window();
        QVERIFY(w);
        QTRY_VERIFY(w->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(w, 30000));
        // Through the application's event filters, as typed keys go.
        QTest::keyClick(w->list, Qt::Key_Down);
        QTest::keyClick(w->list, Qt::Key_Down);
        QCOMPARE(w->list->currentRow(), 2);
        QTest::keyClick(w->list, Qt::Key_Return);
        QTRY_VERIFY(!w->isVisible());
        QCOMPARE(f->speedList->currentIndex(), speed);
        QCOMPARE(r.program.state.position, r.program.chaptersWiring->chapters()[2].entry);
        QTest::qWait(100);
        QVERIFY(!reader.wordTimer.enabled());
        QCOMPARE(f->pauseButton->text(), Reader::resumeCaption());
    });
}

QTEST_MAIN(TestChaptersWiring)
#include "tst_chapters_wiring.moc"
