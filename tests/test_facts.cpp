// The facts kept beside each journal record (NAME.json): what a run writes into them and when, that
// a record opens without them, and the offer to open a record that a crash left unfinished.
#include "TestSupport.h"

#include "export/export.h"
#include "platform/JournalFile.h"
#include "process/Journal.h"
#include "process/RecordFacts.h"
#include "shell/shell.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QtTest>

#include <functional>

namespace {

// Times with an offset other than zero, so that a time written without its offset shows.
const bool berlin = qputenv("TZ", "Europe/Berlin");

// Plays a script on the program: "S" a frame of status S in `mode`, "M:S" or "M:S:C" one of mode M,
// status S, cycle C; "t" a tick of both timers; "@n" the store filled up to slot n; "ende" the menu
// item "Ende"; "close" the main window closed by its frame.
void play(TestApp& app, int mode, const QString& script)
{
    int k = 0;
    for (const QString& step : script.split(' ', Qt::SkipEmptyParts)) {
        const QStringList f = step.split(':');
        const bool withMode = f.size() > 1;
        if (step == "t")
            app.tick();
        else if (step.startsWith('@'))
            app.session().MessNr = app.session().Messreihe.MessAnzahl = step.mid(1).toFloat();
        else if (step == "ende")
            app.mdi->m_ende_Click();
        else if (step == "close")
            app.mdi->close();
        else
            app.send({.mode = withMode ? f[0].toInt() : mode,
                      .cycle = f.value(2).toInt(),
                      .outputMv = 7000 + k++,
                      .status = f[withMode ? 1 : 0].toInt()});
    }
}

// The newest facts file in the folder as JSON; empty when there is none.
QJsonObject newestFacts(const QString& folder)
{
    const QStringList names = QDir(folder).entryList({"*.json"}, QDir::Files, QDir::Name);
    return names.isEmpty() ? QJsonObject()
                           : QJsonDocument::fromJson(contents(QDir(folder).filePath(names.last()))).object();
}

// Waits (at most 10 s, without the event loop) until the journal's writer thread has written facts
// that `done` accepts, and returns the newest facts then.
QJsonObject factsOnceWritten(const QString& folder, const std::function<bool(const QJsonObject&)>& done)
{
    QJsonObject facts = newestFacts(folder);
    for (int waited = 0; !done(facts) && waited < 10000; waited += 10) {
        QThread::msleep(10);
        facts = newestFacts(folder);
    }
    return facts;
}

// The timeline as "sample mode/status/cycle, ...".
QString timelineText(const QJsonObject& facts)
{
    QStringList entries;
    for (const QJsonValue& value : facts.value("timeline").toArray()) {
        const QJsonObject e = value.toObject();
        entries << QString("%1 %2/%3/%4")
                       .arg(e.value("sample").toInt())
                       .arg(e.value("mode").toString())
                       .arg(e.value("status").toInt())
                       .arg(e.value("cycle").toInt());
    }
    return entries.join(", ");
}

// A record written as the journal writes it: its curve file of `samples` lines and, unless
// `facts` is empty, the facts file with the bytes given.
void plantRecord(const QDir& folder, const QString& stem, int samples, const QByteArray& facts)
{
    QByteArray curve;
    for (int n = 1; n <= samples; ++n)
        curve += QByteArray::number(n) + ",7000,1000," + QByteArray::number(n) + "\r\n";
    QVERIFY(folder.mkpath(".") && write(folder.filePath(stem + ".TXT"), curve));
    if (!facts.isEmpty())
        QVERIFY(write(folder.filePath(stem + ".json"), facts));
}

// The facts of a record that started at the local time its name gives.
RecordFacts startedAt(const QString& stem, RecordEnd end)
{
    RecordFacts facts;
    facts.start = QDateTime::fromString(stem.left(19), "yyyy-MM-dd_hh-mm-ss");
    facts.endReason = end;
    return facts;
}

}  // namespace

