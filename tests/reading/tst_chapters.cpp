// Chapters: the headings found in plain texts (pinned on the corpus, none in
// running prose), chapter marks mapped to entries of the sequence Start
// makes, chapters from the bookshelf made sound, and the time left to the end
// of a chapter.
#include "books/book_reader.h"
#include "books/text_headings.h"
#include "corpus.h"
#include "reading/chapters.h"
#include "reading/pacing.h"
#include "reading/preparation.h"
#include "reading/reading_state.h"
#include "reading/time_left.h"
#include "reading/time_left_text.h"

#include <QtTest>

namespace {

QStringList titlesOf(const QList<ChapterMark>& marks) {
    QStringList titles;
    for (const ChapterMark& m : marks)
        titles.append(m.title);
    return titles;
}

QString entries(const QList<Chapter>& chapters) {
    QStringList out;
    for (const Chapter& c : chapters)
        out.append(QString::number(c.entry) + u':' + c.title);
    return out.join(u' ');
}

} // namespace

class TestChapters : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void corpusHeadings_data();
    void corpusHeadings();
    void headingOrProse_data();
    void headingOrProse();
    void tableOfContentsLeftOut();
    void marksToEntries_data();
    void marksToEntries();
    void corpusChaptersBeginAtTheirHeadings();
    void shelfChaptersMadeSound_data();
    void shelfChaptersMadeSound();
    void chapterOfAPosition_data();
    void chapterOfAPosition();
    void timeLeftInTheChapter();
};

void TestChapters::corpusHeadings_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<QString>("last");
    QTest::newRow("en_tolstoy_war_and_peace_pg2600.txt")
        << u"en_tolstoy_war_and_peace_pg2600.txt"_qs << 382
        << QStringList{u"BOOK ONE: 1805"_qs, u"CHAPTER I"_qs, u"CHAPTER II"_qs}
        << u"CHAPTER XII"_qs;
    QTest::newRow("ru_blok_dvenadtsat.txt")
        << u"ru_blok_dvenadtsat.txt"_qs << 0 << QStringList{} << u""_qs;
    QTest::newRow("ru_chekhov_toska.txt")
        << u"ru_chekhov_toska.txt"_qs << 0 << QStringList{} << u""_qs;
    QTest::newRow("ru_dostoevsky_malchik_u_hrista_na_yolke.txt")
        << u"ru_dostoevsky_malchik_u_hrista_na_yolke.txt"_qs << 2 << QStringList{u"I"_qs, u"II"_qs}
        << u"II"_qs;
    QTest::newRow("ru_lermontov_geroi_nashego_vremeni.txt")
        << u"ru_lermontov_geroi_nashego_vremeni.txt"_qs << 7
        << QStringList{u"Часть первая"_qs, u"I"_qs, u"II"_qs} << u"III"_qs;
    QTest::newRow("ru_pushkin_kapitanskaya_dochka.txt")
        << u"ru_pushkin_kapitanskaya_dochka.txt"_qs << 14
        << QStringList{u"ГЛАВА I"_qs, u"ГЛАВА II"_qs, u"ГЛАВА III"_qs} << u"ГЛАВА XIV"_qs;
    QTest::newRow("ru_pushkin_skazka_o_tsare_saltane.txt")
        << u"ru_pushkin_skazka_o_tsare_saltane.txt"_qs << 0 << QStringList{} << u""_qs;
    QTest::newRow("ru_pushkin_ya_pamyatnik.txt")
        << u"ru_pushkin_ya_pamyatnik.txt"_qs << 0 << QStringList{} << u""_qs;
    QTest::newRow("ru_tolstoy_voina_i_mir.txt")
        << u"ru_tolstoy_voina_i_mir.txt"_qs << 379
        << QStringList{u"ТОМ ПЕРВЫЙ"_qs, u"Часть первая"_qs, u"I"_qs} << u"XII"_qs;
}

void TestChapters::corpusHeadings() {
    QFETCH(QString, file);
    QFETCH(int, count);
    QFETCH(QStringList, first);
    QFETCH(QString, last);
    BookProgress progress;
    const BookText book = readBookFile(corpus::dir() + u'/' + file, BookLimits(), progress);
    QVERIFY(book.ok());
    const QStringList titles = titlesOf(book.chapters);
    QCOMPARE(titles.size(), count);
    QCOMPARE(titles.mid(0, first.size()), first);
    if (count > 0)
        QCOMPARE(titles.last(), last);
    for (const ChapterMark& m : book.chapters)
        QVERIFY(m.offset == 0 || book.text[m.offset - 1] == u'\n');
}

