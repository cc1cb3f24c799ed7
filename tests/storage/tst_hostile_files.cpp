// Mutated settings files and word libraries fed to the readers: cut short,
// bytes spoilt, NULs, huge numbers, 10 MB lines. Each load ends with the text
// bounded by the file's size and at most one message, and whatever loaded
// comes back whole after a save.
#include "settings_fixture.h"

#include "corpus.h"
#include "reading/preparation.h"
#include "words/clean_word.h"
#include "words/library.h"
#include "words/word_root.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray mutated(QByteArray b, QRandomGenerator& rng, int round) {
    const auto at = [&] { return static_cast<qsizetype>(rng.bounded(int(b.size()) + 1)); };
    const int n = 1 + int(rng.bounded(3));
    for (int m = 0; m < n; ++m) {
        switch (rng.bounded(6)) {
        case 0: // cut short
            b.truncate(at());
            break;
        case 1: // bad bytes
            for (int i = 0; i < 4 && !b.isEmpty(); ++i)
                b[rng.bounded(int(b.size()))] = char(0x80 + rng.bounded(0x80));
            break;
        case 2: // NULs
            b.insert(at(), QByteArray(1 + int(rng.bounded(8)), '\0'));
            break;
        case 3: { // a number made huge
            static const char* huge[] = {"99999999999999999999", "2147483647", "-2147483648",
                                         "4294967296", "999999"};
            const qsizetype d = b.indexOf('=', at());
            if (d >= 0)
                b.insert(d + 1, huge[rng.bounded(5)]);
            break;
        }
        case 4: { // a slice repeated
            const qsizetype from = at();
            b.insert(at(), b.mid(from, 1 + int(rng.bounded(4000))));
            break;
        }
        default: // a slice dropped
            b.remove(at(), int(rng.bounded(200)));
            break;
        }
    }
    if (round % 40 == 39) // a 10 MB line
        b.insert(at(), QByteArray(10 * 1024 * 1024, char(rng.bounded(2) ? 'a' : '\xD0')));
    return b;
}

} // namespace

class TestHostileFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void mutatedFilesLoad_data();
    void mutatedFilesLoad();
};

void TestHostileFiles::mutatedFilesLoad_data() {
    QTest::addColumn<bool>("settings");
    QTest::newRow("settings file") << true;
    QTest::newRow("word library") << false;
}

void TestHostileFiles::mutatedFilesLoad() {
    QFETCH(bool, settings);
    QTemporaryDir dir;
    const QString path = dir.filePath(settings ? u"kestrix.ini"_qs : u"library.txt"_qs);
    const QString book = corpus::read(QStringLiteral("ru_pushkin_skazka_o_tsare_saltane.txt"));
    QVERIFY(!book.isEmpty());
    ReadingState saved;
    saved.entryCount = cutWhole(saved.words, book);
    QByteArray seed;
    if (settings) {
        TestView v(saved);
        saveSettings(v, saved, path);
        seed = readAll(path);
    } else {
        QStringList roots;
        for (int i = 0; i < saved.entryCount; ++i)
            roots << wordRoot(cleanWord(saved.words.joined(i)));
        seed = WordLibrary::encode(roots) + WordLibrary::encode({u"schön"_qs});
    }
    QVERIFY(seed.size() > 10000);

    QRandomGenerator rng(settings ? 1914 : 1917);
    FixedClock clock;
    for (int round = 0; round < 80; ++round) {
        const QByteArray bytes = mutated(seed, rng, round);
        QVERIFY(writeAll(path, bytes));
        if (settings) {
            ReadingState st;
            TestView v(st);
            load(v, st, path, clock);
            QVERIFY(v.messages.size() <= 1);
            QVERIFY(st.position >= 0 && !v.splashVisible);
            QVERIFY2(v.text.size() <= 2 * bytes.size() + 4 * loadPaddingAllowance + 16,
                     qPrintable(
                         QStringLiteral("round %1: %2 characters").arg(round).arg(v.text.size())));
            if (!v.messages.isEmpty())
                continue;
            // What loaded is saved and comes back.
            ReadingState again;
            again.entryCount = cutWhole(again.words, v.text);
            saveSettings(v, again, path);
            ReadingState back;
            TestView bv(back);
            load(bv, back, path, clock);
            QCOMPARE(v.messages + bv.messages, QStringList());
            // Every entry at its place; a pause at the very end may come
            // back followed by a line break.
            QVERIFY(cutWhole(back.words, bv.text) >= again.entryCount);
            for (int i = 0; i < again.entryCount; ++i) {
                if (back.words.joined(i) != again.words.joined(i))
                    QFAIL(qPrintable(QStringLiteral("round %1, entry %2").arg(round).arg(i)));
            }
        } else {
            WordLibrary lib;
            const QString error = lib.load(path);
            QVERIFY(lib.entries().size() <= bytes.count('\n') + 1);
            if (!error.isEmpty())
                continue;
            QCOMPARE(lib.save(path), QString());
            WordLibrary back;
            QCOMPARE(back.load(path), QString());
            QCOMPARE(back.entries(), lib.entries());
        }
    }
}

QTEST_MAIN(TestHostileFiles)
#include "tst_hostile_files.moc"
