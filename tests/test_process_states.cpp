// The charge process state machine: mode and status texts, the transition table, the log line,
// restarts, pauses, the end of a run, the full store and whole simulator runs.
#include "ProcessScript.h"

#include "link/Formtext.h"
#include "platform/PlotSurface.h"
#include "plot/Formgrafik.h"
#include "process/Variabelen.h"

#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include <cmath>

using ladomat::sim::Reading;

namespace {

const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);

QString statusBar()
{
    return forms.mdi->StatusBar1->text();
}

// Pixels of the voltage and current curves in the plot's columns from `first` on.
int curvePixelsFromColumn(int first)
{
    const QImage& image = forms.grafik->Picture1->image();
    int count = 0;
    for (int column = first; column < image.width(); ++column)
        count += countColorInColumn(image, column, kGreen) + countColorInColumn(image, column, kRed);
    return count;
}

}  // namespace

class TestProcessStates : public QObject {
    Q_OBJECT

private slots:
    void modeAndStatusTexts_data();
    void modeAndStatusTexts();
    void ignoredFrames_data();
    void ignoredFrames();
    void transitions_data();
    void transitions();
    void firstSampleAndItsLogLine();
    void restartClearsPlotAndPages();
    void pauseSamplesCountedNotLogged();
    void endInEitherView_data();
    void endInEitherView();
    void storeFull_data();
    void storeFull();
    void simulatorRuns_data();
    void simulatorRuns();
};

void TestProcessStates::modeAndStatusTexts_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("modeName");
    QTest::addColumn<QString>("statusText");
    QTest::addColumn<QString>("hint");

    const QString noBattery =
        QStringLiteral("Batterie an die 'Output 0,1 - 5A' Buchse des Ladomat Link II anschließen !");
    const QString ready = QStringLiteral("Ready, Battery connected");
    struct ModeRow {
        int mode;
        QString name;
        QString readyHint;
    };
    const QList<ModeRow> modes{
        {0, QStringLiteral("Charge"), QStringLiteral("Mit START den Ladevorgang beginnen !")},
        {1, QStringLiteral("Discharge"), QStringLiteral("Mit START den Entladevorgang beginnen !")},
        {2, QStringLiteral("Charge to Discharge"), QStringLiteral("Mit START den Lade- Entladevorgang beginnen !")},
        {3, QStringLiteral("Discharge to Charge"), QStringLiteral("Mit START den Entlade- Ladevorgang beginnen !")},
        {4, QStringLiteral("Lead Battery Charge"), QStringLiteral("Mit START den Ladevorgang beginnen !")},
    };
    // The statuses every mode knows.
    for (const ModeRow& m : modes) {
        const QByteArray mode = QByteArray::number(m.mode);
        QTest::newRow("mode " + mode + " no battery") << m.mode << 0 << m.name << "No Battery" << noBattery;
        QTest::newRow("mode " + mode + " ready") << m.mode << 1 << m.name << ready << m.readyHint;
        QTest::newRow("mode " + mode + " ended")
            << m.mode << 8 << m.name << "VORGANG BEENDET" << "Vorgang erfolgreich beendet !";
    }
    // The recording statuses and the pause, each in its modes.
    QTest::newRow("mode 0 charging") << 0 << 2 << "Charge" << "Charging" << "AKKU WIRD GELADEN ...";
    QTest::newRow("mode 4 charging") << 4 << 2 << "Lead Battery Charge" << "Charging" << "AKKU WIRD GELADEN ...";
    QTest::newRow("mode 1 discharging") << 1 << 3 << "Discharge" << "Discharging" << "AKKU WIRD ENTLADEN ...";
    QTest::newRow("mode 3 discharging") << 3 << 4 << "Discharge to Charge" << "Discharging in DISC -> CHAR Mode"
                                        << "AKKU WIRD ENTLADEN (D/C MODE) ...";
    QTest::newRow("mode 3 charging") << 3 << 5 << "Discharge to Charge" << "Charging in DISC -> CHAR Mode"
                                     << "AKKU WIRD GELADEN (D/C MODE) ...";
    QTest::newRow("mode 2 charging") << 2 << 6 << "Charge to Discharge" << "Charging in CHAR -> DISC Mode"
                                     << "AKKU WIRD GELADEN (C/D MODE) ...";
    QTest::newRow("mode 2 discharging") << 2 << 7 << "Charge to Discharge" << "Discharging in CHAR -> DISC Mode"
                                        << "AKKU WIRD ENTLADEN (C/D MODE) ...";
    QTest::newRow("mode 2 pause") << 2 << 9 << "Charge to Discharge" << "Pause Time" << "";
    QTest::newRow("mode 3 pause") << 3 << 9 << "Discharge to Charge" << "Pause Time" << "";
}

