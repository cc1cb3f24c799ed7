// loadSettings and saveSettings: settings, the rebuilt text, the bookmark, failures,
// and the reader's round trip over real books.
#include "corpus.h"
#include "fakes.h"
#include "file_size_limit.h"
#include "platform/time_format.h"
#include "reading/preparation.h"
#include "storage/ini_file.h"
#include "storage/memory_settings_view.h"
#include "storage/settings.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

const QString welcome = QStringLiteral("Вставьте сюда текст");

// The main window as loadSettings sees it: the text box's change handler resets
// the position, the check box's click handler notes whether it would explain.
class TestView : public MemorySettingsView {
public:
    explicit TestView(ReadingState& s) : state(s) { text = welcome; }
    void studyModeClicked() override { booAtClick.append(state.explainLearningMode); }
    void textChanged() override { state.position = 0; }
    void splashTimeLeft(const QString& t) override {
        MemorySettingsView::splashTimeLeft(t);
        timeLabels.append(t);
    }
    ReadingState& state;
    QList<bool> booAtClick;
    QStringList timeLabels;
};

// A clock that moves on by `stepMs` each time it is read.
class SteppingClock final : public Clock {
public:
    explicit SteppingClock(qint64 stepMs) : m_step(stepMs) {}
    QDateTime now() const override {
        m_t = m_t.addMSecs(m_step);
        return m_t;
    }

private:
    qint64 m_step;
    mutable QDateTime m_t{QDate(2026, 1, 1), QTime(23, 0, 0)};
};

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

const TimeFormat& timeFormat() {
    static const TimeFormat tf{QLocale::c()};
    return tf;
}

void load(TestView& view, ReadingState& state, const QString& path, const Clock& clock) {
    loadSettings(view, state, path, clock, timeFormat());
}

enum class Kind { Blank, Break, Word };

Kind kindOf(const WordSequence& s, int i) {
    if (s.isBlank(i))
        return Kind::Blank;
    const QString j = s.joined(i);
    if (j == u"\r" || j == u"\n")
        return Kind::Break;
    return Kind::Word;
}

// The word of an entry as the reader knows it: without the line break the
// preparation left at its end, the blanks around it and enclosing quotes.
QString wordOf(const WordSequence& s, int i) {
    QString w = s.joined(i);
    while (!w.isEmpty() && (w.back() == QLatin1Char('\r') || w.back() == QLatin1Char('\n')))
        w.chop(1);
    // Reduced until nothing changes, so that a word and its own reading
    // compare equal (a quoted tab reads as a tab, which trims to nothing).
    QStringView v(w);
    for (QStringView next = IniFile::unquoted(IniFile::trimmed(v)); next.size() != v.size();
         next = IniFile::unquoted(IniFile::trimmed(v)))
        v = next;
    return v.toString();
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

class TestConf : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();

    void firstRunWithoutFile();
    void settings_data();
    void settings();
    void restoredText_data();
    void restoredText();
    void damagedTextLengthStaysBounded_data();
    void damagedTextLengthStaysBounded();
    void garbageFilesLoad();
    void unreadableFileReported();
    void splashShowsProgressAndTimeLeft();

    void saveWithoutReadingLeavesFile();
    void saveWritesSettingsAndEntries();
    void saveKeepsOtherSectionsAndDropsOldContent();
    void saveCoversExactlyK1Entries();
    void failedSaveKeepsOldFile_data();
    void failedSaveKeepsOldFile();

    void roundTrip_data();
    void roundTrip();
    void roundTripEveryPositionOfBooks_data();
    void roundTripEveryPositionOfBooks();

private:
    QTemporaryDir m_dir;
    QString m_path;
};

void TestConf::init() {
    QVERIFY(m_dir.isValid());
    m_path = m_dir.filePath(QStringLiteral("kestrix.ini"));
    QFile::remove(m_path);
}

void TestConf::firstRunWithoutFile() {
    ReadingState st;
    st.explainLearningMode = true;
    st.position = 7;
    TestView v(st);
    FixedClock clock;
    load(v, st, m_path, clock);
    QCOMPARE(v.hotkeyReleases, 1);
    QCOMPARE(v.study, false);
    QVERIFY(v.booAtClick.isEmpty());
    QCOMPARE(v.progress, ProgressState::Normal);
    QCOMPARE(v.speed, 3);
    QCOMPARE(st.entryCount, 0);
    QCOMPARE(st.position, 0);
    QCOMPARE(st.speedBaseline, 0);
    QCOMPARE(st.explainLearningMode, true);
    QCOMPARE(v.text, welcome);
    QCOMPARE(v.textSets, 0);
    QCOMPARE(v.splashVisible, false);
    QVERIFY(v.messages.isEmpty());
    QVERIFY(!QFile::exists(m_path));
}

