// The charge session without any window: readings and timer ticks in, its signals and record out.
#include "process/ChargeSession.h"
#include "process/ProtokollModel.h"

#include <QtTest>

namespace {

// A session fed as the frame chain feeds it, with everything it says in order, one word each:
// "lock", "unlock", "clear", "curve N", "end charger|stop|full", "silent/L", "msg <first line>/L"
// with L the message's line ends.
struct Session {
    ChargeSession session;
    QStringList said;
    int mode, sent = 0;

    explicit Session(int mode = 0)
        : mode(mode)
    {
        ChargeSession* s = &session;
        QObject::connect(s, &ChargeSession::controlsLocked,
                         [this](bool locked) { said << (locked ? "lock" : "unlock"); });
        QObject::connect(s, &ChargeSession::recordCleared, [this] { said << "clear"; });
        QObject::connect(s, &ChargeSession::curveExtended,
                         [this](float n) { said << "curve " + QString::number(n, 'f', 0); });
        QObject::connect(s, &ChargeSession::recordEnded, [this](ChargeSession::EndReason reason) {
            said << QStringList{"end charger", "end stop", "end full"}[int(reason)];
        });
        // A message by its first line and its line ends: the lines, and the blank lines between them.
        const auto lines = [](const QString& text) { return '/' + QString::number(text.count(u"\r\n")); };
        QObject::connect(s, &ChargeSession::linkSilent,
                         [this, lines](const QString& alarm) { said << "silent" + lines(alarm); });
        QObject::connect(s, &ChargeSession::message, [this, lines](const QString& text) {
            said << "msg " + text.section("\r\n", 0, 0).trimmed() + lines(text);
        });
    }

    // The k-th frame (from 0) carries output voltage 7000 + k and capacity k, and a data set of its own.
    void frame(int status)
    {
        const Messwerte reading{QString::number(mode), 0, 12460, 7000 + sent, 10000, sent, int16_t(status)};
        session.DatenWandeln(QString::number(sent++), reading);
        session.AblaufAuswerten();
    }
    // Status numbers (one frame each), "t" (a tick of both timers), "@n" (the record at slot n).
    void play(const QString& script)
    {
        for (const QString& step : script.split(u' ', Qt::SkipEmptyParts)) {
            if (step == u"t") {
                session.Timer1_Timer();
                session.Timer2_Timer();
            } else if (step.startsWith(u'@')) {
                session.MessNr = step.mid(1).toFloat();
            } else {
                frame(step.toInt());
            }
        }
    }
};

}  // namespace

class TestSession : public QObject {
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