void TestProcessStates::modeAndStatusTexts()
{
    QFETCH(int, mode);
    QFETCH(int, status);
    QFETCH(QString, modeName);
    QFETCH(QString, statusText);
    QFETCH(QString, hint);
    TestApp app;
    forms.mdi->StatusBar1->setText(QStringLiteral("vorher"));
    Charger(app, mode).frame(status);
    QCOMPARE(forms.text->Text7->text(), modeName);
    QCOMPARE(forms.text->Text6->text(), statusText);
    QCOMPARE(statusBar(), hint);
}

void TestProcessStates::ignoredFrames_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("modeText");
    QTest::newRow("mode 5: unknown") << 5 << 2 << " 5";
    QTest::newRow("mode 16: unknown") << 16 << 1 << " 16";
    QTest::newRow("mode 0 status 3") << 0 << 3 << "Charge";
    QTest::newRow("mode 0 status 9") << 0 << 9 << "Charge";
    QTest::newRow("mode 4 status 9") << 4 << 9 << "Lead Battery Charge";
    QTest::newRow("mode 1 status 2") << 1 << 2 << "Discharge";
    QTest::newRow("mode 2 status 2") << 2 << 2 << "Charge to Discharge";
    QTest::newRow("mode 2 status 4") << 2 << 4 << "Charge to Discharge";
    QTest::newRow("mode 3 status 6") << 3 << 6 << "Discharge to Charge";
    QTest::newRow("mode 2 status 10") << 2 << 10 << "Charge to Discharge";
    QTest::newRow("mode 3 status 255") << 3 << 255 << "Discharge to Charge";
}

void TestProcessStates::ignoredFrames()
{
    QFETCH(int, mode);
    QFETCH(int, status);
    QFETCH(QString, modeText);
    TestApp app;
    Charger charger(app, mode);
    // A run under way, so that a wrongly acted-on status would show in every field.
    Charger(app, 0).play(QStringLiteral("2 2"));
    forms.text->Text6->setText(QStringLiteral("vorher"));
    forms.mdi->StatusBar1->setText(QStringLiteral("vorher"));
    setLockableStates(kMixed);

    charger.frame(status);
    QCOMPARE(forms.text->Text7->text(), modeText);
    QCOMPARE(forms.text->Text6->text(), QStringLiteral("vorher"));
    QCOMPARE(statusBar(), QStringLiteral("vorher"));
    QCOMPARE(V->MessNr, 3.0f);
    QCOMPARE(logRows(), 2);
    QCOMPARE(lockableStates(), kMixed);
    QCOMPARE(messageField(), QString());
}