void TestConf::settings_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("study");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<int>("progress");
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("bookmark");
    // The bar starts out paused here, so that "unchanged" can be seen.
    const int normal = int(ProgressState::Normal);
    const int paused = int(ProgressState::Paused);
    const int error = int(ProgressState::Error);
    auto row = [](const char* name, const QByteArray& config, bool study, int clicks, int progress,
                  int speed, int bookmark) {
        QTest::newRow(name) << QByteArray("[Config]\r\n" + config) << study << clicks << progress
                            << speed << bookmark;
    };
    row("empty section", "", false, 0, normal, 3, 0);
    row("study mode on", "StudyMode=1\r\n", true, 1, normal, 3, 0);
    row("study mode any non-zero", "StudyMode=-4\r\n", true, 1, normal, 3, 0);
    row("study mode garbage is off", "StudyMode=on\r\n", false, 0, normal, 3, 0);
    row("red", "ProgressBar=red\r\n", false, 0, error, 3, 0);
    row("yellow", "ProgressBar=yellow\r\n", false, 0, paused, 3, 0);
    row("green", "ProgressBar=green\r\n", false, 0, normal, 3, 0);
    row("Red keeps the bar", "ProgressBar=Red\r\n", false, 0, paused, 3, 0);
    row("unknown colour keeps the bar", "ProgressBar=blue\r\n", false, 0, paused, 3, 0);
    row("quoted colour", "ProgressBar=\"red\"\r\n", false, 0, error, 3, 0);
    row("speed 18 unchanged", "Speed=18\r\n", false, 0, normal, 18, 0);
    row("speed -1 unchanged", "Speed=-1\r\n", false, 0, normal, -1, 0);
    row("speed not a number", "Speed=fast\r\n", false, 0, normal, 3, 0);
    row("bookmark", "TextPosition=42\r\n", false, 0, normal, 3, 42);
    row("bookmark beyond the text", "TextLength=2\r\nTextPosition=500\r\n", false, 0, normal, 3,
        500);
    row("negative bookmark is the start", "TextPosition=-3\r\n", false, 0, normal, 3, 0);
    row("keys in any case", "studymode=1\r\nSPEED=9\r\n", true, 1, normal, 9, 0);
}

void TestConf::settings() {
    QFETCH(QByteArray, file);
    QFETCH(bool, study);
    QFETCH(int, clicks);
    QFETCH(int, progress);
    QFETCH(int, speed);
    QFETCH(int, bookmark);
    QVERIFY(writeAll(m_path, file));
    ReadingState st;
    st.explainLearningMode = true;
    TestView v(st);
    const bool missingProgress = !file.contains("ProgressBar");
    v.progress = missingProgress ? ProgressState::Paused : ProgressState::Paused;
    FixedClock clock;
    load(v, st, m_path, clock);
    QCOMPARE(v.study, study);
    // The click handler runs only on a change, and with the explanation off.
    QCOMPARE(v.booAtClick, QList<bool>(clicks, false));
    QCOMPARE(st.explainLearningMode, true);
    // A missing key reads "green", which sets the normal state.
    QCOMPARE(int(v.progress), progress);
    QCOMPARE(v.speed, speed);
    QCOMPARE(st.position, bookmark);
    QCOMPARE(st.speedBaseline, bookmark);
    QVERIFY(v.messages.isEmpty());
    QCOMPARE(v.splashVisible, false);
}

