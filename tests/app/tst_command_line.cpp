// The command line: a book file, the portable switch, help, version and
// usage errors.
#include "app/command_line.h"

#include <QtTest>

class TestCommandLine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parses_data();
    void parses();
};

void TestCommandLine::parses_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("runs");
    QTest::addColumn<QString>("bookFile");
    QTest::addColumn<bool>("portable");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output");

    QTest::newRow("nothing") << QStringList{} << true << QString() << false << 0 << QString();
    QTest::newRow("a book") << QStringList{u"книги/война и мир.fb2"_qs} << true
                            << u"книги/война и мир.fb2"_qs << false << 0 << QString();
    QTest::newRow("portable, then a book")
        << QStringList{u"--portable"_qs, u"-"_qs} << true << u"-"_qs << true << 0 << QString();
    QTest::newRow("help") << QStringList{u"--help"_qs} << false << QString() << false << 0
                          << u"FILE"_qs;
    QTest::newRow("version") << QStringList{u"--version"_qs} << false << QString() << false << 0
                             << u"v.2.1.4"_qs;
    QTest::newRow("two books") << QStringList{u"a.txt"_qs, u"b.txt"_qs} << false << QString()
                               << false << 2 << u"одну книгу"_qs;
    QTest::newRow("unknown option")
        << QStringList{u"--fast"_qs} << false << QString() << false << 2 << u"fast"_qs;
}

void TestCommandLine::parses() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, runs);
    QFETCH(QString, bookFile);
    QFETCH(bool, portable);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QString text;
    int code = -1;
    const std::optional<CommandLine> line =
        parseCommandLine(QStringList{u"kestrix"_qs} + arguments, &text, &code);
    QCOMPARE(line.has_value(), runs);
    if (runs) {
        QCOMPARE(line->bookFile, bookFile);
        QCOMPARE(line->portable, portable);
    } else {
        QCOMPARE(code, exitCode);
        QVERIFY2(text.contains(output), qPrintable(text));
    }
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_command_line.moc"
