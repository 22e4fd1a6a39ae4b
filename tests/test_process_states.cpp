// The charge process state machine: mode and status texts, the decision a status makes, the
// transitions with the ends of a run and the full store, and the restart of a record.
#include "ProcessScript.h"

#include "link/Formtext.h"
#include "platform/PlotSurface.h"
#include "plot/Formgrafik.h"
#include "process/Formprotokoll.h"
#include "process/Variabelen.h"
#include "process/process.h"

#include <QLabel>
#include <QLineEdit>
#include <QtTest>

static const QString kVerloren = "Alte Daten sind verloren !!!";
// kOld: a text the frame under test should leave; kWhole: the locks an end leaves in the whole-record view.
static const QString kOld = "vorher", kWhole = "100000011";

static int logRows() { return forms.protokoll->model->rowCount(); }
// The sample number at the start of a log line.
static int loggedNumber(int row) { return forms.protokoll->model->line(row).section(u'\t', 0, 0).toInt(); }

// The texts a frame shows; kOld where an ignored frame leaves the text as it was.
struct Texts {
    int mode, status;
    QString modeText, statusText, hint;
};
// A frame in one state of the run: the script before it (as for Charger, and "w" to show the whole
// record instead of pages, "f" to move on to sample 1,999,999 next to the end of the store), then what
// the frame does: the sample number of the log line it adds (0 for none), the next sample number,
// locks, message and the state after it.
struct Step {
    int mode;
    QString before;
    int status, logged;
    float messNr;
    QString locks, message, after;
};

class TestProcessStates : public QObject {
    Q_OBJECT

private slots:
    // The ready hint of every mode, a status with its own hint, one without, the end, and frames
    // that are ignored.
    void texts_data()
    {
        QTest::addColumn<Texts>("texts");
        const QStringList modes{"Charge", "Discharge", "Charge to Discharge", "Discharge to Charge",
                                "Lead Battery Charge"};
        const QStringList starts{"Lade", "Entlade", "Lade- Entlade", "Entlade- Lade", "Lade"};
        const auto row = [&](int mode, int status, const QString& text, const QString& hint) {
            QTest::addRow("mode %d status %d", mode, status) << Texts{mode, status, modes[mode], text, hint};
        };
        for (int m = 0; m < 5; ++m)
            row(m, 1, "Ready, Battery connected", "Mit START den " + starts[m] + "vorgang beginnen !");
        row(3, 0, "No Battery", "Batterie an die 'Output 0,1 - 5A' Buchse des Ladomat Link II anschließen !");
        row(2, 6, "Charging in CHAR -> DISC Mode", "AKKU WIRD GELADEN (C/D MODE) ...");
        row(1, 8, "VORGANG BEENDET", "Vorgang erfolgreich beendet !");
        row(2, 9, "Pause Time", "");
        row(0, 3, kOld, kOld);  // a status outside the mode
        QTest::newRow("unknown mode 5") << Texts{5, 2, " 5", kOld, kOld};
    }

    void texts()
    {
        QFETCH(Texts, texts);
        TestApp app;
        Charger(app, 0).play("2 2");  // a run under way: a frame wrongly acted on would change it
        forms.text->Text6->setText(kOld);
        forms.mdi->StatusBar1->setText(kOld);
        Charger(app, texts.mode).frame(texts.status);
        QCOMPARE(forms.text->Text7->text(), texts.modeText);
        QCOMPARE(forms.text->Text6->text(), texts.statusText);
        QCOMPARE(forms.mdi->StatusBar1->text(), texts.hint);
        if (texts.hint == kOld)  // the record is left alone too
            QCOMPARE(V->MessNr, 3.0f);
    }

