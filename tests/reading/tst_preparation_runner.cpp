// Cutting the text box's text while events run: the kill button, real
// timers during a whole novel, a second Start, the text as the box holds it.
#include "reader_fixture.h"

#include "corpus.h"
#include "reading/preparation.h"
#include "storage/memory_settings_view.h"
#include "storage/settings.h"
#include "ui/state_progress_bar.h"

#include <QClipboard>
#include <QtTest>

class TestPreparationRunner : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void killStopsCuttingWithEntriesCut();
    void realTimersWhileALongTextIsCut();
    void secondStartAbandonsTheFirstPreparation();
    void textBoxGivesStartTheTextAsPut_data();
    void textBoxGivesStartTheTextAsPut();
    void restoredBookKeepsItsPositionsThroughTheTextBox();
    void pastedFileIsCutAsTheProbeCutsIt_data();
    void pastedFileIsCutAsTheProbeCutsIt();
    void editWhilePausedLeavesTheTextBeingCut();
};

void TestPreparationRunner::killStopsCuttingWithEntriesCut() {
    const QString book = corpus::read(QStringLiteral("ru_tolstoy_voina_i_mir.txt"));
    QVERIFY(!book.isEmpty());
    ReaderFixture f;
    bool kill = false;
    int cutWhenKilled = -1;
    f.reader.setStopRequest([&] { return kill; });
    f.form.textBox->setPlainText(book);
    QTimer::singleShot(0, [&] {
        kill = true;
        cutWhenKilled = f.closing.progressBar->value();
    });
    f.form.startButton->clickFromCode();
    QVERIFY(cutWhenKilled > 0);
    QCOMPARE(f.state.entryCount, cutWhenKilled);
    QVERIFY(f.state.entryCount < 400000);
}

void TestPreparationRunner::realTimersWhileALongTextIsCut() {
    const QString book = corpus::read(QStringLiteral("ru_tolstoy_voina_i_mir.txt"));
    QVERIFY(!book.isEmpty());
    ReaderFixture f;
    f.form.textBox->setPlainText(book);
    int servedWhileCutting = 0;
    QTimer other;
    other.setInterval(5);
    connect(&other, &QTimer::timeout, [&] { servedWhileCutting += f.reader.preparing() ? 1 : 0; });
    other.start();
    QElapsedTimer sinceStart;
    qint64 firstWordAfter = -1;
    QString firstShown; // taken at the tick: a loaded machine may show more before the cut ends
    connect(&f.reader.wordTimer, &Timer::timeout, [&] {
        if (firstWordAfter < 0) {
            firstWordAfter = sinceStart.elapsed();
            firstShown = f.form.displayField->left() + f.form.displayField->letter() +
                         f.form.displayField->rest();
        }
    });
    sinceStart.start();
    f.form.startButton->clickFromCode();
    QVERIFY(servedWhileCutting > 0); // timers run between slices of the cutting
    QCOMPARE(f.state.entryCount, 552509);
    QTRY_VERIFY_WITH_TIMEOUT(firstWordAfter >= 0, 60000);
    QVERIFY2(firstWordAfter >= 995, qPrintable(QString::number(firstWordAfter)));
    QCOMPARE(firstShown, f.state.words.joined(0));
}

void TestPreparationRunner::secondStartAbandonsTheFirstPreparation() {
    const QString book = corpus::read(QStringLiteral("ru_tolstoy_voina_i_mir.txt"));
    ReaderFixture f;
    f.form.textBox->setPlainText(book);
    QTimer::singleShot(0, [&] {
        f.reader.togglePause();                           // pause
        f.form.textBox->setPlainText(u"новый текст "_qs); // an edit enables Start
        f.form.startButton->clickFromCode();
    });
    f.form.startButton->clickFromCode();
    QCOMPARE(f.state.entryCount, 2);
    QCOMPARE(f.state.words.written(), 2);
    QCOMPARE(f.state.words.joined(1), u"текст"_qs);
    QVERIFY(!f.reader.preparing());
}

void TestPreparationRunner::textBoxGivesStartTheTextAsPut_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("CR LF") << u"раз\r\nдва "_qs;
    QTest::newRow("LF") << u"раз\nдва "_qs;
    QTest::newRow("lone CR") << u"раз\rдва "_qs;
    QTest::newRow("LF CR, as a restored book has") << u" раз \n\r \n\r два "_qs;
    QTest::newRow("line separator") << u"раз\u2028два "_qs;
    QTest::newRow("no-break space and tab") << u"раз\u00a0два\tтри "_qs;
    QTest::newRow("line breaks at both ends") << u"\n\rраз два\n\r"_qs;
}

