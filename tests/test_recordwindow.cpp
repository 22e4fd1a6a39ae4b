// Record windows: a saved record shown and exported on its own, whatever the live run does.
#include "TestSupport.h"

#include "export/export.h"
#include "platform/PlotSurface.h"
#include "records/RecordFile.h"
#include "records/RecordWindow.h"
#include "records/SavedRecord.h"

#include <QCheckBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// A curve file as this program writes it: n samples of a slow wave, a falling current and a
// rising capacity.
QByteArray curveFile(const QTemporaryDir& dir, int n)
{
    Record record;
    for (int i = 1; i <= n; ++i) {
        record.KurveU[i] = std::round(30000 + 20000 * std::sin(i / 90.0));
        record.KurveI[i] = 50000 - 15 * i;
        record.KurveQ[i] = i / 2;
    }
    record.MessAnzahl = n;
    return writeCurveFile(dir.filePath("written.TXT"), record) ? contents(dir.filePath("written.TXT"))
                                                               : "(not written)";
}

QByteArray exported(const QTemporaryDir& dir, const Record& record)
{
    return writeCurveFile(dir.filePath("export.TXT"), record) ? contents(dir.filePath("export.TXT"))
                                                              : "(export failed)";
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

// Runs a line of the graph settings' actions: "> < whole 6min U30 Q20 Check1".
void operate(Formsetgraf& s, const QString& actions)
{
    for (const QString& action : actions.split(' ', Qt::SkipEmptyParts)) {
        if (action == ">")
            s.Command3->click();
        else if (action == "<")
            s.Command2->click();
        else if (action == "whole")
            s.Command1->click();
        else if (action == "6min")
            s.Option1->click();
        else if (action == "Check1")
            s.Check1->click();
        else if (action.startsWith('U'))
            s.HScroll1->setValue(action.mid(1).toInt());
        else if (action.startsWith('Q'))
            s.HScroll3->setValue(action.mid(1).toInt());
    }
}

}  // namespace

class TestRecordWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    // A record opened while the charger sends frames: the record window stays what the file holds
    // (status 0 would restart a live record), and the live run goes on as in a program where
    // nothing was opened: the same live record, and the same journal, one file.
    void openingLeavesTheLiveRunAlone_data()
    {
        QTest::addColumn<int>("status");  // of every frame, before and after opening
        QTest::newRow("idle charger, status 0") << 0;
        QTest::newRow("run recording, status 2") << 2;
        QTest::newRow("run ended, status 8") << 8;
    }
    void openingLeavesTheLiveRunAlone()
    {
        QFETCH(int, status);
        QTemporaryDir dir;
        const QString path = dir.filePath("Kurve.TXT");
        const QByteArray file = curveFile(dir, 1500);
        QVERIFY(write(path, file));
        const auto run = [&](TestApp& app, bool open) {
            app.session().startJournal(dir.filePath(open ? "opened" : "reference"));
            for (int second = 0; second < 20; ++second) {
                if (second == 10 && open)
                    app.mdi->openRecordWindow(path);
                app.send({.outputMv = 9000 + 10 * second, .status = second == 0 ? 2 : status});
                app.tick();
            }
            app.session().finishJournal(RecordEnd::programEnd);
        };
        TestApp opened, reference;
        run(opened, true);
        run(reference, false);
        const QList<RecordWindow*> windows = opened.mdi->findChildren<RecordWindow*>();
        QCOMPARE(windows.size(), 1);
        QCOMPARE(exported(dir, windows.first()->grafik->record()), file);
        const ChargeSession& live = opened.session();
        QCOMPARE(exported(dir, live.Messreihe), exported(dir, reference.session().Messreihe));
        QCOMPARE(live.MessNr, reference.session().MessNr);
        QCOMPARE(live.MessungBeendet, reference.session().MessungBeendet);
        const auto journal = [&dir](const char* folder) {
            QByteArrayList files;
            for (const QFileInfo& file :
                 QDir(dir.filePath(folder)).entryInfoList({"*.TXT"}, QDir::Files, QDir::Name))
                files << contents(file.filePath());
            return files;
        };
        QCOMPARE(journal("opened"), journal("reference"));
        QCOMPARE(journal("opened").size(), 1);
    }

    // The window's caption names the file and the record's start; the plot's caption carries the
    // record's own battery notes (blank without facts, never "?") and that start's date, the summary
    // panel the record's summary. The start comes from the facts, else from a journal name, else
    // from the file's time. The plot is the live graph's picture of the same record with those notes
    // and that date.
    void caption_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("facts");  // NAME.json beside it; empty: none
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("notes");  // '|' between the four
        QTest::addColumn<QDate>("date");  // in the plot's caption
        const QByteArray facts =
            R"({"format": 1, "start": "2026-12-05T08:00:00+01:00", "notes": ["Akku 1", "1700", "6", "7,2"]})"_ba;
        QTest::newRow("facts") << "2026-12-06_14-03-27.TXT" << facts
                               << "2026-12-06_14-03-27.TXT – 05.12.26 08:00"
                               << "Akku 1|1700|6|7,2" << QDate(2026, 12, 5);
        QTest::newRow("journal name, no facts") << "2026-12-06_14-03-27-2.TXT"
                                                << ""_ba
                                                << "2026-12-06_14-03-27-2.TXT – 06.12.26 14:03"
                                                << "|||" << QDate(2026, 12, 6);
        QTest::newRow("journal name, damaged facts")
            << "2026-12-06_14-03-27.TXT" << facts.left(40) << "2026-12-06_14-03-27.TXT – 06.12.26 14:03"
            << "|||" << QDate(2026, 12, 6);
        QTest::newRow("other name, the file's time")
            << "Kurve01.TXT" << facts.left(40) << "Kurve01.TXT – 03.02.20 04:05"
            << "|||" << QDate(2020, 2, 3);
    }
    void caption()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, facts);
        QFETCH(QString, notes);
        QFETCH(QDate, date);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        QVERIFY(write(path, curveFile(dir, 900)));
        QFile file(path);
        QVERIFY(
            file.open(QIODevice::ReadWrite) &&
            file.setFileTime(QDateTime(QDate(2020, 2, 3), QTime(4, 5)), QFileDevice::FileModificationTime));
        if (!facts.isEmpty())
            QVERIFY(write(factsPath(path), facts));
        TestApp app;
        const RecordWindow* window = app.mdi->openRecordWindow(path);
        QVERIFY(window);
        QTEST(MDIForm1::frameOf(const_cast<RecordWindow*>(window))->windowTitle(), "title");
        const auto live = liveGraph(path, window->grafik->size());
        const QStringList parts = notes.split('|');
        live->grafik.KopfzeilenSchreiben({parts[0], parts[1], parts[2], parts[3]}, date);
        QCOMPARE(window->grafik->Picture1->image(), live->image());
        // Its summary, with the share of the nominal capacity where the facts note one.
        const QString summary = window->summary->text();
        QVERIFY2(summary.startsWith("Dauer: 0:15:00\nMesswerte: 900\n") &&
                     summary.contains("Anteil der Nennkapazität") == !parts[1].isEmpty(),
                 qPrintable(summary));
    }

    // What the record window's settings do, they do as the live graph's settings do on the same
    // ended record (the live caption painted as the next frame would): the same picture, and one
    // that differs from page 1 where the view changed.
    void samePictureAsLiveGraph_data()
    {
        QTest::addColumn<QString>("actions");
        QTest::addColumn<bool>("changed");  // from page 1
        QTest::newRow("page 1") << "" << false;
        QTest::newRow("page 2") << ">" << true;
        QTest::newRow("last page, past it, back") << "> > > <" << true;
        QTest::newRow("whole view") << "whole" << true;
        QTest::newRow("whole view and back") << "whole whole" << false;
        QTest::newRow("6 minutes a page") << "6min" << true;
        QTest::newRow("voltage scale, capacity scale") << "U30 Q20" << true;
        QTest::newRow("no voltage curve, whole view") << "Check1 whole" << true;
    }
    void samePictureAsLiveGraph()
    {
        QFETCH(QString, actions);
        QTemporaryDir dir;
        const QString path = dir.filePath("Kurve.TXT");
        QVERIFY(write(path, curveFile(dir, 2000)));
        TestApp app;
        RecordWindow* window = app.mdi->openRecordWindow(path);
        QVERIFY(window);
        const QImage page1 = window->grafik->Picture1->image();
        const auto live = liveGraph(path, window->grafik->size());
        operate(*window->setgraf, actions);
        operate(live->setgraf, actions);
        live->grafik.KopfzeilenSchreiben({}, recordStart(path, {}).date());
        QCOMPARE(window->grafik->Picture1->image(), live->image());
        QTEST(window->grafik->Picture1->image() != page1, "changed");
        QCOMPARE(window->setgraf->Text1->text(), live->setgraf.Text1->text());
    }

    // The record window's exports, each through its save dialog: the curve file (by its button, and
    // by Ctrl+S pressed in the window just opened) is the file opened, byte for byte; the pictures
    // are the plot as shown.
    void exports_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("format");  // of the file written; empty: the curve file
        QTest::newRow("Ctrl+S") << "Ctrl+S"
                                << "";
        QTest::newRow("Textdatei erzeugen") << "textButton"
                                            << "";
        QTest::newRow("Grafik speichern") << "bitmapButton"
                                          << "bmp";
        QTest::newRow("Als PNG speichern") << "pngButton"
                                           << "png";
    }
    void exports()
    {
        QFETCH(QString, how);
        QFETCH(QString, format);
        QTemporaryDir dir;
        const QString path = dir.filePath("Kurve.TXT");
        QVERIFY(write(path, curveFile(dir, 3000)));
        TestApp app;
        app.mdi->show();
        app.mdi->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(app.mdi.get()));
        RecordWindow* window = app.mdi->openRecordWindow(path);
        QVERIFY(window);
        const QString saved = dir.filePath("saved");
        app.dialogs.answers << saved;
        if (how == "Ctrl+S") {
            QWidget* focus =
                QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
            QTest::keySequence(focus, QKeySequence(Qt::CTRL | Qt::Key_S));
        } else {
            window->findChild<QPushButton*>(how)->click();
        }
        QVERIFY2(app.dialogs.answers.isEmpty() && app.dialogs.messages.isEmpty(),
                 qPrintable(app.dialogs.messages.value(0).first + app.dialogs.answers.join(" ")));
        if (format.isEmpty()) {
            QCOMPARE(contents(saved), contents(path));
        } else {
            QImageReader reader(saved);
            QCOMPARE(QString(reader.format()), format);
            QCOMPARE(reader.read().convertToFormat(QImage::Format_RGB32),
                     window->grafik->Picture1->image().convertToFormat(QImage::Format_RGB32));
        }
    }
};

QTEST_MAIN(TestRecordWindow)
#include "test_recordwindow.moc"
