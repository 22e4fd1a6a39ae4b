// The summary of a record: hand-made records against figures worked out by hand, its JSON form,
// and the program's --summary on saved curve files.
#include "TestSupport.h"

#include "export/export.h"
#include "records/Summary.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// A stretch of equal seconds: the voltage and current stay, the capacity counter climbs evenly
// from `fromMah` to `toMah`, each second's count rounded up.
struct Stretch {
    int seconds;
    float mv;
    float tenthMa;
    int fromMah;
    int toMah;
};

std::shared_ptr<Record> recordOf(const QList<Stretch>& stretches)
{
    auto record = std::make_shared<Record>();
    int n = 0;
    for (const Stretch& s : stretches)
        for (int k = 1; k <= s.seconds; ++k) {
            ++n;
            record->KurveU[n] = s.mv;
            record->KurveI[n] = s.tenthMa;
            record->KurveQ[n] = float(s.fromMah + ((s.toMah - s.fromMah) * k + s.seconds - 1) / s.seconds);
        }
    record->MessAnzahl = float(n);
    return record;
}

const QDateTime kStart(QDate(2026, 3, 14), QTime(10, 0), Qt::OffsetFromUTC, 3600);

RecordFacts factsOf(int seconds, RecordEnd end, const QString& nominal, const QList<QPair<int, int>>& changes,
                    const QString& mode)
{
    RecordFacts facts;
    facts.program = u"2.01"_s;
    facts.start = kStart;
    facts.end = kStart.addSecs(seconds);
    facts.endReason = end;
    facts.notes = {u"Zellen A"_s, nominal, u"6"_s, u"7,2"_s};
    for (const auto& [sample, status] : changes)
        facts.timeline.push_back({sample, kStart.addSecs(sample), mode, status, 1});
    return facts;
}

}  // namespace

class TestSummary : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void lines_data();
    void lines();
    void keptAsJson_data() { lines_data(); }
    void keptAsJson();
    void foreignJson_data();
    void foreignJson();
    void commandLine_data();
    void commandLine();
};

