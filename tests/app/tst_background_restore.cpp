// The stored book read on its own thread: the same Config values, text and
// bookmark as loadSettings gives, and the hash of the text as Start cuts it
// equal to the one taken from the text box holding that text.
#include "app/background_restore.h"
#include "platform/clock.h"
#include "platform/time_format.h"
#include "reading/preparation.h"
#include "storage/memory_settings_view.h"
#include "ui/text_box.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

class TestBackgroundRestore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sameAsLoadSettings_data();
    void sameAsLoadSettings();
    void unreadableFileIsTold();
};

namespace {

BackgroundRestore::Result restored(const QString& path) {
    BackgroundRestore restore(path);
    while (!restore.waitFor(1000)) {
    }
    return restore.take();
}

} // namespace

void TestBackgroundRestore::sameAsLoadSettings_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("entries in order") << QByteArray("[Config]\r\nSpeed=5\r\nStudyMode=1\r\n"
                                                    "ProgressBar=yellow\r\nTextLength=6\r\n"
                                                    "TextPosition=4\r\n[Content]\r\nword_0=Ну\r\n"
                                                    "word_1=что,\r\nword_2=\r\nword_3=князь.\r\n"
                                                    "word_5=\"  \"\r\n");
    // Breaks of every form the text box knows inside the values, a tab, a
    // damaged byte sequence, keys out of order and in other cases.
    QTest::newRow("breaks inside values")
        << QByteArray("[Config]\r\nTextLength=5\r\nTextPosition=-3\r\n[content]\r\n"
                      "WORD_2=b\xe2\x80\xa9"
                      "c\r\nword_0=a\xe2\x80\xa8z\r\nword_1=\xef\xb7\x90x\t\xef\xb7\x91\r\n"
                      "word_4=\xed\xa0\x80q\r\n");
    QTest::newRow("no text") << QByteArray("[Config]\r\nSpeed=2\r\n");
    QTest::newRow("no file") << QByteArray();
}

void TestBackgroundRestore::sameAsLoadSettings() {
    QFETCH(QByteArray, file);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kestrix.ini"));
    if (!file.isNull()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(file);
    }
    ReadingState state;
    MemorySettingsView view;
    view.text = QStringLiteral("before");
    const SystemClock clock;
    loadSettings(view, state, path, clock, TimeFormat());

    const BackgroundRestore::Result r = restored(path);
    QVERIFY(r.loaded);
    QCOMPARE(r.config.textLength, state.entryCount);
    ReadingState applied;
    MemorySettingsView other;
    applyStoredConfig(other, applied, r.config);
    QCOMPARE(other.study, view.study);
    QCOMPARE(other.speed, view.speed);
    QCOMPARE(other.progress, view.progress);
    if (state.entryCount > 0) {
        QCOMPARE(r.config.position, state.position);
        QCOMPARE(r.text, view.text);
        TextBox box;
        box.putText(r.text, {});
        QVERIFY(r.startTextHash.has_value());
        QCOMPARE(*r.startTextHash, qHash(startText(box.document()->toRawText()), 0));
    } else {
        QVERIFY(!r.startTextHash);
    }
}

void TestBackgroundRestore::unreadableFileIsTold() {
    QTemporaryDir dir;
    // A folder where the file should be: no regular file.
    const BackgroundRestore::Result r = restored(dir.path());
    QVERIFY(!r.loaded);
    QVERIFY(!r.error.isEmpty());
    QVERIFY(!r.startTextHash);
}

QTEST_MAIN(TestBackgroundRestore)
#include "tst_background_restore.moc"
