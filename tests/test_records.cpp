// Records kept on disk: the recording journal, opening saved records, and the save dialog's
// replace question in a German session.
#include "TestSupport.h"

#include "export/export.h"
#include "platform/CurveText.h"
#include "platform/JournalFile.h"
#include "process/Journal.h"
#include "process/Forms.h"
#include "shell/MDIForm1.h"
#include "shell/shell.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTextEdit>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Qt reads the session's language once, when the application starts: this is a German session.
const bool germanSession = [] {
    qunsetenv("LC_ALL");
    qunsetenv("LC_MESSAGES");
    qputenv("LANG", "de_DE.UTF-8");
    return true;
}();

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

QStringList records(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral("2*.TXT")}, QDir::Files, QDir::Name);
}

QByteArray exported(const QTemporaryDir& dir)
{
    const QString path = dir.filePath(QStringLiteral("export.TXT"));
    return writeCurveFile(path) ? contents(path) : QByteArray("(export failed)");
}

// The journal's contents once its writer thread has caught up with `expected` (at most 2 s; it
// writes every 100 ms), without running the event loop between two simulated seconds.
QByteArray journalled(const QString& path, const QByteArray& expected)
{
    QByteArray now = contents(path);
    for (int waited = 0; now != expected && waited < 2000; waited += 10) {
        QThread::msleep(10);
        now = contents(path);
    }
    return now;
}

// Plays a scenario second by second: its bytes, then a tick of both timers.
void play(TestApp& app, const std::string& name, const std::function<void()>& eachSecond = {})
{
    for (const std::string& bytes : ladomat::sim::scenario(name)) {
        if (!bytes.empty())
            app.sendRaw(QByteArray::fromStdString(bytes));
        app.tick();
        if (eachSecond)
            eachSecond();
    }
}

}  // namespace

