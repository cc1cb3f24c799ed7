// The context panel and the chapters together in the whole program: the
// panel's "Главы…" button opens the chapter list, a chapter chosen shows in
// the open panel, and the panel's line of the time left follows a move made
// in it.
#include "app/chapters_wiring.h"
#include "program_run.h"
#include "reading/context_navigation.h"
#include "reading/reader.h"
#include "ui/chapters_window.h"
#include "ui/context_panel.h"
#include "ui/flat_button.h"
#include "ui/text_box.h"

#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString book() {
    QString text;
    for (const QString& title : {u"Глава I"_qs, u"Глава II"_qs, u"Глава III"_qs}) {
        text += title + u"\n\n"_qs;
        for (int p = 0; p < 20; ++p)
            text += u"Слово за словом идёт %1, и снова слово. Ещё одно предложение.\n"_qs.arg(p);
        text += u"\n"_qs;
    }
    return text;
}

} // namespace

class TestContextChapters : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void panelOpensTheChaptersAndFollowsThem();
};

void TestContextChapters::panelOpensTheChaptersAndFollowsThem() {
    QTemporaryDir dir;
    Run r(dir.path());
    r.run([&] {
        MainWindow* f = r.program.mainWindow;
        ContextPanel* panel = f->contextPanel;
        ContextNavigation& context = *r.program.contextNavigation;
        f->textBox->setPlainText(book());
        f->startButton->click();
        QVERIFY(!r.program.reader->preparing());
        for (int i = 0; i < 5; ++i)
            r.program.reader->showNextWord();
        f->pauseButton->click();
        QVERIFY(context.isOpen());
        const QString before = panel->timeLeftText();
        QVERIFY2(!before.isEmpty(), "the panel shows the time left");
        QVERIFY(panel->timeLeftLabel->isVisibleTo(panel));
        // A move in the panel counts the time left again.
        for (int i = 0; i < 30; ++i)
            context.stepWord(+1);
        QVERIFY(panel->timeLeftText() != before);

        const QList<Chapter>& chapters = r.program.chaptersWiring->chapters();
        QCOMPARE(chapters.size(), 3);
        panel->chaptersButton->click();
        ChaptersWindow* w = r.program.chaptersWiring->window();
        QVERIFY(w);
        QTRY_VERIFY(w->isVisible());
        QCOMPARE(w->list->count(), 3);
        w->list->setCurrentRow(2);
        QTest::keyClick(w->list, Qt::Key_Return);
        QTRY_VERIFY(!w->isVisible());
        QCOMPARE(r.program.state.position, chapters[2].entry);
        // The open panel shows the chapter's first word, marked.
        QVERIFY(context.isOpen());
        QCOMPARE(context.shownEntry(), chapters[2].entry);
        QCOMPARE(panel->text().mid(panel->markStart(), panel->markLength()), r.shown().trimmed());
        f->close();
    });
}

QTEST_MAIN(TestContextChapters)
#include "tst_context_chapters.moc"
