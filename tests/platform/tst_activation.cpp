// The application's activation as the playback keys see it, and the manual
// stand-in for the keys.
#include "platform/hotkeys.h"
#include "platform/hotkeys_activation.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>

class TestActivation : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void activationSignals_data() {
        QTest::addColumn<QList<Qt::ApplicationState>>("states");
        QTest::addColumn<QString>("signals_"); // A = activated, D = deactivated
        QTest::addColumn<bool>("active");
        using S = QList<Qt::ApplicationState>;
        QTest::newRow("becomes active") << S{Qt::ApplicationActive} << QStringLiteral("A") << true;
        QTest::newRow("inactive again") << S{Qt::ApplicationInactive} << QString() << false;
        QTest::newRow("active, then inactive")
            << S{Qt::ApplicationActive, Qt::ApplicationInactive} << QStringLiteral("AD") << false;
        QTest::newRow("repeated active")
            << S{Qt::ApplicationActive, Qt::ApplicationActive} << QStringLiteral("A") << true;
        QTest::newRow("inactive, hidden, suspended count once")
            << S{Qt::ApplicationActive, Qt::ApplicationInactive, Qt::ApplicationHidden,
                 Qt::ApplicationSuspended}
            << QStringLiteral("AD") << false;
        QTest::newRow("switching back and forth")
            << S{Qt::ApplicationActive, Qt::ApplicationHidden, Qt::ApplicationActive,
                 Qt::ApplicationInactive, Qt::ApplicationActive}
            << QStringLiteral("ADADA") << true;
    }

    void activationSignals() {
        QFETCH(QList<Qt::ApplicationState>, states);
        QFETCH(QString, signals_);
        QFETCH(bool, active);
        ApplicationActivation manual(ApplicationActivation::Source::Manual);
        QVERIFY(!manual.isActive());
        QString seen;
        // The state is already the new one when a signal arrives.
        connect(&manual, &ApplicationActivation::activated, this,
                [&] { seen += manual.isActive() ? u'A' : u'?'; });
        connect(&manual, &ApplicationActivation::deactivated, this,
                [&] { seen += manual.isActive() ? u'?' : u'D'; });
        for (Qt::ApplicationState s : states)
            manual.setState(s);
        QCOMPARE(seen, signals_);
        QCOMPARE(manual.isActive(), active);
    }

    // The activation that follows the application reports what Qt reports.
    void followsApplicationState() {
        ApplicationActivation follower;
        const bool initially = QGuiApplication::applicationState() == Qt::ApplicationActive;
        QCOMPARE(follower.isActive(), initially);
        QSignalSpy activated(&follower, &ApplicationActivation::activated);
        QSignalSpy deactivated(&follower, &ApplicationActivation::deactivated);
        Q_EMIT qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
        Q_EMIT qGuiApp->applicationStateChanged(Qt::ApplicationActive);
        QCOMPARE(activated.count(), 1);
        QCOMPARE(deactivated.count(), initially ? 1 : 0);
        QVERIFY(follower.isActive());
    }

    void manualHotkeys_data() {
        QTest::addColumn<bool>("registered");
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("expected");
        for (int id : Hotkeys::kKeys) {
            QTest::addRow("%d registered", id) << true << id << true;
            QTest::addRow("%d released", id) << false << id << false;
        }
        QTest::newRow("not one of the six") << true << 65 << false;
    }

    void manualHotkeys() {
        QFETCH(bool, registered);
        QFETCH(int, id);
        QFETCH(bool, expected);
        ManualHotkeys manual;
        QSignalSpy spy(&manual, &Hotkeys::hotkey);
        if (registered) {
            manual.registerAll();
            manual.registerAll();
        }
        QCOMPARE(manual.press(id), expected);
        QCOMPARE(spy.count(), expected ? 1 : 0);
        if (expected)
            QCOMPARE(spy.at(0).at(0).toInt(), id);
        QCOMPARE(manual.registrations, registered ? 1 : 0);
    }
};

QTEST_MAIN(TestActivation)
#include "tst_activation.moc"