void TestChapters::headingOrProse_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("heading");
    QTest::newRow("Глава and a number") << u"Глава 1"_qs << true;
    QTest::newRow("ГЛАВА and a numeral") << u"ГЛАВА XII"_qs << true;
    QTest::newRow("a title after a dot") << u"Глава 3. Буран"_qs << true;
    QTest::newRow("Часть and a number word") << u"Часть вторая"_qs << true;
    QTest::newRow("capitals") << u"ЧАСТЬ ЧЕТВЁРТАЯ"_qs << true;
    QTest::newRow("CHAPTER") << u"CHAPTER IV"_qs << true;
    QTest::newRow("BOOK with a year") << u"BOOK ONE: 1805"_qs << true;
    QTest::newRow("indented") << u"      Том первый"_qs << true;
    QTest::newRow("numeral alone") << u"XIV"_qs << true;
    QTest::newRow("numeral and a dot") << u"IX."_qs << true;
    QTest::newRow("epilogue") << u"ЭПИЛОГ"_qs << true;
    QTest::newRow("Часть as a word of prose") << u"Часть денег он отдал брату."_qs << false;
    QTest::newRow("Глава of a family") << u"Глава семьи вошёл в комнату."_qs << false;
    QTest::newRow("number word, then prose") << u"Часть первая кончилась быстро."_qs << false;
    QTest::newRow("Том as a name") << u"Том Сойер"_qs << false;
    QTest::newRow("Книга on the table") << u"Книга лежала на столе"_qs << false;
    QTest::newRow("lower case") << u"глава 1"_qs << false;
    QTest::newRow("not a numeral") << u"IIII"_qs << false;
    QTest::newRow("a pronoun") << u"I am here"_qs << false;
    QTest::newRow("CHAPTER without a number") << u"CHAPTER and verse"_qs << false;
    QTest::newRow("too long") << u"Глава 1. "_qs + QString(80, u'а') << false;
}

void TestChapters::headingOrProse() {
    QFETCH(QString, line);
    QFETCH(bool, heading);
    const QString before = u"Первая строка прозы идёт здесь.\n\n"_qs;
    const QString text = before + line + u"\nИ снова проза.\n"_qs;
    const QList<ChapterMark> marks = textHeadings(text);
    QCOMPARE(marks.size(), heading ? 1 : 0);
    if (heading) {
        QCOMPARE(marks[0].offset, before.size());
        QCOMPARE(marks[0].title, line.simplified());
    }
    // A numeral right after a line of prose is a word of it, not a heading.
    if (line == u"XIV")
        QVERIFY(textHeadings(u"проза\nXIV\nпроза\n"_qs).isEmpty());
}

void TestChapters::tableOfContentsLeftOut() {
    const QString three = u"Глава 1\n\nГлава 2\n\nГлава 3\nпроза\n"_qs;
    QCOMPARE(textHeadings(three).size(), 3);
    const QString contents = u"Глава 1\n\nГлава 2\nГлава 3\nГлава 4\nпроза\nГлава 1\nпроза\n"_qs;
    QCOMPARE(titlesOf(textHeadings(contents)), QStringList{u"Глава 1"_qs});
}

void TestChapters::marksToEntries_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<qsizetype>>("offsets");
    QTest::addColumn<QString>("expected");
    const QString text = u"Один два.\nГлава 1\nтри четыре\nГлава 2\nпять\n"_qs;
    // Entries: Од/и/н 0, два. 1, blanks 2-3, Глава 4, 1+CR 5, LF 6, blanks
    // 7-8, три 9, четыре+CR 10, LF 11, blanks 12-13, Глава 14, 2+CR 15, ...
    // The lines "Глава 1" and "Глава 2" begin at 10 and 29.
    QTest::newRow("in order") << text << QList<qsizetype>{10, 29} << u"4:a 14:b"_qs;
    QTest::newRow("unsorted") << text << QList<qsizetype>{29, 10} << u"4:b 14:a"_qs;
    QTest::newRow("the same place twice") << text << QList<qsizetype>{10, 10} << u"4:a"_qs;
    QTest::newRow("inside a word: the next") << text << QList<qsizetype>{11, 0} << u"0:b 5:a"_qs;
    QTest::newRow("a line break is no word") << text << QList<qsizetype>{26} << u"14:a"_qs;
    QTest::newRow("beyond the end") << text << QList<qsizetype>{29, 9999} << u"14:a"_qs;
    QTest::newRow("after the last word")
        << text << QList<qsizetype>{qsizetype(text.size())} << QString();
    QTest::newRow("negative: the start") << text << QList<qsizetype>{-5} << u"0:a"_qs;
}

void TestChapters::marksToEntries() {
    QFETCH(QString, text);
    QFETCH(QList<qsizetype>, offsets);
    QFETCH(QString, expected);
    QList<ChapterMark> marks;
    for (qsizetype i = 0; i < offsets.size(); ++i)
        marks.append({offsets[i], QString(QChar(char16_t(u'a' + i)))});
    WordSequence words;
    cutWhole(words, text);
    QCOMPARE(entries(chapterEntries(words, startTextMarks(text, marks))), expected);
}

