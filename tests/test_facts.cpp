// The facts kept beside each journal record (NAME.json): what a run writes into them and when, and
// the offer to open a record that a crash left unfinished.
#include "TestSupport.h"

#include "platform/JournalFile.h"
#include "process/Journal.h"
#include "records/RecordWindow.h"
#include "shell/shell.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QtTest>

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

// The newest facts in the folder once the journal's writer thread has written the timeline given, if
// one is (waiting at most 10 s, without the event loop): compact JSON, the timeline as its text, and
// "offset" for a time that is local with its offset.
QByteArray newestFacts(const QString& folder, const QString& timeline = {})
{
    QJsonObject facts;
    for (int waited = 0; waited < 10000; waited += 10) {
        const QStringList names = QDir(folder).entryList({"*.json"}, QDir::Files, QDir::Name);
        facts =
            QJsonDocument::fromJson(contents(QDir(folder).filePath(names.value(names.size() - 1)))).object();
        if (timeline.isNull() || timelineText(facts) == timeline)
            break;
        QThread::msleep(10);
    }
    static const QRegularExpression withOffset(
        "^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d$");
    for (const char* key : {"start", "end"})
        if (withOffset.match(facts.value(key).toString()).hasMatch())
            facts[key] = "offset";
    facts["timeline"] = timelineText(facts);
    return QJsonDocument(facts).toJson(QJsonDocument::Compact);
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

    // A run on the whole program: its record's facts name the way it ended and list each change of
    // mode, status or cycle at the slot of the frame that brought it (the charger's end: below).
    void endAndTimeline_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("facts");  // "endReason: timeline"
        QTest::newRow("stop at the charger") << "1 t 2 t 2 t 1 t" << 0 << "stopped: 1 0/2/0, 3 0/1/0";
        QTest::newRow("no battery") << "2 2 2 0" << 4 << "no-battery: 1 4/2/0, 4 4/0/0";
        QTest::newRow("phases, pauses and cycles")
            << "1 6 6 9 9 7 2:7:1 2:6:1 8" << 2
            << "charger-end: 1 2/6/0, 3 2/9/0, 5 2/7/0, 6 2/7/1, 7 2/6/1, 8 2/8/0";
        QTest::newRow("a new run after an end in an unknown mode")
            << "2 2 5:8 t 2" << 0 << "new-run: 1 0/2/0, 3 5/8/0, 3 0/2/0";
        QTest::newRow("store full") << "@1999998 3 3 3" << 1 << "store-full: 1999998 1/3/0";
        QTest::newRow("Ende") << "4 4 ende" << 3 << "program-end: 1 3/4/0";
        QTest::newRow("window closed") << "1 4 5 close" << 3 << "program-end: 1 3/4/0, 2 3/5/0";
    }
    void endAndTimeline()
    {
        QFETCH(QString, script);
        QFETCH(int, mode);
        QTemporaryDir dir;
        TestApp app;
        app.session().startJournal(dir.path());
        play(app, mode, script);
        const QJsonObject facts = QJsonDocument::fromJson(newestFacts(dir.path())).object();
        QTEST(facts.value("endReason").toString() + ": " + facts.value("timeline").toString(), "facts");
        QCOMPARE(QDir(dir.path()).entryList({"*.json"}).size(), 1);
    }

    // The facts are there beside the record from its first sample on, without an end, and follow the
    // run (a frame of the ready status takes no slot); the notes are those of the battery window at
    // the start, then at the end.
    void writtenDuringTheRun()
    {
        QTemporaryDir dir;
        TestApp app;
        Formakku& akku = *app.mdi->akku;
        akku.Text1->setText("Eneloop");
        akku.Text2->setText("2000");
        akku.HScroll1->setValue(5);
        app.session().startJournal(dir.path());
        play(app, 0, "1 2 2");
        QCOMPARE(newestFacts(dir.path(), "1 0/2/0"),
                 R"({"device":"COM1","end":"","endReason":"","format":1,"notes":["Eneloop","2000","5","6"],)"
                 R"("program":"9.87","start":"offset","timeline":"1 0/2/0"})");
        QCOMPARE(QDir(dir.path()).entryList({"*.json"}),
                 QStringList{QFileInfo(app.session().journal->path()).completeBaseName() + ".json"});
        akku.Text1->setText("Eneloop Pro");
        play(app, 0, "1");
        QCOMPARE(newestFacts(dir.path(), "1 0/2/0, 3 0/1/0"),
                 R"({"device":"COM1","end":"","endReason":"","format":1,"notes":["Eneloop","2000","5","6"],)"
                 R"("program":"9.87","start":"offset","timeline":"1 0/2/0, 3 0/1/0"})");
        play(app, 0, "2 8");
        QCOMPARE(newestFacts(dir.path()),
                 R"({"device":"COM1","end":"offset","endReason":"charger-end","format":1,)"
                 R"("notes":["Eneloop Pro","2000","5","6"],"program":"9.87","start":"offset",)"
                 R"("timeline":"1 0/2/0, 3 0/1/0, 3 0/2/0, 4 0/8/0"})");
    }

    // At start-up the newest record whose facts have no end reason, and that no program writes now,
    // is offered once ("u" unfinished, "f" finished, "o" offered before, "w" being written, "b" facts
    // of another format); records k = 1, 2, ... hold k + 1 samples. The offer is made twice: only the
    // first may ask; "Ja" opens the record.
    void crashOffer_data()
    {
        QTest::addColumn<QStringList>("records");
        QTest::addColumn<bool>("reply");
        QTest::addColumn<QString>("offered");  // the record asked about
        QTest::addColumn<int>("opened");  // samples in the record window it opened
        QTest::newRow("the newest unfinished")
            << QStringList{"2026-03-01_10-00-00 u", "2026-05-01_10-00-00-2 u", "2026-05-01_10-00-00 u",
                           "2026-06-01_10-00-00 f", "2026-07-01_10-00-00 b"}
            << true << "2026-05-01_10-00-00-2" << 3;
        QTest::newRow("offered before")
            << QStringList{"2026-01-02_03-04-05 u", "2026-02-01_00-00-00 o"} << true << "" << 0;
        QTest::newRow("being written, an older one offered, Nein")
            << QStringList{"2026-01-02_03-04-05 u", "2026-02-01_00-00-00 w"} << false << "2026-01-02_03-04-05"
            << 0;
    }
    void crashOffer()
    {
        QFETCH(QStringList, records);
        QFETCH(bool, reply);
        QFETCH(QString, offered);
        QTemporaryDir dir;
        JournalFile written;
        QByteArray curve = "1,7000,1000,1\r\n";
        for (int k = 1; k <= records.size(); ++k) {
            const QString stem = records[k - 1].section(' ', 0, 0), kind = records[k - 1].section(' ', 1);
            RecordFacts facts;
            // Two records of the same second: the later one (-2) started later.
            facts.start =
                QDateTime::fromString(stem.left(19), "yyyy-MM-dd_hh-mm-ss").addMSecs(stem.endsWith("-2"));
            facts.endReason = kind == "f" ? RecordEnd::chargerEnd : RecordEnd::none;
            facts.offered = kind == "o";
            facts.format = kind == "b" ? 2 : 1;
            if (kind == "w")
                QVERIFY(written.create(dir.path(), stem));
            curve += QByteArray::number(k + 1) + ",7000,1000," + QByteArray::number(k + 1) + "\r\n";
            QVERIFY(write(dir.filePath(stem + ".TXT"), curve) &&
                    write(dir.filePath(stem + ".json"), factsJson(facts)));
        }
        TestApp app;
        app.dialogs.replies = {reply, reply};
        app.mdi->offerUnfinishedRecord(dir.path());
        app.mdi->offerUnfinishedRecord(dir.path());
        const QDateTime start = QDateTime::fromString(offered.left(19), "yyyy-MM-dd_hh-mm-ss");
        const QString question = "Die letzte Aufzeichnung wurde nicht beendet (" + offered +
            ".TXT, begonnen am " + start.toString("dd.MM.yyyy 'um' hh:mm") + "). Jetzt öffnen?";
        using Texts = QList<QPair<QString, QString>>;
        QCOMPARE(app.dialogs.questions, offered.isEmpty() ? Texts() : Texts({{question, "Ladomat Link"}}));
        const QList<RecordWindow*> windows = app.mdi->findChildren<RecordWindow*>();
        QTEST(windows.isEmpty() ? 0 : int(windows.first()->grafik->record().MessAnzahl), "opened");
    }
};

QTEST_MAIN(TestFacts)
#include "test_facts.moc"
