// The word library's file: loading, saving, the saves in the background.
#include "corpus.h"
#include "file_size_limit.h"
#include "platform/codepage.h"
#include "reading/preparation.h"
#include "words/clean_word.h"
#include "words/library.h"
#include "words/word_root.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray readBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

} // namespace

class TestLibrary : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();

    void fileOfTheExample();
    void load_data();
    void load();
    void missingFileChangesNothing();
    void loadReplacesTheIndex();
    void roundTripThroughTheCodePage();
    void unrepresentableCharacterDoesNotEndTheFile();
    void directoryNamedLikeTheFile();
    void readErrorKeepsTheLibrary();
    void binaryFile();
    void hundredMegabyteFile();

    void saveFailures_data();
    void saveFailures();
    void failedWriteLeavesTheOldFile();

    void asyncSaveWritesTheSnapshot();
    void asyncSavesRunInOrder();
    void asyncSaveFailureIsReported();
    void waitsForPendingSaves_data();
    void waitsForPendingSaves();

    void messages();

private:
    QString path() const { return m_dir->filePath(QStringLiteral("library.txt")); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestLibrary::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestLibrary::fileOfTheExample() {
    WordLibrary lib;
    lib.setEntries({u"чит"_qs, QString(), u"read"_qs});
    QCOMPARE(lib.save(path()), QString());
    QCOMPARE(readBytes(path()), QByteArray::fromHex("F7E8F20D0A0D0A726561640D0A"));

    WordLibrary again;
    QCOMPARE(again.load(path()), QString());
    QCOMPARE(again.entries(), (QStringList{u"чит"_qs, QString(), u"read"_qs}));

    lib.setEntries({});
    QCOMPARE(lib.save(path()), QString());
    QVERIFY(QFile::exists(path()));
    QCOMPARE(readBytes(path()), QByteArray());
}

void TestLibrary::load_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");
    const QStringList before{u"old"_qs, u"library"_qs};

    // Empty content keeps what was there; any line replaces everything.
    QTest::newRow("empty file") << QByteArray() << before;
    QTest::newRow("one line") << QByteArray("a\r\n") << QStringList{u"a"_qs};

    // Line ends.
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{u"a"_qs, u"b"_qs};
    QTest::newRow("LF") << QByteArray("a\nb\n") << QStringList{u"a"_qs, u"b"_qs};
    QTest::newRow("mixed") << QByteArray("a\nb\r\nc") << QStringList{u"a"_qs, u"b"_qs, u"c"_qs};
    QTest::newRow("last line without break")
        << QByteArray("a\r\nb") << QStringList{u"a"_qs, u"b"_qs};
    QTest::newRow("lone CR stays in the line") << QByteArray("a\rb\r\n") << QStringList{u"a\rb"_qs};
    QTest::newRow("only the CR before LF goes") << QByteArray("a\r\r\n") << QStringList{u"a\r"_qs};

    // Empty lines.
    QTest::newRow("one line break") << QByteArray("\r\n") << QStringList{QString()};
    QTest::newRow("only line breaks")
        << QByteArray("\r\n\n\r\n") << QStringList{QString(), QString(), QString()};
    QTest::newRow("empty line inside")
        << QByteArray("a\r\n\r\nb\r\n") << QStringList{u"a"_qs, QString(), u"b"_qs};

    // Ctrl+Z ends the file.
    QTest::newRow("Ctrl+Z after lines") << QByteArray("a\r\n\x1A"
                                                      "b\r\n")
                                        << QStringList{u"a"_qs};
    QTest::newRow("Ctrl+Z inside a line") << QByteArray("ab\x1A"
                                                        "c\r\nd")
                                          << QStringList{u"ab"_qs};
    QTest::newRow("Ctrl+Z first") << QByteArray("\x1A"
                                                "a\r\n")
                                  << before;

    // The code page.
    QTest::newRow("Cyrillic") << QByteArray("\xF7\xE8\xF2\r\n\xA8\xEB\xEA\xE0")
                              << QStringList{u"чит"_qs, u"Ёлка"_qs};
    QTest::newRow("byte-order mark of UTF-8") << QByteArray("\xEF\xBB\xBF"
                                                            "a\r\n\xD1\x87\xD0\xB8\xD1\x82")
                                              << QStringList{u"a"_qs, u"чит"_qs};
}

void TestLibrary::load() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    QVERIFY(writeBytes(path(), bytes));
    WordLibrary lib;
    lib.setEntries({u"old"_qs, u"library"_qs});
    QCOMPARE(lib.load(path()), QString());
    QCOMPARE(lib.entries(), expected);
}

void TestLibrary::missingFileChangesNothing() {
    WordLibrary lib;
    lib.setEntries({u"old"_qs});
    QCOMPARE(lib.load(path()), QString());
    QCOMPARE(lib.entries(), QStringList{u"old"_qs});
    QVERIFY(!QFile::exists(path()));
}

