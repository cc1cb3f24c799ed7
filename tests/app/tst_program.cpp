// The whole program, started and ended in a temporary folder, with message
// boxes answered by the test, no update server (or one on 127.0.0.1), and
// real timers.
#include "app/book_opener.h"
#include "app/command_line.h"
#include "book_files.h"
#include "corpus.h"
#include "file_size_limit.h"
#include "local_http_server.h"
#include "program_run.h"
#include "reading/preparation.h"
#include "reading/reader.h"
#include "reading/timer.h"
#include "storage/ini_file.h"
#include "storage/memory_settings_view.h"
#include "storage/settings.h"
#include "ui/closing_dialog.h"
#include "ui/flat_button.h"
#include "ui/main_window.h"
#include "ui/program_icon.h"
#include "ui/splash_window.h"
#include "ui/state_progress_bar.h"
#include "ui/status_bar.h"
#include "ui/text_box.h"
#include "words/library.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The last paint of every widget, with a button's caption at that moment.
class PaintLog final : public QObject {
public:
    PaintLog() { qApp->installEventFilter(this); }
    ~PaintLog() override { qApp->removeEventFilter(this); }
    QHash<const QObject*, QString> painted;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            const auto* button = qobject_cast<QAbstractButton*>(watched);
            painted.insert(watched, button ? button->text() : QString());
        }
        return false;
    }
};

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const QByteArray storedRoot("\xea\xee\xf0\xe5\xed\xfc\r\n"); // "корень" in Windows-1251

// The next word entry from `i` on, blanks and line breaks skipped, with a line
// break at its end dropped.
QString wordFrom(const WordSequence& s, int i) {
    for (; s.holds(i); ++i) {
        QString w = s.joined(i).trimmed();
        if (!w.isEmpty())
            return w;
    }
    return {};
}

// Whether `icon` is the program's: the same picture, with the red letter in
// the middle and a black tick mark above it.
bool isProgramIcon(const QIcon& icon) {
    const QImage image = icon.pixmap(48, 48).toImage().convertToFormat(QImage::Format_RGB32);
    if (image.size() != QSize(48, 48) ||
        image != programIcon().pixmap(48, 48).toImage().convertToFormat(QImage::Format_RGB32))
        return false;
    int red = 0;
    for (int y = 16; y < 32; ++y)
        for (int x = 16; x < 32; ++x) {
            const QColor c = image.pixelColor(x, y);
            red += c.red() > 180 && c.green() < 90 && c.blue() < 90;
        }
    return red > 40 && qGray(image.pixel(24, 8)) < 40;
}

enum class Server { None, Unreachable, NewerVersion };

} // namespace

Q_DECLARE_METATYPE(Server)

class TestProgram : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void firstStartWithoutFiles_data();
    void firstStartWithoutFiles();
    void readingSessionIsContinuedNextTime();
    void closeDuringPreparation_data();
    void closeDuringPreparation();
    void closeWithoutReadingLeavesSettingsAlone();
    void bookFromTheCommandLineIsRead();
    void startUpTakesWhatIsStored();
    void closingPaintsThenSavesLibraryThenSettings();
};

void TestProgram::firstStartWithoutFiles_data() {
    QTest::addColumn<Server>("server");
    QTest::addColumn<QString>("box");     // the one box shown at start; null: none
    QTest::addColumn<int>("pagesOpened"); // by the offer's OK and a click on the status bar

    QTest::newRow("no web server") << Server::None << QString() << 0;
    QTest::newRow("web server unreachable") << Server::Unreachable << failedUpdate << 1;
    QTest::newRow("newer version, OK") << Server::NewerVersion << u"v.2.2.0\nНовое.\n"_qs << 2;
}