void TestConf::restoredText_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("textLength");
    QTest::addColumn<QString>("text");
    auto row = [](const char* name, const QByteArray& file, int textLength, const QString& text) {
        QTest::newRow(name) << QByteArray("[Config]\r\n" + file) << textLength << text;
    };
    row("no text", "TextLength=0\r\n[Content]\r\nword_0=a\r\n", 0, welcome);
    row("negative length reads nothing", "TextLength=-5\r\n[Content]\r\nword_0=a\r\n", -5, welcome);
    row("words", "TextLength=3\r\n[Content]\r\nword_0=Раз,\r\nword_1=два.\r\nword_2=три\r\n", 3,
        QStringLiteral(" Раз, два. три "));
    row("no Content section", "TextLength=3\r\n", 3, QStringLiteral(" \n\r \n\r \n\r"));
    row("blank and line-break entries",
        "TextLength=3\r\n[Content]\r\nword_0=               \r\n"
        "word_1=\r\r\nword_2=\n\r\n",
        3, QStringLiteral(" \n\r \n\r \n\r"));
    row("quoted word loses its quotes",
        "TextLength=2\r\n[Content]\r\nword_0=\"привет\"\r\n"
        "word_1='пока'\r\n",
        2, QStringLiteral(" привет пока "));
    row("old files: one key fewer", "TextLength=3\r\n[Content]\r\nword_0=a\r\nword_1=b\r\n", 3,
        QStringLiteral(" a b \n\r"));
    row("keys in any order and case", "TextLength=2\r\n[content]\r\nWORD_1=b\r\nword_0=a\r\n", 2,
        QStringLiteral(" a b "));
    row("keys beyond the length ignored", "TextLength=1\r\n[Content]\r\nword_0=a\r\nword_1=b\r\n",
        1, QStringLiteral(" a "));
    row("one missing entry", "TextLength=1\r\n", 1, QStringLiteral(" \n\r"));
}

void TestConf::restoredText() {
    QFETCH(QByteArray, file);
    QFETCH(int, textLength);
    QFETCH(QString, text);
    QVERIFY(writeAll(m_path, file));
    ReadingState st;
    TestView v(st);
    FixedClock clock;
    load(v, st, m_path, clock);
    QCOMPARE(st.entryCount, textLength);
    QCOMPARE(v.text, text);
    QCOMPARE(v.textSets, textLength > 0 ? 1 : 0);
}

void TestConf::damagedTextLengthStaysBounded_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("text");
    QTest::newRow("no keys") << QByteArray() << QString();
    QTest::newRow("three keys") << QByteArray("word_0=a\r\nword_1=b\r\nword_2=c\r\n")
                                << QStringLiteral(" a b c ");
    QTest::newRow("gap") << QByteArray("word_0=a\r\nword_2=c\r\n") << QStringLiteral(" a \n\r c ");
    QTest::newRow("leading zeros are other keys")
        << QByteArray("word_0=a\r\nword_0000099=z\r\n") << QStringLiteral(" a ");
}

void TestConf::damagedTextLengthStaysBounded() {
    QFETCH(QByteArray, content);
    QFETCH(QString, text);
    QVERIFY(writeAll(m_path, "[Config]\r\nTextLength=2000000000\r\n[Content]\r\n" + content));
    ReadingState st;
    TestView v(st);
    FixedClock clock;
    load(v, st, m_path, clock);
    QCOMPARE(st.entryCount, 2000000000);
    QCOMPARE(v.text, text);

    // A stray key far out does not make the load pad up to it.
    QVERIFY(writeAll(m_path, "[Config]\r\nTextLength=2000000000\r\n[Content]\r\n" + content +
                                 "word_1999999999=x\r\n"));
    load(v, st, m_path, clock);
    QVERIFY2(v.text.size() < 4 * loadPaddedLimit, qPrintable(QString::number(v.text.size())));
}

void TestConf::garbageFilesLoad() {
    QRandomGenerator rng(77);
    const QByteArray pieces[] = {"[Config]\r\n",
                                 "[Content]\r\n",
                                 "TextLength=",
                                 "TextPosition=",
                                 "word_",
                                 "=",
                                 "\r\n",
                                 "\n\r",
                                 "2147483647",
                                 "-1",
                                 "99",
                                 "\xD0",
                                 "\x00",
                                 "\"",
                                 " ",
                                 "Speed="};
    for (int round = 0; round < 60; ++round) {
        QByteArray bytes;
        const int n = static_cast<int>(rng.bounded(1, 400));
        for (int i = 0; i < n; ++i) {
            if (round % 3 == 0)
                bytes += char(rng.bounded(256));
            else
                bytes += pieces[rng.bounded(static_cast<int>(std::size(pieces)))];
        }
        QVERIFY(writeAll(m_path, bytes));
        ReadingState st;
        TestView v(st);
        FixedClock clock;
        load(v, st, m_path, clock);
        QVERIFY(v.messages.isEmpty());
        QVERIFY(st.position >= 0);
        QVERIFY(!v.splashVisible);
        QVERIFY(v.text.size() <=
                    4 * qMax(0, qMin(st.entryCount, loadPaddedLimit)) + bytes.size() + 2 ||
                v.text == welcome);
    }
}

