// Link supervision (Timer1) and stop handling (Timer2).
#include "ProcessScript.h"

#include "process/Variabelen.h"

#include <QtTest>

class TestProcessTimers : public QObject {
    Q_OBJECT

private slots:
    void linkAlarmAtTheSixthTick_data();
    void linkAlarmAtTheSixthTick();
    void alarmKeepsAnEarlierMessage();
    void alarmWithTheLinkBackStays();
    void alarmOnAClosedPort();
    void messageLinesAre31Characters_data();
    void messageLinesAre31Characters();
    void stopRecognition_data();
    void stopRecognition();
};

void TestProcessTimers::linkAlarmAtTheSixthTick_data()
{
    QTest::addColumn<bool>("frozen");
    QTest::newRow("no charger after start-up") << false;
    QTest::newRow("the same frame every second") << true;
}

void TestProcessTimers::linkAlarmAtTheSixthTick()
{
    QFETCH(bool, frozen);
    TestApp app;
    Charger charger(app, 0);
    if (frozen)
        charger.play(QStringLiteral("1 t 1 t"));  // two changing frames, then the frame freezes
    const ladomat::sim::Reading still = charger.reading(1);
    for (int tick = 1; tick <= 5; ++tick) {
        if (frozen) {
            app.send(still);
        } else {
            app.sendRaw("abc");  // fewer characters than a frame: they wait in the port
            QCOMPARE(app.port->waiting().size(), 3 * tick);
        }
        app.tick();
        QCOMPARE(messageField(), QString());
    }
    if (frozen)
        app.send(still);
    app.sendRaw("abc");
    app.tick();
    QCOMPARE(messageField(), kLinkAlarm);
    QVERIFY(app.port->waiting().isEmpty());
}

void TestProcessTimers::alarmKeepsAnEarlierMessage()
{
    TestApp app;
    forms.akku->Text7->setText(kSichern);
    for (int tick = 1; tick <= 5; ++tick)
        app.tick();
    // Every alarm tick reads the port away, but the message stays.
    for (int tick = 6; tick <= 8; ++tick) {
        app.sendRaw("abc");
        app.tick();
        QVERIFY(app.port->waiting().isEmpty());
        QCOMPARE(messageField(), kSichern);
    }
}

void TestProcessTimers::alarmWithTheLinkBackStays()
{
    TestApp app;
    for (int tick = 1; tick <= 6; ++tick)
        app.tick();
    QCOMPARE(messageField(), kLinkAlarm);
    Charger charger(app, 0);
    charger.play(QStringLiteral("1 t 1 t 1 t"));
    QCOMPARE(messageField(), kLinkAlarm);
    // Frames that change again keep the port's characters: the alarm is over.
    app.sendRaw("abc");
    charger.play(QStringLiteral("t"));
    QCOMPARE(app.port->waiting(), QByteArray("abc"));
}

void TestProcessTimers::alarmOnAClosedPort()
{
    TestApp app;
    app.port->setPortOpen(false);
    for (int tick = 1; tick <= 6; ++tick)
        app.tick();
    QCOMPARE(messageField(), kLinkAlarm);
}

void TestProcessTimers::messageLinesAre31Characters_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("lines");
    QTest::newRow("link alarm") << kLinkAlarm << 17;
    QTest::newRow("stop") << kStopMessage << 7;
    QTest::newRow("store full") << kStoreFull << 4;
}

void TestProcessTimers::messageLinesAre31Characters()
{
    QFETCH(QString, message);
    QFETCH(int, lines);
    const QStringList text = message.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(text.size(), lines);
    for (const QString& line : text)
        QCOMPARE(line.size(), 31);
    // The field shows the lines one below the other and hands them back with CR LF.
    TestApp app;
    forms.akku->Text7->setText(message);
    QCOMPARE(forms.akku->Text7->toPlainText(), QString(message).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QCOMPARE(messageField(), message);
}

void TestProcessTimers::stopRecognition_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("stopped");
    QTest::addColumn<int>("statusAlt");

    QTest::newRow("2, 2, 1") << 0 << "2 t 2 t 1 t" << true << 1;
    QTest::newRow("3, 1 in mode 1") << 1 << "3 t 1 t" << true << 1;
    QTest::newRow("4, 1 in mode 3") << 3 << "4 t 1 t" << true << 1;
    QTest::newRow("5, 1 in mode 3") << 3 << "4 t 9 t 5 t 1 t" << true << 1;
    QTest::newRow("6, 1 in mode 2") << 2 << "6 t 1 t" << true << 1;
    QTest::newRow("7, 1 in mode 2") << 2 << "6 t 9 t 7 t 1 t" << true << 1;
    QTest::newRow("2, 1 in mode 4") << 4 << "2 t 1 t" << true << 1;
    QTest::newRow("9, 1") << 2 << "6 t 9 t 1 t" << false << 1;
    QTest::newRow("8, 1") << 0 << "2 t 8 t 1 t" << false << 1;
    QTest::newRow("2, 0, 1") << 0 << "2 t 0 t 1 t" << false << 1;
    QTest::newRow("ready between two ticks only") << 0 << "2 t 1 2 t" << false << 2;
    QTest::newRow("still recording") << 0 << "2 t 2 t" << false << 2;
    // A record that went on after its end (another status at the tick after 8): no stop.
    QTest::newRow("2, 1 while ended") << 0 << "2 t 8 t 1 t 2 t 1 t" << false << 1;
}

void TestProcessTimers::stopRecognition()
{
    QFETCH(int, mode);
    QFETCH(QString, script);
    QFETCH(bool, stopped);
    QFETCH(int, statusAlt);

    TestApp app;
    Charger charger(app, mode);
    charger.play(QStringLiteral("1 t ") + script);
    QCOMPARE(V->StatusAlt, statusAlt);
    QCOMPARE(V->MessungGestoppt, stopped ? 1 : 0);
    if (stopped) {
        QCOMPARE(messageField(), kStopMessage);
        QCOMPARE(V->MessungBeendet, 1);
        QCOMPARE(lockableStates(), kAllUnlocked);
    } else {
        QVERIFY(messageField() != kStopMessage);
    }
}

QTEST_MAIN(TestProcessTimers)
#include "test_process_timers.moc"
