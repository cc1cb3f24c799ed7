// The INI layer: reading rules, integers, encodings, writing and atomic saves.
#include "file_size_limit.h"
#include "storage/ini_file.h"

#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray u8(const char16_t* s) {
    return QString::fromUtf16(s).toUtf8();
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class TestIni : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void reading_data();
    void reading();
    void integers_data();
    void integers();
    void booleans_data();
    void booleans();
    void encodings_data();
    void encodings();
    void writing();
    void writingKeepsOrderAndOtherLines();
    void removeSectionRemovesDuplicates();
    void valuesReadBackAsThemselves();
    void missingFileIsEmpty();
    void unreadablePathFails();
    void tooLargeFileIsRefused();
    void garbageParsesStably();
    void failedSaveKeepsOldFile_data();
    void failedSaveKeepsOldFile();
    void limitsOnLinesAndSections();
};

void TestIni::reading_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("value");

    const QString S = QStringLiteral("S");
    const QString k = QStringLiteral("k");
    auto row = [&](const char* name, const QByteArray& file, const QString& sec, const QString& key,
                   bool found, const QString& value) {
        QTest::newRow(name) << file << sec << key << found << value;
    };
    row("plain", "[S]\r\nk=v\r\n", S, k, true, QStringLiteral("v"));
    row("LF line ends", "[S]\nk=v\n", S, k, true, QStringLiteral("v"));
    row("CR line ends", "[S]\rk=v\r", S, k, true, QStringLiteral("v"));
    row("bare CR ends a value", "[S]\r\nx=ab\rk=cd\r\n", S, k, true, QStringLiteral("cd"));
    row("no final line end", "[S]\r\nk=v", S, k, true, QStringLiteral("v"));
    row("blanks around name and value", "[S]\n \t k \t=\t  v  w \t\n", S, k, true,
        QStringLiteral("v  w"));
    row("value of blanks reads empty", "[S]\nk=  \t \n", S, k, true, QString());
    row("section line after blanks", "  \t[S]  \nk=v\n", S, k, true, QStringLiteral("v"));
    row("section name trimmed", "[ S \t]\nk=v\n", S, k, true, QStringLiteral("v"));
    row("section name ends at first ]", "[S]x]\nk=v\n", S, k, true, QStringLiteral("v"));
    row("section without ] takes the line", "[S\nk=v\n", S, k, true, QStringLiteral("v"));
    row("section name any case", "[config]\nk=v\n", QStringLiteral("CONFIG"), k, true,
        QStringLiteral("v"));
    row("key name any case", "[S]\nStudyMode=1\n", S, QStringLiteral("studymode"), true,
        QStringLiteral("1"));
    row("Cyrillic names any case", u8(u"[Раздел]\nКлюч=в\n"), QStringLiteral("РАЗДЕЛ"),
        QStringLiteral("ключ"), true, QStringLiteral("в"));
    row("comment", "[S]\n;k=v\n", S, k, false, QString());
    row("comment after blanks", "[S]\n \t;k=v\n", S, k, false, QString());
    row("semicolon later is part of value", "[S]\nk=v;w\n", S, k, true, QStringLiteral("v;w"));
    row("line without = is no key", "[S]\nk\n", S, k, false, QString());
    row("splits at the first =", "[S]\nk=a=b\n", S, k, true, QStringLiteral("a=b"));
    row("first key wins", "[S]\nk=1\nK=2\n", S, k, true, QStringLiteral("1"));
    row("first section wins", "[S]\nk=1\n[s]\nk=2\n", S, k, true, QStringLiteral("1"));
    row("later section of same name hidden", "[S]\nk=1\n[s]\nm=2\n", S, QStringLiteral("m"), false,
        QString());
    row("key before any section", "k=v\n[S]\n", S, k, false, QString());
    row("missing section", "[T]\nk=v\n", S, k, false, QString());
    row("double quotes dropped", "[S]\nk=\"v w\"\n", S, k, true, QStringLiteral("v w"));
    row("single quotes dropped", "[S]\nk='v'\n", S, k, true, QStringLiteral("v"));
    row("quotes inside blanks", "[S]\nk=  \"v\"  \n", S, k, true, QStringLiteral("v"));
    row("blanks inside quotes kept", "[S]\nk=\" v \"\n", S, k, true, QStringLiteral(" v "));
    row("mixed quotes kept", "[S]\nk=\"v'\n", S, k, true, QStringLiteral("\"v'"));
    row("lone quote kept", "[S]\nk=\"\n", S, k, true, QStringLiteral("\""));
    row("empty quotes", "[S]\nk=\"\"\n", S, k, true, QString());
    row("only one pair dropped", "[S]\nk=\"\"v\"\"\n", S, k, true, QStringLiteral("\"v\""));
    row("quote inside only", "[S]\nk=a\"b\"\n", S, k, true, QStringLiteral("a\"b\""));
}