void TestConf::unreadableFileReported() {
    ReadingState st;
    st.position = 5;
    TestView v(st);
    v.speed = 9;
    v.splashVisible = true;
    FixedClock clock;
    load(v, st, m_dir.path(), clock); // a directory where the file should be
    QCOMPARE(v.messages.size(), 1);
    const QString m = v.messages.first();
    QVERIFY2(m.startsWith(QStringLiteral("Не удалось прочитать настройки и закладки.  [")) &&
                 m.endsWith(QLatin1Char(']')) && m.size() > 47,
             qPrintable(m));
    QCOMPARE(v.speed, 9);
    QCOMPARE(v.text, welcome);
    QCOMPARE(st.position, 5);
    QVERIFY(!v.splashVisible);
}

void TestConf::splashShowsProgressAndTimeLeft() {
    QByteArray file = "[Config]\r\nTextLength=10000\r\n[Content]\r\n";
    for (int i = 0; i < 10000; ++i)
        file += "word_" + QByteArray::number(i) + "=w" + QByteArray::number(i) + "\r\n";
    QVERIFY(writeAll(m_path, file));
    ReadingState st;
    TestView v(st);
    const SteppingClock clock(100000); // 100 s per reading of the clock
    load(v, st, m_path, clock);
    QCOMPARE(v.eventRounds, 3); // once per slice of 4096 entries
    QCOMPARE(v.splashMaximum, 10000);
    QCOMPARE(v.splashPosition, 8192);
    // At 4096: elapsed 100 s, total 100 * 10000 / 4096 = 244 s, left 244 - 200.
    // At 8192: the second reading of the clock has passed the estimate.
    QCOMPARE(v.timeLabels, (QStringList{QStringLiteral("Осталось: 00:00:44"),
                                        QStringLiteral("Осталось: 00:00:00")}));
    QVERIFY(!v.splashVisible);
    QVERIFY(v.text.startsWith(QStringLiteral(" w0 w1 ")));
    QVERIFY(v.text.endsWith(QStringLiteral(" w9999 ")));
}

void TestConf::saveWithoutReadingLeavesFile() {
    const QByteArray old("\xEF\xBB\xBF[Config]\nSpeed=7\n;note\n[Content]\nword_0=\xC0\n");
    QVERIFY(writeAll(m_path, old));
    ReadingState st;
    st.entryCount = 5;
    st.position = 3;
    TestView v(st);
    v.speed = 12;
    saveSettings(v, st, m_path);
    QCOMPARE(readAll(m_path), old);
    QFile::remove(m_path);
    saveSettings(v, st, m_path);
    QVERIFY(!QFile::exists(m_path));
    QVERIFY(v.messages.isEmpty());
}

void TestConf::saveWritesSettingsAndEntries() {
    ReadingState st;
    st.entryCount = cutWhole(st.words, QStringLiteral("Конец. \"Слово\"\r\nещё "));
    st.position = 2;
    TestView v(st);
    v.study = true;
    v.speed = 17;
    v.progress = ProgressState::Paused;
    saveSettings(v, st, m_path);
    QVERIFY(v.messages.isEmpty());
    const QString blank = QStringLiteral("               ");
    QCOMPARE(readAll(m_path),
             (QStringLiteral("[Config]\r\nStudyMode=1\r\nProgressBar=yellow\r\nSpeed=17\r\n"
                             "TextLength=8\r\nTextPosition=2\r\n\r\n[Content]\r\n"
                             "word_0=Конец.\r\nword_1=") +
              blank + u"\r\nword_2=" + blank + u"\r\nword_3=\"Слово\"\r\r\nword_4=\n\r\nword_5=" +
              blank + u"\r\nword_6=" + blank + u"\r\nword_7=ещё\r\n")
                 .toUtf8());

    ReadingState back;
    TestView bv(back);
    FixedClock clock;
    load(bv, back, m_path, clock);
    QCOMPARE(bv.text, QStringLiteral(" Конец. \n\r \n\r Слово \n\r \n\r \n\r ещё "));
    QCOMPARE(back.position, 2);
    QCOMPARE(bv.study, true);
    QCOMPARE(bv.speed, 17);
    QCOMPARE(bv.progress, ProgressState::Paused);
}

