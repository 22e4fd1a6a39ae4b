// Records kept on disk: the recording journal, opening saved records, and the save dialog's
// replace question in a German session.
#include "TestSupport.h"

#include "export/export.h"
#include "platform/CurveFileReader.h"
#include "platform/JournalFile.h"
#include "platform/MessageField.h"
#include "process/Journal.h"
#include "process/RecordFacts.h"
#include "records/RecordFile.h"
#include "records/RecordWindow.h"
#include "shell/MDIForm1.h"
#include "shell/shell.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QtTest>

#include <atomic>
#include <csignal>
#include <functional>
#include <optional>
#include <thread>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Qt reads the session's language once, when the application starts: this is a German session.
const bool germanSession = [] {
    qunsetenv("LC_ALL");
    qunsetenv("LC_MESSAGES");
    return qputenv("LANG", "de_DE.UTF-8");
}();

QByteArray exported(const QTemporaryDir& dir, const Record& record)
{
    return writeCurveFile(dir.filePath("export.TXT"), record) ? contents(dir.filePath("export.TXT"))
                                                              : "(export failed)";
}

// Sends the seconds of "a+b+...", each a simulator scenario "name[:from[:to]]" (a range of its
// seconds), ticking the timers after each; `after` runs after every second.
void runScenarios(TestApp& app, const QString& scenarios, const std::function<void()>& after)
{
    for (const QString& part : scenarios.split('+')) {
        const std::vector<std::string> seconds =
            ladomat::sim::scenario(part.section(':', 0, 0).toStdString());
        const int to = part.count(':') == 2 ? part.section(':', 2).toInt() : int(seconds.size());
        for (int k = part.section(':', 1, 1).toInt(); k < to; ++k) {
            app.sendRaw(QByteArray::fromStdString(seconds[k]));
            app.tick();
            after();
        }
    }
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

// A FIFO whose writer opens it as soon as a reader does: a reader that waits for a writer gets
// one and then the end of the data, one that refuses the FIFO at once never sees the writer.
class Fifo {
public:
    explicit Fifo(const QString& path)
        : path_(path.toLocal8Bit())
    {
        if (::mkfifo(path_.constData(), 0600) != 0)
            qFatal("mkfifo %s failed", path_.constData());
        writer_ = std::thread([this] {
            for (int fd = -1; fd < 0 && !done_; QThread::msleep(10)) {
                fd = ::open(path_.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (fd >= 0)
                    ::close(fd);
            }
        });
    }
    ~Fifo()
    {
        done_ = true;
        writer_.join();
    }

private:
    QByteArray path_;
    std::atomic<bool> done_ = false;
    std::thread writer_;
};

}  // namespace

class TestRecords : public QObject {
    Q_OBJECT

private slots:
    // Simulated runs ("a+b": one after the other; "full+": the store holds 1,999,900 samples first)
    // in a folder of 50 old records: the newest journal file equals the export whenever looked at
    // during a run and still a quarter second later (its writer thread is waited for, at most 2 s,
    // without running the event loop). When the first record ends (the charger's end, a stop, a full
    // store) its journal is the export taken at that moment, whatever follows: frames after the end,
    // no battery, a new run (straight after the end its first frame is logged under the old number).
    // The next record has a file of its own, and the folder keeps the newest 50. Nothing is said.
    // A journal that cannot be written is said once for each record that fails: in the status bar
    // and the battery window's message field as it happens, and on standard error; no dialog, and
    // the run goes on.
    void journal_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<int>("files");  // records the run writes, or fails to write
        QTest::addColumn<int>("fileLimit");  // bytes a file may grow to; 0: no limit; -1: folder under a file
        QTest::addColumn<QString>("failure");  // the reason said
        QTest::newRow("pause in charge then discharge") << "charge-discharge" << 1 << 0 << QString();
        QTest::newRow("stop, ready, new run") << "stop" << 2 << 0 << QString();
        QTest::newRow("end, no battery, new run") << "discharge+no-battery+discharge" << 2 << 0 << QString();
        QTest::newRow("end, new run at once") << "discharge+discharge:10:400" << 2 << 0 << QString();
        QTest::newRow("store full") << "full+discharge" << 1 << 0 << QString();
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
        const auto old = [](int k) {
            return QStringLiteral("2000-01-01_00-00-%1.TXT").arg(k, 2, 10, QChar('0'));
        };
        for (int k = 0; k < 50 && fileLimit >= 0; ++k)
            QVERIFY(folder.mkpath(".") && write(folder.filePath(old(k)), "1,0,0,0\r\n"));
        TestApp app;
        ChargeSession& session = app.session();
        session.startJournal(folder.path());
        if (scenario.startsWith("full+")) {
            session.MessNr = session.Messreihe.MessAnzahl = kStoreSize - 100;
            scenario.remove(0, 5);
        }
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
            runScenarios(app, scenario, [&] {
                if (bar.isEmpty()) {
                    bar = app.mdi->statusBar()->currentMessage();
                    field = app.mdi->akku->Text7->text();
                }
                if (atEnd.isEmpty() && session.MessungBeendet == 1)
                    atEnd = exported(dir, session.Messreihe);
                else if (atEnd.isEmpty() && !session.journal->path().isEmpty())
                    first = session.journal->path();
                if (++second % 500 == 0 && !session.journal->path().isEmpty())
                    journalIsExport();
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

    // A record's name is taken by creating the file: a link at the name, dangling or not, or a
    // record of the same second gives the next free number, and nothing planted is followed or
    // changed. Links are planted at every name of the coming two minutes, and at their facts' names:
    // the facts replace such a link.
    void plantedNames_data()
    {
        QTest::addColumn<QString>("planted");  // at stem.TXT and stem-2.TXT
        QTest::addColumn<QString>("suffix");
        QTest::newRow("dangling link") << "dangling" << u"-2"_s;
        QTest::newRow("link to a file, record at -2") << "link file" << u"-3"_s;
    }
    void plantedNames()
    {
        QFETCH(QString, planted);
        QTemporaryDir dir;
        const QDir folder(dir.filePath("Aufzeichnungen"));
        QVERIFY(folder.mkpath(".") && write(dir.filePath("victim"), "keep"));
        const QDateTime now = QDateTime::currentDateTime();
        for (int s = -5; s < 120; ++s) {
            const QString stem = folder.filePath(now.addSecs(s).toString("yyyy-MM-dd_hh-mm-ss"));
            const QString target = dir.filePath(planted == "dangling" ? "nowhere" : "victim");
            QVERIFY(QFile::link(target, stem + ".TXT") &&
                    (planted == "dangling" || write(stem + "-2.TXT", "keep")));
            // The facts beside a record, and their temporary name, are taken by links too.
            for (const char* facts : {"-2.json", "-2.json.tmp", "-3.json", "-3.json.tmp"})
                QVERIFY(QFile::link(target, stem + facts));
        }
        TestApp app;
        ChargeSession& session = app.session();
        session.startJournal(folder.path());
        QString path;
        const QByteArray printed = stderrOf(
            dir, [&] { runScenarios(app, "discharge:0:100", [&] { path = session.journal->path(); }); });
        QVERIFY2(printed.isEmpty(), printed.constData());
        QTEST(QFileInfo(path).completeBaseName().section('_', 1).mid(8), "suffix");
        session.finishJournal(RecordEnd::programEnd);  // as "Ende" ends the record: the file is complete now
        QCOMPARE(contents(path), exported(dir, session.Messreihe));
        QVERIFY(contents(dir.filePath("victim")) == "keep" && !QFile::exists(dir.filePath("nowhere")));
        QVERIFY(parseFacts(contents(factsPath(path))) && !QFileInfo(factsPath(path)).isSymLink());
    }

    // Retention in a real folder, files made in the order given (name:size, * written by this
    // program, @ a link to a file; "Mn" is the stem 2024-0n-01_00-00-00): beyond the newest `keep`
    // records and beyond the byte limit (2000 here), oldest first and never a gap, by the file
    // system's times, not the names. This program's records always stay, even beyond `keep` and one older
    // than all (a clock set back); files of other names and links are never touched. A record's facts go with
    // it.
    void retention_data()
    {
        QTest::addColumn<QString>("files");
        QTest::addColumn<int>("keep");
        QTest::addColumn<QString>("deleted");
        QTest::newRow("names out of time order") << "M3.TXT:1 M1.TXT:1 M2.TXT:1" << 2 << "M3.TXT";
        QTest::newRow("bytes") << "M1.TXT:100 M2.TXT:900 M3.TXT:1500 M4.TXT:10*" << 50 << "M1.TXT M2.TXT";
        QTest::newRow("this run's records, though older than all")
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

    // A saved record opens in a record window of its own that exports to its lines. Only regular
    // files on a real file system within the store's size are read; a damaged tail keeps the lines
    // before it and says how many were dropped; a bad first line or too many lines refuse the
    // file and no window opens. The live record, recording a run, is never touched. The message
    // shown names the file (%1).
    void openingSavedRecords_data()
    {
        QTest::addColumn<QString>("file");  // empty: Kurve.TXT; a name: a file of that name; "fifo"; a path
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
        QTest::newRow("cut line") << "Kurve %2.TXT" << 0 << two + "3,124" << 0LL << two
                                  << "Die Datei %1 ist ab Zeile 3 beschädigt: 1 Zeile verworfen, "
                                     "die 2 Zeilen davor sind geöffnet !";
        QTest::newRow("zero block") << "" << 0 << two + "3,12" << 8192LL << two
                                    << "Die Datei %1 ist ab Zeile 3 beschädigt: 1 Zeile verworfen, "
                                       "die 2 Zeilen davor sind geöffnet !";
        QTest::newRow("gap in numbers")
            << "" << 0 << "1,1,1,1\r\n3,1,1,1\r\n4,1,1,1\r\n"_ba << 0LL << "1,1,1,1\r\n"_ba
            << "Die Datei %1 ist ab Zeile 2 beschädigt: 2 Zeilen verworfen, "
               "die Zeile davor ist geöffnet !";
        QTest::newRow("above 65535, blank lines after")
            << "" << 0 << "1,0,0,0\r\n2,65536,0,0\r\n\r\n\r\n"_ba << 0LL << "1,0,0,0\r\n"_ba
            << "Die Datei %1 ist ab Zeile 2 beschädigt: 1 Zeile verworfen, die Zeile davor ist geöffnet !";
        QTest::newRow("negative") << "" << 0 << "1,-5,0,0\r\n"_ba << 0LL << ""_ba << notCurve;
        QTest::newRow("leading zero") << "" << 0 << "01,5,0,0\r\n"_ba << 0LL << ""_ba << notCurve;
        QTest::newRow("text after") << "" << 0 << "1,2,3,4 mAh\r\n"_ba << 0LL << ""_ba << notCurve;
        QTest::newRow("FIFO") << "fifo" << 0 << ""_ba << 0LL << ""_ba
                              << refused + "sie ist eine Pipe (FIFO), keine gespeicherte Datei !";
        QTest::newRow("/dev/zero") << "/dev/zero" << 0 << ""_ba << 0LL << ""_ba
                                   << refused + "sie ist ein Gerät, keine gespeicherte Datei !";
        QTest::newRow("/proc file") << "/proc/self/status" << 0 << ""_ba << 0LL << ""_ba
                                    << refused +
                "sie gehört zum Systemdateisystem proc, keine gespeicherte Datei !";
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
            << "2000000,65535,65535,65535\r\n"_ba
            << "";
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
        QByteArray written(lines * 20 + kCurveLineRoom, Qt::Uninitialized);
        char* out = written.data();
        for (int n = 1; n <= lines; ++n)
            out = appendCurveLine(out, written.data() + written.size(), n, 12000, 0, 0);
        written.truncate(out - written.data());
        QTemporaryDir dir;
        const QString path = file.startsWith('/') ? file : dir.filePath(file.isEmpty() ? "Kurve.TXT" : file);
        std::optional<Fifo> fifo;
        if (file == "fifo")
            fifo.emplace(path);
        else if (!file.startsWith('/'))
            QVERIFY(write(path, written + text) && (size == 0 || QFile::resize(path, size)));
        exports = exports.isEmpty() ? exports : written + exports;
        TestApp app;
        app.send({.outputMv = 9000, .status = 2});
        const ChargeSession& session = app.session();
        const QByteArray before = exported(dir, session.Messreihe);
        const RecordWindow* window = app.mdi->openRecordWindow(path);
        QCOMPARE(window ? exported(dir, window->grafik->record()) : ""_ba, exports);
        QVERIFY(exported(dir, session.Messreihe) == before && session.MessungBeendet == 0);
        QCOMPARE(app.dialogs.messages.value(0).first, message.isEmpty() ? "" : message.arg(path));
        QCOMPARE(app.dialogs.messages.size(), message.isEmpty() ? 0 : 1);
    }

    // A file changed between the check and the read, the same file written over in place: what it
    // holds when read is the record; a file grown past the size of 3 lines (65 bytes) is refused.
    void changedAfterCheck_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<int>("lines");  // in the record read; -1: refused
        QTest::addColumn<QString>("message");  // %1: the file
        const QByteArray two = "1,1,1,1\r\n2,2,2,2\r\n"_ba;
        QTest::newRow("cut to nothing") << two << ""_ba << 0 << QString();
        QTest::newRow("grown from empty") << ""_ba << two << 2 << QString();
        QTest::newRow("grown past 65 bytes")
            << two << two + QByteArray(65 - two.size(), '\n') + "4" << -1
            << "Die Datei %1 kann nicht geöffnet werden: sie ist zu groß für 3 Zeilen !";
        QTest::newRow("more lines in the same bytes")
            << "1,10000,10000,10000\r\n2,1,10,100\r\n"_ba
            << "1,0,0,0\n2,0,0,0\n3,0,0,0\n4,0,0,0\n"_ba << -1
            << "Die Datei %1 kann nicht geöffnet werden: sie hat mehr als 3 Zeilen !";
    }
    void changedAfterCheck()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath("Kurve.TXT");
        QVERIFY(write(path, before));
        SavedCurveFile file(path, 3);
        QVERIFY(write(path, after));  // truncated and written in place
        const CurveFileRead read = file.read();
        QTEST(read.opened ? read.curve.count : -1, "lines");
        QCOMPARE(read.message, message.isEmpty() ? "" : message.arg(path));
    }

    // A file rewritten while it is opened again and again, truncated and written anew with lines of
    // another length: every open ends in a record of whole lines or a refusal, never a crash (the
    // sanitizer build watches the reads).
    void openWhileRewritten()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("Kurve.TXT");
        QByteArray wide, narrow;
        for (int n = 1; n <= 100'000; ++n) {
            wide += QByteArray::number(n) + ",20000,20000,20000\r\n";
            narrow += QByteArray::number(n) + ",1,1,1\n";
        }
        QVERIFY(write(path, wide));
        std::atomic<bool> done = false;
        std::thread writer([&] {
            const int fd = ::open(qPrintable(path), O_WRONLY | O_CLOEXEC);
            for (int round = 0; !done; ++round) {
                const QByteArray& next = round % 2 ? wide : narrow;
                // Truncated and written anew, or the other lines written over the old ones.
                if ((round % 3 == 0 && ::ftruncate(fd, 0) != 0) ||
                    ::pwrite(fd, next.data(), next.size(), 0) != next.size())
                    break;
            }
            ::close(fd);
        });
        const QRegularExpression outcome("^(|Die Datei .* ist ab Zeile \\d+ beschädigt: .* !|Die Datei "
                                         ".* ist keine Kurvendatei: Zeile 1 ist fehlerhaft !)$");
        QString odd;  // outcomes that are neither a record of whole lines nor a refusal
        int opened = 0;
        for (int k = 0; k < 100; ++k) {
            const RecordFile saved = readRecordFile(path);
            opened += saved.record.has_value();
            if (!outcome.match(saved.message).hasMatch() ||
                (saved.record && saved.record->MessAnzahl > 100'000))
                odd += saved.message + '\n';
        }
        done = true;
        writer.join();
        QVERIFY2(odd.isEmpty() && opened > 0, qPrintable(odd));
    }

    // Files given and no port: the program stays, each file in a record window, without a port
    // message or link alarm. A FIFO given is refused at once with a message; the program stays.
    void viewerWithoutPort_data()
    {
        QTest::addColumn<bool>("fifo");
        QTest::addColumn<QString>("windows");  // samples of each record window
        QTest::addColumn<QString>("message");
        QTest::newRow("two curve files") << false << "2 1"
                                         << "";
        QTest::newRow("FIFO") << true << ""
                              << "Die Datei %1 kann nicht geöffnet werden: sie ist eine Pipe (FIFO), "
                                 "keine gespeicherte Datei !";
    }
    void viewerWithoutPort()
    {
        QFETCH(bool, fifo);
        QFETCH(QString, windows);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath("Kurve.TXT");
        std::optional<Fifo> pipe;
        if (fifo)
            pipe.emplace(path);
        else
            QVERIFY(write(path, "1,12460,1500,0\r\n2,12470,1500,1\r\n") &&
                    write(dir.filePath("Zwei.TXT"), "1,1,1,1\r\n"));
        RecordingDialogs dialogs;
        auto* port = new MemorySerialPort;
        port->setAvailablePorts({});
        MDIForm1 mdi(port, nullptr, fifo ? QStringList{path} : QStringList{path, dir.filePath("Zwei.TXT")});
        QTRY_VERIFY(mdi.findChildren<RecordWindow*>().size() == windows.count(' ') + !windows.isEmpty() &&
                    dialogs.messages.size() == !message.isEmpty());
        QStringList samples;
        for (const RecordWindow* window : mdi.findChildren<RecordWindow*>())
            samples << QString::number(window->grafik->record().MessAnzahl);
        QCOMPARE(samples.join(' '), windows);
        QCOMPARE(dialogs.messages.value(0).first, message.isEmpty() ? "" : message.arg(path));
        QVERIFY(!mdi.ended() && mdi.StatusBar1->text() == "Kein COM Port – nur Ansicht");
        QVERIFY(!mdi.Timer1->isActive() && !mdi.Timer2->isActive());
    }

    // Files dropped on the main window open each in a record window, also while a run is being
    // recorded, which goes on untouched.
    void droppedFile()
    {
        QTemporaryDir dir;
        QVERIFY(write(dir.filePath("Kurve.TXT"), "1,1,2,3\r\n") && write(dir.filePath("Zwei.TXT"), ""));
        TestApp app;
        QMimeData data;
        data.setUrls(
            {QUrl::fromLocalFile(dir.filePath("Kurve.TXT")), QUrl::fromLocalFile(dir.filePath("Zwei.TXT"))});
        QVERIFY(app.mdi->acceptDrops());  // the window system hands drops only to such a window
        QStringList seen;
        for (const int status : {2, 2, 8}) {
            app.send({.outputMv = 9000, .status = status});
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            static_cast<QObject*>(app.mdi.get())->event(&drop);  // as the window system hands it over
            seen << QString::number(app.session().Messreihe.MessAnzahl) + ' ' +
                    QString::number(app.mdi->findChildren<RecordWindow*>().size());
        }
        QCOMPARE(seen.join(QLatin1Char('|')), "2 2|3 4|3 6");
        QVERIFY(app.dialogs.messages.isEmpty());
    }

    // The real file dialogs in a German session. Saving: German buttons, and typing "Test" where
    // Test.TXT exists asks (in German) before replacing it; answering no replaces nothing. Opening:
    // German buttons, the folder given, several files chosen at once.
    void saveDialogAsksInGerman_data()
    {
        QTest::addColumn<bool>("open");
        QTest::addColumn<QString>("buttons");
        QTest::addColumn<QString>("answer");  // the file name typed
        QTest::addColumn<QString>("result");
        QTest::newRow("save, replace refused") << false << "Speichern Abbrechen"
                                               << "Test"
                                               << "";
        QTest::newRow("open two") << true << "Öffnen Abbrechen"
                                  << "\"Eins.TXT\" \"Test.TXT\""
                                  << "Eins.TXT Test.TXT";
    }
    void saveDialogAsksInGerman()
    {
        QFETCH(bool, open);
        QFETCH(QString, buttons);
        QFETCH(QString, answer);
        QTemporaryDir home;
        qputenv("HOME", home.path().toLocal8Bit());
        QVERIFY(QDir(home.path()).mkdir("Aufzeichnungen"));
        const QDir folder(home.filePath("Aufzeichnungen"));
        QVERIFY(write(home.filePath("Test.TXT"), "old") && write(folder.filePath("Test.TXT"), "") &&
                write(folder.filePath("Eins.TXT"), ""));
        setUpApplication();
        setDialogBackend(nullptr);
        QString seen;  // the dialog's buttons, then the question
        QTimer driver;
        connect(&driver, &QTimer::timeout, this, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                seen += box->text();
                box->button(QMessageBox::No)->click();
            } else if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                if (seen.contains("Test.TXT"))
                    return dialog->reject();
                for (QPushButton* button :
                     dialog->findChild<QDialogButtonBox*>()->findChildren<QPushButton*>())
                    seen += button->text().remove('&') + ' ';
                dialog->findChild<QLineEdit*>("fileNameEdit")->setText(answer);
                QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
            }
        });
        driver.start(50);
        QStringList chosen = open
            ? askOpenFileNames({"Aufzeichnung öffnen", "Kurvendateien (*.txt)|*.txt", folder.path()})
            : QStringList{askSaveFileName(
                  {"Textdatei speichern", "Grafiken (*.txt)|*.txt", "C:\\", "Kurve01.TXT", ".TXT"})};
        for (QString& path : chosen)
            path = path.isEmpty() ? path : QDir(folder).relativeFilePath(path);
        QTEST(chosen.join(' '), "result");
        QVERIFY2(seen.contains(buttons) && seen.contains("Test.TXT existiert") == !open, qPrintable(seen));
        QCOMPARE(contents(home.filePath("Test.TXT")), QByteArray("old"));
    }
};

QTEST_MAIN(TestRecords)
#include "test_records.moc"