    // The statuses each mode acts on; it ignores all others, and an unknown mode ignores all.
    void actingStatuses_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("statuses");
        const char* rows[][2] = {{"0", "0128"}, {"1", "0138"}, {"2", "016789"}, {"3", "014589"},
                                 {"4", "0128"}, {"5", ""},     {"16", ""}};
        for (const auto& [mode, statuses] : rows)
            QTest::newRow(mode) << QString(mode) << QString(statuses);
    }

    void actingStatuses()
    {
        QFETCH(QString, mode);
        QString acting;
        for (int status = -1; status <= 10; ++status)
            if (AblaufEntscheiden(mode, status, 2, 0, 0, false).acts)
                acting += QString::number(status);
        QTEST(acting, "statuses");
    }

    // The decision alone, from mode, status, the status at the last tick, the ended and stopped
    // flags and a full store.
    void decision_data()
    {
        QTest::addColumn<QList<int>>("state");
        QTest::addColumn<QString>("does");
        const auto row = [](const char* name, QList<int> state, const char* does) {
            QTest::newRow(name) << state << QString(does);
        };
        row("no battery", {0, 0, 8, 1, 1, 0}, "lock reset");
        row("ready, open", {0, 1, 2, 0, 0, 0}, "lock");
        row("ready, ended", {0, 1, 8, 1, 0, 0}, "unlock");
        row("ready, stopped", {0, 1, 1, 1, 1, 0}, "keep");
        row("recording", {0, 2, 2, 0, 0, 0}, "lock record");
        row("recording after the end", {0, 2, 8, 1, 0, 0}, "lock record restart");
        row("status 6 after a stop", {2, 6, 1, 1, 1, 0}, "lock record restart lost");
        row("status 7 after the end", {2, 7, 8, 1, 0, 0}, "lock record restart");
        row("recording, full", {0, 2, 2, 1, 0, 1}, "keep");
        row("new run, full", {0, 2, 8, 1, 0, 1}, "keep restart");
        row("pause", {2, 9, 6, 0, 0, 0}, "keep pause");
        row("pause, full", {3, 9, 4, 1, 0, 1}, "keep");
        row("end", {4, 8, 2, 0, 0, 0}, "keep end");
    }

    void decision()
    {
        QFETCH(QList<int>, state);
        const Schritt s =
            AblaufEntscheiden(QString::number(state[0]), state[1], state[2], state[3], state[4], state[5]);
        QStringList does{QStringList{"keep", "lock", "unlock"}[static_cast<int>(s.controls)]};
        const bool set[] = {s.reset, s.record, s.pause, s.end, s.restart, s.lost};
        const char* words[] = {"reset", "record", "pause", "end", "restart", "lost"};
        for (int k = 0; k < 6; ++k)
            if (set[k])
                does << words[k];
        QTEST(s.acts ? does.join(u' ') : QString("ignored"), "does");
    }

    // Frames through the whole program, one row per branch of the decision.
    void transitions_data()
    {
        QTest::addColumn<Step>("step");
        const auto row = [](const char* name, const Step& step) { QTest::newRow(name) << step; };
        const QString open = "2 2", ended = "2 2 8 t", stopped = "2 2 t 1 t", full = "f 2 2 t";
        row("open, recording", {0, open, 2, 3, 4, kLocked, "", "open"});
        row("open, pause", {2, "6 6", 9, 0, 4, kMixed, "", "open"});
        row("open, end", {0, open, 8, 0, 3, kUnlocked, kSichern, "ended"});
        row("open, end, whole-record view", {0, "2 2 w", 8, 0, 3, kWhole, kSichern, "ended"});

        row("ended, no battery", {0, ended, 0, 0, 1, kLocked, kSichern, "ended"});
        row("ended, ready", {0, ended, 1, 0, 3, kUnlocked, kSichern, "ended"});
        row("ended, status 6, 8 at last tick", {2, "6 6 8 t", 6, 3, 1, kLocked, kVerloren, "open"});

        row("stopped, ready", {0, stopped, 1, 0, 3, kMixed, kStopMessage, "stopped"});
        row("stopped, recording", {0, stopped, 2, 3, 1, kLocked, kGeloescht, "open"});

        // The store's last sample, recorded or paused, ends the record; nothing more is recorded
        // until a new run (after the charger's end) starts a fresh record.
        const float last = kStoreSize + 1;
        row("filled by a sample", {0, "f 2", 2, kStoreSize, last, kUnlocked, kStoreFull, "ended"});
        row("filled by a pause", {2, "f 6", 9, 0, last, kUnlocked, kStoreFull, "ended"});
        row("full, recording", {0, full, 2, 0, last, kMixed, kStoreFull, "ended"});
        // Found by the fuzz target: the new record started with the exports still unlocked.
        row("full, new run", {0, full + " 8 t", 2, 0, 1, kLocked, kGeloescht, "open"});
    }

    void transitions()
    {
        QFETCH(Step, step);
        TestApp app;
        Charger charger(app, step.mode);
        for (const QString& s : step.before.split(u' ', Qt::SkipEmptyParts)) {
            if (s == u"w")
                V->Gesamtansicht = true;
            else if (s == u"f")
                V->MessNr = kStoreSize - 1, V->LetzteSeite = V->Seite = (kStoreSize - 1) / 720 + 1;
            else
                charger.play(s);
        }
        const int rows = logRows();
        setLocks(kMixed);
        charger.frame(step.status);
        QCOMPARE(logRows(), rows + (step.logged ? 1 : 0));
        QCOMPARE(step.logged ? loggedNumber(rows) : 0, step.logged);
        QCOMPARE(V->MessNr, step.messNr);
        QVERIFY(V->MessAnzahl <= kStoreSize);
        QCOMPARE(locks(), step.locks);
        QCOMPARE(messageField(), step.message);
        QCOMPARE(V->MessungBeendet, step.after == "open" ? 0 : 1);
        QCOMPARE(V->MessungGestoppt, step.after == "stopped" ? 1 : 0);
    }

    // A new run empties the plot and turns back to page 1; the old record's count stays until the
    // new record's first sample.
    void restart()
    {
        TestApp app;
        Charger charger(app, 0);
        const auto curvePixelsFrom3 = [] {  // of the voltage and current curves
            const QImage& image = forms.grafik->Picture1->image();
            const QImage part = image.copy(3, 0, image.width() - 3, image.height());
            return countColor(part, QColor(0, 128, 0)) + countColor(part, QColor(255, 0, 0));
        };
        V->MessNr = 4000, V->LetzteSeite = V->Seite = 6;  // sample 4000: mid page 6 of 12-minute pages
        charger.play("1 2 2 2 2 8 t");
        QVERIFY(curvePixelsFrom3() > 0);
        charger.frame(2);
        QCOMPARE(forms.protokoll->model->line(logRows() - 1), QString(" 4004\t 7006\t 10000\t 6"));
        QCOMPARE(QPair(V->Seite, V->LetzteSeite), QPair(1.0f, 1.0f));
        QCOMPARE(V->MessAnzahl, 4005.0f);
        QCOMPARE(curvePixelsFrom3(), 0);  // only the segment from the bottom left corner to sample 1
        charger.play("t 2");
        QCOMPARE(V->MessAnzahl, 2.0f);
    }
};

QTEST_MAIN(TestProcessStates)
#include "test_process_states.moc"
