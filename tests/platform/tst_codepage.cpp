// Windows-1251 for the library file: the system converter, the built-in table
// it falls back on, and the '?' for characters the code page lacks.
#include "platform/codepage.h"

#include <QtTest>

class TestCodePage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void knownBytes_data();
    void knownBytes();
    void everyByteRoundTrips();
    void tableAgreesWithConverterOnEveryByte();
    void tableAgreesWithConverterOnEveryCharacter();
    void unrepresentable_data();
    void unrepresentable();
};

void TestCodePage::knownBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("чит") << QByteArray("\xF7\xE8\xF2") << u"чит"_qs;
    QTest::newRow("Ёё") << QByteArray("\xA8\xB8") << u"Ёё"_qs;
    QTest::newRow("А and я") << QByteArray("\xC0\xFF") << u"Ая"_qs;
    QTest::newRow("euro, numero, guillemets") << QByteArray("\x88\xB9\xAB\xBB") << u"€№«»"_qs;
    QTest::newRow("dashes and quotes") << QByteArray("\x96\x97\x93\x94") << u"–—“”"_qs;
    QTest::newRow("ASCII and controls") << QByteArray("read\r\n\x1A") << u"read\r\n\x1A"_qs;
}

void TestCodePage::knownBytes() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(fromCodePage(bytes), text);
    QCOMPARE(toCodePage(text), bytes);
    QCOMPARE(fromCodePageByTable(bytes), text);
    QCOMPARE(toCodePageByTable(text), bytes);
}

void TestCodePage::everyByteRoundTrips() {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString text = fromCodePage(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(toCodePage(text), all);
}

void TestCodePage::tableAgreesWithConverterOnEveryByte() {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString viaTable = fromCodePageByTable(all);
    const QString viaConverter = fromCodePage(all);
    for (int b = 0; b < 256; ++b)
        QVERIFY2(viaTable.at(b) == viaConverter.at(b), qPrintable(QString::number(b, 16)));
}

void TestCodePage::tableAgreesWithConverterOnEveryCharacter() {
    // Every character of the basic plane but the surrogates, one at a time
    // in a single string, so a substitute in the wrong place shows.
    QString text;
    for (char32_t c = 0; c < 0x10000; ++c) {
        if (c < 0xD800 || c > 0xDFFF)
            text.append(QChar(char16_t(c)));
    }
    const QByteArray viaConverter = toCodePage(text);
    const QByteArray viaTable = toCodePageByTable(text);
    QCOMPARE(viaConverter.size(), text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        QVERIFY2(viaConverter.at(i) == viaTable.at(i),
                 qPrintable(QString::number(text.at(i).unicode(), 16)));
    }
    // 256 characters have a byte; the rest are '?', and only U+001A gives 0x1A.
    QCOMPARE(viaConverter.count('\x1A'), 1);
    QCOMPARE(viaConverter.count('?'), text.size() - 255);
}

void TestCodePage::unrepresentable_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("Latin é") << u"café"_qs << QByteArray("caf?");
    QTest::newRow("CJK") << u"a中b"_qs << QByteArray("a?b");
    QTest::newRow("pair is one character") << u"a\U0001F600b"_qs << QByteArray("a?b");
    QTest::newRow("lone high surrogate")
        << (u"a"_qs + QChar(0xD800) + u"b"_qs) << QByteArray("a?b");
    QTest::newRow("lone low surrogate") << (u"a"_qs + QChar(0xDC00) + u"b"_qs) << QByteArray("a?b");
    QTest::newRow("next to a real 0x1A") << u"\x1Aé\x1A"_qs << QByteArray("\x1A?\x1A");
}

void TestCodePage::unrepresentable() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(toCodePage(text), bytes);
    QCOMPARE(toCodePageByTable(text), bytes);
}

QTEST_APPLESS_MAIN(TestCodePage)
#include "tst_codepage.moc"
