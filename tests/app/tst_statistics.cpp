// Reading sessions in the whole program and the "Статистика" window: two
// books read on three days (the clock moved by hand between them), the
// window's charts and totals, its CSV, its empty state and its themes.
#include "app/shelf_wiring.h"
#include "app/statistics_wiring.h"
#include "program_run.h"
#include "shelf/shelf.h"
#include "shelf/shelf_worker.h"
#include "ui/flat_button.h"
#include "ui/statistics_window.h"
#include "ui/text_box.h"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr qint64 dayMs = 24 * 60 * 60 * 1000;

QString bookText(const QString& name) {
    QString text;
    for (int i = 0; i < 200; ++i)
        text += name + QStringLiteral(" слово%1 идёт, за ним другое.\n").arg(i);
    return text;
}

UserFiles shelfFilesIn(const QString& folder) {
    UserFiles files = filesIn(folder);
    files.shelf = folder + QStringLiteral("/books.sqlite");
    return files;
}

// Reads the text in the text box until `words` more word entries were shown,
// moves the clock on by `extraMs` (the reading took that much longer) and
// pauses.
void readSome(Run& r, int words, qint64 extraMs) {
    MainWindow* f = r.program.mainWindow;
    f->speedList->setCurrentIndex(17);
    const qint64 from = r.program.state.wordsShown;
    f->startButton->clickFromCode();
    [&] { QTRY_VERIFY_WITH_TIMEOUT(r.program.state.wordsShown >= from + words, 60000); }();
    r.clock.offsetMs += extraMs;
    f->pauseButton->clickFromCode();
}

QAction* statisticsAction(const Run& r) {
    return r.program.mainWindow->findChild<QAction*>(QStringLiteral("statisticsAction"));
}

int points(QChartView* view) {
    const QList<QAbstractSeries*> series = view->chart()->series();
    return series.isEmpty() ? -1 : int(static_cast<QLineSeries*>(series.first())->count());
}

// The fields of one CSV line (RFC 4180, no line breaks inside fields).
QStringList csvFields(const QString& line) {
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted && c == u'"' && i + 1 < line.size() && line[i + 1] == u'"') {
            field += c;
            ++i;
        } else if (c == u'"') {
            quoted = !quoted;
        } else if (c == u',' && !quoted) {
            fields.append(std::exchange(field, QString()));
        } else {
            field += c;
        }
    }
    fields.append(field);
    return fields;
}

// Saves a picture of `w` where KESTRIX_SCREENSHOTS names a folder.
void keepPicture(QWidget* w, const QString& name) {
    const QString folder = qEnvironmentVariable("KESTRIX_SCREENSHOTS");
    if (!folder.isEmpty())
        w->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

} // namespace

class TestStatistics : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void twoBooksOnThreeDays();
    void emptyState();
    void streakBeyondThePeriod();
    void failedCsvSaveIsTold();
    void themes_data();
    void themes();
};

void TestStatistics::twoBooksOnThreeDays() {
    QTemporaryDir dir;
    Run r(shelfFilesIn(dir.path()));
    const QString csvPath = dir.filePath(u"sessions.csv"_qs);
    QList<ShelfSession> kept;
    r.run([&] {
        MainWindow* f = r.program.mainWindow;
        qint64 moved = 0; // what the sessions added to the clock
        for (const int daysAgo : {2, 1, 0}) {
            for (const QString& name : {u"Альфа"_qs, u"Бета"_qs}) {
                r.clock.offsetMs = moved - daysAgo * dayMs;
                f->textBox->setPlainText(bookText(name));
                readSome(r, 5, 6000);
                moved += 6000;
                if (QTest::currentTestFailed())
                    return;
            }
        }
        statisticsAction(r)->trigger();
        StatisticsWiring& wiring = *r.program.statisticsWiring;
        StatisticsWindow* w = wiring.window();
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->pages->currentIndex(), 0);
        QCOMPARE(points(w->speedChart), 3);
        QCOMPARE(points(w->timeChart), 3);
        QCOMPARE(points(w->wordsChart), 3);
        QCOMPARE(w->bookBox->count(), 3); // all, and the two books
        kept = r.program.shelfWiring->shelf()->sessions();
        QCOMPARE(kept.size(), 6);
        const StatisticsTotals& t = wiring.shown().totals;
        QCOMPARE(t.sessions, 6);
        qint64 words = 0;
        qint64 running = 0;
        for (const ShelfSession& s : kept) {
            words += s.words;
            running += s.runningMs;
            QVERIFY(s.runningMs >= 6000);
            QCOMPARE(s.speedIndex, 17);
        }
        QCOMPARE(t.words, words);
        QCOMPARE(t.runningMs, running);
        QCOMPARE(t.streakDays, 3);
        QVERIFY(w->totalsLabel->text().contains(QLocale().toString(words)));
        QVERIFY(!w->noteLabel->isVisible());
        keepPicture(w, u"statistics"_qs);
        // One book: its three days.
        w->bookBox->setCurrentIndex(1);
        QCOMPARE(wiring.shown().totals.sessions, 3);
        w->bookBox->setCurrentIndex(0);
        r.fileDialog.paths = {csvPath};
        w->saveButton->click();
        QVERIFY(r.boxes.shown.isEmpty());
        f->close();
    });
    const QList<QByteArray> lines = fileBytes(csvPath).split('\n');
    QCOMPARE(lines.size(), 1 + 6 + 1);
    for (int i = 0; i < kept.size(); ++i) {
        QVERIFY(lines[i + 1].endsWith('\r'));
        const QStringList fields = csvFields(QString::fromUtf8(lines[i + 1].chopped(1)));
        QCOMPARE(fields.size(), 8);
        QCOMPARE(fields[0], QDateTime::fromMSecsSinceEpoch(kept[i].started).toString(Qt::ISODate));
        QVERIFY(fields[2].startsWith(i % 2 == 0 ? u"Альфа слово0 идёт, за"_qs : u"Бета слово0"_qs));
        QCOMPARE(fields[4].toInt(), kept[i].words);
    }
    QCOMPARE(r.fileDialog.suggestions.size(), 1);
}