class TestFacts : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(berlin);
        QCoreApplication::setApplicationVersion("9.87");
    }

    // A run on the whole program: its record's facts name the way it ended and list each change
    // of mode, status or cycle at the slot of the frame that brought it.
    void endAndTimeline_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("endReason");
        QTest::addColumn<QString>("timeline");
        QTest::newRow("the charger's end") << 0 << "1 1 2 2 2 8 8 1"
                                           << "charger-end"
                                           << "1 0/2/0, 4 0/8/0";
        QTest::newRow("stop at the charger") << 0 << "1 t 2 t 2 t 1 t"
                                             << "stopped"
                                             << "1 0/2/0, 3 0/1/0";
        QTest::newRow("no battery") << 4 << "2 2 2 0"
                                    << "no-battery"
                                    << "1 4/2/0, 4 4/0/0";
        QTest::newRow("phases, pauses and cycles") << 2 << "1 6 6 9 9 7 2:7:1 2:6:1 8"
                                                   << "charger-end"
                                                   << "1 2/6/0, 3 2/9/0, 5 2/7/0, 6 2/7/1, 7 2/6/1, 8 2/8/0";
        QTest::newRow("a new run after an end in an unknown mode") << 0 << "2 2 5:8 t 2"
                                                                   << "new-run"
                                                                   << "1 0/2/0, 3 5/8/0, 3 0/2/0";
        QTest::newRow("store full") << 1 << "@1999998 3 3 3"
                                    << "store-full"
                                    << "1999998 1/3/0";
        QTest::newRow("Ende") << 3 << "4 4 ende"
                              << "program-end"
                              << "1 3/4/0";
        QTest::newRow("window closed") << 3 << "1 4 5 close"
                                       << "program-end"
                                       << "1 3/4/0, 2 3/5/0";
    }
    void endAndTimeline()
    {
        QFETCH(int, mode);
        QFETCH(QString, script);
        QTemporaryDir dir;
        TestApp app;
        app.session().startJournal(dir.path());
        play(app, mode, script);
        const QJsonObject facts = newestFacts(dir.path());
        QTEST(facts.value("endReason").toString(), "endReason");
        QTEST(timelineText(facts), "timeline");
        QCOMPARE(QDir(dir.path()).entryList({"*.json"}).size(), 1);
    }

    // The facts are there from the first sample on and follow the run: a program killed during the
    // run leaves them without an end. The notes are those of the battery window at the start, then
    // at the end; times are local with their offset; the curve file is untouched by them.
    void writtenDuringTheRun()
    {
        QTemporaryDir dir;
        TestApp app;
        Formakku& akku = *app.mdi->akku;
        akku.Text1->setText("Eneloop");
        akku.Text2->setText("2000");
        akku.HScroll1->setValue(8);
        app.session().startJournal(dir.path());
        play(app, 0, "1 2 2");
        const auto timeline = [](const QString& expected) {
            return [expected](const QJsonObject& facts) { return timelineText(facts) == expected; };
        };
        QJsonObject facts = factsOnceWritten(dir.path(), timeline("1 0/2/0"));
        const QString curve = app.session().journal->path();
        QCOMPARE(QDir(dir.path()).entryList({"*.json"}),
                 QStringList{QFileInfo(curve).completeBaseName() + ".json"});
        QCOMPARE(facts.value("format").toInt(), 1);
        QCOMPARE(facts.value("program").toString(), "9.87");
        QCOMPARE(facts.value("endReason").toString(), "");
        QCOMPARE(facts.value("end").toString(), "");
        QCOMPARE(facts.value("device").toString(), "COM1");
        QCOMPARE(facts.value("notes").toArray().toVariantList(),
                 QVariantList({"Eneloop", "2000", "8", akku.Text4->text()}));

        akku.Text1->setText("Eneloop Pro");
        play(app, 0, "1");
        facts = factsOnceWritten(dir.path(), timeline("1 0/2/0, 3 0/1/0"));
        QCOMPARE(timelineText(facts), "1 0/2/0, 3 0/1/0");
        QCOMPARE(facts.value("notes").toArray().first().toString(), "Eneloop");

        play(app, 0, "2 8");
        facts = newestFacts(dir.path());
        QCOMPARE(facts.value("endReason").toString(), "charger-end");
        QCOMPARE(facts.value("notes").toArray().first().toString(), "Eneloop Pro");
        const QRegularExpression withOffset("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d$");
        const QString start = facts.value("start").toString(), end = facts.value("end").toString();
        QVERIFY2(withOffset.match(start).hasMatch() && withOffset.match(end).hasMatch(),
                 qPrintable(start + ' ' + end));
        QVERIFY(QDateTime::fromString(start, Qt::ISODate) <= QDateTime::fromString(end, Qt::ISODate));
        QVERIFY(writeCurveFile(dir.filePath("export.TXT"), app.session().Messreihe));
        QCOMPARE(contents(curve), contents(dir.filePath("export.TXT")));
    }

    // Opening a record reads its curve file alone: facts that are missing or damaged stop nothing,
    // and are read as none.
    void badFactsOpenAnyway_data()
    {
        QTest::addColumn<QByteArray>("facts");
        const QByteArray good = factsJson(startedAt("2026-01-02_03-04-05", RecordEnd::none));
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("cut short") << good.left(good.size() / 2);
        QTest::newRow("garbage") << QByteArray("\0\0\x01\xff{[", 6);
        QTest::newRow("not an object") << QByteArray("[1, 2, 3]");
        QTest::newRow("another format") << QByteArray(good).replace("\"format\": 1", "\"format\": 2");
    }
    void badFactsOpenAnyway()
    {
        QFETCH(QByteArray, facts);
        QTemporaryDir dir;
        plantRecord(dir.path(), "2026-01-02_03-04-05", 3, facts);
        const RecordFile file = readRecordFile(dir.filePath("2026-01-02_03-04-05.TXT"));
        QVERIFY(file.record && file.message.isEmpty());
        QCOMPARE(file.record->count(), 3);
        QVERIFY(!parseFacts(facts));
        RecordingDialogs dialogs;
        QCOMPARE(askToOpenUnfinished(dir.path()), QString());
        QVERIFY(dialogs.questions.isEmpty());
    }

    // At start-up the newest record whose facts have no end reason, and that no program writes
    // now, is offered once ("u" unfinished, "f" finished, "o" offered before, "w" being written,
    // "b" bad facts); records k = 1, 2, ... hold k + 1 samples. The offer is made twice: only the
    // first may ask; "Ja" opens the record.
    void crashOffer_data()
    {
        QTest::addColumn<QStringList>("records");
        QTest::addColumn<bool>("reply");
        QTest::addColumn<QString>("question");
        QTest::addColumn<int>("opened");  // samples in the program's record afterwards
        const QString asked =
            "Die letzte Aufzeichnung wurde nicht beendet (%1.TXT, begonnen am %2). Jetzt öffnen?";
        QTest::newRow("unfinished, Ja") << QStringList{"2026-01-02_03-04-05 u"} << true
                                        << asked.arg("2026-01-02_03-04-05", "02.01.2026 um 03:04") << 2;
        QTest::newRow("unfinished, Nein") << QStringList{"2026-01-02_03-04-05 u"} << false
                                          << asked.arg("2026-01-02_03-04-05", "02.01.2026 um 03:04") << 0;
        QTest::newRow("finished") << QStringList{"2026-01-02_03-04-05 f"} << true << "" << 0;
        QTest::newRow("the newest unfinished")
            << QStringList{"2026-03-01_10-00-00 u", "2026-05-01_10-00-00-2 u", "2026-05-01_10-00-00 u",
                           "2026-06-01_10-00-00 f", "2026-07-01_10-00-00 b"}
            << true << asked.arg("2026-05-01_10-00-00-2", "01.05.2026 um 10:00") << 3;
        QTest::newRow("offered before")
            << QStringList{"2026-01-02_03-04-05 u", "2026-02-01_00-00-00 o"} << true << "" << 0;
        QTest::newRow("being written, an older one offered")
            << QStringList{"2026-01-02_03-04-05 u", "2026-02-01_00-00-00 w"} << true
            << asked.arg("2026-01-02_03-04-05", "02.01.2026 um 03:04") << 2;
    }
    void crashOffer()
    {
        QFETCH(QStringList, records);
        QFETCH(bool, reply);
        QTemporaryDir dir;
        JournalFile written;
        for (int k = 1; k <= records.size(); ++k) {
            const QString stem = records[k - 1].section(' ', 0, 0), kind = records[k - 1].section(' ', 1);
            RecordFacts facts = startedAt(stem, kind == "f" ? RecordEnd::chargerEnd : RecordEnd::none);
            facts.offered = kind == "o";
            // Two records of the same second: the later one (-2) started later.
            facts.start = facts.start.addMSecs(stem.endsWith("-2"));
            if (kind == "w")
                QVERIFY(written.create(dir.path(), stem));
            plantRecord(dir.path(), stem, k + 1, kind == "b" ? "{\"format\": 1, " : factsJson(facts));
        }
        TestApp app;
        app.dialogs.replies = {reply, reply};
        app.mdi->offerUnfinishedRecord(dir.path());
        app.mdi->offerUnfinishedRecord(dir.path());
        QStringList questions;
        for (const auto& [text, title] : app.dialogs.questions)
            questions << text + (title == "Ladomat Link" ? "" : " / " + title);
        QTEST(questions.join('|'), "question");
        QTEST(int(app.session().Messreihe.MessAnzahl), "opened");
    }
};

QTEST_MAIN(TestFacts)
#include "test_facts.moc"