void TestProcessStates::transitions_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("before");  // frames and ticks that lead into the state
    QTest::addColumn<int>("status");      // the frame under test
    QTest::addColumn<int>("logged");      // sample number of the new log line, 0 for none
    QTest::addColumn<float>("messNr");
    QTest::addColumn<QString>("lock");  // "locked", "unlocked" or "untouched"
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("beendet");
    QTest::addColumn<int>("gestoppt");

    const QString open = QStringLiteral("2 2");
    const QString ended = QStringLiteral("2 2 8 t");  // StatusAlt 8
    const QString stopped = QStringLiteral("2 2 t 1 t");
    const QString empty;

    QTest::newRow("open, no battery") << 0 << open << 0 << 0 << 1.0f << "locked" << empty << 0 << 0;
    QTest::newRow("open, ready") << 0 << open << 1 << 0 << 3.0f << "locked" << empty << 0 << 0;
    QTest::newRow("open, ready at start-up") << 0 << empty << 1 << 0 << 1.0f << "locked" << empty << 0 << 0;
    QTest::newRow("open, recording") << 0 << open << 2 << 3 << 4.0f << "locked" << empty << 0 << 0;
    QTest::newRow("open, phase 6 to 7") << 2 << "6 6 9" << 7 << 4 << 5.0f << "locked" << empty << 0 << 0;
    QTest::newRow("open, phase 4 to 5") << 3 << "4 4" << 5 << 3 << 4.0f << "locked" << empty << 0 << 0;
    // A restart leaves StatusAlt at 8 until the next tick: the next frame restarts once more.
    QTest::newRow("open, recording, 8 at last tick")
        << 0 << "2 2 8 t 2" << 2 << 1 << 1.0f << "locked" << kGeloescht << 0 << 0;
    QTest::newRow("open, pause") << 2 << "6 6" << 9 << 0 << 4.0f << "untouched" << empty << 0 << 0;
    QTest::newRow("open, end") << 0 << open << 8 << 0 << 3.0f << "unlocked" << kSichern << 1 << 0;

    QTest::newRow("ended, no battery") << 0 << ended << 0 << 0 << 1.0f << "locked" << kSichern << 1 << 0;
    QTest::newRow("ended, ready") << 0 << ended << 1 << 0 << 3.0f << "unlocked" << kSichern << 1 << 0;
    QTest::newRow("ended, end again") << 0 << ended << 8 << 0 << 3.0f << "unlocked" << kSichern << 1 << 0;
    QTest::newRow("ended, recording, 8 at last tick")
        << 0 << ended << 2 << 3 << 1.0f << "locked" << kGeloescht << 0 << 0;
    QTest::newRow("ended, status 6, 8 at last tick")
        << 2 << "6 6 8 t" << 6 << 3 << 1.0f << "locked" << kVerloren << 0 << 0;
    QTest::newRow("ended, status 7, 8 at last tick")
        << 2 << "6 6 8 t" << 7 << 3 << 1.0f << "locked" << kGeloescht << 0 << 0;
    QTest::newRow("ended, recording, 1 at last tick")
        << 0 << "2 2 8 t 1 t" << 2 << 3 << 4.0f << "locked" << kSichern << 1 << 0;
    QTest::newRow("ended, pause") << 2 << "6 6 8 t" << 9 << 0 << 4.0f << "untouched" << kSichern << 1 << 0;
    QTest::newRow("ended, no battery, then recording")
        << 0 << "2 2 8 t 0" << 2 << 1 << 1.0f << "locked" << kGeloescht << 0 << 0;

    QTest::newRow("stopped, no battery") << 0 << stopped << 0 << 0 << 1.0f << "locked" << kStopMessage << 1 << 1;
    QTest::newRow("stopped, ready") << 0 << stopped << 1 << 0 << 3.0f << "untouched" << kStopMessage << 1 << 1;
    QTest::newRow("stopped, end") << 0 << stopped << 8 << 0 << 3.0f << "unlocked" << kSichern << 1 << 1;
    QTest::newRow("stopped, recording") << 0 << stopped << 2 << 3 << 1.0f << "locked" << kGeloescht << 0 << 0;
    QTest::newRow("stopped, status 6") << 2 << "6 6 t 1 t" << 6 << 3 << 1.0f << "locked" << kVerloren << 0 << 0;
    QTest::newRow("stopped, pause") << 2 << "6 6 t 1 t" << 9 << 0 << 4.0f << "untouched" << kStopMessage << 1 << 1;
    QTest::newRow("stopped, no battery, then recording")
        << 0 << "2 2 t 1 t 0" << 2 << 1 << 1.0f << "locked" << kGeloescht << 0 << 0;
}

