// saveSettings: what it writes, what it leaves alone, and failed saves.
#include "settings_fixture.h"

#include "file_size_limit.h"
#include "reading/preparation.h"
#include "storage/ini_file.h"

#include <QTemporaryDir>
#include <QtTest>

class TestSettingsSave : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        QVERIFY(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("kestrix.ini"));
        QFile::remove(m_path);
    }
    void saveWithoutReadingLeavesFile();
    void saveWritesSettingsAndEntries();
    void saveKeepsOtherSectionsAndDropsOldContent();
    void saveCoversExactlyK1Entries();
    void failedSaveKeepsOldFile_data();
    void failedSaveKeepsOldFile();

private:
    QTemporaryDir m_dir;
    QString m_path;
};

void TestSettingsSave::saveWithoutReadingLeavesFile() {
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

void TestSettingsSave::saveWritesSettingsAndEntries() {
    ReadingState st;
    st.entryCount = cutWhole(st.words, QStringLiteral("Конец. \"Слово\"\r\nещё "));
    st.position = 2;
    TestView v(st);
    v.study = true;
    v.speed = 17;
    v.progress = ProgressState::Paused;
    saveSettings(v, st, m_path);
    QVERIFY(v.messages.isEmpty());
    // Pauses and line breaks are stored empty; a quoted word keeps its
    // quotation marks through the quoting of the writer.
    QCOMPARE(readAll(m_path),
             QStringLiteral("[Config]\r\nStudyMode=1\r\nProgressBar=yellow\r\nSpeed=17\r\n"
                            "TextLength=8\r\nTextPosition=2\r\n\r\n[Content]\r\n"
                            "word_0=Конец.\r\nword_1=\r\nword_2=\r\nword_3=\"\"Слово\"\"\r\n"
                            "word_4=\r\nword_5=\r\nword_6=\r\nword_7=ещё\r\n")
                 .toUtf8());

    ReadingState back;
    TestView bv(back);
    FixedClock clock;
    load(bv, back, m_path, clock);
    QCOMPARE(bv.text, QStringLiteral(" Конец. \n\r \n\r \"Слово\" \n\r \n\r \n\r ещё "));
    QCOMPARE(back.position, 2);
    QCOMPARE(bv.study, true);
    QCOMPARE(bv.speed, 17);
    QCOMPARE(bv.progress, ProgressState::Paused);
}

void TestSettingsSave::saveKeepsOtherSectionsAndDropsOldContent() {
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

void TestSettingsSave::saveCoversExactlyK1Entries() {
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

void TestSettingsSave::failedSaveKeepsOldFile_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("disk full midway") << QStringLiteral("full");
    QTest::newRow("target is a directory") << QStringLiteral("dir");
    QTest::newRow("directory missing") << QStringLiteral("nodir");
}

void TestSettingsSave::failedSaveKeepsOldFile() {
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

QTEST_MAIN(TestSettingsSave)
#include "tst_settings_save.moc"