void TestStatistics::emptyState() {
    QTemporaryDir dir;
    Run r(shelfFilesIn(dir.path()));
    r.run([&] {
        QApplication::setActiveWindow(r.program.mainWindow);
        QVERIFY(QTest::qWaitForWindowActive(r.program.mainWindow, 30000));
        QTest::keyClick(r.program.mainWindow, Qt::Key_I, Qt::ControlModifier);
        StatisticsWindow* w = r.program.statisticsWiring->window();
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->pages->currentIndex(), 1);
        QCOMPARE(w->emptyLabel->text(), StatisticsWindow::emptyText());
        QVERIFY(!w->saveButton->isEnabled());
        keepPicture(w, u"statistics-empty"_qs);
        r.program.mainWindow->close();
    });
}

void TestStatistics::streakBeyondThePeriod() {
    // Ten days in a row up to today: the week shows seven, the streak is ten.
    QTemporaryDir dir;
    Run r(shelfFilesIn(dir.path()));
    r.run([&] {
        ShelfWorker* shelf = r.program.shelfWiring->shelf();
        QVERIFY(shelf);
        ShelfBook b;
        b.fingerprint = u"book"_qs;
        shelf->put(b);
        const QDate today = QDate::currentDate();
        for (int d = 0; d < 10; ++d) {
            ShelfSession s;
            s.fingerprint = b.fingerprint;
            s.started = QDateTime(today.addDays(-d), QTime(0, 30)).toMSecsSinceEpoch();
            s.runningMs = 60000;
            s.ended = s.started + s.runningMs;
            s.words = 250;
            shelf->saveSession(s);
        }
        statisticsAction(r)->trigger();
        const StatisticsTotals& t = r.program.statisticsWiring->shown().totals;
        QCOMPARE(t.sessions, 7);
        QCOMPARE(t.streakDays, 10);
        r.program.mainWindow->close();
    });
}

void TestStatistics::failedCsvSaveIsTold() {
    QTemporaryDir dir;
    Run r(shelfFilesIn(dir.path()));
    r.run([&] {
        r.program.mainWindow->textBox->setPlainText(bookText(u"Гамма"_qs));
        readSome(r, 3, 6000);
        statisticsAction(r)->trigger();
        StatisticsWindow* w = r.program.statisticsWiring->window();
        QVERIFY(w->saveButton->isEnabled());
        r.fileDialog.paths = {dir.filePath(u"no-such-folder/s.csv"_qs)};
        w->saveButton->click();
        QCOMPARE(r.boxes.shown.size(), 1);
        QVERIFY(r.boxes.shown[0].text.startsWith(u"Не удалось сохранить файл"_qs));
        // Cancelled: nothing is saved and nothing said.
        w->saveButton->click();
        QCOMPARE(r.boxes.shown.size(), 1);
        r.program.mainWindow->close();
    });
}

void TestStatistics::themes_data() {
    QTest::addColumn<QColor>("window");
    QTest::addColumn<bool>("dark");
    QTest::newRow("light") << QColor(240, 240, 240) << false;
    QTest::newRow("dark") << QColor(40, 40, 40) << true;
}

void TestStatistics::themes() {
    QFETCH(QColor, window);
    QFETCH(bool, dark);
    StatisticsWindow w;
    QPalette p = w.palette();
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::Base, window);
    p.setColor(QPalette::WindowText, dark ? Qt::white : Qt::black);
    w.setPalette(p);
    StatisticsWindow::Day day{QDate(2026, 3, 1), 250, 300, 12, 3000};
    w.setContent(
        {{day, {day.date.addDays(1), 280, 300, 20, 5600}}, {{u"Время"_qs, u"32 мин"_qs}}, {}});
    w.resize(800, 800);
    const QImage picture = w.speedChart->grab().toImage();
    // The chart's ground follows the window; its title stands out from it.
    const QColor ground = picture.pixelColor(5, picture.height() / 2);
    QCOMPARE(ground.lightness() < 128, dark);
    QCOMPARE(w.speedChart->chart()->theme(),
             dark ? QChart::ChartThemeDark : QChart::ChartThemeLight);
    bool contrast = false;
    for (int y = 0; y < 40 && !contrast; ++y)
        for (int x = 0; x < picture.width() && !contrast; ++x)
            contrast = qAbs(picture.pixelColor(x, y).lightness() - ground.lightness()) > 100;
    QVERIFY(contrast);
    keepPicture(&w, dark ? u"statistics-dark"_qs : u"statistics-light"_qs);
}

QTEST_MAIN(TestStatistics)
#include "tst_statistics.moc"