void TestProgram::firstStartWithoutFiles() {
    QFETCH(Server, server);
    QFETCH(QString, box);
    QFETCH(int, pagesOpened);
    LocalHttpServer http;
    QVERIFY(http.listen());
    http.respond("/kestrix/ver.txt", LocalHttpServer::response("200 OK", "v.2.2.0\nНовое.\n"));
    QUrl versionUrl = http.url("/kestrix/ver.txt");
    if (server == Server::Unreachable)
        versionUrl.setPort(LocalHttpServer::closedPort());
    const QUrl page(QStringLiteral("http://kestrix.test/kestrix"));

    QTemporaryDir dir;
    Run r(dir.path(), server == Server::None ? QUrl() : versionUrl,
          server == Server::None ? QUrl() : page);
    QString welcome;
    bool linkShown = false;
    QList<QIcon> icons;
    bool addressFits = false;
    bool fastestFits = false;
    r.run([&] {
        StatusBar* bar = r.program.mainWindow->statusBar;
        linkShown = bar->panel(0)->isVisible() && bar->panelText(0) == page.toString() &&
                    bar->cursor().shape() == Qt::PointingHandCursor;
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(20, 9));
        QCOMPARE(bar->panelText(1), u"v.2.1.4"_qs);
        QVERIFY(bar->panel(1)->isVisible());
        icons = {r.program.mainWindow->windowIcon(), r.program.closingDialog->windowIcon(),
                 r.program.splash->windowIcon()};
        welcome = r.program.mainWindow->textBox->toPlainText();
        QCOMPARE(r.program.mainWindow->height(), 200);
        QCOMPARE(r.program.mainWindow->width(), 356);
        // Laid out at (710, 214), it is brought wholly onto the 800 x 600
        // offscreen screen, also when the full view makes it taller.
        const QRect area = r.program.mainWindow->screen()->availableGeometry();
        QVERIFY(area.contains(r.program.mainWindow->frameGeometry()));
        r.program.mainWindow->viewButton->clickFromCode();
        QVERIFY(area.contains(r.program.mainWindow->frameGeometry()));
        r.program.mainWindow->viewButton->clickFromCode();
        QCOMPARE(r.program.mainWindow->speedList->currentIndex(), 3);
        QCOMPARE(r.shown(),
                 Program::contactLeft() + Program::contactLetter() + Program::contactRest());
        QVERIFY(r.program.mainWindow->isVisible());
        QVERIFY(!r.program.closingDialog->isVisible());
        QVERIFY(!r.program.splash->isVisible());
        // The address fits the display field on both sides of its letter, and
        // the fastest speed fits the speed list.
        const DisplayField* d = r.program.mainWindow->displayField;
        const QFontMetrics metrics(d->displayFont());
        addressFits =
            metrics.horizontalAdvance(d->left()) <= d->partRect(DisplayField::Part::Left).width() &&
            metrics.horizontalAdvance(d->rest()) <= d->partRect(DisplayField::Part::Rest).width();
        QComboBox* list = r.program.mainWindow->speedList;
        QStyleOptionComboBox option;
        option.initFrom(list);
        fastestFits =
            list->style()
                ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list)
                .width() >= list->fontMetrics().horizontalAdvance(u"1000"_qs);
        r.program.mainWindow->close();
    });
    QVERIFY(addressFits);
    QVERIFY(fastestFits);
    QVERIFY(welcome.startsWith(u"Добро пожаловать в программу по скорочтению Kestrix."_qs));
    QCOMPARE(r.boxes.shown.size(), box.isNull() ? 0 : 1);
    if (!box.isNull())
        QCOMPARE(r.boxes.shown[0].text, box);
    QCOMPARE(http.requests.isEmpty(), server != Server::NewerVersion);
    QCOMPARE(linkShown, server != Server::None);
    QCOMPARE(r.opener.opened, QList<QUrl>(pagesOpened, page));
    for (const QIcon& icon : icons)
        QVERIFY(isProgramIcon(icon));
    // The library is saved at the end (empty), the settings are not.
    QVERIFY(QFile::exists(dir.filePath(u"library.txt"_qs)));
    QVERIFY(!QFile::exists(dir.filePath(u"kestrix.ini"_qs)));
}

