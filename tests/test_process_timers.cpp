// Link supervision (Timer1) and stop handling (Timer2).
#include "ProcessScript.h"

#include "process/Variabelen.h"

#include <QtTest>

class TestProcessTimers : public QObject {
    Q_OBJECT

private slots:
    void linkAlarm_data()
    {
        QTest::addColumn<bool>("frozen");
        QTest::addColumn<QString>("earlier");  // a message in the field before the alarm
        QTest::newRow("no charger after start-up") << false << QString();
        QTest::newRow("the same frame every second") << true << QString();
        QTest::newRow("an earlier message stays") << false << kSichern;
    }

    // Five ticks without a new frame are fine, the sixth raises the alarm and reads the port away.
    void linkAlarm()
    {
        QFETCH(bool, frozen);
        QFETCH(QString, earlier);
        TestApp app;
        Charger charger(app, 0);
        charger.play(frozen ? "1 t 1 t" : "");  // two changing frames, then the frame freezes
        const ladomat::sim::Reading still = charger.reading(0);
        forms.akku->Text7->setText(earlier);
        for (int tick = 1; tick <= 5; ++tick) {
            frozen ? app.send(still) : app.sendRaw("abc");  // "abc": too short for a frame, it waits
            app.tick();
        }
        QCOMPARE(messageField(), earlier);
        QCOMPARE(app.port->waiting().size(), frozen ? 0 : 15);
        if (frozen)
            app.send(still);
        app.sendRaw("abc");
        app.tick();
        const QString shown = earlier.isEmpty() ? kLinkAlarm : earlier;
        QCOMPARE(messageField(), shown);
        QVERIFY(app.port->waiting().isEmpty());
        // The field shows the lines one below the other and hands them back with CR LF.
        QCOMPARE(forms.akku->Text7->toPlainText(), QString(shown).replace("\r\n", "\n"));

        // Frames that change again: the port keeps its characters, the message stays.
        charger.play("1");
        app.sendRaw("abc");
        app.tick();
        QCOMPARE(app.port->waiting(), QByteArray("abc"));
        QCOMPARE(messageField(), shown);
    }

    // A fall from a recording status (2 to 7) to ready between two ticks is a stop, unless the
    // record has ended. The script follows "1 t" in the mode.
    void stopRecognition_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("locks");
        QTest::newRow("2, 2, 1") << 0 << "2 t 2 t 1 t" << kStopMessage << kUnlocked;
        QTest::newRow("7, 1 in mode 2") << 2 << "6 t 9 t 7 t 1 t" << kStopMessage << kUnlocked;
        QTest::newRow("9, 1") << 2 << "6 t 9 t 1 t" << QString() << kLocked;
        QTest::newRow("8, 1") << 0 << "2 t 8 t 1 t" << kSichern << kUnlocked;
        // A recording frame right after the end starts a new record, ready follows before the tick.
        QTest::newRow("8, 1 after a restart") << 0 << "2 t 8 t 2 1 t" << kGeloescht << kLocked;
        QTest::newRow("2, 0, 1") << 0 << "2 t 0 t 1 t" << QString() << kLocked;
        QTest::newRow("ready between two ticks only") << 0 << "2 t 1 2 t" << QString() << kLocked;
    }

    void stopRecognition()
    {
        QFETCH(int, mode);
        QFETCH(QString, script);
        QFETCH(QString, message);
        QFETCH(QString, locks);
        TestApp app;
        Charger(app, mode).play("1 t " + script);
        QCOMPARE(messageField(), message);
        QCOMPARE(::locks(), locks);
        QCOMPARE(V->MessungGestoppt, message == kStopMessage ? 1 : 0);
    }
};

QTEST_MAIN(TestProcessTimers)
#include "test_process_timers.moc"
