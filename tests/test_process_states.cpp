// The charge process state machine: the decision a status makes, the texts a frame shows, the
// transitions with the ends of a run, the full store and the restart of a record.
#include "ProcessScript.h"

#include "platform/PlotSurface.h"
#include "process/ProtokollModel.h"

#include <QLabel>
#include <QLineEdit>
#include <QtTest>

static const QString kStoreFull = "Der Speicher ist voll:         ";

// A frame in one state of the run: the script before it (as for Charger, and "@n" to move on to sample n
// on its page), then what the frame leaves: the sample number of the log line it adds ("-" for none),
// MessNr, MessAnzahl, Seite/LetzteSeite, the ended and stopped flags, whether the plot shows curves
// (the voltage curve) right of the bottom left corner; the locks and the message.
struct Step {
    int mode, status;
    QString before, outcome, locks, message;
};

class TestProcessStates : public QObject {
    Q_OBJECT

private slots:
    // The decision alone: for a mode and the status at the last tick, the ended and stopped flags and
    // a full store, what each status from -1 to 10 does ("" for keep); statuses not listed are ignored.
    void decision_data()
    {
        QTest::addColumn<QList<int>>("state");
        QTest::addColumn<QString>("does");
        const auto row = [](const char* n, QList<int> s, QString d) { QTest::newRow(n) << s << d; };
        row("1, open", {1, 3, 0, 0, 0}, "0:lock+reset 1:lock 3:lock+record 8:end");
        row("unknown mode", {5, 2, 0, 0, 0}, "");
        row("2, ended", {2, 8, 1, 0, 0},
            "0:lock+reset 1:unlock 6:lock+record+restart+lost 7:lock+record+restart 8:end 9:pause");
        row("4, stopped", {4, 1, 1, 1, 0}, "0:lock+reset 1: 2:lock+record+restart 8:end");
        row("3, full", {3, 4, 1, 0, 1}, "0:lock+reset 1:unlock 4: 5: 8:end 9:");
        row("0, full, ended", {0, 8, 1, 0, 1}, "0:lock+reset 1:unlock 2:restart 8:end");
    }

    void decision()
    {
        QFETCH(QList<int>, state);
        QStringList does;
        for (int status = -1; status <= 10; ++status) {
            const Schritt s =
                AblaufEntscheiden(QString::number(state[0]), status, state[1], state[2], state[3], state[4]);
            const QString what = QStringList{"", "+lock", "+unlock"}[int(s.controls)] +
                (s.reset ? "+reset" : "") + (s.record ? "+record" : "") + (s.pause ? "+pause" : "") +
                (s.end ? "+end" : "") + (s.restart ? "+restart" : "") + (s.lost ? "+lost" : "");
            does << (s.acts ? QString::number(status) + ':' + what.mid(1) : QString());
        }
        QTEST(does.join(u' ').simplified(), "does");
    }

    // After a run under way, frame by frame: the mode's name, the status text and the hint (the
    // status's own, the mode's ready hint or none); a frame a mode ignores leaves status text and
    // hint, an unknown mode shows its number.
    void texts()
    {
        TestApp app;
        QStringList shown;
        for (const auto& [mode, status] : {std::pair{3, 1}, {2, 9}, {0, 3}, {5, 2}}) {
            Charger{app, mode}.frame(status);
            shown << app.mdi->text->Text7->text() + u'|' + app.mdi->text->Text6->text() + u'|' +
                    app.mdi->StatusBar1->text();
        }
        QCOMPARE(
            shown.join(u'\n'),
            "Discharge to Charge|Ready, Battery connected|Mit START den Entlade- Ladevorgang beginnen !\n"
            "Charge to Discharge|Pause Time|\nCharge|Pause Time|\n 5|Pause Time|");
    }

    // Frames through the whole program, one row per branch of the decision.
    void transitions_data()
    {
        QTest::addColumn<Step>("step");
        const auto row = [](const char* name, const Step& step) { QTest::newRow(name) << step; };
        const QString ended = "@4000 2 2 8 t", last = "@1999999", full = last + " 2 2 t 8 t";
        row("recording", {0, 2, "@4000 2 2", "4002 4003 4003 6/6 00 curves", kLocked, ""});
        row("pause", {2, 9, "6 6", "- 4 3 1/1 00 empty", kMixed, ""});
        row("end, whole-record view", {0, 8, "2 2 w", "- 3 3 1/1 10 empty", "100000011", kSichern});
        row("ended, no battery", {0, 0, ended, "- 1 4002 1/1 10 empty", kLocked, kSichern});
        row("ended, ready", {0, 1, ended, "- 4002 4002 6/6 10 curves", kUnlocked, kSichern});
        row("ended, 6", {2, 6, "6 6 8 t", "3 1 4 1/1 00 empty", kLocked, "Alte Daten sind verloren !!!"});
        // The store's last sample, recorded or paused, ends the record; nothing more is recorded
        // until a new run (after the charger's end) starts a fresh record, locked, on page 1 with an empty
        // plot; the old record's count stays until the new record's first sample.
        row("a sample fills",
            {0, 2, last + " 2", "2000000 2000001 2000000 2778/2778 10 curves", kUnlocked, kStoreFull});
        row("a pause fills",
            {2, 9, last + " 6", "- 2000001 2000000 2778/2778 10 curves", kUnlocked, kStoreFull});
        row("full, new run", {0, 2, full, "- 1 2000000 1/1 00 empty", kLocked, kGeloescht});
    }

    void transitions()
    {
        QFETCH(Step, step);
        TestApp app;
        ChargeSession& session = app.session();
        GraphView& view = app.mdi->grafik->view;
        Charger charger{app, step.mode};
        for (const QString& s : step.before.split(u' ')) {
            if (s.startsWith(u'@'))
                session.MessNr = s.mid(1).toFloat(),
                view.LetzteSeite = view.Seite = int(session.MessNr - 1) / 720 + 1;
            else
                s == u"w" ? void(view.Gesamtansicht = true) : charger.play(s);  // w: the whole record
        }
        const ProtokollModel* log = session.chargeLog;
        const int rows = log->rowCount();
        locks(app, kMixed);
        charger.frame(step.status);
        const QImage& image = app.mdi->grafik->Picture1->image();
        const bool curves = countColor(image.copy(image.rect().adjusted(3, 0, 0, 0)), QColor(0, 128, 0)) > 0;
        // A recorded sample moves MessNr on by one: the last log line is the only one added.
        const QString logged = log->rowCount() > rows ? log->line(rows).section(u'\t', 0, 0).trimmed() : "-";
        const QString outcome =
            QString::asprintf("%s %.0f %.0f %.0f/%.0f %d%d %s", qPrintable(logged), session.MessNr,
                              session.Messreihe.MessAnzahl, view.Seite, view.LetzteSeite,
                              session.MessungBeendet, session.MessungGestoppt, curves ? "curves" : "empty");
        QCOMPARE((QStringList{outcome, locks(app), messageField(app)}),
                 (QStringList{step.outcome, step.locks, step.message}));
    }
};

QTEST_MAIN(TestProcessStates)
#include "test_process_states.moc"