void TestProgram::readingSessionIsContinuedNextTime() {
    const QString book = corpus::read(QStringLiteral("ru_chekhov_toska.txt"));
    QVERIFY(!book.isEmpty());
    QTemporaryDir dir;
    int bookmark = -1;
    QString nextWord;
    {
        Run r(dir.path());
        r.run([&] {
            MainWindow* f = r.program.mainWindow;
            f->textBox->setPlainText(book);
            f->speedList->setCurrentIndex(17);
            f->learningModeBox->setChecked(true);
            f->progressBar->setState(StateProgressBar::State::Paused);
            // Closed once some words were read, however slowly they come.
            connect(&r.program.reader->wordTimer, &Timer::timeout, f, [&, f] {
                if (bookmark < 0 && r.program.state.position > 10) {
                    bookmark = r.program.state.position;
                    nextWord = wordFrom(r.program.state.words, bookmark);
                    f->close();
                }
            });
            f->startButton->clickFromCode();
            QTimer::singleShot(60000, f, [f] { f->close(); });
        });
        QVERIFY(bookmark > 10);
        QCOMPARE(r.program.mainWindow->pauseButton->text(), Reader::resumeCaption());
    }
    QVERIFY(QFile::exists(dir.filePath(u"kestrix.ini"_qs)));
    QVERIFY(fileBytes(dir.filePath(u"library.txt"_qs)).size() > 10);

    Run again(dir.path());
    QString firstShown;
    int speed = -1;
    bool learning = false;
    StateProgressBar::State colour = StateProgressBar::State::Normal;
    int position = -1;
    int baseline = -1;
    again.run([&] {
        MainWindow* f = again.program.mainWindow;
        speed = f->speedList->currentIndex();
        learning = f->learningModeBox->isChecked();
        colour = f->progressBar->state();
        position = again.program.state.position;
        baseline = again.program.state.speedBaseline;
        // The first word tick comes one second after Start.
        connect(&again.program.reader->wordTimer, &Timer::timeout, f, [&, f] {
            if (firstShown.isNull()) {
                firstShown = again.shown().trimmed();
                f->close();
            }
        });
        f->startButton->clickFromCode();
    });
    QCOMPARE(speed, 17);
    QVERIFY(learning);
    QCOMPARE(colour, StateProgressBar::State::Paused);
    QCOMPARE(position, bookmark);
    QCOMPARE(baseline, bookmark);
    QCOMPARE(again.boxes.shown.size(), 0); // no update check, no learning-mode text
    // The bookmark is the entry the next tick shows: after a restart the
    // reader goes on with the word that followed the last one seen.
    if (!again.program.state.words.isBlank(bookmark))
        QCOMPARE(firstShown, nextWord);
    QCOMPARE(wordFrom(again.program.state.words, bookmark), nextWord);
}

void TestProgram::closeDuringPreparation_data() {
    QTest::addColumn<QString>("choice");
    QTest::newRow("kill") << u"kill"_qs;
    QTest::newRow("hide") << u"hide"_qs;
    QTest::newRow("press on the progress bar") << u"progress"_qs;
}

void TestProgram::closeDuringPreparation() {
    QFETCH(QString, choice);
    const QString book = corpus::read(QStringLiteral("ru_tolstoy_voina_i_mir.txt"));
    QVERIFY(!book.isEmpty());
    QTemporaryDir dir;
    Run r(dir.path());
    bool ranDuringPreparation = false;
    bool loopEndedWhilePreparing = false;
    connect(&r.program, &Program::loopEnded, this,
            [&] { loopEndedWhilePreparing = r.program.reader->preparing(); });
    r.run([&] {
        MainWindow* f = r.program.mainWindow;
        ClosingDialog* d = r.program.closingDialog;
        f->textBox->setPlainText(book);
        QTimer::singleShot(0, f, [&, f, d] {
            ranDuringPreparation = r.program.reader->preparing();
            f->close();
            QVERIFY(d->isVisible());
            QVERIFY(!f->isEnabled());
            if (choice == u"kill") {
                d->killButton->clickFromCode();
                QCOMPARE(d->killButton->font().pointSize(), 11);
            } else if (choice == u"hide") {
                d->hideButton->clickFromCode();
                QVERIFY(!f->isVisible());
                QVERIFY(!d->isVisible());
            } else {
                QTest::mousePress(d->progressBar, Qt::LeftButton);
                QVERIFY(!d->isVisible());
                QVERIFY(f->isEnabled());
            }
        });
        f->startButton->clickFromCode();
    });
    QVERIFY(ranDuringPreparation);
    QVERIFY(!loopEndedWhilePreparing); // the program ends when the preparation returns
    IniFile ini;
    QVERIFY(ini.load(dir.filePath(u"kestrix.ini"_qs)));
    const int stored = ini.intValue(u"Config", u"TextLength", -1);
    QCOMPARE(stored, r.program.state.entryCount);
    if (choice == u"kill")
        QVERIFY(stored < 400000);
    else
        QVERIFY(stored > 500000);
    QCOMPARE(ini.keyCount(u"Content"), stored);
}

