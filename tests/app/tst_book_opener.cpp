// Opening book files into the main window: Ctrl+O, a drop and a path all put
// the book in the text box the way a paste does; a bad file, a cancel and a
// text box that cannot be edited change nothing.
#include "app/book_opener.h"
#include "book_files.h"
#include "fakes.h"
#include "ui/flat_button.h"
#include "ui/main_window.h"
#include "ui/text_box.h"

#include <QClipboard>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString oldText = QStringLiteral("Прежняя книга, её читали вчера.");
const QString book = QStringLiteral("Первая строка книги.\n\nВторая строка книги.\n");

struct Window {
    Window() {
        window.show();
        window.textBox->setPlainText(oldText);
        bookPath = dir.filePath(u"книга.fb2"_qs);
        bookfiles::write(bookPath, bookfiles::fb2(u"<body><p>Первая строка книги.</p><empty-line/>"
                                                  "<p>Вторая   строка книги.</p></body>"_qs));
    }
    // Runs `action` and waits until the opening it started is over.
    bool openingPlaced(const std::function<void()>& action) {
        QSignalSpy finished(&opener, &BookOpener::finished);
        action();
        if (finished.isEmpty() && !finished.wait(60000))
            return false;
        return finished.first().first().toBool();
    }
    // Sends a drag of `path` onto the text box and drops it; returns whether
    // the drag was taken.
    bool drop(const QString& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        data.setText(path);
        QWidget* target = window.textBox->viewport();
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        return true;
    }

    QTemporaryDir dir;
    QString bookPath;
    MainWindow window;
    ScriptedMessageBoxes boxes;
    ScriptedFileDialog dialog;
    BookOpener opener{window, boxes, dialog};
};

} // namespace

class TestBookOpener : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void arrivesAsAPaste_data();
    void arrivesAsAPaste();
    void refusedWhileTheTextBoxIsLocked_data();
    void refusedWhileTheTextBoxIsLocked();
    void badFileChangesNothing();
    void damagedBookOpensWithAMessage();
    void cancelChangesNothing();
    void cancelAndCloseDoNotWaitForTheReader();
    void inputWaitsWhileOpening();
};

void TestBookOpener::arrivesAsAPaste_data() {
    QTest::addColumn<QString>("way");
    QTest::newRow("Ctrl+O") << u"ctrl+o"_qs;
    QTest::newRow("drop") << u"drop"_qs;
    QTest::newRow("path") << u"path"_qs;
}

void TestBookOpener::arrivesAsAPaste() {
    QFETCH(QString, way);
    Window w;
    w.dialog.paths = {w.bookPath};
    QSignalSpy changed(w.window.textBox, &QPlainTextEdit::textChanged);
    QApplication::setActiveWindow(&w.window);
    QVERIFY(QTest::qWaitForWindowActive(&w.window, 30000));
    QVERIFY(w.openingPlaced([&] {
        if (way == u"ctrl+o")
            QTest::keyClick(&w.window, Qt::Key_O, Qt::ControlModifier);
        else if (way == u"drop")
            QVERIFY(w.drop(w.bookPath));
        else
            w.opener.open(w.bookPath);
    }));
    if (way == u"ctrl+o") {
        QCOMPARE(w.dialog.filters.size(), 1);
        QVERIFY(w.dialog.filters[0].contains(u"*.fb2"));
        QVERIFY(w.dialog.filters[0].contains(u"*.epub"));
    }
    QVERIFY(!changed.isEmpty());

    // What a paste of the same text over the whole old text gives.
    TextBox pasted;
    pasted.setPlainText(oldText);
    QGuiApplication::clipboard()->setText(book);
    pasted.selectAll();
    pasted.paste();
    QCOMPARE(w.window.textBox->document()->toRawText(), pasted.document()->toRawText());
    QCOMPARE(w.window.textBox->toPlainText(), book);
    // One undo brings the old text back.
    w.window.textBox->undo();
    QCOMPARE(w.window.textBox->toPlainText(), oldText);
    QVERIFY(w.boxes.shown.isEmpty());
}

void TestBookOpener::refusedWhileTheTextBoxIsLocked_data() {
    QTest::addColumn<QString>("way");
    QTest::newRow("Ctrl+O") << u"ctrl+o"_qs;
    QTest::newRow("drop") << u"drop"_qs;
    QTest::newRow("reading resumed behind the dialog") << u"resumed"_qs;
}