void TestSummary::lines_data()
{
    QTest::addColumn<std::shared_ptr<Record>>("record");
    QTest::addColumn<RecordFacts>("facts");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("empty record, no facts")
        << recordOf({}) << RecordFacts{} << QStringList{u"Dauer: 0:00:00"_s, u"Messwerte: 0"_s};

    // 360 s at 10 V and 5 A: 50 W for 0.1 h, 5 Wh; 360 s at 12 V: 6 Wh; the end frame holds 11 V.
    // Mean current 720 · 5000 mA / 721 = 4993 mA.
    const QList<Stretch> charge{
        {360, 10000, 50000, 0, 500}, {360, 12000, 50000, 500, 1000}, {1, 11000, 0, 1000, 1000}};
    QTest::newRow("charge, no facts")
        << recordOf(charge) << RecordFacts{}
        << QStringList{u"Dauer: 0:12:01"_s,          u"Messwerte: 721"_s,
                       u"Kapazität: 1000 mAh"_s,     u"Energie: 11,00 Wh"_s,
                       u"Mittlerer Strom: 4,99 A"_s, u"Höchster Strom: 5,00 A"_s,
                       u"Erste Spannung: 10,00 V"_s, u"Höchste Spannung: 12,00 V"_s,
                       u"Letzte Spannung: 11,00 V"_s};

    QTest::newRow("charge with facts: half the nominal capacity, 30 s of silence in the time")
        << recordOf(charge) << factsOf(751, RecordEnd::chargerEnd, u"2000"_s, {{1, 2}, {721, 8}}, u"0"_s)
        << QStringList{u"Dauer: 0:12:31"_s,
                       u"Messwerte: 721"_s,
                       u"Geladen: 1000 mAh"_s,
                       u"Entladen: 0 mAh"_s,
                       u"Energie geladen: 11,00 Wh"_s,
                       u"Energie entladen: 0,00 Wh"_s,
                       u"Mittlerer Strom: 4,99 A"_s,
                       u"Höchster Strom: 5,00 A"_s,
                       u"Erste Spannung: 10,00 V"_s,
                       u"Höchste Spannung: 12,00 V"_s,
                       u"Letzte Spannung: 11,00 V"_s,
                       u"Anteil der Nennkapazität: 50 %"_s,
                       u"Ende: Ladegerät fertig"_s};

    // Charge 360 s at 10 V, 5 A (500 mAh, 5 Wh); pause 60 s, the counter stays; discharge 360 s at
    // 8 V, 2.5 A, the counter from zero again (250 mAh, 2 Wh); the end frame. Mean current
    // (360 · 5000 + 360 · 2500) mA / 781 = 3457 mA; the battery gave 250 of its 500 mAh.
    QTest::newRow("charge, pause, discharge: the counter starts again")
        << recordOf({{360, 10000, 50000, 0, 500},
                     {60, 9000, 0, 500, 500},
                     {360, 8000, 25000, 0, 250},
                     {1, 7500, 0, 250, 250}})
        << factsOf(781, RecordEnd::chargerEnd, u"500"_s, {{1, 6}, {361, 9}, {421, 7}, {781, 8}}, u"2"_s)
        << QStringList{u"Dauer: 0:13:01"_s,           u"Messwerte: 781"_s,
                       u"Geladen: 500 mAh"_s,         u"Entladen: 250 mAh"_s,
                       u"Energie geladen: 5,00 Wh"_s, u"Energie entladen: 2,00 Wh"_s,
                       u"Mittlerer Strom: 3,46 A"_s,  u"Höchster Strom: 5,00 A"_s,
                       u"Erste Spannung: 10,00 V"_s,  u"Höchste Spannung: 10,00 V"_s,
                       u"Letzte Spannung: 7,50 V"_s,  u"Anteil der Nennkapazität: 50 %"_s,
                       u"Ende: Ladegerät fertig"_s,   u"Ladephase: 0:06:00, 500 mAh, 5,00 Wh, Ø 5,00 A"_s,
                       u"Pause: 0:01:00"_s,           u"Entladephase: 0:06:00, 250 mAh, 2,00 Wh, Ø 2,50 A"_s};

    // Discharge 720 s at 6 V, 1 A (200 mAh, 1.2 Wh); charge 1440 s at 7.5 V, 1.25 A with the
    // counter going on from 200 to 700 (500 mAh, 3.75 Wh); stopped at the charger, without an end
    // frame. Mean current (720 · 1000 + 1440 · 1250) mA / 2160 = 1167 mA; a nominal capacity that
    // is no number gives no share.
    QTest::newRow("discharge, charge: the counter goes on")
        << recordOf({{720, 6000, 10000, 0, 200}, {1440, 7500, 12500, 200, 700}})
        << factsOf(2160, RecordEnd::stopped, u"?"_s, {{1, 4}, {721, 5}}, u"3"_s)
        << QStringList{u"Dauer: 0:36:00"_s,
                       u"Messwerte: 2160"_s,
                       u"Geladen: 500 mAh"_s,
                       u"Entladen: 200 mAh"_s,
                       u"Energie geladen: 3,75 Wh"_s,
                       u"Energie entladen: 1,20 Wh"_s,
                       u"Mittlerer Strom: 1,17 A"_s,
                       u"Höchster Strom: 1,25 A"_s,
                       u"Erste Spannung: 6,00 V"_s,
                       u"Höchste Spannung: 7,50 V"_s,
                       u"Letzte Spannung: 7,50 V"_s,
                       u"Ende: am Ladegerät gestoppt"_s,
                       u"Ladephase: 0:24:00, 500 mAh, 3,75 Wh, Ø 1,25 A"_s,
                       u"Entladephase: 0:12:00, 200 mAh, 1,20 Wh, Ø 1,00 A"_s};

    // The program died: no end time, so the samples give the time; the first change comes late and
    // the seconds before it count in its phase; a comma nominal capacity.
    QTest::newRow("discharge cut short, the timeline starting late")
        << recordOf({{90, 1200, 5000, 0, 12}, {30, 1100, 5000, 12, 16}}) <<
        [] {
            RecordFacts facts = factsOf(0, RecordEnd::none, u"20,0"_s, {{10, 3}}, u"1"_s);
            facts.end = {};
            return facts;
        }()
        << QStringList{u"Dauer: 0:02:00"_s,           u"Messwerte: 120"_s,
                       u"Geladen: 0 mAh"_s,           u"Entladen: 16 mAh"_s,
                       u"Energie geladen: 0,00 Wh"_s, u"Energie entladen: 0,02 Wh"_s,
                       u"Mittlerer Strom: 0,50 A"_s,  u"Höchster Strom: 0,50 A"_s,
                       u"Erste Spannung: 1,20 V"_s,   u"Höchste Spannung: 1,20 V"_s,
                       u"Letzte Spannung: 1,10 V"_s,  u"Anteil der Nennkapazität: 80 %"_s,
                       u"Ende: nicht beendet"_s};
}

void TestSummary::lines()
{
    QFETCH(std::shared_ptr<Record>, record);
    QFETCH(RecordFacts, facts);
    QFETCH(QStringList, expected);
    QCOMPARE(summaryLines(summarize(*record, facts)), expected);
}

void TestSummary::keptAsJson()
{
    QFETCH(std::shared_ptr<Record>, record);
    QFETCH(RecordFacts, facts);
    const Summary summary = summarize(*record, facts);
    RecordFacts kept = facts;
    kept.summary = summaryJson(summary);
    const std::optional<RecordFacts> read = parseFacts(factsJson(kept));
    QVERIFY(read);
    const std::optional<Summary> back = summaryFromJson(read->summary);
    QVERIFY(back);
    QCOMPARE(summaryLines(*back), summaryLines(summary));
    QVERIFY(*back == summary);
}

void TestSummary::foreignJson_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::newRow("empty") << "{}"_ba;
    QTest::newRow("another version") << R"({"version": 2, "whole": {"samples": 3}})"_ba;
    QTest::newRow("no figures") << R"({"version": 1})"_ba;
    QTest::newRow("an end this program does not know") << R"({"version": 1, "whole": {}, "end": 17})"_ba;
}

