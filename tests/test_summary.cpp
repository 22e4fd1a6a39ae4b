// The summary of a record: hand-made records against figures worked out by hand, its JSON form,
// and the program's --summary on saved curve files.
#include "TestSupport.h"

#include "records/Summary.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// Stretches of {seconds, V, A, fromMah, toMah}: the voltage and current stay, the capacity counter
// climbs evenly from fromMah to toMah, each second's count rounded up.
std::shared_ptr<Record> recordOf(const QList<std::array<double, 5>>& stretches)
{
    auto record = std::make_shared<Record>();
    int n = 0;
    for (const auto& [seconds, volt, ampere, from, to] : stretches)
        for (int k = 1; k <= seconds; ++k) {
            record->KurveU[++n] = float(volt * 1000);
            record->KurveI[n] = float(ampere * 10000);
            record->KurveQ[n] = float(from + std::ceil((to - from) * k / seconds));
        }
    record->MessAnzahl = float(n);
    return record;
}

// Facts that end `seconds` after the start (no end when negative), with the battery's nominal
// capacity and the timeline's changes {sample, status}.
RecordFacts factsOf(int seconds, RecordEnd end, const QString& nominal, const QList<QPair<int, int>>& changes)
{
    const QDateTime start(QDate(2026, 3, 14), QTime(10, 0), Qt::OffsetFromUTC, 3600);
    RecordFacts facts;
    facts.program = u"2.01"_s;
    facts.start = start;
    facts.end = seconds < 0 ? QDateTime() : start.addSecs(seconds);
    facts.endReason = end;
    facts.notes[1] = nominal;
    for (const auto& [sample, status] : changes)
        facts.timeline.push_back({sample, {}, u"0"_s, status, 0});
    return facts;
}

}  // namespace