void TestProcessStates::transitions()
{
    QFETCH(int, mode);
    QFETCH(QString, before);
    QFETCH(int, status);
    QFETCH(int, logged);
    QFETCH(float, messNr);
    QFETCH(QString, lock);
    QFETCH(QString, message);
    QFETCH(int, beendet);
    QFETCH(int, gestoppt);

    TestApp app;
    Charger charger(app, mode);
    charger.play(before);
    const int rowsBefore = logRows();
    setLockableStates(kMixed);

    charger.frame(status);
    QCOMPARE(logRows(), rowsBefore + (logged ? 1 : 0));
    if (logged)
        QCOMPARE(loggedNumber(rowsBefore), logged);
    QCOMPARE(V->MessNr, messNr);
    const QList<bool> expected = lock == QLatin1String("locked") ? kAllLocked
        : lock == QLatin1String("unlocked")                       ? kAllUnlocked
                                                                  : kMixed;
    QCOMPARE(lockableStates(), expected);
    QCOMPARE(messageField(), message);
    QCOMPARE(V->MessungBeendet, beendet);
    QCOMPARE(V->MessungGestoppt, gestoppt);
}

void TestProcessStates::firstSampleAndItsLogLine()
{
    TestApp app;
    QCOMPARE(V->MessNr, 1.0f);
    QCOMPARE(V->MessAnzahl, 0.0f);
    Reading reading;
    reading.mode = 0;
    reading.status = 2;
    reading.outputMv = 12460;
    reading.currentTenthMa = 1500;
    reading.capacityMah = 0;
    app.send(reading);

    ProtokollModel* model = forms.protokoll->model;
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(model->line(0).toLatin1(), QByteArray(" 1\t 12460\t 1500\t 0"));
    QCOMPARE(model->data(model->index(0), Qt::DisplayRole).toString(), model->line(0));
    QCOMPARE(V->MessNr, 2.0f);
    QCOMPARE(V->MessAnzahl, 2.0f);
}

void TestProcessStates::restartClearsPlotAndPages()
{
    TestApp app;
    Charger charger(app, 0);
    charger.play(QStringLiteral("1 2"));
    // A record that has reached sample 4000, the middle of page 6 of 12-minute pages.
    V->MessNr = 4000;
    V->LetzteSeite = 6;
    V->Seite = 6;
    charger.play(QStringLiteral("2 2 2 2 8 t"));
    QVERIFY(curvePixelsFromColumn(3) > 0);
    QCOMPARE(V->MessAnzahl, 4004.0f);

    charger.frame(2);
    QCOMPARE(loggedNumber(logRows() - 1), 4004);
    QCOMPARE(messageField(), kGeloescht);
    QCOMPARE(V->MessNr, 1.0f);
    QCOMPARE(V->Seite, 1.0f);
    QCOMPARE(V->LetzteSeite, 1.0f);
    QCOMPARE(V->MessungBeendet, 0);
    QCOMPARE(V->MessungGestoppt, 0);
    // The old record's end stays until the new record's first sample.
    QCOMPARE(V->MessAnzahl, 4005.0f);
    // Only the first segment, from the bottom left corner to sample 1, is left of the curves.
    QCOMPARE(curvePixelsFromColumn(3), 0);
    QVERIFY(curvePixelsFromColumn(0) > 0);

    charger.play(QStringLiteral("t 2"));
    QCOMPARE(loggedNumber(logRows() - 1), 1);
    QCOMPARE(V->MessAnzahl, 2.0f);
}