    // Each status a mode acts on names the mode, the status and the status bar's hint (the status's
    // own, or the mode's ready hint); a status the mode ignores names the mode alone, an unknown mode
    // nothing.
    void names_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("named");  // mode|status|hint
        const auto row = [](int mode, int status, const QString& named) {
            QTest::addRow("mode %d, status %d", mode, status) << mode << status << named;
        };
        row(0, 0,
            "Charge|No Battery|Batterie an die 'Output 0,1 - 5A' Buchse des Ladomat Link II anschließen !");
        row(0, 1, "Charge|Ready, Battery connected|Mit START den Ladevorgang beginnen !");
        row(1, 1, "Discharge|Ready, Battery connected|Mit START den Entladevorgang beginnen !");
        row(2, 1,
            "Charge to Discharge|Ready, Battery connected|Mit START den Lade- Entladevorgang beginnen !");
        row(3, 1,
            "Discharge to Charge|Ready, Battery connected|Mit START den Entlade- Ladevorgang beginnen !");
        row(4, 1, "Lead Battery Charge|Ready, Battery connected|Mit START den Ladevorgang beginnen !");
        row(0, 2, "Charge|Charging|AKKU WIRD GELADEN ...");
        row(1, 3, "Discharge|Discharging|AKKU WIRD ENTLADEN ...");
        row(3, 4, "Discharge to Charge|Discharging in DISC -> CHAR Mode|AKKU WIRD ENTLADEN (D/C MODE) ...");
        row(3, 5, "Discharge to Charge|Charging in DISC -> CHAR Mode|AKKU WIRD GELADEN (D/C MODE) ...");
        row(2, 6, "Charge to Discharge|Charging in CHAR -> DISC Mode|AKKU WIRD GELADEN (C/D MODE) ...");
        row(2, 7, "Charge to Discharge|Discharging in CHAR -> DISC Mode|AKKU WIRD ENTLADEN (C/D MODE) ...");
        row(1, 8, "Discharge|VORGANG BEENDET|Vorgang erfolgreich beendet !");
        row(3, 9, "Discharge to Charge|Pause Time|");
        row(0, 3, "Charge");
        row(5, 2, "");
    }
    void names()
    {
        QFETCH(int, mode);
        QFETCH(int, status);
        Session s(mode);
        QStringList named;
        for (const auto signal :
             {&ChargeSession::modeNamed, &ChargeSession::statusNamed, &ChargeSession::statusHint})
            QObject::connect(&s.session, signal, [&named](const QString& name) { named << name; });
        s.frame(status);
        QTEST(named.join(u'|'), "named");
    }

    // A frame or a tick in a state of the run: the script before it (as Session::play), then the step,
    // and what the step says, in order, and leaves: the sample number of the log line it adds ("-" for
    // none), MessNr, MessAnzahl, the ended and stopped flags.
    void steps_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("said");  // what it says / what it leaves
        const auto row = [](const char* name, int mode, QString before, QString step, QString said,
                            QString record) {
            QTest::newRow(name) << mode << before << step << said + " / " + record;
        };
        const QString ended = "@4000 2 2 8 t", stopped = "1 t 2 t 2 t 1 t", full = "@1999999 2 2 t 8 t";
        row("ready before a run", 0, "", "1", "lock", "- 1 0 00");
        row("first sample", 0, "1", "2", "lock|curve 1", "1:7001 2 2 00");
        row("recording", 0, "@4000 2 2", "2", "lock|curve 4002", "4002:7002 4003 4003 00");
        row("mode ignores status", 0, "1 2", "3", "", "- 2 2 00");
        row("unknown mode", 5, "", "2", "", "- 1 0 00");
        row("pause", 2, "6 6", "9", "", "- 4 3 00");
        row("phases go on", 2, "6 9", "7", "lock|curve 3", "3:7002 4 4 00");
        row("end", 0, "2 2", "8", "unlock|end charger|msg Sie sollten jetzt die Daten sichern !!!/0",
            "- 3 3 10");
        row("no battery", 0, "@4000 2 2", "0", "lock|clear", "- 1 4002 00");
        row("ended, no battery", 0, ended, "0", "lock|clear", "- 1 4002 10");
        row("ended, ready", 0, ended, "1", "unlock", "- 4002 4002 10");
        row("ended, new run", 0, ended, "2",
            "lock|curve 4002|lock|msg Alte Daten sind gelöscht !!!/0|clear|curve 1", "4002:7003 1 4003 00");
        row("ended, new run in 6", 2, "6 6 8 t", "6",
            "lock|curve 3|lock|msg Alte Daten sind verloren !!!/0|clear|curve 1", "3:7003 1 4 00");
        row("ended, a status between", 0, "2 2 8 t 1 t", "2", "lock|curve 3", "3:7004 4 4 10");
        row("stop", 0, "1 t 2 t 2 t 1", "t", "msg Sie haben auf STOP gedrückt !/7|unlock|end stop",
            "- 3 3 11");
        row("stop after 7", 2, "1 t 6 t 7 t 1", "t", "msg Sie haben auf STOP gedrückt !/7|unlock|end stop",
            "- 3 3 11");
        row("no stop after a pause", 2, "1 t 6 t 9 t 1", "t", "", "- 3 2 00");
        row("ready between two ticks only", 0, "1 t 2 t 1 2", "t", "", "- 3 3 00");
        row("after 8, no stop", 0, "1 t 2 t 8 t 1", "t", "", "- 2 2 10");
        row("stopped, ready", 0, stopped, "1", "", "- 3 3 11");
        row("stopped, new run", 0, stopped, "2",
            "lock|curve 3|lock|msg Alte Daten sind gelöscht !!!/0|clear|curve 1", "3:7004 1 4 00");
        row("a sample fills", 0, "@1999999 2", "2",
            "lock|curve 2000000|unlock|end full|msg Der Speicher ist voll:/4",
            "2000000:7001 2000001 2000000 10");
        row("a pause fills", 2, "@1999999 6", "9", "unlock|end full|msg Der Speicher ist voll:/4",
            "- 2000001 2000000 10");
        row("full, a sample", 0, "@1999999 2 2", "2", "", "- 2000001 2000000 10");
        row("full, new run", 0, full, "2", "lock|msg Alte Daten sind gelöscht !!!/0|clear|curve 1",
            "- 1 2000000 00");
        row("link alive", 0, "1 t 1 t 1 t 1 t 1 t", "t", "", "- 1 0 00");
        row("5 silent ticks", 0, "t t t t", "t", "", "- 1 0 00");
        row("6 silent ticks", 0, "t t t t t", "t", "silent/19", "- 1 0 00");
        row("frames come back", 0, "t t t t t t 1", "t", "", "- 1 0 00");
        row("a frozen frame", 0, "1 t t t t t", "t", "silent/19", "- 1 0 00");
    }
    void steps()
    {
        QFETCH(int, mode);
        QFETCH(QString, before);
        QFETCH(QString, step);
        Session s(mode);
        s.play(before);
        const ChargeSession& session = s.session;
        const int rows = session.chargeLog->rowCount();
        s.said.clear();
        s.play(step);
        // A recorded sample moves MessNr on by one: the last log line is the only one added, with
        // the sample number and the voltage stored for it.
        const ProtokollModel* log = session.chargeLog;
        const QString line = log->rowCount() > rows ? log->line(rows) : QString();
        const QString logged = line.isEmpty()
            ? "-"
            : line.section(u'\t', 0, 0).trimmed() + ':' + line.section(u'\t', 1, 1).trimmed();
        QTEST(s.said.join(u'|') +
                  QString::asprintf(" / %s %.0f %.0f %d%d", qPrintable(logged), session.MessNr,
                                    session.Messreihe.MessAnzahl, session.MessungBeendet,
                                    session.MessungGestoppt),
              "said");
    }
};

QTEST_MAIN(TestSession)
#include "test_session.moc"
