// The closing dialog tells the truth from the close to the end: it is painted
// as the close is taken, also while a long text is still being cut, and the
// last saves run on their workers while it stays painted, says what is saved,
// moves its bar with the save and answers its buttons.
#include "app/final_save.h"
#include "corpus.h"
#include "platform/atomic_save.h"
#include "program_run.h"
#include "reading/reader.h"
#include "storage/ini_file.h"
#include "storage/settings_saver.h"
#include "ui/closing_dialog.h"
#include "ui/flat_button.h"
#include "ui/state_progress_bar.h"
#include "ui/text_box.h"
#include "words/library.h"

#include <QLabel>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>

namespace {

// Counts the paints of one widget.
class PaintCounter final : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Holds every save at the steps asked for until the interface thread has
// looked: the worker waits (a minute at most), the test's script runs.
class SaveGate {
public:
    explicit SaveGate(QList<SaveStep> steps)
        : m_steps(std::move(steps)), m_hook([this](SaveStep step) {
              if (m_steps.contains(step)) {
                  m_waiting.store(true);
                  m_open.tryAcquire(1, 60000);
              }
              return 0;
          }) {}
    // Whether a save waits that was not looked at yet; it is let go on.
    bool held() { return m_waiting.exchange(false); }
    void open() { m_open.release(); }

private:
    QList<SaveStep> m_steps;
    std::atomic<bool> m_waiting{false};
    QSemaphore m_open;
    SaveFaultHook m_hook;
};

} // namespace

class TestClosing : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void dialogIsPaintedAsTheCloseIsTaken();
    void lastSavesRunUnderThePaintedDialog();
};

void TestClosing::dialogIsPaintedAsTheCloseIsTaken() {
    const QString book = corpus::read(QStringLiteral("ru_tolstoy_voina_i_mir.txt"));
    QVERIFY(!book.isEmpty());
    QTemporaryDir dir;
    Run r(dir.path());
    std::optional<PaintCounter> counter;
    bool closedWhileCutting = false;
    int paintsWhenTaken = -1;
    bool scheduled = false;
    // The close comes between two slices of the cutting, as a reader's does.
    r.clock.onNow = [&] {
        if (scheduled || !r.program.reader->preparing())
            return;
        scheduled = true;
        QTimer::singleShot(0, r.program.mainWindow, [&] {
            closedWhileCutting = r.program.reader->preparing();
            r.program.mainWindow->close();
            paintsWhenTaken = counter->paints;
        });
    };
    r.run([&] {
        counter.emplace(r.program.closingDialog);
        r.program.mainWindow->textBox->setPlainText(book);
        r.program.mainWindow->startButton->clickFromCode();
    });
    r.clock.onNow = nullptr;
    QVERIFY(closedWhileCutting);
    QVERIFY2(paintsWhenTaken > 0, "the closing dialog was not painted when the close was taken");
}

void TestClosing::lastSavesRunUnderThePaintedDialog() {
    QTemporaryDir dir;
    Run r(dir.path());
    ClosingDialog* d = nullptr;
    std::optional<PaintCounter> counter;
    // The library's save, then the settings': each held as it begins to
    // write its file and again when all is written, before the sync.
    SaveGate gate({SaveStep::Create, SaveStep::Sync});
    struct Seen {
        QString line;
        int bar;
        bool shown;
    };
    QList<Seen> seen;
    QTimer look;
    look.setInterval(5);
    connect(&look, &QTimer::timeout, this, [&] {
        if (!gate.held())
            return;
        look.stop();
        const QString line = d->savingLabel->isVisibleTo(d) ? d->savingLabel->text() : QString();
        // The bar follows what the worker has done by now, and the dialog
        // is painted while the worker waits.
        const int progress = line == FinalSave::libraryText() ? r.program.library->progress()
                                                              : r.program.settingsSaver->progress();
        QTRY_COMPARE_WITH_TIMEOUT(d->progressBar->value(), progress, 30000);
        if (d->isVisible()) {
            const int paints = counter->paints;
            d->update();
            QTRY_VERIFY_WITH_TIMEOUT(counter->paints > paints, 30000);
        }
        seen.append({line, d->progressBar->value(), d->isVisible()});
        // The hide button answers while the settings are saved.
        if (seen.size() == 3)
            d->hideButton->clickFromCode();
        gate.open();
        look.start();
    });
    connect(&r.program, &Program::loopEnded, &look, qOverload<>(&QTimer::start));
    r.run([&] {
        d = r.program.closingDialog;
        counter.emplace(d);
        r.program.library->setEntries({u"раз"_qs, u"два"_qs});
        MainWindow* f = r.program.mainWindow;
        f->textBox->setPlainText(u"Раз два три четыре пять шесть семь восемь девять."_qs);
        f->startButton->clickFromCode();
        f->close();
    });
    QCOMPARE(seen.size(), 4);
    const QString library = FinalSave::libraryText();
    const QString settings = FinalSave::settingsText();
    QCOMPARE(seen[0].line, library);
    QCOMPARE(seen[1].line, library);
    QCOMPARE(seen[2].line, settings);
    QCOMPARE(seen[3].line, settings);
    QVERIFY(seen[0].shown && seen[1].shown && seen[2].shown);
    QVERIFY(!seen[3].shown); // hidden by its button meanwhile
    for (int i : {1, 3}) {
        QVERIFY2(seen[i].bar > seen[i - 1].bar && seen[i].bar >= 900,
                 qPrintable(u"%1 then %2"_qs.arg(seen[i - 1].bar).arg(seen[i].bar)));
    }
    QVERIFY(!r.program.mainWindow->isVisible());
    IniFile ini;
    QVERIFY(ini.load(dir.filePath(u"kestrix.ini"_qs)));
    QCOMPARE(ini.intValue(u"Config", u"TextLength", -1), r.program.state.entryCount);
}

QTEST_MAIN(TestClosing)
#include "tst_closing.moc"
