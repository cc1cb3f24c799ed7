// The reader's round trip: a book saved and restored comes back with every
// word at its bookmark position.
#include "settings_fixture.h"

#include "corpus.h"
#include "reading/preparation.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

enum class Kind { Blank, Break, Word };

Kind kindOf(const WordSequence& s, int i) {
    if (s.isBlank(i))
        return Kind::Blank;
    const QString j = s.joined(i);
    if (j == u"\r" || j == u"\n")
        return Kind::Break;
    return Kind::Word;
}

// The word of an entry, character for character: without the line break the
// preparation left at its end, which comes back as the entry after it.
QString wordOf(const WordSequence& s, int i) {
    QString w = s.joined(i);
    while (!w.isEmpty() && (w.back() == QLatin1Char('\r') || w.back() == QLatin1Char('\n')))
        w.chop(1);
    return w;
}

struct RoundTrip {
    WordSequence before;
    int entryCount = 0;
    WordSequence after;
    int restoredCount = 0;
    int positionLoaded = -1;
    QString restored;
    QStringList messages;
};

// Cuts the text as Start does, saves with the bookmark at `bookmark` (the last
// entry when negative), restores, and cuts the restored text as Start does
// when the text box has turned each line break into a paragraph.
RoundTrip saveAndRestore(const QString& text, const QString& path, int bookmark = -1) {
    RoundTrip r;
    ReadingState st;
    st.entryCount = cutWhole(st.words, text);
    st.position = bookmark < 0 ? st.entryCount - 1 : bookmark;
    TestView v(st);
    saveSettings(v, st, path);
    r.before = st.words;
    r.entryCount = st.entryCount;
    ReadingState st2;
    TestView v2(st2);
    FixedClock clock;
    load(v2, st2, path, clock);
    r.restored = v2.text;
    r.positionLoaded = st2.position;
    r.messages = v.messages + v2.messages;
    r.restoredCount = cutWhole(r.after, startText(r.restored));
    return r;
}

// Positions whose entry does not come back as the same word (or, for pauses
// and line breaks, as the same kind of entry), described; at most `max`.
QStringList misaligned(const RoundTrip& r, int from, int to, int max = 5) {
    QStringList out;
    for (int p = from; p < to && out.size() < max; ++p) {
        const Kind k = kindOf(r.before, p);
        QString problem;
        if (p >= r.restoredCount)
            problem = QStringLiteral("beyond the restored sequence");
        else if (kindOf(r.after, p) != k)
            problem = QStringLiteral("kind differs");
        else if (k == Kind::Word && wordOf(r.after, p) != wordOf(r.before, p))
            problem = QStringLiteral("word differs");
        if (!problem.isEmpty()) {
            out << QStringLiteral("%1: %2 [%3] -> [%4]")
                       .arg(p)
                       .arg(problem, r.before.joined(p),
                            p < r.restoredCount ? r.after.joined(p) : QString());
        }
    }
    return out;
}

} // namespace

class TestSettingsRoundTrip : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void roundTripEveryPositionOfBooks_data();
    void roundTripEveryPositionOfBooks();

private:
    QTemporaryDir m_dir;
    QString m_path = m_dir.filePath(QStringLiteral("kestrix.ini"));
};

void TestSettingsRoundTrip::roundTrip_data() {
    QTest::addColumn<QString>("text");
    auto row = [](const char* name, const char16_t* text) {
        QTest::newRow(name) << QString::fromUtf16(text);
    };
    row("sentences", u"Привет, мир. Как дела? Хорошо! Ну и ладно ");
    row("line breaks", u"Глава 1\r\nТекст идёт.\r\n\r\nДальше ещё\nи ещё\rконец ");
    row("paragraph separators", u"Абзац один\u2029Абзац два\u2028строка ");
    row("starts with line breaks", u"\r\n\r\nНачало текста тут ");
    row("starts with a word and a break", u"Глава\r\nТекст ");
    row("blank before line break", u"слово \r\nдругое \r\n \r\nещё ");
    row("quoted words", u"Он сказал \"привет\" и 'пока' ушёл ");
    row("empty quotes", u"Пусто \"\" и '' тут \"\"\r\nконец ");
    row("tab-only words", u"слово \t слово \t\r\nещё \t\t\"\t\" тут ");
    row("tab-indented lines", u"\tАбзац первый.\r\n\tАбзац второй. ");
    row("dashes", u"кто-то - где-то -- зачем-то ");
    row("brackets and quotes", u"(слово) «ёлка» [x] {y}; \"Да.\" ");
    row("sentence end at line end", u"Конец.\r\nНачало. \r\nИ ещё!\r\n\r\n");
    row("no final delimiter", u"Слово и ещё слово");
    row("last word on its own line", u"Строка\r\nпоследняя");
    row("one word", u"Слово.");
    row("quotes and tabs", u"Он сказал \"Да\" и 'ушёл' \tпрочь ");
    row("text ends with a line break", u"один два\r\n");
}

void TestSettingsRoundTrip::roundTrip() {
    QFETCH(QString, text);
    const RoundTrip r = saveAndRestore(text, m_path);
    QVERIFY(r.messages.isEmpty());
    QVERIFY(r.entryCount > 0);
    QCOMPARE(r.positionLoaded, r.entryCount - 1);
    const QStringList bad = misaligned(r, 0, r.entryCount);
    QVERIFY2(bad.isEmpty(), qPrintable(bad.join(QLatin1Char('\n'))));
}

void TestSettingsRoundTrip::roundTripEveryPositionOfBooks_data() {
    QTest::addColumn<QString>("file");
    const QStringList files = corpus::files();
    QVERIFY(!files.isEmpty());
    for (const QString& f : files)
        QTest::newRow(qPrintable(QFileInfo(f).fileName())) << f;
}

void TestSettingsRoundTrip::roundTripEveryPositionOfBooks() {
    QFETCH(QString, file);
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    const RoundTrip r = saveAndRestore(text, m_path);
    QVERIFY(r.messages.isEmpty());
    QCOMPARE(r.positionLoaded, r.entryCount - 1);
    // The last entry first: a bookmark on the last word survives.
    QVERIFY2(misaligned(r, r.entryCount - 1, r.entryCount).isEmpty(),
             qPrintable(misaligned(r, r.entryCount - 1, r.entryCount).join(QLatin1Char('\n'))));
    // Then every position: the share that holds is all of them.
    const QStringList bad = misaligned(r, 0, r.entryCount);
    QVERIFY2(bad.isEmpty(), qPrintable(bad.join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestSettingsRoundTrip)
#include "tst_settings_round_trip.moc"