class TestRecords : public QObject {
    Q_OBJECT

private slots:
    // A whole simulated run: the newest journal file equals the export whenever looked at, each
    // restart leaves the record before it complete, and the folder keeps the newest 50 records
    // (50 old ones were there) and nothing of other names is touched.
    void journalEqualsExport_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<int>("files");
        QTest::newRow("charge") << "nimh-charge" << 1;
        QTest::newRow("pause in charge then discharge") << "charge-discharge" << 1;
        QTest::newRow("stop, then a new run") << "stop" << 2;
        QTest::newRow("no battery between two runs") << "discharge+no-battery+discharge" << 2;
    }
    void journalEqualsExport()
    {
        QFETCH(QString, scenario);
        QFETCH(int, files);
        QTemporaryDir dir;
        const QDir folder(dir.filePath(QStringLiteral("Aufzeichnungen")));
        QDir().mkpath(folder.path());
        const auto old = [](int k) {
            return QStringLiteral("2000-01-01_00-00-%1.TXT").arg(k, 2, 10, QChar('0'));
        };
        for (int k = 0; k < 50; ++k)
            write(folder.filePath(old(k)), "1,0,0,0\r\n");
        write(folder.filePath(QStringLiteral("Kurve01.TXT")), "mine");
        TestApp app;
        V->journal = std::make_unique<Journal>(folder.path());
        int second = 0;
        for (const QString& part : scenario.split('+')) {
            play(app, part.toStdString(), [&] {
                if (++second % 307 == 0 && !V->journal->path().isEmpty()) {
                    const QByteArray expected = exported(dir);
                    QCOMPARE(journalled(V->journal->path(), expected), expected);
                }
            });
        }
        const QByteArray expected = exported(dir);
        QCOMPARE(journalled(V->journal->path(), expected), expected);
        const QStringList kept = records(folder.path());
        QVERIFY(kept.size() == 50 && kept.first() == old(files) && V->MessAnzahl > 100);
        for (const QString& name : kept.mid(50 - files)) {
            const QByteArray text = contents(folder.filePath(name));
            QVERIFY(parseCurveFile(text.toStdString(), kStoreSize).badLine == 0 && text.size() > 1000);
        }
        QCOMPARE(contents(folder.filePath(QStringLiteral("Kurve01.TXT"))), QByteArray("mine"));
    }

    // A folder that cannot be written: one line on standard error, no dialog, the run goes on.
    void unwritableJournalFolder()
    {
        QTemporaryDir dir;
        write(dir.filePath(QStringLiteral("file")), "x");
        TestApp app;
        V->journal = std::make_unique<Journal>(dir.filePath(QStringLiteral("file/Aufzeichnungen")));
        const QString errPath = dir.filePath(QStringLiteral("stderr"));
        std::fflush(stderr);
        const int saved = ::dup(2);
        const int err = ::open(qPrintable(errPath), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(err, 2);
        for (int k = 1; k <= 30; ++k)
            app.send({.outputMv = 12000 + k, .status = 2});
        std::fflush(stderr);
        ::dup2(saved, 2);
        ::close(saved);
        ::close(err);
        const QByteArray printed = contents(errPath).trimmed();
        QVERIFY2(!printed.contains('\n') && printed.contains("Aufzeichnung") &&
                     printed.contains("file/Aufzeichnungen"),
                 printed.constData());
        QVERIFY(V->MessNr == 31.0f && app.dialogs.messages.isEmpty());
    }

    // The records to delete: beyond the newest 50, beyond 2 GB, oldest first and never a gap;
    // the record being written and files of other names always stay.
    void retention_data()
    {
        QTest::addColumn<QStringList>("files");  // name:size
        QTest::addColumn<int>("keep");
        QTest::addColumn<QStringList>("deleted");
        QStringList many;
        for (int minute = 0; minute < 52; ++minute)
            many << QStringLiteral("2024-03-01_10-%1-00.TXT:10").arg(minute, 2, 10, QChar('0'));
        QTest::newRow("52 records") << many << 50
                                    << QStringList{"2024-03-01_10-00-00.TXT", "2024-03-01_10-01-00.TXT"};
        QTest::newRow("2 GB") << QStringList{"2024-01-01_00-00-00.TXT:100",
                                             "2024-01-02_00-00-00.TXT:900000000",
                                             "2024-01-03_00-00-00.TXT:1500000000",
                                             "2024-01-04_00-00-00.TXT:10"}
                              << 50 << QStringList{"2024-01-01_00-00-00.TXT", "2024-01-02_00-00-00.TXT"};
        QTest::newRow("same second") << QStringList{"2024-01-01_00-00-00-2.TXT:1",
                                                    "2024-01-01_00-00-00.TXT:1",
                                                    "2024-01-01_00-00-00-10.TXT:1"}
                                     << 2 << QStringList{"2024-01-01_00-00-00.TXT"};
        QTest::newRow("other names") << QStringList{"Kurve01.TXT:1", "2024-01-01_00-00-00.txt:1", "notes:1",
                                                    "2024-01-01_00-00-00.TXT:1", "2024-01-02_00-00-00.TXT:1"}
                                     << 1 << QStringList{"2024-01-01_00-00-00.TXT"};
        QTest::newRow("current is the oldest")
            << QStringList{"2024-01-01_00-00-00.TXT:1", "2024-01-02_00-00-00.TXT:1"} << 1
            << QStringList{"2024-01-02_00-00-00.TXT"};
    }
    void retention()
    {
        QFETCH(QStringList, files);
        QFETCH(int, keep);
        QFETCH(QStringList, deleted);
        QList<JournalEntry> entries;
        for (const QString& file : files)
            entries.append({file.section(':', 0, 0), file.section(':', 1).toLongLong()});
        const QString current = QTest::currentDataTag() == QByteArray("current is the oldest")
            ? entries.first().name
            : entries.last().name;
        QCOMPARE(journalFilesToDelete(entries, current, keep, 2'000'000'000), deleted);
    }

    // Curve lines read back: count and values, or the first line that is not a curve line.
    void parsing_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("maxLines");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("badLine");
        QTest::addColumn<float>("lastU");
        QTest::newRow("empty") << QByteArray() << 9 << 0 << 0 << 0.0f;
        QTest::newRow("export") << QByteArray("1,12460,1500,0\r\n2,65535,0,7\r\n") << 9 << 2 << 0 << 65535.0f;
        QTest::newRow("LF, last unended") << QByteArray("1,1,2,3\n2,4,5,6") << 9 << 2 << 0 << 4.0f;
        QTest::newRow("gap in numbers") << QByteArray("1,1,1,1\r\n3,1,1,1\r\n") << 9 << 1 << 2 << 1.0f;
        QTest::newRow("above 65535") << QByteArray("1,0,0,0\r\n2,65536,0,0\r\n") << 9 << 1 << 2 << 0.0f;
        QTest::newRow("negative") << QByteArray("1,-5,0,0\r\n") << 9 << 0 << 1 << 0.0f;
        QTest::newRow("three fields") << QByteArray("1,2,3\r\n") << 9 << 0 << 1 << 0.0f;
        QTest::newRow("decimal") << QByteArray("1,2.5,3,4\r\n") << 9 << 0 << 1 << 0.0f;
        QTest::newRow("empty line") << QByteArray("1,2,3,4\r\n\r\n") << 9 << 1 << 2 << 2.0f;
        QTest::newRow("text after") << QByteArray("1,2,3,4 mAh\r\n") << 9 << 0 << 1 << 0.0f;
        QTest::newRow("too many lines")
            << QByteArray("1,0,0,0\r\n2,0,0,0\r\n3,0,0,0\r\n") << 2 << 2 << 3 << 0.0f;
    }
    void parsing()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, maxLines);
        const CurveFile file = parseCurveFile(text.toStdString(), maxLines);
        QTEST(file.count, "count");
        QTEST(file.badLine, "badLine");
        QTEST(file.u[file.count], "lastU");
    }

    // An export opens again as an ended record that exports to the same bytes; a bad file is
    // refused naming its line, the store untouched; the next run the charger starts replaces it;
    // without a port the program stays as a viewer without message or link alarm.
    void openingSavedRecords()
    {
        QTemporaryDir dir;
        const QString saved = dir.filePath(QStringLiteral("saved.TXT"));
        {
            TestApp recorder;
            play(recorder, "discharge-charge");
            QVERIFY(writeCurveFile(saved) && V->MessAnzahl > 100);
        }
        TestApp app;
        QVERIFY(openRecordFile(saved));
        QCOMPARE(exported(dir), contents(saved));
        QVERIFY(V->MessungBeendet == 1 && app.mdi->m_maketext->isEnabled() &&
                forms.setgraf->Command3->isEnabled());

        const QString bad = dir.filePath(QStringLiteral("bad.TXT"));
        write(bad, "1,1,1,1\r\n2,1,1\r\n");
        QVERIFY(!openRecordFile(bad));
        QCOMPARE(app.dialogs.messages.size(), 1);
        QVERIFY(app.dialogs.messages.first().first.contains(QStringLiteral("bad.TXT")) &&
                app.dialogs.messages.first().first.contains(QStringLiteral("Zeile 2")));
        QCOMPARE(exported(dir), contents(saved));

        app.send({.outputMv = 9000, .status = 2});
        QCOMPARE(V->MessNr, 1.0f);
        QCOMPARE(forms.akku->Text7->text(), QStringLiteral("Alte Daten sind gelöscht !!!"));

        RecordingDialogs dialogs;
        auto* port = new MemorySerialPort;
        port->setAvailablePorts({});
        MDIForm1 viewer(port, nullptr, saved);
        QVERIFY(!viewer.ended() && dialogs.messages.isEmpty() && !viewer.Timer1->isActive());
        QCOMPARE(viewer.StatusBar1->text(), QStringLiteral("Kein COM Port – nur Ansicht"));
        QTRY_COMPARE(exported(dir), contents(saved));
    }

    // The real file dialog in a German session: German buttons, and typing "Test" where Test.TXT
    // exists asks (in German) before replacing it; answering no replaces nothing.
    void saveDialogAsksInGerman()
    {
        QTemporaryDir home;
        qputenv("HOME", home.path().toLocal8Bit());
        write(home.filePath(QStringLiteral("Test.TXT")), "old");
        setUpApplication();
        setDialogBackend(nullptr);
        QString buttons, question;
        QTimer driver;
        connect(&driver, &QTimer::timeout, this, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                question = box->text();
                box->button(QMessageBox::No)->click();
            } else if (auto* dialog = qobject_cast<QFileDialog*>(modal); dialog && !question.isEmpty()) {
                dialog->reject();
            } else if (dialog) {
                for (QPushButton* button :
                     dialog->findChild<QDialogButtonBox*>()->findChildren<QPushButton*>())
                    buttons += button->text().remove('&') + ' ';
                dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                    ->setText(QStringLiteral("Test"));
                QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
            }
        });
        driver.start(50);
        const QString path = askSaveFileName({.title = QStringLiteral("Textdatei speichern"),
                                              .filter = QStringLiteral("Grafiken (*.txt)|*.txt"),
                                              .initialFolder = QStringLiteral("C:\\"),
                                              .proposedName = QStringLiteral("Kurve01.TXT"),
                                              .defaultExtension = QStringLiteral(".TXT")});
        driver.stop();
        QCOMPARE(path, QString());
        QVERIFY2(buttons.contains("Speichern") && buttons.contains("Abbrechen"), qPrintable(buttons));
        QVERIFY2(question.contains("Test.TXT") && question.contains("existiert"), qPrintable(question));
        QCOMPARE(contents(home.filePath(QStringLiteral("Test.TXT"))), QByteArray("old"));
    }
};

QTEST_MAIN(TestRecords)
#include "test_records.moc"