void TestConf::saveKeepsOtherSectionsAndDropsOldContent() {
    QByteArray old = "[Content]\r\n";
    for (int i = 0; i < 50; ++i)
        old += "word_" + QByteArray::number(i) + "=old\r\n";
    old += "[Window]\r\nLeft=10\r\n[Config]\r\nSpeed=1\r\nExtra=x\r\n[content]\r\nword_60=old\r\n";
    QVERIFY(writeAll(m_path, old));
    ReadingState st;
    st.entryCount = cutWhole(st.words, QStringLiteral("Новый текст "));
    TestView v(st);
    saveSettings(v, st, m_path);
    QCOMPARE(readAll(m_path), QByteArray("[Window]\r\nLeft=10\r\n\r\n[Config]\r\nSpeed=3\r\n"
                                         "Extra=x\r\nStudyMode=0\r\nProgressBar=green\r\n"
                                         "TextLength=2\r\nTextPosition=0\r\n\r\n[Content]\r\n") +
                                  QStringLiteral("word_0=Новый\r\nword_1=текст\r\n").toUtf8());
}

void TestConf::saveCoversExactlyK1Entries() {
    ReadingState st;
    const int k = cutWhole(st.words, QStringLiteral("один два три четыре пять "));
    QCOMPARE(k, 5);
    st.entryCount = 3; // the preparation was stopped after three entries
    TestView v(st);
    saveSettings(v, st, m_path);
    QCOMPARE(st.words.written(), 3);
    IniFile ini;
    QVERIFY(ini.load(m_path));
    QCOMPARE(ini.keyCount(u"Content"), 3);
    QCOMPARE(ini.value(u"Content", u"word_2"), QStringLiteral("три"));
    QCOMPARE(ini.intValue(u"Config", u"TextLength", -1), 3);
}

void TestConf::failedSaveKeepsOldFile_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("disk full midway") << QStringLiteral("full");
    QTest::newRow("target is a directory") << QStringLiteral("dir");
    QTest::newRow("directory missing") << QStringLiteral("nodir");
}

void TestConf::failedSaveKeepsOldFile() {
    QFETCH(QString, how);
    const QByteArray old =
        QStringLiteral("[Config]\r\nTextLength=1\r\n[Content]\r\nword_0=книга\r\n").toUtf8();
    QVERIFY(writeAll(m_path, old));
    QString path = m_path;
    if (how == u"dir")
        path = m_dir.path();
    else if (how == u"nodir")
        path = m_dir.filePath(QStringLiteral("gone/kestrix.ini"));
    ReadingState st;
    QString text;
    for (int i = 0; i < 3000; ++i)
        text += QStringLiteral("слово ");
    st.entryCount = cutWhole(st.words, text);
    TestView v(st);
    {
        const FileSizeLimit limit(how == u"full" ? 4096 : RLIM_INFINITY);
        saveSettings(v, st, path);
    }
    QCOMPARE(v.messages.size(), 1);
    const QString m = v.messages.first();
    QVERIFY2(m.startsWith(QStringLiteral("Не удалось сохранить настройки и закладки. [")) &&
                 m.endsWith(QLatin1Char(']')) && m.size() > 45,
             qPrintable(m));
    QCOMPARE(readAll(m_path), old);
}

void TestConf::roundTrip_data() {
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
    row("text ends with a line break", u"один два\r\n");
}

void TestConf::roundTrip() {
    QFETCH(QString, text);
    const RoundTrip r = saveAndRestore(text, m_path);
    QVERIFY(r.messages.isEmpty());
    QVERIFY(r.entryCount > 0);
    QCOMPARE(r.positionLoaded, r.entryCount - 1);
    const QStringList bad = misaligned(r, 0, r.entryCount);
    QVERIFY2(bad.isEmpty(), qPrintable(bad.join(QLatin1Char('\n'))));
}

void TestConf::roundTripEveryPositionOfBooks_data() {
    QTest::addColumn<QString>("file");
    const QStringList files = corpus::files();
    QVERIFY(!files.isEmpty());
    for (const QString& f : files)
        QTest::newRow(qPrintable(QFileInfo(f).fileName())) << f;
}

void TestConf::roundTripEveryPositionOfBooks() {
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

QTEST_GUILESS_MAIN(TestConf)
#include "tst_settings.moc"