class TestSummary : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    // The lines of a summary, which also reads back as it was from the facts that keep it.
    void lines_data()
    {
        QTest::addColumn<std::shared_ptr<Record>>("record");
        QTest::addColumn<RecordFacts>("facts");
        QTest::addColumn<QString>("expected");  // the lines joined by '|'
        // 360 s at 10 V, 5 A (5 Wh), 360 s at 12 V (6 Wh), an end frame at 11 V; mean 720 · 5 A / 721.
        QTest::newRow("charge, no facts")
            << recordOf({{360, 10, 5, 0, 500}, {360, 12, 5, 500, 1000}, {1, 11, 0, 1000, 1000}})
            << RecordFacts{}
            << u"Dauer: 0:12:01|Messwerte: 721|Kapazität: 1000 mAh|Energie: 11,00 Wh|Mittlerer Strom: 4,99 A|"
               "Höchster Strom: 5,00 A|Erste Spannung: 10,00 V|Höchste Spannung: 12,00 V|Letzte Spannung: 11,00 V"_s;
        // Charge 360 s at 10 V, 5 A (500 mAh, 5 Wh), pause 60 s, discharge 360 s at 8 V, 2.5 A (250 mAh,
        // 2 Wh), an end frame; mean (360 · 5 + 360 · 2.5) A / 781; the battery gave 250 of 500 mAh; 30 s of
        // silence in the time.
        QTest::newRow("charge, pause, discharge: the counter starts again")
            << recordOf(
                   {{360, 10, 5, 0, 500}, {60, 9, 0, 500, 500}, {360, 8, 2.5, 0, 250}, {1, 7.5, 0, 250, 250}})
            << factsOf(811, RecordEnd::chargerEnd, u"500"_s, {{1, 2}, {181, 6}, {361, 9}, {421, 7}, {781, 8}})
            << u"Dauer: 0:13:31|Messwerte: 781|Geladen: 500 mAh|Entladen: 250 mAh|Energie geladen: 5,00 Wh|"
               "Energie entladen: 2,00 Wh|Mittlerer Strom: 3,46 A|Höchster Strom: 5,00 A|"
               "Erste Spannung: 10,00 V|Höchste Spannung: 10,00 V|Letzte Spannung: 7,50 V|"
               "Anteil der Nennkapazität: 50 %|Ende: Ladegerät fertig|"
               "Ladephase: 0:06:00, 500 mAh, 5,00 Wh, Ø 5,00 A|Pause: 0:01:00|"
               "Entladephase: 0:06:00, 250 mAh, 2,00 Wh, Ø 2,50 A"_s;
        // Discharge 720 s at 6 V, 1 A (200 mAh, 1.2 Wh), its first 10 s before the timeline's first
        // change, then charge 1440 s at 7.5 V, 1.25 A, the counter going on (500 mAh, 3.75 Wh); mean
        // (720 · 1 + 1440 · 1.25) A / 2160. No end time: the samples give the time.
        QTest::newRow("discharge, charge: the counter goes on")
            << recordOf({{720, 6, 1, 0, 200}, {1440, 7.5, 1.25, 200, 700}})
            << factsOf(-1, RecordEnd::none, u"1000,0"_s, {{11, 4}, {300, 3}, {721, 5}})
            << u"Dauer: 0:36:00|Messwerte: 2160|Geladen: 500 mAh|Entladen: 200 mAh|Energie geladen: 3,75 Wh|"
               "Energie entladen: 1,20 Wh|Mittlerer Strom: 1,17 A|Höchster Strom: 1,25 A|"
               "Erste Spannung: 6,00 V|Höchste Spannung: 7,50 V|Letzte Spannung: 7,50 V|"
               "Anteil der Nennkapazität: 20 %|Ende: nicht beendet|"
               "Ladephase: 0:24:00, 500 mAh, 3,75 Wh, Ø 1,25 A|Entladephase: 0:12:00, 200 mAh, 1,20 Wh, Ø 1,00 A"_s;
    }
    void lines()
    {
        QFETCH(std::shared_ptr<Record>, record);
        QFETCH(RecordFacts, facts);
        const Summary summary = summarize(*record, facts);
        QTEST(summaryLines(summary).join(u'|'), "expected");
        facts.summary = summaryJson(summary);
        const std::optional<RecordFacts> read = parseFacts(factsJson(facts));
        QVERIFY(read);
        QCOMPARE(summaryFromJson(read->summary), summary);
    }

    // Summaries that another version wrote, or with an end this program does not know, are not read.
    void foreignJson_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("another version") << R"({"version": 2, "whole": {"samples": 3}})"_ba;
        QTest::newRow("no figures") << R"({"version": 1})"_ba;
        QTest::newRow("unknown end") << R"({"version": 1, "whole": {}, "end": 17})"_ba;
    }
    void foreignJson()
    {
        QFETCH(QByteArray, json);
        QVERIFY(!summaryFromJson(QJsonDocument::fromJson(json).object()));
    }

    // The real program, run as a user would in a German session without a display.
    void commandLine_data()
    {
        QTest::addColumn<QByteArray>("curve");  // null: no file
        QTest::addColumn<QByteArray>("facts");  // null: no file
        QTest::addColumn<QString>("out");  // the lines after the file's, joined by '|'
        QTest::addColumn<QString>("err");  // %1: the file
        // 2 s at 36 V, 5 A (0.1 Wh), the end frame at 36.5 V, all charge; mean 10 A / 3; a damaged tail.
        QTest::newRow("damaged, with facts")
            << "1,36000,50000,1\r\n2,36000,50000,3\r\n3,36500,0,4\r\n4,36"_ba
            << R"({"format": 1, "program": "2.01", "endReason": "stopped", "notes": ["", "8"],
                  "timeline": [{"sample": 1, "status": 2}]})"_ba
            << u"Dauer: 0:00:03|Messwerte: 3|Geladen: 4 mAh|Entladen: 0 mAh|Energie geladen: 0,10 Wh|"
               "Energie entladen: 0,00 Wh|Mittlerer Strom: 3,33 A|Höchster Strom: 5,00 A|"
               "Erste Spannung: 36,00 V|Höchste Spannung: 36,50 V|Letzte Spannung: 36,50 V|"
               "Anteil der Nennkapazität: 50 %|Ende: am Ladegerät gestoppt"_s
            << u"Die Datei %1 ist ab Zeile 4 beschädigt: 1 Zeile verworfen, die 3 Zeilen davor sind geöffnet !"_s;
        QTest::newRow("missing") << QByteArray() << QByteArray() << QString()
                                 << u"Die Datei %1 kann nicht geöffnet werden: sie existiert nicht !"_s;
        QTest::newRow("empty, no facts")
            << ""_ba << QByteArray() << u"Dauer: 0:00:00|Messwerte: 0"_s << QString();
    }
    void commandLine()
    {
        QFETCH(QByteArray, curve);
        QFETCH(QByteArray, facts);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Entladung 1.TXT"_s);
        QVERIFY(curve.isNull() || write(path, curve));
        QVERIFY(facts.isNull() || write(dir.filePath(u"Entladung 1.json"_s), facts));
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"LANG"_s, u"de_DE.UTF-8"_s);
        for (const char* name : {"LC_ALL", "LC_NUMERIC", "QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(name);
        program.setProcessEnvironment(environment);
        program.start(qEnvironmentVariable("LADOMAT_LINK"), {u"--summary"_s, path});
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()),
                 out.isEmpty() ? out : u"Datei: "_s + path + u'\n' + out.replace(u'|', u'\n') + u'\n');
        QCOMPARE(QString::fromUtf8(program.readAllStandardError()),
                 err.isEmpty() ? err : err.arg(path) + u'\n');
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), int(!err.isEmpty()));
    }
};

QTEST_GUILESS_MAIN(TestSummary)
#include "test_summary.moc"