void TestIni::reading() {
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(bool, found);
    QFETCH(QString, value);
    IniFile ini;
    ini.parse(file);
    const auto got = ini.find(section, key);
    QCOMPARE(got.has_value(), found);
    if (found)
        QCOMPARE(got->toString(), value);
    QCOMPARE(ini.value(section, key, QStringLiteral("dflt")),
             found ? value : QStringLiteral("dflt"));
}

void TestIni::integers_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("expected");
    const int d = -77; // the default
    QTest::newRow("decimal") << QByteArray("12") << 12;
    QTest::newRow("negative") << QByteArray("-12") << -12;
    QTest::newRow("plus sign") << QByteArray("+7") << 7;
    QTest::newRow("leading zeros") << QByteArray("007") << 7;
    QTest::newRow("blanks trimmed") << QByteArray("  42 \t") << 42;
    QTest::newRow("quoted") << QByteArray("\"5\"") << 5;
    QTest::newRow("dollar hex") << QByteArray("$1F") << 31;
    QTest::newRow("0x hex") << QByteArray("0x1F") << 31;
    QTest::newRow("0X lower digits") << QByteArray("0X1f") << 31;
    QTest::newRow("negative hex") << QByteArray("-$10") << -16;
    QTest::newRow("hex all ones") << QByteArray("$FFFFFFFF") << -1;
    QTest::newRow("int max") << QByteArray("2147483647") << 2147483647;
    QTest::newRow("int min") << QByteArray("-2147483648") << int(-2147483647 - 1);
    QTest::newRow("above 32 bits") << QByteArray("2147483648") << d;
    QTest::newRow("below 32 bits") << QByteArray("-2147483649") << d;
    QTest::newRow("hex above 32 bits") << QByteArray("$100000000") << d;
    QTest::newRow("very long") << QByteArray("99999999999999999999999") << d;
    QTest::newRow("trailing letters") << QByteArray("12abc") << d;
    QTest::newRow("inner blank") << QByteArray("1 2") << d;
    QTest::newRow("fraction") << QByteArray("1.5") << d;
    QTest::newRow("word") << QByteArray("abc") << d;
    QTest::newRow("empty") << QByteArray("") << d;
    QTest::newRow("sign only") << QByteArray("-") << d;
    QTest::newRow("dollar only") << QByteArray("$") << d;
    QTest::newRow("0x only") << QByteArray("0x") << d;
    QTest::newRow("hex digit in decimal") << QByteArray("1F") << d;
    QTest::newRow("full-width digit") << u8(u"１２") << d;
}

void TestIni::integers() {
    QFETCH(QByteArray, text);
    QFETCH(int, expected);
    IniFile ini;
    ini.parse("[S]\nk=" + text + "\n");
    QCOMPARE(ini.intValue(u"S", u"k", -77), expected);
}

void TestIni::booleans_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("defaultValue");
    QTest::addColumn<bool>("expected");
    QTest::newRow("1") << QByteArray("1") << false << true;
    QTest::newRow("0") << QByteArray("0") << true << false;
    QTest::newRow("2 is true") << QByteArray("2") << false << true;
    QTest::newRow("-1 is true") << QByteArray("-1") << false << true;
    QTest::newRow("true is no integer") << QByteArray("true") << false << false;
    QTest::newRow("yes gives default") << QByteArray("yes") << true << true;
    QTest::newRow("hex zero") << QByteArray("$0") << true << false;
}

void TestIni::booleans() {
    QFETCH(QByteArray, text);
    QFETCH(bool, defaultValue);
    QFETCH(bool, expected);
    IniFile ini;
    ini.parse("[S]\nk=" + text + "\n");
    QCOMPARE(ini.boolValue(u"S", u"k", defaultValue), expected);
}

void TestIni::encodings_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QString text = QStringLiteral("[Раздел]\r\nИмя=Ёжик в тумане\r\n");
    const QByteArray utf8 = text.toUtf8();
    QByteArray utf16le("\xFF\xFE");
    QByteArray utf16be("\xFE\xFF");
    for (const QChar c : text) {
        utf16le.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        utf16be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    }
    QStringEncoder cp1251("windows-1251");
    QVERIFY(cp1251.isValid());
    QTest::newRow("UTF-8") << utf8;
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF") + utf8;
    QTest::newRow("UTF-16LE with BOM") << utf16le;
    QTest::newRow("UTF-16BE with BOM") << utf16be;
    QTest::newRow("Windows-1251") << QByteArray(cp1251.encode(text));
}