void TestLibrary::loadReplacesTheIndex() {
    WordLibrary lib;
    lib.setEntries({u"чит"_qs});
    QCOMPARE(lib.checkWord(u"читает"_qs, true), 1);
    QVERIFY(writeBytes(path(), QByteArray("read\r\n")));
    QCOMPARE(lib.load(path()), QString());
    QCOMPARE(lib.checkWord(u"reading"_qs, true), 1);
    QCOMPARE(lib.checkWord(u"читает"_qs, true), 2);
    QCOMPARE(lib.entries(), (QStringList{u"read"_qs, u"чит"_qs}));
}

void TestLibrary::roundTripThroughTheCodePage() {
    QStringList entries{u"чит"_qs, QString(), u"ЁЛКА ёлка"_qs, u"«»–—€№"_qs, u"read,"_qs};
    QString every;
    for (int b = 0x20; b < 0x100; ++b)
        every += fromCodePage(QByteArray(1, static_cast<char>(b)));
    entries << every.remove(QChar(0x7F));
    WordLibrary lib;
    lib.setEntries(entries);
    QCOMPARE(lib.save(path()), QString());
    WordLibrary again;
    QCOMPARE(again.load(path()), QString());
    QCOMPARE(again.entries(), entries);
}

void TestLibrary::unrepresentableCharacterDoesNotEndTheFile() {
    // Windows-1251 cannot hold them: the file is written in UTF-8 with a
    // byte-order mark, and every entry comes back as it was.
    const QStringList entries{u"café"_qs, u"中"_qs, u"\U0001F600"_qs, u"после"_qs, u"a\x1A"_qs};
    WordLibrary lib;
    lib.setEntries(entries);
    QCOMPARE(lib.save(path()), QString());
    QCOMPARE(readBytes(path()),
             QByteArray("\xEF\xBB\xBF") + entries.join(u"\r\n"_qs).toUtf8() + "\r\n");
    WordLibrary again;
    QCOMPARE(again.load(path()), QString());
    QCOMPARE(again.entries(), entries);
}

void TestLibrary::directoryNamedLikeTheFile() {
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("library.txt")));
    WordLibrary lib;
    lib.setEntries({u"old"_qs});
    const QString error = lib.load(path());
    QCOMPARE(error, u"это папка, а не файл"_qs);
    QCOMPARE(lib.entries(), QStringList{u"old"_qs});
    // What failed to load is not saved over, and the load said so already.
    QCOMPARE(lib.save(path()), QString());
    QVERIFY(QFileInfo(path()).isDir());
}

void TestLibrary::readErrorKeepsTheLibrary() {
    // Opens, but every read fails (EINVAL).
    const QString unreadable = QStringLiteral("/proc/self/clear_refs");
    if (!QFileInfo::exists(unreadable))
        QSKIP("no /proc/self/clear_refs");
    WordLibrary lib;
    lib.setEntries({u"old"_qs, u"чит"_qs});
    QVERIFY(!lib.load(unreadable).isEmpty());
    QCOMPARE(lib.entries(), (QStringList{u"old"_qs, u"чит"_qs}));
    QCOMPARE(lib.checkWord(u"читает"_qs, true), 1);
}

void TestLibrary::binaryFile() {
    QByteArray bytes(1 << 20, Qt::Uninitialized);
    QRandomGenerator rng(7);
    for (char& b : bytes)
        b = static_cast<char>(rng.bounded(256));
    QVERIFY(writeBytes(path(), bytes));
    const qsizetype mark = bytes.indexOf('\x1A');
    const qsizetype lineFeeds = bytes.left(mark).count('\n');

    WordLibrary lib;
    QCOMPARE(lib.load(path()), QString());
    QVERIFY(lib.entries().size() == lineFeeds || lib.entries().size() == lineFeeds + 1);
    for (const QString& e : lib.entries())
        QVERIFY(!e.contains(QLatin1Char('\n')) && !e.contains(QChar(0x1A)));
    // What came in goes out again as it was.
    lib.checkWord(u"новое"_qs, true);
    QCOMPARE(lib.save(path()), QString());
    WordLibrary again;
    QCOMPARE(again.load(path()), QString());
    QCOMPARE(again.entries(), lib.entries());
}

void TestLibrary::hundredMegabyteFile() {
    // 100 MB of Cyrillic bytes without Ctrl+Z, a line feed every 1000 bytes or
    // so: a block of 1 MB repeated.
    const qsizetype block = 1024 * 1024;
    QByteArray one(block, Qt::Uninitialized);
    QRandomGenerator rng(11);
    qsizetype lineFeeds = 0;
    for (char& b : one) {
        const quint32 r = rng.generate();
        b = (r >> 8) % 1000 == 0 ? '\n' : static_cast<char>(0xC0 + (r & 0x3F));
        lineFeeds += b == '\n' ? 1 : 0;
    }
    one[block - 1] = 'x';
    {
        QFile f(path());
        QVERIFY(f.open(QIODevice::WriteOnly));
        for (int i = 0; i < 100; ++i)
            QCOMPARE(f.write(one), block);
    }
    WordLibrary lib;
    QCOMPARE(lib.load(path()), QString());
    // The blocks join up where one ends in 'x' and the next goes on.
    QCOMPARE(lib.entries().size(), 100 * lineFeeds + 1);
}

