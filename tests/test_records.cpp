// Records kept on disk: the recording journal and the facts beside each record, the offer after a
// crash, opening saved records, the record window, the record book and the summaries.
#include "TestSupport.h"

#include "export/export.h"
#include "platform/CurveFileReader.h"
#include "platform/JournalFile.h"
#include "platform/MessageField.h"
#include "platform/PlotSurface.h"
#include "process/Journal.h"
#include "process/RecordFacts.h"
#include "records/RecordBook.h"
#include "records/RecordFile.h"
#include "records/RecordWindow.h"
#include "records/SavedRecord.h"
#include "records/Summary.h"
#include "shell/MDIForm1.h"
#include "shell/shell.h"

#include <QtWidgets>
#include <QtTest>

#include <cmath>
#include <csignal>
#include <functional>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Qt reads the session's language once, when the application starts: a German session of version
// 9.87, in a time zone whose offset shows where a time is written without it.
const bool germanSession = [] {
    qunsetenv("LC_ALL");
    qunsetenv("LC_MESSAGES");
    QCoreApplication::setApplicationVersion("9.87");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    return qputenv("LANG", "de_DE.UTF-8") && qputenv("TZ", "Europe/Berlin");
}();

QByteArray exported(const QTemporaryDir& dir, const Record& record)
{
    return writeCurveFile(dir.filePath("export.TXT"), record) ? contents(dir.filePath("export.TXT"))
                                                              : "(export failed)";
}

// Plays a script: "S" or "M:S:C" a frame (mode M, status S, cycle C; 0 if not given); "t" a tick;
// "@n" the store filled up to slot n; "akku=NAME" the battery's name; "ende" the menu item; "close" the main
// window closed; any other word the seconds of a simulator scenario "name[:from[:to]]", each ticked, then
// `after`.
void play(
    TestApp& app, const QString& script, const std::function<void()>& after = [] {})
{
    int k = 0;
    for (const QString& step : script.split(' ', Qt::SkipEmptyParts)) {
        const QStringList f = step.split(':');
        if (step == "t") {
            app.tick();
        } else if (step.startsWith('@')) {
            app.session().MessNr = app.session().Messreihe.MessAnzahl = step.mid(1).toFloat();
        } else if (step.startsWith("akku=")) {
            app.mdi->akku->Text1->setText(step.mid(5));
        } else if (step == "ende") {
            app.mdi->m_ende_Click();
        } else if (step == "close") {
            app.mdi->close();
        } else if (step[0].isDigit()) {
            app.send({.mode = f.size() > 1 ? f[0].toInt() : 0,
                      .cycle = f.value(2).toInt(),
                      .outputMv = 7000 + k++,
                      .status = f.value(f.size() > 1).toInt()});
        } else {
            const std::vector<std::string> seconds = ladomat::sim::scenario(f[0].toStdString());
            for (int s = f.value(1).toInt(); s < (f.size() > 2 ? f[2].toInt() : int(seconds.size())); ++s) {
                app.sendRaw(QByteArray::fromStdString(seconds[s]));
                app.tick();
                after();
            }
        }
    }
}

// The record's facts once they read `wanted` (at most 10 s, without the event loop) as
// "endReason|notes|timeline|program device format start end", the timeline's entries
// "sample mode/status/cycle", a time "offset" when written with its offset (east of UTC here).
QString factsText(const QString& folder, const QString& wanted)
{
    const auto time = [](const QJsonValue& t) {
        return t.toString().contains('+') ? u"offset"_s : t.toString();
    };
    QString text;
    for (int waited = 0; text != wanted && waited < 10000; waited += 10, QThread::msleep(10)) {
        const QJsonObject facts =
            QJsonDocument::fromJson(contents(QDir(folder).entryInfoList({"*.json"}).value(0).filePath()))
                .object();
        QStringList timeline, notes;
        for (const QJsonValue& e : facts.value("timeline").toArray())
            timeline << QString::number(e["sample"].toInt()) + ' ' + e["mode"].toString() + '/' +
                    QString::number(e["status"].toInt()) + '/' + QString::number(e["cycle"].toInt());
        for (const QJsonValue& note : facts.value("notes").toArray())
            notes << note.toString();
        text = facts["endReason"].toString() + '|' + notes.join(u'/') + '|' + timeline.join(", ") + '|' +
            facts["program"].toString() + ' ' + facts["device"].toString() + ' ' +
            QString::number(facts["format"].toInt()) + ' ' + time(facts["start"]) + ' ' + time(facts["end"]);
    }
    return text;
}

// Standard error's lines while `run` runs.
QByteArray stderrOf(const QTemporaryDir& dir, const std::function<void()>& run)
{
    std::fflush(stderr);
    const int saved = ::dup(2), err = ::open(qPrintable(dir.filePath("stderr")), O_WRONLY | O_CREAT, 0644);
    ::dup2(err, 2);
    run();
    std::fflush(stderr);
    ::dup2(saved, 2);
    ::close(saved);
    ::close(err);
    return contents(dir.filePath("stderr"));
}

// A curve file as this program writes it: n samples of a slow wave, a falling current and a
// rising capacity.
QByteArray curveFile(int n)
{
    QByteArray file;
    for (int i = 1; i <= n; ++i)
        file += QByteArray::number(i) + ',' +
            QByteArray::number(std::lround(30000 + 20000 * std::sin(i / 90.0))) + ',' +
            QByteArray::number(50000 - 15 * i) + ',' + QByteArray::number(i / 2) + "\r\n";
    return file;
}

