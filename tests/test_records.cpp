// Records kept on disk: the recording journal, opening saved records, and the save dialog's
// replace question in a German session.
#include "TestSupport.h"

#include "export/export.h"
#include "platform/CurveText.h"
#include "platform/JournalFile.h"
#include "process/Journal.h"
#include "shell/MDIForm1.h"
#include "shell/shell.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include <fcntl.h>
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

}  // namespace

class TestRecords : public QObject {
    Q_OBJECT

private slots:
    // Simulated runs ("a+b": one after the other): the newest journal file equals the export
    // whenever looked at and still a quarter second later (its writer thread is waited for, at most
    // 2 s, without running the event loop), each restart leaves the record before it complete, and
    // the folder keeps the newest 50 records (50 old ones were there). A folder that cannot be
    // written costs one line on standard error, no dialog, and the run goes on.
    void journalEqualsExport_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<int>("files");  // records the run writes; 0: the folder cannot be written
        QTest::newRow("pause in charge then discharge") << "charge-discharge" << 1;
        QTest::newRow("stop, then a new run") << "stop" << 2;
        QTest::newRow("no battery between two runs") << "discharge+no-battery+discharge" << 2;
        QTest::newRow("unwritable folder, two runs") << "stop" << 0;
    }
    void journalEqualsExport()
    {
        QFETCH(QString, scenario);
        QFETCH(int, files);
        QTemporaryDir dir;
        const QDir folder(dir.filePath(files ? "Aufzeichnungen" : "file/Aufzeichnungen"));
        const auto old = [](int k) {
            return QStringLiteral("2000-01-01_00-00-%1.TXT").arg(k, 2, 10, QChar('0'));
        };
        for (int k = 0; k < 50; ++k)
            QVERIFY(files ? folder.mkpath(".") && write(folder.filePath(old(k)), "1,0,0,0\r\n")
                          : write(dir.filePath("file"), ""));
        TestApp app;
        ChargeSession& session = app.session();
        session.journal = std::make_unique<Journal>(folder.path());
        const auto journalIsExport = [&] {
            const QByteArray expected = exported(dir, session.Messreihe);
            for (int waited = 0; contents(session.journal->path()) != expected && waited < 2000; waited += 10)
                QThread::msleep(10);
            QThread::msleep(250);  // and stays so through the writer's next rounds
            QCOMPARE(contents(session.journal->path()), expected);
        };
        std::fflush(stderr);
        const int saved = ::dup(2),
                  err = ::open(qPrintable(dir.filePath("stderr")), O_WRONLY | O_CREAT, 0644);
        ::dup2(err, 2);
        int second = 0;
        for (const QString& name : scenario.split('+')) {
            for (const std::string& bytes : ladomat::sim::scenario(name.toStdString())) {
                app.sendRaw(QByteArray::fromStdString(bytes));
                app.tick();
                if (++second % 500 == 0 && !session.journal->path().isEmpty())
                    journalIsExport();
            }
        }
        std::fflush(stderr);
        ::dup2(saved, 2);
        const QByteArray printed = contents(dir.filePath("stderr"));
        QVERIFY2(printed.count('\n') == (files ? 0 : 1) && (files || printed.contains("file/Aufzeichnungen")),
                 printed.constData());
        QVERIFY(::close(saved) == 0 && ::close(err) == 0 && app.dialogs.messages.isEmpty() &&
                session.Messreihe.MessAnzahl > 100);
        if (files == 0)
            return;
        journalIsExport();
        const QStringList kept = folder.entryList(QDir::Files, QDir::Name);
        QVERIFY(kept.size() == 50 && kept.first() == old(files));
        for (const QString& name : kept.mid(50 - files))
            QCOMPARE(parseCurveFile(contents(folder.filePath(name)).toStdString(), kStoreSize).badLine, 0);
    }

    // The records to delete: beyond the newest `keep`, beyond 2 GB, oldest first and never a gap;
    // the record being written (*) and files of other names always stay.
    void retention_data()
    {
        QTest::addColumn<QString>("files");  // name:size
        QTest::addColumn<int>("keep");
        QTest::addColumn<QString>("deleted");
        QTest::newRow("2 GB") << "2024-01-01_00-00-00.TXT:100 2024-01-02_00-00-00.TXT:900000000 "
                                 "2024-01-03_00-00-00.TXT:1500000000 2024-01-04_00-00-00.TXT:10*"
                              << 50 << "2024-01-01_00-00-00.TXT 2024-01-02_00-00-00.TXT";
        QTest::newRow("same second, other names")
            << "2024-01-01_00-00-00-2.TXT:1 Kurve01.TXT:1 notes:1 2024-01-01_00-00-00.txt:1 "
               "2024-01-01_00-00-00.TXT:1 2024-01-01_00-00-00-10.TXT:1*"
            << 2 << "2024-01-01_00-00-00.TXT";
        QTest::newRow("current is the oldest")
            << "2024-01-01_00-00-00.TXT:1* 2024-01-02_00-00-00.TXT:1 2024-01-03_00-00-00.TXT:1" << 2
            << "2024-01-02_00-00-00.TXT";
    }
    void retention()
    {
        QFETCH(QString, files);
        QFETCH(int, keep);
        QList<JournalEntry> entries;
        QString current;
        for (const QString& file : files.split(' ')) {
            entries.append({file.section(':', 0, 0), file.section(':', 1).remove('*').toLongLong()});
            current = file.endsWith('*') ? entries.last().name : current;
        }
        QTEST(journalFilesToDelete(entries, current, keep, 2'000'000'000).join(' '), "deleted");
    }

    // A curve file opens as an ended record that exports to the same lines; a bad one is refused
    // naming the first line that is not a curve line, the store untouched.
    void openingSavedRecords_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("exports");  // empty: refused
        QTest::addColumn<int>("badLine");
        QTest::newRow("export") << "1,12460,1500,0\r\n2,65535,0,7\r\n"_ba
                                << "1,12460,1500,0\r\n2,65535,0,7\r\n"_ba << 0;
        QTest::newRow("LF, last unended") << "1,1,2,3\n2,4,5,6"_ba
                                          << "1,1,2,3\r\n2,4,5,6\r\n"_ba << 0;
        QTest::newRow("gap in numbers") << "1,1,1,1\r\n3,1,1,1\r\n"_ba << QByteArray() << 2;
        QTest::newRow("above 65535") << "1,0,0,0\r\n2,65536,0,0\r\n"_ba << QByteArray() << 2;
        QTest::newRow("negative") << "1,-5,0,0\r\n"_ba << QByteArray() << 1;
        QTest::newRow("three fields") << "1,1,1,1\r\n2,1,1\r\n"_ba << QByteArray() << 2;
        QTest::newRow("empty line") << "1,2,3,4\r\n\r\n"_ba << QByteArray() << 2;
        QTest::newRow("text after") << "1,2,3,4 mAh\r\n"_ba << QByteArray() << 1;
    }
    void openingSavedRecords()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, exports);
        QFETCH(int, badLine);
        QTemporaryDir dir;
        const QString path = dir.filePath("Kurve.TXT");
        TestApp app;
        app.send({.outputMv = 9000, .status = 2});
        const ChargeSession& session = app.session();
        const QByteArray before = exported(dir, session.Messreihe);
        QVERIFY(write(path, text) && app.mdi->openRecordFile(path) == !exports.isEmpty() &&
                session.MessungBeendet == !exports.isEmpty());
        QCOMPARE(exported(dir, session.Messreihe), exports.isEmpty() ? before : exports);
        QCOMPARE(app.dialogs.messages.value(0).first,
                 exports.isEmpty()
                     ? QStringLiteral("Die Datei %1 ist keine Kurvendatei: Zeile %2 ist fehlerhaft !")
                           .arg(path)
                           .arg(badLine)
                     : "");
        QCOMPARE(parseCurveFile("1,0,0,0\r\n2,0,0,0\r\n3,0,0,0\r\n", 2).badLine,
                 3);  // beyond the store's size
    }

    // A file given and no port: a viewer of the loaded record, without port message or link alarm.
    void viewerWithoutPort()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("Kurve.TXT");
        QVERIFY(write(path, "1,12460,1500,0\r\n2,12470,1500,1\r\n"));
        RecordingDialogs dialogs;
        auto* port = new MemorySerialPort;
        port->setAvailablePorts({});
        MDIForm1 mdi(port, nullptr, path);
        QTRY_COMPARE(mdi.session->Messreihe.MessAnzahl, 2.0f);
        QCOMPARE(mdi.StatusBar1->text(), QStringLiteral("Kein COM Port – nur Ansicht"));
        QVERIFY(dialogs.messages.isEmpty() && !mdi.Timer1->isActive() && !mdi.Timer2->isActive());
    }

    // A file dropped on the main window opens, except while a run is being recorded: then a
    // message says why and the store stays as it is.
    void droppedFile()
    {
        QTemporaryDir dir;
        QVERIFY(write(dir.filePath("Kurve.TXT"), "1,1,2,3\r\n"));
        TestApp app;
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(dir.filePath("Kurve.TXT"))});
        QStringList seen;
        for (const int status : {2, 2, 8}) {
            app.send({.outputMv = 9000, .status = status});
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            static_cast<QObject*>(app.mdi.get())->event(&drop);  // as the window system hands it over
            seen << QString::number(app.session().Messreihe.MessAnzahl) + ' ' +
                    app.dialogs.messages.value(0).first;
            app.dialogs.messages.clear();
        }
        QCOMPARE(seen.join(QLatin1Char('|')),
                 "2 Während einer Aufzeichnung kann keine Datei geöffnet werden !|"
                 "3 Während einer Aufzeichnung kann keine Datei geöffnet werden !|1 ");
    }

    // The real file dialog in a German session: German buttons, and typing "Test" where Test.TXT
    // exists asks (in German) before replacing it; answering no replaces nothing.
    void saveDialogAsksInGerman()
    {
        QTemporaryDir home;
        qputenv("HOME", home.path().toLocal8Bit());
        QVERIFY(write(home.filePath("Test.TXT"), "old"));
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
                dialog->findChild<QLineEdit*>("fileNameEdit")->setText("Test");
                QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
            }
        });
        driver.start(50);
        QVERIFY(
            askSaveFileName({"Textdatei speichern", "Grafiken (*.txt)|*.txt", "C:\\", "Kurve01.TXT", ".TXT"})
                .isEmpty());
        QVERIFY2(seen.contains("Speichern Abbrechen") && seen.contains("Test.TXT existiert"),
                 qPrintable(seen));
        QCOMPARE(contents(home.filePath("Test.TXT")), QByteArray("old"));
    }
};

QTEST_MAIN(TestRecords)
#include "test_records.moc"