void TestLibrary::saveFailures_data() {
    QTest::addColumn<QString>("target");
    QTest::newRow("path is a directory") << QStringLiteral("library.txt");
    QTest::newRow("directory does not exist") << QStringLiteral("missing/library.txt");
    QTest::newRow("under /proc") << QStringLiteral("/proc/library.txt");
}

void TestLibrary::saveFailures() {
    QFETCH(QString, target);
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("library.txt")));
    const QString file = QDir(m_dir->path()).filePath(target);
    WordLibrary lib;
    lib.setEntries({u"чит"_qs});
    QVERIFY(!lib.save(file).isEmpty());
    QCOMPARE(lib.entries(), QStringList{u"чит"_qs});
    QVERIFY(QFileInfo(path()).isDir());
    QVERIFY(QDir(m_dir->path()).entryList(QDir::Files).isEmpty());
}

void TestLibrary::failedWriteLeavesTheOldFile() {
    // A limit on the size of files the process writes makes the write fail
    // even for root, like a full disk.
    WordLibrary lib;
    lib.setEntries({u"чит"_qs, QString(), u"read"_qs});
    QCOMPARE(lib.save(path()), QString());
    const QByteArray old = readBytes(path());
    QCOMPARE(old.size(), 13);

    QStringList big;
    for (int i = 0; i < 20000; ++i)
        big << u"корень"_qs + QString::number(i);
    lib.setEntries(big);
    QString error;
    {
        FileSizeLimit limit(4096);
        QVERIFY(limit.active());
        error = lib.save(path());
    }
    QVERIFY(!error.isEmpty());
    QCOMPARE(readBytes(path()), old);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{u"library.txt"_qs});
    QCOMPARE(lib.entries(), big);
    QCOMPARE(lib.save(path()), QString());
    QCOMPARE(readBytes(path()), WordLibrary::encode(big));
}

void TestLibrary::asyncSaveWritesTheSnapshot() {
    WordLibrary lib;
    QSignalSpy finished(&lib, &WordLibrary::saveFinished);
    lib.setEntries({u"чит"_qs});
    lib.saveAsync(path());
    QCOMPARE(lib.checkWord(u"reading"_qs, true), 2);
    QVERIFY(finished.wait(60000));
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.at(0).at(0).toString(), QString());
    QCOMPARE(readBytes(path()), QByteArray("\xF7\xE8\xF2\r\n"));
    QCOMPARE(lib.entries(), (QStringList{u"чит"_qs, u"read"_qs}));
}

void TestLibrary::asyncSavesRunInOrder() {
    WordLibrary lib;
    QSignalSpy finished(&lib, &WordLibrary::saveFinished);
    QStringList big;
    for (int i = 0; i < 100000; ++i)
        big << QString::number(i);
    lib.setEntries(big);
    lib.saveAsync(path());
    lib.setEntries({u"last"_qs});
    lib.saveAsync(path());
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 2, 60000);
    QCOMPARE(readBytes(path()), QByteArray("last\r\n"));
}

void TestLibrary::asyncSaveFailureIsReported() {
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("library.txt")));
    WordLibrary lib;
    QSignalSpy finished(&lib, &WordLibrary::saveFinished);
    lib.saveAsync(path());
    lib.saveAsync(m_dir->filePath(QStringLiteral("other.txt")));
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 2, 60000);
    QVERIFY(!finished.at(0).at(0).toString().isEmpty());
    QCOMPARE(finished.at(1).at(0).toString(), QString());
}

void TestLibrary::waitsForPendingSaves_data() {
    QTest::addColumn<bool>("thenLoad");
    QTest::newRow("a save at shut-down") << false;
    QTest::newRow("a load at Start") << true;
}

void TestLibrary::waitsForPendingSaves() {
    QFETCH(bool, thenLoad);
    WordLibrary lib;
    QStringList big;
    for (int i = 0; i < 200000; ++i)
        big << QString::number(i);
    lib.setEntries(big);
    lib.saveAsync(path());
    lib.setEntries({u"last"_qs});
    if (thenLoad) {
        QCOMPARE(lib.load(path()), QString());
        QCOMPARE(lib.entries(), big);
    } else {
        QCOMPARE(lib.save(path()), QString());
        QCOMPARE(readBytes(path()), QByteArray("last\r\n"));
    }
}

void TestLibrary::messages() {
    QCOMPARE(loadFailedMessage(u"Is a directory"_qs),
             u"Не удалось загрузить словарь.  [Is a directory]"_qs);
    QCOMPARE(saveFailedMessage(u"No space left on device"_qs),
             u"Не удалось сохранить словарь.  [No space left on device]"_qs);
}

QTEST_GUILESS_MAIN(TestLibrary)
#include "tst_library.moc"