void TestProcessStates::pauseSamplesCountedNotLogged()
{
    TestApp app;
    Charger charger(app, 2);
    charger.play(QStringLiteral("1 6 6 9 9 9"));
    QCOMPARE(logRows(), 2);
    QCOMPARE(V->MessNr, 6.0f);
    QCOMPARE(V->MessAnzahl, 3.0f);
    // The pause frames stay in the store as samples 3 to 5.
    QCOMPARE(V->KurveU[3], 7003.0f);
    QCOMPARE(V->KurveU[5], 7005.0f);

    charger.play(QStringLiteral("t 7 t 7"));
    QCOMPARE(logRows(), 4);
    QCOMPARE(loggedNumber(0), 1);
    QCOMPARE(loggedNumber(1), 2);
    QCOMPARE(loggedNumber(2), 6);
    QCOMPARE(loggedNumber(3), 7);
    QCOMPARE(V->MessAnzahl, 8.0f);
    QCOMPARE(messageField(), QString());
}

void TestProcessStates::endInEitherView_data()
{
    QTest::addColumn<QString>("view");
    QTest::addColumn<QList<bool>>("enabled");
    QTest::newRow("paged view") << "Gesamtkurve" << kAllUnlocked;
    QTest::newRow("whole-record view")
        << "Normalansicht" << QList<bool>{true, false, false, false, false, false, false, true, true};
}

void TestProcessStates::endInEitherView()
{
    QFETCH(QString, view);
    QFETCH(QList<bool>, enabled);
    TestApp app;
    Charger charger(app, 0);
    charger.play(QStringLiteral("1 2 2"));
    forms.setgraf->Command1->setText(view);
    charger.frame(8);
    QCOMPARE(lockableStates(), enabled);
    QCOMPARE(messageField(), kSichern);
}

void TestProcessStates::storeFull_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("filling");  // frames from sample 1,999,999 on
    QTest::addColumn<int>("lastLogged");
    QTest::addColumn<int>("recording");  // a recording status of the mode
    QTest::addColumn<QString>("view");
    QTest::addColumn<QList<bool>>("enabled");

    const QList<bool> wholeView{true, false, false, false, false, false, false, true, true};
    QTest::newRow("recorded sample fills the store")
        << 0 << "2 2" << kStoreSize << 2 << "Gesamtkurve" << kAllUnlocked;
    QTest::newRow("pause sample fills the store") << 2 << "6 9" << kStoreSize - 1 << 7 << "Gesamtkurve" << kAllUnlocked;
    QTest::newRow("store fills in the whole-record view")
        << 0 << "2 2" << kStoreSize << 2 << "Normalansicht" << wholeView;
}

void TestProcessStates::storeFull()
{
    QFETCH(int, mode);
    QFETCH(QString, filling);
    QFETCH(int, lastLogged);
    QFETCH(int, recording);
    QFETCH(QString, view);
    QFETCH(QList<bool>, enabled);

    TestApp app;
    Charger charger(app, mode);
    charger.play(QStringLiteral("1 t"));
    V->MessNr = kStoreSize - 1;
    V->LetzteSeite = V->Seite = std::ceil((kStoreSize - 1) / 720.0f);
    forms.setgraf->Command1->setText(view);

    charger.play(filling);
    QCOMPARE(V->MessNr, float(kStoreSize) + 1);
    QCOMPARE(V->MessAnzahl, float(kStoreSize));
    QCOMPARE(loggedNumber(logRows() - 1), lastLogged);
    QCOMPARE(messageField(), kStoreFull);
    QCOMPARE(V->MessungBeendet, 1);
    QCOMPARE(V->MessungGestoppt, 0);
    QCOMPARE(lockableStates(), enabled);
    const float lastSample = V->KurveU[kStoreSize];
    QCOMPARE(lastSample, float(7000 + charger.sent - 1));

    // The charger charges on: nothing more is recorded, the live values keep running, and the
    // controls stay as the end left them so that the record can be saved.
    const int rows = logRows();
    charger.play(QStringLiteral("t") + QStringLiteral(" %1 t").arg(recording).repeated(3));
    QCOMPARE(logRows(), rows);
    QCOMPARE(V->MessNr, float(kStoreSize) + 1);
    QCOMPARE(V->MessAnzahl, float(kStoreSize));
    QCOMPARE(V->KurveU[kStoreSize], lastSample);
    QCOMPARE(forms.text->Text3->text(), QStringLiteral(" 7.005 V"));
    QCOMPARE(lockableStates(), enabled);
    QCOMPARE(messageField(), kStoreFull);
    // A drop to ready is no stop: the record has ended already.
    charger.play(QStringLiteral("1 t"));
    QCOMPARE(V->MessungGestoppt, 0);
    QCOMPARE(messageField(), kStoreFull);

    // The end of the run and a new one: a fresh record from sample 1.
    charger.play(QStringLiteral("8 t %1").arg(recording));
    QCOMPARE(messageField(), kGeloescht);
    QCOMPARE(logRows(), rows);
    QCOMPARE(V->MessNr, 1.0f);
    QCOMPARE(V->MessungBeendet, 0);
    charger.play(QStringLiteral("t %1").arg(recording));
    QCOMPARE(loggedNumber(logRows() - 1), 1);
    QCOMPARE(V->MessNr, 2.0f);
    QCOMPARE(V->MessAnzahl, 2.0f);
    QCOMPARE(lockableStates(), kAllLocked);
}