// The live graph of the given size after a run that ended with the record of the file: page 1
// drawn, no caption yet.
std::unique_ptr<PlotWindows> liveGraph(const QString& path, QSize size)
{
    auto live = std::make_unique<PlotWindows>(size);
    ChargeSession& session = live->session;
    session.Messreihe = std::move(*readRecordFile(path).record);
    session.MessNr = session.Messreihe.MessAnzahl + 1;
    session.MessungBeendet = 1;
    live->grafik.view.LetzteSeite = pagesFor(session.Messreihe.MessAnzahl, 12);
    live->grafik.startLabels();
    live->setgraf.Text1->setText(" 1");
    live->grafik.redraw();
    return live;
}

// Clicks the graph settings' buttons: "> < whole 6min Check1".
void operate(Formsetgraf& s, const QString& actions)
{
    for (const QString& action : actions.split(' ', Qt::SkipEmptyParts)) {
        const QList<QAbstractButton*> buttons{s.Command3, s.Command2, s.Command1, s.Option1, s.Check1};
        buttons[QStringList{">", "<", "whole", "6min", "Check1"}.indexOf(action)]->click();
    }
}

// Records named after their start, 2026-03-DD_DD-00-00.TXT: the 10th and 13th without facts, the 11th
// with a summary of another version; the 14th with facts that start at 10:00 and hold no summary, charge then
// discharge; the 15th with a kept summary that is not the curve's; the 16th with facts that are not facts;
// the 17th being written. And a letter that is no curve file, last changed on the 12th.
struct Folder {
    Folder()
    {
        // 2 s at 36 V and 5 A and an end frame: 4 mAh, 0.1 Wh.
        for (int day : {10, 11, 13, 15, 16, 17})
            write(path(day), "1,36000,50000,1\r\n2,36000,50000,3\r\n3,36500,0,4\r\n");
        // 2 s of charge at 10 V, 5 A (3 mAh, 100 Ws), 2 s of discharge at 8 V, 2.5 A (2 mAh, 40 Ws).
        write(path(14), "1,10000,50000,2\r\n2,10000,50000,3\r\n3,8000,25000,1\r\n4,8000,25000,2\r\n"_ba);
        write(factsPath(path(14)),
              R"({"format": 1, "program": "2.01", "start": "2026-03-14T10:00:00", "endReason": "charger-end",
                  "notes": ["akku Nord"], "timeline": [{"sample": 1, "status": 6}, {"sample": 3, "status": 7}]})");
        write(
            factsPath(path(15)),
            R"({"format": 1, "start": "2026-03-15T15:00:00", "notes": ["Akku Süd"], "summary": {"version": 1,
                  "seconds": 7200, "whole": {"samples": 7200, "mah": 9999, "wh": 12.5}, "end": 3}})");
        write(factsPath(path(11)), R"({"format": 1, "summary": {"version": 2, "seconds": 7200,
                  "whole": {"samples": 7200, "mah": 9999, "wh": 12.5}, "end": 3}})");
        write(factsPath(path(16)), "{\"format\": 1, ");
        write(dir.filePath(u"Brief.txt"_s), "Sehr geehrte Damen und Herren,\n"_ba);
        QFile letter(dir.filePath(u"Brief.txt"_s));
        letter.open(QIODevice::ReadWrite);
        letter.setFileTime(QDateTime(QDate(2026, 3, 12), QTime(18, 0)), QFileDevice::FileModificationTime);
    }
    QString path(int day) const { return dir.filePath(u"2026-03-%1_%1-00-00.TXT"_s.arg(day)); }

    QTemporaryDir dir;
};

// The header and the rows as shown.
QStringList rowTexts(const RecordBook& book)
{
    QStringList rows;
    const QAbstractItemModel* model = book.list->model();
    for (int r = -1; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c)
            cells << (r < 0 ? model->headerData(c, Qt::Horizontal) : model->index(r, c).data()).toString();
        rows << cells.join(u" | "_s);
    }
    return rows;
}

// The files' names, a record's shortened to its day: "14" for 2026-03-14_14-00-00.TXT, "14.json" for
// its facts.
QString byDay(QStringList paths)
{
    for (QString& path : paths)
        path = QFileInfo(path).fileName();
    return paths.join(u' ').replace(QRegularExpression(u"2026-03-(\\d\\d)_\\d\\d-00-00(\\.TXT)?"_s),
                                    u"\\1"_s);
}

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
    facts.start = start;
    facts.end = seconds < 0 ? QDateTime() : start.addSecs(seconds);
    facts.endReason = end;
    facts.notes[1] = nominal;
    for (const auto& [sample, status] : changes)
        facts.timeline.push_back({sample, {}, u"0"_s, status, 0});
    return facts;
}

}  // namespace

