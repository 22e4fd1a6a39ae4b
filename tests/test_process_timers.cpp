// Link supervision (Timer1) and stop handling (Timer2).
#include "ProcessScript.h"

#include <QtTest>

class TestProcessTimers : public QObject {
    Q_OBJECT

private slots:
    void runningFromStartUp()
    {
        // Both tick once a second from start-up on.
        RecordingDialogs dialogs;
        const MDIForm1 mdi(new MemorySerialPort);
        for (const QTimer* timer : {mdi.Timer1, mdi.Timer2})
            QVERIFY(timer->isActive() && !timer->isSingleShot() && timer->interval() == 1000);
    }

    // Timer1: five ticks without a new frame are fine; the sixth raises the alarm, unless a message
    // is shown, and reads away what waits. Timer2: a fall from a recording status (2 to 7) to ready
    // between two ticks is a stop, unless the record has ended.
    void ticks_data()
    {
        QTest::addColumn<QString>("script");  // then "abc" (too short for a frame) and a tick
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("locks");
        QTest::addColumn<bool>("readAway");  // "abc" no longer waits
        QTest::newRow("no charger, 5 ticks") << "t t t t" << QString() << kLocked << false;
        QTest::newRow("no charger, 6 ticks") << "t t t t t" << kLinkAlarm << kLocked << true;
        QTest::newRow("frames change again") << "t t t t t t 1" << kLinkAlarm << kLocked << false;
        QTest::newRow("an earlier message stays") << "1 t 2 t 8 t t t t t" << kSichern << kUnlocked << true;
        QTest::newRow("2, 2, 1") << "1 t 2 t 2 t 1" << kStopMessage << kUnlocked << false;
        QTest::newRow("2, 7, 1") << "1 t 2 t 7 t 1" << kStopMessage << kUnlocked << false;
        QTest::newRow("8, 1") << "1 t 2 t 8 t 1" << kSichern << kUnlocked << false;
        QTest::newRow("ready between two ticks only") << "1 t 2 t 1 2" << QString() << kLocked << false;
    }

    void ticks()
    {
        QFETCH(QString, script);
        QFETCH(QString, message);
        QFETCH(QString, locks);
        QFETCH(bool, readAway);
        TestApp app;
        Charger{app, 0}.play(script);
        app.sendRaw("abc");
        app.tick();
        QCOMPARE((QStringList{messageField(app), ::locks(app), QString::number(app.session().MessungGestoppt),
                              app.port->waiting()}),
                 (QStringList{message, locks, message == kStopMessage ? "1" : "0", readAway ? "" : "abc"}));
    }
};

QTEST_MAIN(TestProcessTimers)
#include "test_process_timers.moc"