void TestIni::encodings() {
    QFETCH(QByteArray, bytes);
    IniFile ini;
    ini.parse(bytes);
    QCOMPARE(ini.value(u"раздел", u"имя"), QStringLiteral("Ёжик в тумане"));
    // Whatever came in, the file goes out as UTF-8 without a BOM.
    QCOMPARE(ini.serialize(), QStringLiteral("[Раздел]\r\nИмя=Ёжик в тумане\r\n").toUtf8());
}

void TestIni::writing() {
    IniFile ini;
    ini.parse(QByteArray());
    ini.setBool(u"Config", u"StudyMode", true);
    ini.setValue(u"Config", u"ProgressBar", u"зелёный");
    ini.setInt(u"Config", u"Speed", -1);
    ini.appendKey(u"Content", u"word_0", u"Слово,");
    ini.setValue(u"config", u"SPEED", u"18"); // the first key of the name, in place
    QCOMPARE(ini.serialize(), QStringLiteral("[Config]\r\nStudyMode=1\r\nProgressBar=зелёный\r\n"
                                             "Speed=18\r\n\r\n[Content]\r\nword_0=Слово,\r\n")
                                  .toUtf8());
}

void TestIni::writingKeepsOrderAndOtherLines() {
    IniFile ini;
    ini.parse("top=1\r\n[A]\r\n; note\r\nb=2\r\nno key here\r\nB=3\r\n[C]\r\nd=4\r\n");
    ini.setValue(u"a", u"b", u"5");
    ini.setValue(u"A", u"e", u"6");
    ini.setValue(u"New", u"f", u"7");
    QCOMPARE(ini.serialize(),
             QByteArray("top=1\r\n\r\n[A]\r\n; note\r\nb=5\r\nno key here\r\nB=3\r\n"
                        "e=6\r\n\r\n[C]\r\nd=4\r\n\r\n[New]\r\nf=7\r\n"));
    ini.parse(ini.serialize());
    QCOMPARE(ini.value(u"A", u"B"), QStringLiteral("5"));
    QCOMPARE(ini.value(u"C", u"d"), QStringLiteral("4"));
}

void TestIni::removeSectionRemovesDuplicates() {
    IniFile ini;
    ini.parse("[Content]\nword_0=a\n[Config]\nx=1\n[content]\nword_1=b\n");
    ini.removeSection(u"CONTENT");
    QVERIFY(!ini.hasSection(u"Content"));
    ini.appendKey(u"Content", u"word_0", u"c");
    QCOMPARE(ini.serialize(), QByteArray("[Config]\r\nx=1\r\n\r\n[Content]\r\nword_0=c\r\n"));
    QCOMPARE(ini.value(u"Content", u"word_0"), QStringLiteral("c"));
    QVERIFY(!ini.find(u"Content", u"word_1"));
}

void TestIni::valuesReadBackAsThemselves() {
    IniFile ini;
    ini.parse(QByteArray());
    ini.setValue(u"S", u"blank", u"               ");
    ini.setValue(u"S", u"cr", u"слово\r");
    ini.setValue(u"S", u"quoted", u"\"слово\"");
    ini.setValue(u"S", u"tab", u"\tслово");
    ini.setValue(u"S", u"single", u"'");
    ini.setValue(u"S", u"empty", u"");
    ini.setValue(u"S", u"next", u"x");
    // Set values read back at once as they will from the file.
    QCOMPARE(ini.value(u"S", u"quoted"), QStringLiteral("\"слово\""));
    const QByteArray bytes = ini.serialize();
    QCOMPARE(bytes, QStringLiteral("[S]\r\nblank=\"               \"\r\ncr=слово\r\n"
                                   "quoted=\"\"слово\"\"\r\ntab=\"\tслово\"\r\nsingle='\r\n"
                                   "empty=\r\nnext=x\r\n")
                        .toUtf8());
    IniFile back;
    back.parse(bytes);
    QCOMPARE(back.value(u"S", u"blank", QStringLiteral("d")), QStringLiteral("               "));
    QCOMPARE(back.value(u"S", u"cr"), QStringLiteral("слово")); // a line cannot hold a line break
    QCOMPARE(back.value(u"S", u"quoted"), QStringLiteral("\"слово\""));
    QCOMPARE(back.value(u"S", u"tab"), QStringLiteral("\tслово"));
    QCOMPARE(back.value(u"S", u"single"), QStringLiteral("'"));
    QCOMPARE(back.value(u"S", u"empty", QStringLiteral("d")), QString());
    QCOMPARE(back.value(u"S", u"next"), QStringLiteral("x"));
}