class TestRecords : public QObject {
    Q_OBJECT

private slots:
    // Qt's own open dialog (before a test ends the application's loop): the folder given, several
    // files chosen at once.
    void openDialog()
    {
        QTemporaryDir dir;
        QVERIFY(write(dir.filePath("Eins.TXT"), "") && write(dir.filePath("Zwei.TXT"), ""));
        setDialogBackend(nullptr);
        QTimer::singleShot(100, [] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText("\"Eins.TXT\" \"Zwei.TXT\"");
            // A dialog the names did not close, and a warning on it, are closed.
            QTimer::singleShot(200, dialog, [] {
                while (QWidget* modal = QApplication::activeModalWidget())
                    modal->close();
            });
            QMetaObject::invokeMethod(dialog, "accept");
        });
        QCOMPARE(askOpenFileNames({"Aufzeichnung öffnen", "Kurvendateien (*.txt)|*.txt", dir.path()}),
                 QStringList({dir.filePath("Eins.TXT"), dir.filePath("Zwei.TXT")}));
    }

    // Qt's own save dialog in German, with its filter: a name typed without its extension gets it,
    // and a file of that name is not replaced without a question; "Nein" leaves the file as it was.
    void saveDialog()
    {
        QTemporaryDir home;
        const auto restore = qScopeGuard([old = qgetenv("HOME")] { qputenv("HOME", old); });
        qputenv("HOME", home.path().toLocal8Bit());
        QVERIFY(write(home.filePath("Test.TXT"), "old"));
        setUpApplication();
        setDialogBackend(nullptr);
        QString seen;  // the filter, the dialog's buttons, then the question
        QTimer driver;
        connect(&driver, &QTimer::timeout, this, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                seen += box->text();
                box->button(QMessageBox::No)->click();
            } else if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                if (seen.contains("Test.TXT"))
                    return dialog->reject();
                seen += dialog->nameFilters().join(',') + ' ';
                for (QPushButton* button :
                     dialog->findChild<QDialogButtonBox*>()->findChildren<QPushButton*>())
                    seen += button->text().remove('&') + ' ';
                dialog->findChild<QLineEdit*>("fileNameEdit")->setText("Test");
                QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
            }
        });
        driver.start(50);
        QCOMPARE(
            askSaveFileName({"Textdatei speichern", "Grafiken (*.txt)|*.txt", "C:\\", "Kurve01.TXT", ".TXT"}),
            QString());
        QVERIFY2(
            seen.startsWith("Grafiken (*.txt) Speichern Abbrechen Die Datei Test.TXT existiert bereits."),
            qPrintable(seen));
        QCOMPARE(contents(home.filePath("Test.TXT")), "old");
    }

    // Simulated runs in a folder of 50 old records: the newest journal file equals the export
    // whenever looked at and a quarter second later; a record's journal is the export taken when it
    // ended, whatever follows; the folder keeps the newest 50. A journal that cannot be written is
    // said once per record (status bar, message field, standard error), no dialog; the run goes on.
    void journal_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<int>("files");  // records the run writes, or fails to write
        QTest::addColumn<int>("fileLimit");  // bytes a file may grow to; 0: no limit; -1: folder under a file
        QTest::addColumn<QString>("failure");  // the reason said
        QTest::newRow("pause in charge then discharge") << "charge-discharge" << 1 << 0 << QString();
        QTest::newRow("stop, ready, new run") << "stop" << 2 << 0 << QString();
        QTest::newRow("end, no battery, new run") << "discharge no-battery discharge" << 2 << 0 << QString();
        QTest::newRow("end, new run at once") << "discharge discharge:10:400" << 2 << 0 << QString();
        QTest::newRow("store full") << "@1999900 discharge" << 1 << 0 << QString();
        QTest::newRow("folder cannot be made, two runs")
            << "stop" << 2 << -1 << "Ordner kann nicht angelegt werden";
        QTest::newRow("a write fails") << "discharge" << 1 << 4096 << "Datei zu groß";
    }
    void journal()
    {
        QFETCH(QString, scenario);
        QFETCH(int, files);
        QFETCH(int, fileLimit);
        QFETCH(QString, failure);
        QTemporaryDir dir;
        QVERIFY(write(dir.filePath("file"), ""));
        const QDir folder(dir.filePath(fileLimit < 0 ? "file/Aufzeichnungen" : "Aufzeichnungen"));
        const auto old = [](int k) { return u"2000-01-01_00-00-%1.TXT"_s.arg(k, 2, 10, QChar(u'0')); };
        for (int k = 0; k < 50 && fileLimit >= 0; ++k)
            QVERIFY(folder.mkpath(".") && write(folder.filePath(old(k)), "1,0,0,0\r\n"));
        TestApp app;
        ChargeSession& session = app.session();
        session.startJournal(folder.path());
        const auto journalIsExport = [&] {
            const QByteArray expected = exported(dir, session.Messreihe);
            for (int waited = 0; contents(session.journal->path()) != expected && waited < 2000; waited += 10)
                QThread::msleep(10);
            QThread::msleep(250);  // and stays so through the writer's next rounds
            QCOMPARE(contents(session.journal->path()), expected);
        };
        rlimit saved{};
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &saved) == 0 && std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR);
        int second = 0;
        QString first, bar, field;  // the first record's journal; the failure as first shown
        QByteArray atEnd;  // the export when the first record ended
        const QByteArray printed = stderrOf(dir, [&] {
            rlimit limit = saved;
            limit.rlim_cur = fileLimit > 0 ? rlim_t(fileLimit) : saved.rlim_cur;
            ::setrlimit(RLIMIT_FSIZE, &limit);
            play(app, scenario, [&] {
                if (bar.isEmpty() && session.MessungBeendet == 0) {
                    bar = app.mdi->statusBar()->currentMessage();
                    field = app.mdi->akku->Text7->text();
                }
                if (atEnd.isEmpty() && session.MessungBeendet == 1)
                    atEnd = exported(dir, session.Messreihe);
                else if (atEnd.isEmpty() && !session.journal->path().isEmpty())
                    first = session.journal->path();
                if (++second % 500 != 0 || session.journal->path().isEmpty())
                    return;
                if (failure.isEmpty())
                    journalIsExport();
                // Past its limit, the file is said to fail with the next frame, not when the run ends.
                for (int waited = 0; !failure.isEmpty() && waited < 5000 &&
                     QFileInfo(session.journal->path()).size() < fileLimit;
                     waited += 10)
                    QThread::msleep(10);
            });
            ::setrlimit(RLIMIT_FSIZE, &saved);
        });
        QVERIFY(app.dialogs.messages.isEmpty() && session.Messreihe.MessAnzahl > 100);
        if (!failure.isEmpty()) {
            QVERIFY2(printed.count('\n') == files && printed.contains(failure.toUtf8()) &&
                         printed.contains(QDir::toNativeSeparators(folder.path()).toUtf8()),
                     printed.constData());
            QVERIFY2(bar.contains(folder.path()) && bar.contains(failure) && bar.contains("nur im Speicher"),
                     qPrintable(bar));
            QCOMPARE(field.section("\r\n", 0, 0), "Die Messung kann nicht auf die ");
            return;
        }
        QVERIFY2(printed.isEmpty(), printed.constData());
        if (!session.journal->path().isEmpty())  // a run still going on
            journalIsExport();
        QThread::msleep(250);  // time for a writer that would still change the first record
        QVERIFY(!first.isEmpty() && !atEnd.isEmpty());
        QCOMPARE(contents(first), atEnd);
        const QStringList kept = folder.entryList({"*.TXT"}, QDir::Files, QDir::Name);
        QVERIFY(kept.size() == 50 && kept.first() == old(files));
        for (const QString& name : kept.mid(50 - files))
            QCOMPARE(parseCurveFile(contents(folder.filePath(name)).toStdString(), kStoreSize).badLine, 0);
    }

    // The facts beside a record, of its name, from its first sample on: the way it ended, the
    // battery window's notes at the start (until the end, then at the end), and each change of mode,
    // status or cycle at the slot of the frame that brought it.
    void facts_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("facts");  // "endReason|notes|timeline"
        QTest::newRow("notes at the start") << "akku=A 1 2 2 akku=B 1" << u"|A/?/6/7,2|1 0/2/0, 3 0/1/0"_s;
        QTest::newRow("notes at the end")
            << "akku=A 2 2 akku=B 8" << u"charger-end|B/?/6/7,2|1 0/2/0, 3 0/8/0"_s;
        QTest::newRow("stop at the charger") << "1 t 2 t 2 t 1 t" << u"stopped|?/?/6/7,2|1 0/2/0, 3 0/1/0"_s;
        QTest::newRow("no battery") << "4:2 4:2 4:2 4:0" << u"no-battery|?/?/6/7,2|1 4/2/0, 4 4/0/0"_s;
        QTest::newRow("phases, pauses and cycles")
            << "2:1 2:6 2:6 2:9 2:9 2:7 2:7:1 2:6:1 2:8"
            << u"charger-end|?/?/6/7,2|1 2/6/0, 3 2/9/0, 5 2/7/0, 6 2/7/1, 7 2/6/1, 8 2/8/0"_s;
        QTest::newRow("new run after an unknown mode's end")
            << "2 2 5:8 t 2" << u"new-run|?/?/6/7,2|1 0/2/0, 3 5/8/0, 3 0/2/0"_s;
        QTest::newRow("store full") << "@1999998 1:3 1:3 1:3" << u"store-full|?/?/6/7,2|1999998 1/3/0"_s;
        QTest::newRow("Ende") << "3:4 3:4 ende" << u"program-end|?/?/6/7,2|1 3/4/0"_s;
        QTest::newRow("window closed") << "3:1 3:4 3:5 close" << u"program-end|?/?/6/7,2|1 3/4/0, 2 3/5/0"_s;
    }
    void facts()
    {
        QFETCH(QString, script);
        QFETCH(QString, facts);
        QTemporaryDir dir;
        TestApp app;
        app.session().startJournal(dir.path());
        play(app, script);
        const QString wanted = facts + "|9.87 COM1 1 offset " + (facts.startsWith('|') ? "" : "offset");
        QCOMPARE(factsText(dir.path(), wanted), wanted);
        const QStringList files = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
        QCOMPARE(files.value(1), QFileInfo(files.value(0)).completeBaseName() + ".json");
        QCOMPARE(files.size(), 2);
    }

    // At start-up the newest record whose facts have no end reason, and that no program writes now,
    // is offered once ("u" unfinished, "f" finished, "o" offered before, "w" being written, "b" facts
    // of another format); record k holds k + 1 samples. Offered twice, only the first asks.
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
            QVERIFY(kind != "w" || written.create(dir.path(), stem));
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

    // Retention (name:size, * written by this program, @ a link; "Mn" the stem 2024-0n-01_00-00-00):
    // beyond the newest `keep` and beyond 2000 bytes, oldest first by the file system's times, never
    // a gap. This program's records, other names and links stay; a record's facts go with it.
    void retention_data()
    {
        QTest::addColumn<QString>("files");
        QTest::addColumn<int>("keep");
        QTest::addColumn<QString>("deleted");
        QTest::newRow("names out of time order") << "M3.TXT:1 M1.TXT:1 M2.TXT:1" << 2 << "M3.TXT";
        QTest::newRow("bytes") << "M1.TXT:100 M2.TXT:900 M3.TXT:1500 M4.TXT:10*" << 50 << "M1.TXT M2.TXT";
        QTest::newRow("this run's, older than all")
            << "M1.TXT:1* M2.TXT:1 M3.TXT:1 M4.TXT:1*" << 1 << "M2.TXT M3.TXT";
        QTest::newRow("other names, links")
            << "2024-01-01_00-00-01.TXT:1@ Kurve01.TXT:1 M1.txt:1 M1.TXT:1 M1-10.TXT:1 M1-2.TXT:1*" << 2
            << "M1.TXT";
        QTest::newRow("facts go with their record and count for nothing")
            << "M1.TXT:1 M1.json:1 M1.json.tmp:1 M2.json:1 M3.TXT:1 M3.json:1 M4-2.json:1 M4-2.TXT:1" << 2
            << "M1.TXT M1.json M1.json.tmp";
    }
    void retention()
    {
        QFETCH(QString, files);
        QFETCH(int, keep);
        QTemporaryDir dir;
        QStringList own, before;
        QVERIFY(write(dir.filePath("target"), "x") && QDir(dir.path()).mkdir("records"));
        const QDir folder(dir.filePath("records"));
        for (const QString& file :
             files.replace(QRegularExpression("M(\\d)"), "2024-0\\1-01_00-00-00").split(' ')) {
            const QString name = file.section(':', 0, 0), size = file.section(':', 1);
            QVERIFY(size.endsWith('@') ? QFile::link(dir.filePath("target"), folder.filePath(name))
                                       : write(folder.filePath(name), QByteArray(size.toInt(), 'x')));
            before << name;
            if (size.endsWith('*'))
                own << name;
            QThread::msleep(30);  // times apart also where the file system clock ticks coarsely
        }
        pruneJournalFolder(folder.path(), own, keep, 2000);
        QStringList deleted;
        for (const QString& name : before)
            if (!QFileInfo::exists(folder.filePath(name)))
                deleted << name;
        QTEST(deleted.join(' ').replace(QRegularExpression("2024-0(\\d)-01_00-00-00"), "M\\1"), "deleted");
    }

    // A saved record opens in a record window of its own that exports to its lines; only regular
    // files within the store's size are read; a damaged tail keeps the lines before it; a bad first
    // line or too many lines refuse the file. The live record is never touched. %1: the file.
    void openingSavedRecords_data()
    {
        QTest::addColumn<QString>("file");  // empty: Kurve.TXT; a name; "fifo"; a path
        QTest::addColumn<int>("lines");  // lines "n,12000,0,0" written before text, kept in exports
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<qint64>("size");  // the file extended with zeros to this size, or 0
        QTest::addColumn<QByteArray>("exports");  // empty: refused
        QTest::addColumn<QString>("message");
        const QByteArray two = "1,12460,1500,0\r\n2,12470,1500,1\r\n"_ba;
        const QString notCurve = "Die Datei %1 ist keine Kurvendatei: Zeile 1 ist fehlerhaft !";
        const QString refused = "Die Datei %1 kann nicht geöffnet werden: ";
        QTest::newRow("export") << "" << 0 << two << 0LL << two << "";
        QTest::newRow("LF, last unended")
            << "" << 0 << "1,1,2,3\n2,4,5,6"_ba << 0LL << "1,1,2,3\r\n2,4,5,6\r\n"_ba
            << "";
        QTest::newRow("blank last line") << "" << 0 << two + "\r\n" << 0LL << two << "";
        QTest::newRow("blank last line, LF") << "" << 0 << "1,1,2,3\n\n"_ba << 0LL << "1,1,2,3\r\n"_ba
                                             << "";
        QTest::newRow("zero block") << "" << 0 << two + "3,12" << 8192LL << two
                                    << "Die Datei %1 ist ab Zeile 3 beschädigt: 1 Zeile verworfen, "
                                       "die 2 Zeilen davor sind geöffnet !";
        QTest::newRow("above 65535, blank lines after")
            << "" << 0 << "1,0,0,0\r\n2,65536,0,0\r\n\r\n\r\n"_ba << 0LL << "1,0,0,0\r\n"_ba
            << "Die Datei %1 ist ab Zeile 2 beschädigt: 1 Zeile verworfen, die Zeile davor ist geöffnet !";
        QTest::newRow("negative") << "" << 0 << "1,-5,0,0\r\n"_ba << 0LL << ""_ba << notCurve;
        QTest::newRow("leading zero") << "" << 0 << "01,5,0,0\r\n"_ba << 0LL << ""_ba << notCurve;
        QTest::newRow("/dev/zero") << "/dev/zero" << 0 << ""_ba << 0LL << ""_ba
                                   << refused + "sie ist ein Gerät, keine gespeicherte Datei !";
        QTest::newRow("/proc file") << "/proc/self/status" << 0 << ""_ba << 0LL << ""_ba
                                    << refused +
                "sie gehört zum Systemdateisystem proc, keine gespeicherte Datei !";
        QTest::newRow("cut line") << "Kurve %2.TXT" << 0 << two + "3,124" << 0LL << two
                                  << "Die Datei %1 ist ab Zeile 3 beschädigt: 1 Zeile verworfen, "
                                     "die 2 Zeilen davor sind geöffnet !";
        QTest::newRow("gap in numbers")
            << "" << 0 << "1,1,1,1\r\n3,1,1,1\r\n4,1,1,1\r\n"_ba << 0LL << "1,1,1,1\r\n"_ba
            << "Die Datei %1 ist ab Zeile 2 beschädigt: 2 Zeilen verworfen, die Zeile davor ist geöffnet !";
        QTest::newRow("text after") << "" << 0 << "1,2,3,4 mAh\r\n"_ba << 0LL << ""_ba << notCurve;
        QTest::newRow("FIFO") << "fifo" << 0 << ""_ba << 0LL << ""_ba
                              << refused + "sie ist eine Pipe (FIFO), keine gespeicherte Datei !";
        QTest::newRow("folder") << "/" << 0 << ""_ba << 0LL << ""_ba << refused + "sie ist ein Ordner !";
        QTest::newRow("missing") << "/nonexistent/Kurve.TXT" << 0 << ""_ba << 0LL << ""_ba
                                 << refused + "sie existiert nicht !";
        QTest::newRow("name too long")
            << "/" + QString(300, 'x') << 0 << ""_ba << 0LL << ""_ba << refused + "Systemfehler 36 !";
        // 2,000,000 lines of 27 bytes ("2000000,65535,65535,65535" CR LF) and a blank line at most.
        QTest::newRow("one byte too large") << "" << 0 << ""_ba << 54'000'003LL << ""_ba
                                            << refused + "sie ist zu groß für 2.000.000 Zeilen !";
        QTest::newRow("largest size read") << "" << 0 << ""_ba << 54'000'002LL << ""_ba << notCurve;
        QTest::newRow("2,000,000 lines, a blank line")
            << "" << 1'999'999 << "2000000,65535,65535,65535\r\n\r\n"_ba << 0LL
            << "2000000,65535,65535,65535\r\n"_ba << QString();
        QTest::newRow("2,000,001 lines") << "" << 2'000'000 << "2000001,0,0,0\r\n"_ba << 0LL << ""_ba
                                         << refused + "sie hat mehr als 2.000.000 Zeilen !";
    }
    void openingSavedRecords()
    {
        QFETCH(QString, file);
        QFETCH(int, lines);
        QFETCH(QByteArray, text);
        QFETCH(qint64, size);
        QFETCH(QByteArray, exports);
        QFETCH(QString, message);
        QByteArray written;
        for (int n = 1; n <= lines; ++n)
            written += QByteArray::number(n) + ",12000,0,0\r\n";
        QTemporaryDir dir;
        const QString path = file.startsWith('/') ? file : dir.filePath(file.isEmpty() ? "Kurve.TXT" : file);
        if (file == "fifo")  // one waiting for a writer would hang here
            QVERIFY(::mkfifo(qPrintable(path), 0600) == 0);
        else if (!file.startsWith('/'))
            QVERIFY(write(path, written + text) && (size == 0 || QFile::resize(path, size)));
        exports = exports.isEmpty() ? exports : written + exports;
        TestApp app;
        app.session().startJournal(dir.filePath("journal"));
        app.send({.outputMv = 9000, .status = 2});
        const ChargeSession& session = app.session();
        const QByteArray before = exported(dir, session.Messreihe);
        const RecordWindow* window = app.mdi->openRecordWindow(path);
        QCOMPARE(window ? exported(dir, window->grafik->record()) : ""_ba, exports);
        QVERIFY(exported(dir, session.Messreihe) == before && session.MessungBeendet == 0);
        app.send({.outputMv = 9100, .status = 2});  // the run goes on, in its one journal file
        app.session().finishJournal(RecordEnd::programEnd);
        const QStringList journal = QDir(dir.filePath("journal")).entryList({"*.TXT"});
        QCOMPARE(journal.size(), 1);
        QCOMPARE(contents(dir.filePath("journal/" + journal.value(0))), exported(dir, session.Messreihe));
        QCOMPARE(app.dialogs.messages.value(0).first, message.isEmpty() ? "" : message.arg(path));
        QCOMPARE(app.dialogs.messages.size(), message.isEmpty() ? 0 : 1);
    }

    // Files given and no port: the program stays, without a port message or link alarm, each file
    // in a record window; files dropped on the main window open each in a record window too.
    void filesGivenAndDropped()
    {
        QTemporaryDir dir;
        const QStringList paths{dir.filePath("Kurve.TXT"), dir.filePath("Zwei.TXT")};
        QVERIFY(write(paths[0], "1,12460,1500,0\r\n2,12470,1500,1\r\n") && write(paths[1], "1,1,1,1\r\n"));
        RecordingDialogs dialogs;
        auto* port = new MemorySerialPort;
        port->setAvailablePorts({});
        MDIForm1 mdi(port, nullptr, paths);
        QTRY_COMPARE(mdi.findChildren<RecordWindow*>().size(), 2);
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(paths[1]), QUrl::fromLocalFile(paths[0])});
        QVERIFY(mdi.acceptDrops());  // the window system hands drops only to such a window
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        static_cast<QObject*>(&mdi)->event(&drop);  // as the window system hands it over
        QStringList samples;
        for (const RecordWindow* window : mdi.findChildren<RecordWindow*>())
            samples << QString::number(window->grafik->record().MessAnzahl);
        QCOMPARE(samples.join(' '), "2 1 1 2");
        QVERIFY(dialogs.messages.isEmpty() && !mdi.ended() &&
                mdi.StatusBar1->text() == "Kein COM Port – nur Ansicht");
        QVERIFY(!mdi.Timer1->isActive() && !mdi.Timer2->isActive());
    }

    // A record window shows what the live graph shows of the same ended record with the record's
    // battery notes and start in its caption, also after its settings' buttons; its frame names the
    // file and the start, its summary panel the record's summary. Its exports, each through its save
    // dialog: the curve file (by its button, and by Ctrl+S) is the file opened, byte for byte; the
    // pictures are the plot as shown.
    void recordWindow_data()
    {
        QTest::addColumn<QString>("actions");
        QTest::addColumn<QString>("how");  // the export
        QTest::addColumn<QString>("format");  // of the file written; empty: the curve file
        QTest::newRow("page 1, Ctrl+S") << "" << u"Ctrl+S"_s << u""_s;
        QTest::newRow("last page, past it, back") << "> > > <" << u"textButton"_s << u""_s;
        QTest::newRow("whole view and back, 6 minutes a page")
            << "whole whole 6min" << u"bitmapButton"_s << u"bmp"_s;
        QTest::newRow("no voltage curve, whole view") << "Check1 whole" << u"pngButton"_s << u"png"_s;
    }
    void recordWindow()
    {
        QFETCH(QString, actions);
        QFETCH(QString, how);
        QTemporaryDir dir;
        const QString path = dir.filePath("2026-12-06_14-03-27.TXT");
        QVERIFY(write(path, curveFile(2000)) &&
                write(factsPath(path), R"({"format": 1, "start": "2026-12-05T08:00:00+01:00",
                                           "notes": ["Akku 1", "1700", "6", "7,2"]})"));
        TestApp app;
        app.mdi->show();
        app.mdi->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(app.mdi.get()));
        RecordWindow* window = app.mdi->openRecordWindow(path);
        QVERIFY(window);
        QCOMPARE(MDIForm1::frameOf(window)->windowTitle(), "2026-12-06_14-03-27.TXT – 05.12.26 08:00");
        QVERIFY2(window->summary->text().startsWith("Dauer: 0:33:20\nMesswerte: 2000\n") &&
                     window->summary->text().contains("Anteil der Nennkapazität"),
                 qPrintable(window->summary->text()));
        const auto live = liveGraph(path, window->grafik->size());
        operate(*window->setgraf, actions);
        operate(live->setgraf, actions);
        live->grafik.KopfzeilenSchreiben({"Akku 1", "1700", "6", "7,2"}, QDate(2026, 12, 5));
        QCOMPARE(window->grafik->Picture1->image(), live->image());
        QCOMPARE(window->setgraf->Text1->text(), live->setgraf.Text1->text());
        app.dialogs.answers << dir.filePath("saved");
        if (how == "Ctrl+S")
            QTest::keySequence(QApplication::focusWidget() ? QApplication::focusWidget()
                                                           : QApplication::activeWindow(),
                               QKeySequence(Qt::CTRL | Qt::Key_S));
        else
            window->findChild<QPushButton*>(how)->click();
        QVERIFY(app.dialogs.answers.isEmpty() && app.dialogs.messages.isEmpty());
        QImageReader reader(dir.filePath("saved"));
        QTEST(QString(reader.format()), "format");
        if (reader.format().isEmpty())
            QCOMPARE(contents(dir.filePath("saved")), contents(path));
        else
            QCOMPARE(reader.read().convertToFormat(QImage::Format_RGB32),
                     window->grafik->Picture1->image().convertToFormat(QImage::Format_RGB32));
    }

    // The record book's header and rows, newest first; the next listing reads the summaries kept in
    // the facts, not the curves. Facts that cannot be read stay as they are; a file that is no
    // record gets none.
    void recordBookRows()
    {
        Folder folder;
        const QStringList rows = rowTexts(RecordBook(folder.dir.path(), folder.path(17)));
        QCOMPARE(
            rows,
            (QStringList{u"Beginn | Akku | Dauer | mAh | Wh | Ende"_s,
                         u"16.03.26 16:00 |  | 0:00:03 | 4 | 0,10 | unbekannt"_s,
                         u"15.03.26 15:00 | Akku Süd | 2:00:00 | 9999 | 12,50 | am Ladegerät gestoppt"_s,
                         u"14.03.26 10:00 | akku Nord | 0:00:04 | 3 / 2 | 0,03 / 0,01 | Ladegerät fertig"_s,
                         u"13.03.26 13:00 |  | 0:00:03 | 4 | 0,10 | unbekannt"_s,
                         u"12.03.26 18:00 |  | – | – | – | nicht lesbar"_s,
                         u"11.03.26 11:00 |  | 0:00:03 | 4 | 0,10 | nicht beendet"_s,
                         u"10.03.26 10:00 |  | 0:00:03 | 4 | 0,10 | unbekannt"_s}));
        for (int day : {13, 14})
            QVERIFY(write(folder.path(day), "1,0,0,0\r\n"_ba));
        QCOMPARE(rowTexts(RecordBook(folder.dir.path(), folder.path(17))), rows);
        QCOMPARE(contents(factsPath(folder.path(16))), "{\"format\": 1, "_ba);
        QVERIFY(!QFile::exists(factsPath(folder.dir.filePath(u"Brief.txt"_s))));
    }

    // Sorted by a column (equal keys in the order of the file names, the other way round when
    // descending), or filtered by battery or file name, whatever the case.
    void recordBookOrder_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("column");
        QTest::addColumn<Qt::SortOrder>("order");
        QTest::addColumn<QString>("expected");
        QTest::newRow("start") << QString() << 0 << Qt::AscendingOrder << "10 11 Brief.txt 13 14 15 16";
        QTest::newRow("battery") << QString() << 1 << Qt::AscendingOrder << "10 11 13 16 Brief.txt 14 15";
        QTest::newRow("mAh by number")
            << QString() << 3 << Qt::AscendingOrder << "Brief.txt 14 10 11 13 16 15";
        QTest::newRow("end") << QString() << 5 << Qt::AscendingOrder << "15 14 11 Brief.txt 10 13 16";
        QTest::newRow("battery filter") << u"AKKU"_s << 0 << Qt::DescendingOrder << "15 14";
        QTest::newRow("file name filter") << u"brief.txt"_s << 0 << Qt::DescendingOrder << "Brief.txt";
    }
    void recordBookOrder()
    {
        QFETCH(QString, filter);
        QFETCH(int, column);
        QFETCH(Qt::SortOrder, order);
        Folder folder;
        RecordBook book(folder.dir.path(), folder.path(17));
        book.list->sortByColumn(column, order);
        book.filter->setText(filter);
        QTEST(byDay(book.shownPaths()), "expected");
    }

    // Rows selected (newest first: 16, 15, 14, 13, Brief.txt, 11, 10): open takes one, compare two to
    // six, the trash any, each record with its facts once asked.
    void recordBookButtons_data()
    {
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QString>("enabled");  // open, compare, trash
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("trashed");
        const QString many = u"Die %1 ausgewählten Aufzeichnungen in den Papierkorb verschieben?"_s;
        QTest::newRow("one with facts")
            << QList<int>{2} << u"101"_s << true
            << u"Die Aufzeichnung 2026-03-14_14-00-00.TXT in den Papierkorb verschieben?"_s << "14 14.json";
        QTest::newRow("two, one no facts")
            << QList<int>{1, 3} << u"011"_s << true << many.arg(2) << "13 15 15.json";
        QTest::newRow("six, no") << QList<int>{0, 1, 2, 3, 4, 5} << u"011"_s << false << many.arg(6) << "";
        QTest::newRow("seven") << QList<int>{0, 1, 2, 3, 4, 5, 6} << u"001"_s << false << many.arg(7) << "";
    }
    void recordBookButtons()
    {
        QFETCH(QList<int>, selected);
        QFETCH(QString, enabled);
        QFETCH(bool, yes);
        QFETCH(QString, question);
        // The desktop's trash of a data folder of the test's own, on the same file system as the records.
        Folder folder;
        QTemporaryDir data;
        qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
        RecordBook book(folder.dir.path(), folder.path(17));
        // The listing gave the record without facts its facts; without them again, it has one file.
        QFile::remove(factsPath(folder.path(13)));
        QSignalSpy opened(&book, &RecordBook::openRequested);
        QSignalSpy compared(&book, &RecordBook::compareRequested);
        RecordingDialogs dialogs;
        dialogs.replies = {yes};
        QStringList paths;
        for (int r : selected) {
            book.list->selectionModel()->select(book.list->model()->index(r, 0),
                                                QItemSelectionModel::Select | QItemSelectionModel::Rows);
            paths << book.shownPaths()[r];
        }
        QCOMPARE(u"%1%2%3"_s.arg(book.openButton->isEnabled())
                     .arg(book.compareButton->isEnabled())
                     .arg(book.trashButton->isEnabled()),
                 enabled);
        QTest::mouseClick(book.openButton, Qt::LeftButton);
        QTest::mouseClick(book.compareButton, Qt::LeftButton);
        QCOMPARE(opened.value(0).value(0).toString(), enabled[0] == u'1' ? paths.first() : QString());
        QCOMPARE(compared.value(0).value(0).toStringList(), enabled[1] == u'1' ? paths : QStringList());
        QTest::mouseClick(book.trashButton, Qt::LeftButton);
        QCOMPARE(dialogs.questions, (QList<QPair<QString, QString>>{{question, u"Ladomat Link"_s}}));
        QVERIFY(dialogs.messages.isEmpty());
        QTEST(byDay(QDir(data.filePath(u"Trash/files"_s)).entryList(QDir::Files, QDir::Name)), "trashed");
        QCOMPARE(book.shownPaths().size(), 7 - paths.size() * yes);
        qunsetenv("XDG_DATA_HOME");
    }

    // The lines of a summary, worked out by hand, which also read back as they were from the facts
    // that keep them.
    void summary_data()
    {
        QTest::addColumn<std::shared_ptr<Record>>("record");
        QTest::addColumn<RecordFacts>("facts");
        QTest::addColumn<QString>("expected");  // the lines joined by '|'
        // Charge 360 s at 10 V, 5 A (500 mAh, 5 Wh), pause 60 s, discharge 360 s at 8 V, 2.5 A (250 mAh,
        // 2 Wh), an end frame; mean (360 · 5 + 360 · 2.5) A / 781; 250 of 500 mAh; 30 s of silence.
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
    void summary()
    {
        QFETCH(std::shared_ptr<Record>, record);
        QFETCH(RecordFacts, facts);
        const Summary summary = summarize(*record, facts);
        QTEST(summaryLines(summary).join(u'|'), "expected");
        facts.summary = summaryJson(summary);
        QCOMPARE(summaryFromJson(parseFacts(factsJson(facts)).value_or(RecordFacts{}).summary), summary);
    }

    // The program's --summary, run as a user would in a German session without a display: the file's
    // summary on standard output; a file it cannot open said on standard error, with exit code 1.
    void summaryOnTheCommandLine()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Entladung 1.TXT"_s), missing = dir.filePath(u"fehlt.TXT"_s);
        QVERIFY(write(path, "1,36000,50000,1\r\n2,36000,50000,3\r\n3,36500,0,4\r\n"));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"LANG"_s, u"de_DE.UTF-8"_s);
        for (const char* name : {"LC_ALL", "LC_NUMERIC", "QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(name);
        QStringList said;
        for (const QString& file : {path, missing}) {
            QProcess program;
            program.setProcessEnvironment(environment);
            program.start(qEnvironmentVariable("LADOMAT_LINK"), {u"--summary"_s, file});
            QVERIFY(program.waitForFinished(60000) && program.exitStatus() == QProcess::NormalExit);
            said << QString::number(program.exitCode()) + u' ' +
                    QString::fromUtf8(program.readAllStandardOutput()).section(u'\n', 0, 4) +
                    QString::fromUtf8(program.readAllStandardError());
        }
        QCOMPARE(
            said,
            QStringList(
                {u"0 Datei: %1\nDauer: 0:00:03\nMesswerte: 3\nKapazität: 4 mAh\nEnergie: 0,10 Wh"_s.arg(path),
                 u"1 Die Datei %1 kann nicht geöffnet werden: sie existiert nicht !\n"_s.arg(missing)}));
    }
};

QTEST_MAIN(TestRecords)
#include "test_records.moc"