void TestProgram::closeWithoutReadingLeavesSettingsAlone() {
    QTemporaryDir dir;
    const QString ini = dir.filePath(u"kestrix.ini"_qs);
    const QByteArray before =
        "; kept\r\n[Config]\r\nStudyMode=0\r\nSpeed=5\r\nTextLength=3\r\nTextPosition=1\r\n"
        "[Content]\r\nword_0=раз\r\nword_1=два\r\nword_2=три\r\n";
    {
        QFile f(ini);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(before);
    }
    Run r(dir.path());
    r.run([&] {
        QCOMPARE(r.program.mainWindow->speedList->currentIndex(), 5);
        QCOMPARE(r.program.state.position, 1);
        r.program.mainWindow->speedList->setCurrentIndex(9);
        r.program.mainWindow->close();
    });
    QCOMPARE(fileBytes(ini), before);
}

// `kestrix FILE`: the book replaces the restored text, and Start pressed in
// the window reads it from its first words.
void TestProgram::bookFromTheCommandLineIsRead() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"война и мир.fb2"_qs);
    QVERIFY(bookfiles::write(
        path, bookfiles::fb2(u"<body><title><p>Война и мир</p></title><section><p>Ну что, "
                             "князь, Генуя и Лукка стали не больше как поместьями.</p></section>"
                             "</body>"_qs)));
    QString output;
    int exitCode = -1;
    const std::optional<CommandLine> line =
        parseCommandLine({u"kestrix"_qs, path}, &output, &exitCode);
    QVERIFY(line);
    Run r(dir.path());
    r.program.openBookAtStart(line->bookFile);
    QStringList words;
    QString text;
    r.run([&] {
        MainWindow* f = r.program.mainWindow;
        const auto start = [&, f] {
            text = f->textBox->toPlainText();
            QTest::mouseClick(f->startButton, Qt::LeftButton);
        };
        // The book is read on a worker thread; it may be in already.
        if (r.program.bookOpener->busy())
            connect(r.program.bookOpener.get(), &BookOpener::finished, f, start);
        else
            start();
        connect(&r.program.reader->wordTimer, &Timer::timeout, f, [&, f] {
            const QString word = r.shown().trimmed();
            if (!word.isEmpty() && (words.isEmpty() || words.last() != word))
                words.append(word);
            if (words.size() == 4)
                f->close();
        });
    });
    QVERIFY(text.startsWith(u"Война и мир\n\nНу что, князь,"));
    QCOMPARE(words, QStringList({u"Война"_qs, u"и"_qs, u"мир"_qs, u"Ну"_qs}));
    QVERIFY(r.boxes.shown.isEmpty());
}