void TestProcessStates::simulatorRuns_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("lastLogged");
    QTest::addColumn<float>("messNr");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("lock");
    QTest::addColumn<int>("beendet");
    QTest::addColumn<int>("gestoppt");

    // Charge 900 s, pause 30 s, discharge 900 s: one record whose numbers count on through the pause.
    QTest::newRow("charge-discharge") << "charge-discharge" << 1800 << 1830 << 1831.0f << kSichern << "unlocked" << 1 << 0;
    QTest::newRow("discharge-charge") << "discharge-charge" << 1800 << 1830 << 1831.0f << kSichern << "unlocked" << 1 << 0;
    QTest::newRow("nimh-charge") << "nimh-charge" << 2400 << 2400 << 2401.0f << kSichern << "unlocked" << 1 << 0;
    QTest::newRow("lead-charge") << "lead-charge" << 1800 << 1800 << 1801.0f << kSichern << "unlocked" << 1 << 0;
    // 120 s charged, stopped, a new run of 120 s: its first frame closes the old record.
    QTest::newRow("stop") << "stop" << 240 << 119 << 120.0f << kGeloescht << "locked" << 0 << 0;
    QTest::newRow("no-battery") << "no-battery" << 0 << 0 << 1.0f << QString() << "locked" << 0 << 0;
    QTest::newRow("silent") << "silent" << 0 << 0 << 1.0f << kLinkAlarm << "locked" << 0 << 0;
}

void TestProcessStates::simulatorRuns()
{
    QFETCH(QString, scenario);
    QFETCH(int, rows);
    QFETCH(int, lastLogged);
    QFETCH(float, messNr);
    QFETCH(QString, message);
    QFETCH(QString, lock);
    QFETCH(int, beendet);
    QFETCH(int, gestoppt);

    TestApp app;
    for (const std::string& second : ladomat::sim::scenario(scenario.toStdString())) {
        if (!second.empty())
            app.sendRaw(QByteArray::fromStdString(second));
        app.tick();
    }
    QCOMPARE(logRows(), rows);
    if (rows) {
        QCOMPARE(loggedNumber(rows - 1), lastLogged);
        QCOMPARE(loggedNumber(0), 1);
    }
    QCOMPARE(V->MessNr, messNr);
    QCOMPARE(messageField(), message);
    QCOMPARE(lockableStates(), lock == QLatin1String("locked") ? kAllLocked : kAllUnlocked);
    QCOMPARE(V->MessungBeendet, beendet);
    QCOMPARE(V->MessungGestoppt, gestoppt);
}

QTEST_MAIN(TestProcessStates)
#include "test_process_states.moc"