void TestSummary::foreignJson()
{
    QFETCH(QByteArray, json);
    QVERIFY(!summaryFromJson(QJsonDocument::fromJson(json).object()));
}

void TestSummary::commandLine_data()
{
    QTest::addColumn<QByteArray>("curve");  // null: no file
    QTest::addColumn<QByteArray>("facts");  // null: no facts file
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::addColumn<int>("exitCode");

    // 2 s at 36 V and 5 A, 180 W each, 0.1 Wh; the end frame at 36.5 V without current. The
    // counter climbs to 4 mAh; the mean current is 10 A / 3.
    const QByteArray curve = "1,36000,50000,1\r\n2,36000,50000,3\r\n3,36500,0,4\r\n";
    const QString figures = u"Mittlerer Strom: 3,33 A\nHöchster Strom: 5,00 A\nErste Spannung: 36,00 V\n"
                            "Höchste Spannung: 36,50 V\nLetzte Spannung: 36,50 V\n"_s;
    QTest::newRow("without facts")
        << curve << QByteArray() << u"Kurve01.TXT"_s
        << u"Dauer: 0:00:03\nMesswerte: 3\nKapazität: 4 mAh\nEnergie: 0,10 Wh\n"_s + figures << QString()
        << 0;
    RecordFacts facts;
    facts.program = u"2.01"_s;
    facts.endReason = RecordEnd::stopped;
    facts.notes = {u"Zellen A"_s, u"8"_s, u"30"_s, u"36"_s};
    facts.timeline = {{1, {}, u"1"_s, 3, 1}};
    QTest::newRow("with facts") << curve << factsJson(facts) << u"Entladung 1.TXT"_s
                                << u"Dauer: 0:00:03\nMesswerte: 3\nGeladen: 0 mAh\nEntladen: 4 mAh\n"
                                   "Energie geladen: 0,00 Wh\nEnergie entladen: 0,10 Wh\n"_s +
            figures + u"Anteil der Nennkapazität: 50 %\nEnde: am Ladegerät gestoppt\n"_s
                                << QString() << 0;
    QTest::newRow("damaged tail")
        << "1,36000,50000,1\r\n2,36000,50000,3\r\n3,36"_ba << QByteArray() << u"Kurve01.TXT"_s
        << u"Dauer: 0:00:02\nMesswerte: 2\nKapazität: 3 mAh\nEnergie: 0,10 Wh\n"
           "Mittlerer Strom: 5,00 A\nHöchster Strom: 5,00 A\nErste Spannung: 36,00 V\n"
           "Höchste Spannung: 36,00 V\nLetzte Spannung: 36,00 V\n"_s
        << u"Die Datei %1 ist ab Zeile 3 beschädigt: 1 Zeile verworfen, die 2 Zeilen "
           "davor sind geöffnet !\n"_s
        << 1;
    QTest::newRow("missing") << QByteArray() << QByteArray() << u"Kurve01.TXT"_s << QString()
                             << u"Die Datei %1 kann nicht geöffnet werden: sie existiert nicht !\n"_s << 1;
    QTest::newRow("foreign") << "Sehr geehrte Damen und Herren,\n"_ba << QByteArray() << u"Brief.txt"_s
                             << QString()
                             << u"Die Datei %1 ist keine Kurvendatei: Zeile 1 ist fehlerhaft !\n"_s << 1;
    QTest::newRow("empty") << QByteArray("") << QByteArray() << u"Kurve01.TXT"_s
                           << u"Dauer: 0:00:00\nMesswerte: 0\n"_s << QString() << 0;
}

// The real program, run as a user would, in a German session.
void TestSummary::commandLine()
{
    QFETCH(QByteArray, curve);
    QFETCH(QByteArray, facts);
    QFETCH(QString, name);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(int, exitCode);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (!curve.isNull())
        QVERIFY(write(path, curve));
    if (!facts.isNull())
        QVERIFY(write(factsPath(path), facts));

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"LANG"_s, u"de_DE.UTF-8"_s);
    environment.remove(u"LC_ALL"_s);
    environment.remove(u"LC_NUMERIC"_s);
    // No display at all: the summary needs none.
    environment.remove(u"QT_QPA_PLATFORM"_s);
    environment.remove(u"DISPLAY"_s);
    environment.remove(u"WAYLAND_DISPLAY"_s);
    program.setProcessEnvironment(environment);
    program.start(qEnvironmentVariable("LADOMAT_LINK"), {u"--summary"_s, path});
    QVERIFY(program.waitForFinished(60000));
    const QString header = u"Datei: "_s + path + u"\n"_s;
    QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()), out.isEmpty() ? out : header + out);
    QCOMPARE(QString::fromUtf8(program.readAllStandardError()), err.isEmpty() ? err : err.arg(path));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), exitCode);
}

QTEST_GUILESS_MAIN(TestSummary)
#include "test_summary.moc"