void TestPreparationRunner::textBoxGivesStartTheTextAsPut() {
    QFETCH(QString, text);
    ReaderFixture f;
    f.form.textBox->setPlainText(text);
    QCOMPARE(startText(f.form.textBox->document()->toRawText()), startText(text));
}

void TestPreparationRunner::restoredBookKeepsItsPositionsThroughTheTextBox() {
    // A stored book comes back through the text box as Start will see it.
    const QString book = corpus::read(QStringLiteral("ru_lermontov_geroi_nashego_vremeni.txt"));
    ReaderFixture f;
    f.state.entryCount = cutWhole(f.state.words, book);
    MemorySettingsView saved;
    const QString ini = f.dir.filePath(u"kestrix.ini"_qs);
    saveSettings(saved, f.state, ini);
    MemorySettingsView restored;
    ReadingState again;
    loadSettings(restored, again, ini, f.clock, TimeFormat(QLocale::c()));
    f.form.textBox->setPlainText(restored.text);
    QCOMPARE(startText(f.form.textBox->document()->toRawText()), startText(restored.text));
}

// A file pasted into the text box is cut by Start exactly as the probe cuts
// the file, whatever its line ends.
void TestPreparationRunner::pastedFileIsCutAsTheProbeCutsIt_data() {
    QTest::addColumn<QString>("file"); // empty: the text of `form` itself
    QTest::addColumn<QString>("form");
    QTest::newRow("frame marks") << QString() << u"раз\uFDD0два\uFDD1три\u2029четыре "_qs;
    for (const QString& path : corpus::files()) {
        const QString name = QFileInfo(path).fileName();
        for (const char* form : {"CR LF", "LF", "CR", "mixed"})
            QTest::addRow("%s, %s", qPrintable(name), form) << path << QString::fromLatin1(form);
    }
}

void TestPreparationRunner::pastedFileIsCutAsTheProbeCutsIt() {
    QFETCH(QString, file);
    QFETCH(QString, form);
    QString text = form;
    if (!file.isEmpty()) {
        QFile in(file);
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QString lines = QString::fromUtf8(in.readAll()).replace(u"\r\n"_qs, u"\n"_qs);
        const QStringList ends = form == u"mixed"   ? QStringList{u"\r\n"_qs, u"\r"_qs, u"\n"_qs}
                                 : form == u"CR LF" ? QStringList{u"\r\n"_qs}
                                 : form == u"CR"    ? QStringList{u"\r"_qs}
                                                    : QStringList{u"\n"_qs};
        text.clear();
        qsizetype at = 0;
        for (qsizetype i = 0; (i = lines.indexOf(QLatin1Char('\n'), at)) >= 0; at = i + 1)
            text += QStringView(lines).mid(at, i - at) + ends[(at + i) % ends.size()];
        text += QStringView(lines).mid(at);
    }
    ReaderFixture f;
    QGuiApplication::clipboard()->setText(text);
    f.form.textBox->selectAll();
    f.form.textBox->paste();
    f.form.startButton->clickFromCode();
    WordSequence probe;
    QCOMPARE(f.state.entryCount, cutWhole(probe, text));
    QVERIFY(f.state.words.text() == probe.text());
}

// A pause while a book is still being cut lets the reader edit the text box;
// the book being cut stays the one started.
void TestPreparationRunner::editWhilePausedLeavesTheTextBeingCut() {
    const QString book = corpus::read(QStringLiteral("ru_lermontov_geroi_nashego_vremeni.txt"));
    ReaderFixture f;
    f.form.textBox->setPlainText(book);
    bool editedWhileCutting = false;
    QTimer::singleShot(0, [&] {
        editedWhileCutting = f.reader.preparing();
        f.reader.togglePause();
        f.form.textBox->selectAll();
        f.form.textBox->insertPlainText(u"x"_qs);
        f.reader.togglePause(); // resumed, no new Start
    });
    f.form.startButton->clickFromCode();
    QVERIFY(editedWhileCutting);
    WordSequence whole;
    QCOMPARE(f.state.entryCount, cutWhole(whole, book));
}

QTEST_MAIN(TestPreparationRunner)
#include "tst_preparation_runner.moc"