// Every chapter of every corpus text begins at the first word of its heading.
void TestChapters::corpusChaptersBeginAtTheirHeadings() {
    for (const QString& path : corpus::files()) {
        BookProgress progress;
        const BookText book = readBookFile(path, BookLimits(), progress);
        QVERIFY(book.ok());
        WordSequence words;
        cutWhole(words, book.text);
        const QList<Chapter> chapters =
            chapterEntries(words, startTextMarks(book.text, book.chapters));
        QCOMPARE(chapters.size(), book.chapters.size());
        for (const Chapter& c : chapters)
            QVERIFY2(c.title.startsWith(words.joined(c.entry).trimmed()), qPrintable(c.title));
    }
}

void TestChapters::shelfChaptersMadeSound_data() {
    QTest::addColumn<QList<Chapter>>("kept");
    QTest::addColumn<QString>("expected");
    QTest::newRow("sound") << QList<Chapter>{{0, u"a"_qs}, {5, u"b"_qs}} << u"0:a 5:b"_qs;
    QTest::newRow("beyond the end and negative")
        << QList<Chapter>{{-1, u"a"_qs}, {3, u"b"_qs}, {10, u"c"_qs}, {99, u"d"_qs}} << u"3:b"_qs;
    QTest::newRow("unsorted") << QList<Chapter>{{7, u"b"_qs}, {2, u"a"_qs}} << u"2:a 7:b"_qs;
    QTest::newRow("duplicate: the first kept")
        << QList<Chapter>{{4, u"a"_qs}, {4, u"b"_qs}, {1, u"c"_qs}} << u"1:c 4:a"_qs;
    QTest::newRow("control characters and lines")
        << QList<Chapter>{{1, u"Глава\n1\t\u0007\u202e\u2028x"_qs}} << u"1:Глава 1 x"_qs;
    QTest::newRow("a title of 100000 characters")
        << QList<Chapter>{{1, QString(100000, u'я')}}
        << u"1:"_qs + QString(longestTitle - 1, u'я') + u'…';
}

void TestChapters::shelfChaptersMadeSound() {
    QFETCH(QList<Chapter>, kept);
    QFETCH(QString, expected);
    QCOMPARE(entries(soundChapters(kept, 10)), expected);
}

void TestChapters::chapterOfAPosition_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("chapter");
    QTest::addColumn<int>("end");
    QTest::newRow("before the first") << 2 << -1 << 5;
    QTest::newRow("at a chapter's start") << 5 << 0 << 9;
    QTest::newRow("inside") << 8 << 0 << 9;
    QTest::newRow("in the last") << 40 << 1 << 50;
}

void TestChapters::chapterOfAPosition() {
    QFETCH(int, position);
    QFETCH(int, chapter);
    QFETCH(int, end);
    const QList<Chapter> chapters{{5, u"a"_qs}, {9, u"b"_qs}};
    QCOMPARE(chapterAt(chapters, position), chapter);
    QCOMPARE(chapterEnd(chapters, position, 50), end);
    QCOMPARE(chapterEnd({}, position, 50), 50);
}

// The time left to the chapter's end is the sum of the intervals up to the
// next chapter; a speed change gives the new figure at once.
void TestChapters::timeLeftInTheChapter() {
    const QString text = corpus::read(u"ru_pushkin_kapitanskaya_dochka.txt"_qs);
    QVERIFY(!text.isEmpty());
    WordSequence words;
    cutWhole(words, text);
    const QList<Chapter> chapters = chapterEntries(words, textHeadings(startText(text)));
    QVERIFY(chapters.size() > 3);
    PaceProfile profile;
    profile.update(words);
    const int position = chapters[2].entry + 17;
    for (int speed : {3, 9}) {
        const int base = baseInterval(speed);
        qint64 chapter = 0;
        for (int i = position; i < chapters[3].entry; ++i)
            chapter += wordInterval(base, 1, words.rest(i));
        const TimeLeft left = timeLeftAt(profile, chapters, position, words.written(), base);
        QCOMPARE(left.chapterMs, chapter);
        QCOMPARE(left.bookMs, profile.durationMs(position, words.written(), base));
    }
    const TimeLeft left{3723000, 61000};
    QCOMPARE(timeLeftLine(left, false), u"Осталось: глава 0:01:01, книга 1:02:03"_qs);
    QCOMPARE(timeLeftLine(left, true), u"Осталось не менее: глава 0:01:01, книга 1:02:03"_qs);
    QCOMPARE(timeLeftLine({5000, -1}, false), u"Осталось: книга 0:00:05"_qs);
    QCOMPARE(informationCaption(left, true),
             u"Информация · осталось не менее 1:02:03 (глава 0:01:01)"_qs);
}

QTEST_MAIN(TestChapters)
#include "tst_chapters.moc"
