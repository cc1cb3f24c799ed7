// The command line: options, the book file, help, version and usage errors.
#include "app/command_line.h"
#include "update/version_check.h"

#include <QtTest>

class TestCommandLine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parse_data();
    void parse();
};

void TestCommandLine::parse_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("parsed");
    QTest::addColumn<bool>("portable");
    QTest::addColumn<QString>("bookFile");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("outputHas"); // parsed or not, what the output holds

    const QString exe = u"/usr/bin/kestrix"_qs;
    QTest::newRow("nothing") << QStringList{exe} << true << false << QString() << 0 << QString();
    QTest::newRow("portable") << QStringList{exe, u"--portable"_qs} << true << true << QString()
                              << 0 << QString();
    QTest::newRow("file after the option")
        << QStringList{exe, u"--portable"_qs, u"Война и мир.fb2"_qs} << true << true
        << u"Война и мир.fb2"_qs << 0 << QString();
    QTest::newRow("file before the option") << QStringList{exe, u"book.txt"_qs, u"--portable"_qs}
                                            << true << true << u"book.txt"_qs << 0 << QString();
    QTest::newRow("file with a dash after --")
        << QStringList{exe, u"--"_qs, u"-book.txt"_qs} << true << false << u"-book.txt"_qs << 0
        << QString();
    QTest::newRow("help") << QStringList{exe, u"--help"_qs} << false << false << QString() << 0
                          << u"Usage: kestrix [options] [FILE]"_qs;
    QTest::newRow("help lists --portable")
        << QStringList{exe, u"-h"_qs} << false << false << QString() << 0 << u"--portable"_qs;
    QTest::newRow("help wins over a file") << QStringList{exe, u"book.txt"_qs, u"--help"_qs}
                                           << false << false << QString() << 0 << u"--version"_qs;
    QTest::newRow("version") << QStringList{exe, u"--version"_qs} << false << false << QString()
                             << 0 << (u"Kestrix "_qs + programVersion() + u"\n"_qs);
    QTest::newRow("unknown option")
        << QStringList{exe, u"--portabel"_qs} << false << false << QString() << 2 << u"portabel"_qs;
    QTest::newRow("unknown option beside help") << QStringList{exe, u"--help"_qs, u"--x"_qs}
                                                << false << false << QString() << 2 << u"--help"_qs;
    QTest::newRow("two files") << QStringList{exe, u"a.txt"_qs, u"b.txt"_qs} << false << false
                               << QString() << 2 << u"one FILE"_qs;
    QTest::newRow("value given to a switch") << QStringList{exe, u"--portable=yes"_qs} << false
                                             << false << QString() << 2 << u"portable"_qs;
}

void TestCommandLine::parse() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, parsed);
    QFETCH(bool, portable);
    QFETCH(QString, bookFile);
    QFETCH(int, exitCode);
    QFETCH(QString, outputHas);

    QString output = u"untouched"_qs;
    int code = -1;
    const std::optional<CommandLine> line = parseCommandLine(arguments, &output, &code);
    QCOMPARE(line.has_value(), parsed);
    if (parsed) {
        QCOMPARE(line->portable, portable);
        QCOMPARE(line->bookFile, bookFile);
        QCOMPARE(output, u"untouched"_qs);
        return;
    }
    QCOMPARE(code, exitCode);
    QVERIFY2(output.contains(outputHas), qPrintable(output));
    QVERIFY(output.endsWith(QLatin1Char('\n')));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_command_line.moc"