void TestIni::missingFileIsEmpty() {
    QTemporaryDir dir;
    IniFile ini;
    QVERIFY(ini.load(dir.filePath(QStringLiteral("none.ini"))));
    QVERIFY(ini.errorString().isEmpty());
    QCOMPARE(ini.intValue(u"Config", u"Speed", 3), 3);
    QCOMPARE(ini.serialize(), QByteArray());
}

void TestIni::unreadablePathFails() {
    QTemporaryDir dir;
    IniFile ini;
    QVERIFY(!ini.load(dir.path()));
    QVERIFY(!ini.errorString().isEmpty());
}

void TestIni::tooLargeFileIsRefused() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.ini"));
    const QByteArray head = u8(u"[S]\r\nа=Ёж\r\n");
    const QByteArray bytes = head + u8(u"б=ЖЖЖЖЖЖЖЖ\r\nв=1\r\n");
    QVERIFY(writeAll(path, bytes));
    IniFile ini;
    // A cut would fall inside a two-byte letter of the second key; the file
    // is not taken in part, and the error says why.
    QVERIFY(!ini.load(path, head.size() + 5));
    QCOMPARE(ini.errorString(),
             QStringLiteral("файл больше допустимых %1 байт").arg(head.size() + 5));
    QVERIFY(!ini.find(u"S", u"а"));
    QVERIFY(ini.load(path, bytes.size()));
    QCOMPARE(ini.value(u"S", u"б"), QStringLiteral("ЖЖЖЖЖЖЖЖ"));
}

void TestIni::garbageParsesStably() {
    QRandomGenerator rng(20260101);
    const char alphabet[] = "[]=;\"' \t\r\nab\x00\xD0\xB0\xFF\xFE";
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes(static_cast<qsizetype>(rng.bounded(1, 2000)), Qt::Uninitialized);
        for (char& c : bytes)
            c = round % 2 ? char(rng.bounded(256))
                          : alphabet[rng.bounded(static_cast<int>(sizeof alphabet - 1))];
        IniFile ini;
        ini.parse(bytes);
        const QByteArray once = ini.serialize();
        ini.parse(once);
        QCOMPARE(ini.serialize(), once); // written again, nothing moves
    }
}

void TestIni::failedSaveKeepsOldFile_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("disk full midway") << QStringLiteral("full");
    QTest::newRow("target is a directory") << QStringLiteral("dir");
    QTest::newRow("directory missing") << QStringLiteral("nodir");
}

void TestIni::failedSaveKeepsOldFile() {
    QFETCH(QString, how);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("kestrix.ini"));
    const QByteArray old = u8(u"[Config]\r\nSpeed=5\r\n[Content]\r\nword_0=старое\r\n");
    QVERIFY(writeAll(path, old));
    if (how == u"dir")
        path = dir.path();
    if (how == u"nodir")
        path = dir.filePath(QStringLiteral("missing/kestrix.ini"));

    IniFile ini;
    QVERIFY(ini.load(dir.filePath(QStringLiteral("kestrix.ini"))));
    ini.removeSection(u"Content");
    for (int i = 0; i < 20000; ++i)
        ini.appendKey(u"Content", QStringLiteral("word_%1").arg(i), u"новое слово");
    bool saved = false;
    {
        const FileSizeLimit limit(how == u"full" ? 4096 : RLIM_INFINITY);
        saved = ini.save(path);
    }
    QVERIFY(!saved);
    QVERIFY(!ini.errorString().isEmpty());
    QCOMPARE(readAll(dir.filePath(QStringLiteral("kestrix.ini"))), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("kestrix.ini")}); // no temporary file left
}

void TestIni::limitsOnLinesAndSections() {
    QByteArray bytes;
    for (int i = 0; i < IniFile::maxSections + 10; ++i)
        bytes += "[s" + QByteArray::number(i) + "]\nk=" + QByteArray::number(i) + "\n";
    IniFile ini;
    QVERIFY(!ini.parse(bytes)); // cut, and it says so
    const QString last = QString::number(IniFile::maxSections - 1);
    QCOMPARE(ini.value(u"s0", u"k"), QStringLiteral("0"));
    QCOMPARE(ini.value(QString(QStringLiteral("S") + last), u"K"), last);
    QVERIFY(!ini.hasSection(QStringLiteral("s%1").arg(IniFile::maxSections))); // beyond: not kept

    // What the reader would cut is not written either.
    QTemporaryDir dir;
    ini.setValue(QStringLiteral("s%1").arg(IniFile::maxSections), u"k", u"1");
    QVERIFY(!ini.save(dir.filePath(QStringLiteral("x.ini"))));
    QCOMPARE(ini.errorString(),
             QStringLiteral("в файле больше %1 разделов").arg(IniFile::maxSections));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("x.ini"))));
}

QTEST_GUILESS_MAIN(TestIni)
#include "tst_ini.moc"