// Start-up: the splash painted before the settings file is read, its bar
// running until the text is in the text box; the word library loaded; a
// stored speed outside the list read as 300; the keys taken; sleep allowed.
void TestProgram::startUpTakesWhatIsStored() {
    QTemporaryDir dir;
    {
        ReadingState s;
        s.entryCount = cutWhole(s.words, corpus::read(u"ru_pushkin_kapitanskaya_dochka.txt"_qs));
        s.position = 1234;
        MemorySettingsView view;
        view.speed = 18;
        saveSettings(view, s, dir.filePath(u"kestrix.ini"_qs));
    }
    writeFile(dir.filePath(u"library.txt"_qs), storedRoot);
    Run r(dir.path());
    PaintLog paints;
    bool splashPaintedFirst = false;
    bool restoring = false;
    QList<int> barWhileTextIsPut;
    r.clock.onNow = [&] {
        // The first look at the clock behind the splash: the restore begins.
        if (!r.program.splash || std::exchange(restoring, true))
            return;
        splashPaintedFirst = paints.painted.contains(r.program.splash);
        connect(r.program.mainWindow->textBox, &QPlainTextEdit::textChanged, this,
                [&] { barWhileTextIsPut << r.program.splash->progressBar->value(); });
    };
    QStringList entries;
    int barAtTheEnd = -1;
    bool sleepRefused = true;
    int speed = -1;
    int speedAfterUp = -1;
    int position = -1;
    r.run([&] {
        MainWindow* f = r.program.mainWindow;
        entries = r.program.library->entries();
        barAtTheEnd = r.program.splash->progressBar->value();
        speed = f->speedList->currentIndex();
        position = r.program.state.position;
        r.hotkeys.press(38); // Up, before any Start: faster
        speedAfterUp = f->speedList->currentIndex();
        sleepRefused = r.power.held();
        f->close();
    });
    QVERIFY(splashPaintedFirst);
    QVERIFY2(barWhileTextIsPut.size() > 3, qPrintable(QString::number(barWhileTextIsPut.size())));
    QVERIFY(std::is_sorted(barWhileTextIsPut.begin(), barWhileTextIsPut.end()));
    QCOMPARE(barAtTheEnd, 1000);
    QCOMPARE(entries, QStringList{u"корень"_qs});
    QCOMPARE(speed, 3);
    QCOMPARE(speedAfterUp, 4);
    QCOMPARE(position, 1234);
    QVERIFY(!sleepRefused);
}

// Sleep is refused only while words run. Closing paints the closing dialog
// and the paused window before the saves, which run library first, then
// settings, also when the first fails.
void TestProgram::closingPaintsThenSavesLibraryThenSettings() {
    QTemporaryDir dir;
    QByteArray roots; // more than a write buffer, so that a full disk shows at once
    for (int i = 0; i < 3000; ++i)
        roots += storedRoot.chopped(2) + QByteArray::number(i) + "\r\n";
    writeFile(dir.filePath(u"library.txt"_qs), roots);
    Run r(dir.path());
    PaintLog paints;
    std::unique_ptr<FileSizeLimit> full;
    connect(&r.program, &Program::loopEnded, this, [&] {
        paints.painted.clear(); // what is painted from here on is seen during the saves
        full = std::make_unique<FileSizeLimit>(0);
    });
    QStringList failedSaves;
    bool paintedBeforeSaves = false;
    r.boxes.whileOpen = [&](const ScriptedMessageBoxes::Shown& box) {
        if (!full)
            return;
        if (failedSaves.isEmpty())
            paintedBeforeSaves =
                paints.painted.contains(r.program.closingDialog) &&
                paints.painted.value(r.program.mainWindow->pauseButton) == Reader::resumeCaption();
        failedSaves << box.text.section(QLatin1Char('['), 0, 0).trimmed();
    };
    QString power;
    r.run([&] {
        MainWindow* f = r.program.mainWindow;
        f->textBox->setPlainText(corpus::read(u"ru_chekhov_toska.txt"_qs));
        f->startButton->clickFromCode();
        f->pauseButton->clickFromCode();
        f->pauseButton->clickFromCode();
        // Changed since the save on pause: the end has settings to save,
        // however soon that save was done.
        f->speedList->setCurrentIndex(9);
        power = r.power.log;
        f->close();
    });
    full.reset();
    QCOMPARE(power, u"+-+"_qs);
    QCOMPARE(r.power.log, u"+-+-"_qs);
    QVERIFY(paintedBeforeSaves);
    QCOMPARE(failedSaves, (QStringList{u"Не удалось сохранить словарь."_qs,
                                       u"Не удалось сохранить настройки и закладки."_qs}));
}

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