// The text box is locked while words are running.
void TestBookOpener::refusedWhileTheTextBoxIsLocked() {
    QFETCH(QString, way);
    Window w;
    w.dialog.paths = {w.bookPath};
    QApplication::setActiveWindow(&w.window);
    QVERIFY(QTest::qWaitForWindowActive(&w.window, 30000));
    if (way == u"resumed")
        w.dialog.whileOpen = [&] { w.window.textBox->setEnabled(false); };
    else
        w.window.textBox->setEnabled(false);
    if (way == u"drop")
        QVERIFY(!w.drop(w.bookPath));
    else
        QTest::keyClick(&w.window, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(w.dialog.filters.size(), way == u"resumed" ? 1 : 0);
    QCOMPARE(w.boxes.shown.size(), way == u"resumed" ? 1 : 0);
    if (way == u"resumed")
        QVERIFY(w.boxes.shown[0].text.contains(u"«книга.fb2»"));
    QVERIFY(!w.opener.busy());
    QCOMPARE(w.window.textBox->toPlainText(), oldText);
}

void TestBookOpener::badFileChangesNothing() {
    Window w;
    const QString pdf = w.dir.filePath(u"статья.pdf"_qs);
    QVERIFY(bookfiles::write(pdf, "%PDF-1.5\n"));
    QVERIFY(!w.openingPlaced([&] { w.opener.open(pdf); }));
    QCOMPARE(w.boxes.shown.size(), 1);
    QVERIFY(w.boxes.shown[0].text.contains(u"«статья.pdf»"));
    QVERIFY(w.boxes.shown[0].text.contains(u"PDF"));
    QCOMPARE(w.window.textBox->toPlainText(), oldText);
    QVERIFY(!w.window.textBox->document()->isUndoAvailable());
}

// A book whose FB2 breaks off inside a tag opens with what could be read,
// and the reader is told that part of it may be missing.
void TestBookOpener::damagedBookOpensWithAMessage() {
    Window w;
    const QByteArray whole = bookfiles::fb2(u"<body><p>Первая строка книги.</p><p>Вто"_qs);
    QVERIFY(bookfiles::write(w.bookPath, whole.left(whole.indexOf("<p>Вто") + 3) + "<b id=\"x"));
    QVERIFY(w.openingPlaced([&] { w.opener.open(w.bookPath); }));
    QCOMPARE(w.window.textBox->toPlainText(), u"Первая строка книги.\n"_qs);
    QCOMPARE(w.boxes.shown.size(), 1);
    QVERIFY2(w.boxes.shown[0].text.contains(u"«книга.fb2»") &&
                 w.boxes.shown[0].text.contains(u"может отсутствовать"),
             qPrintable(w.boxes.shown[0].text));
}

void TestBookOpener::cancelChangesNothing() {
    Window w;
    w.opener.progressDelayMs = 0;
    QVERIFY(!w.openingPlaced([&] {
        w.opener.open(w.bookPath);
        auto* progress = w.window.findChild<QProgressDialog*>();
        QVERIFY(progress && progress->isVisible());
        QPushButton* cancel = progress->findChild<QPushButton*>();
        QVERIFY(cancel);
        QTest::mouseClick(cancel, Qt::LeftButton);
    }));
    QVERIFY(w.boxes.shown.isEmpty());
    QCOMPARE(w.window.textBox->toPlainText(), oldText);
    QVERIFY(!w.window.findChild<QProgressDialog*>());
}

// A reader stuck inside one call (a parser on a hostile file) holds up
// neither a cancel nor the window's close.
void TestBookOpener::cancelAndCloseDoNotWaitForTheReader() {
    struct Stuck {
        QSemaphore entered, release, returned;
    };
    const auto stuck = std::make_shared<Stuck>();
    {
        Window w;
        w.opener.progressDelayMs = 0;
        w.opener.readFile = [stuck](const QString&, const BookLimits&, BookProgress&) {
            stuck->entered.release();
            stuck->release.tryAcquire(1, 60000);
            stuck->returned.release();
            return BookText::failed(BookFailure::Damaged);
        };
        QSignalSpy finished(&w.opener, &BookOpener::finished);
        w.opener.open(w.bookPath);
        QVERIFY(stuck->entered.tryAcquire(1, 60000));
        auto* progress = w.window.findChild<QProgressDialog*>();
        QVERIFY(progress);
        QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(w.window.textBox->toPlainText(), oldText);
        // Another opening, and the window goes while its reader is stuck too.
        w.opener.open(w.bookPath);
        QVERIFY(stuck->entered.tryAcquire(1, 60000));
    }
    QCOMPARE(stuck->returned.available(), 0);
    stuck->release.release(2);
    QVERIFY(stuck->returned.tryAcquire(2, 60000));
}

// Start pressed, a key typed or another file dropped while a book is being
// opened would act on half a text: they wait until it is in.
void TestBookOpener::inputWaitsWhileOpening() {
    Window w;
    QSignalSpy started(w.window.startButton, &FlatButton::clicked);
    QVERIFY(w.openingPlaced([&] {
        w.opener.open(w.bookPath);
        QTest::mouseClick(w.window.startButton, Qt::LeftButton);
        QTest::keyClick(w.window.textBox, Qt::Key_X);
        QVERIFY(!w.drop(w.bookPath));
    }));
    QCOMPARE(started.size(), 0);
    QCOMPARE(w.window.textBox->toPlainText(), book);
    QTest::mouseClick(w.window.startButton, Qt::LeftButton);
    QCOMPARE(started.size(), 1);
}

QTEST_MAIN(TestBookOpener)
#include "tst_book_opener.moc"
