// The charge session without any window: readings and timer ticks in, its signals and record out;
// the charge log: its lines, following the newest line and keeping the user's place.
#include "process/ChargeSession.h"
#include "process/Formprotokoll.h"
#include "process/ProtokollModel.h"

#include <QScrollBar>
#include <QtTest>

namespace {

void appendLines(ProtokollModel* model, int from, int to)
{
    for (int k = from; k <= to; ++k)
        model->append(k, 7000 + k % 1000, 10000, k / 3600);
}

}  // namespace

class TestSession : public QObject {
    Q_OBJECT

private slots:
    // A frame or a tick after a script: status numbers (one frame each: the k-th, from 0, carries output
    // voltage 7000 + k, capacity k and a data set of its own), "t" (a tick of both timers), "@n" (the
    // record at slot n). What the step says, in order, one word each: "lock", "unlock", "clear",
    // "curve N", "end charger|stop|full", "silent/L", "msg <first line>/L" with L the message's line
    // ends; and what it leaves: the sample number and voltage of the log line it adds ("-" for none),
    // MessNr, MessAnzahl, the ended and stopped flags.
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
        const QString ended = "@4000 2 2 8 t", full = "@1999999 2 2 t 8 t";
        const QString stop = "msg Sie haben auf STOP gedrückt !/7|unlock|end stop";
        row("ready before a run", 0, "", "1", "lock", "- 1 0 00");
        row("first sample", 0, "1", "2", "lock|curve 1", "1 7001 2 2 00");
        row("ended, ready", 0, ended, "1", "unlock", "- 4002 4002 10");
        row("end", 0, "2 2", "8", "unlock|end charger|msg Sie sollten jetzt die Daten sichern !!!/0",
            "- 3 3 10");
        row("ended, no battery", 0, ended, "0", "lock|clear", "- 1 4002 10");
        row("ended, new run", 0, ended, "2",
            "lock|curve 4002|lock|msg Alte Daten sind gelöscht !!!/0|clear|curve 1", "4002 7003 1 4003 00");
        row("ended, new run in 6", 2, "6 6 8 t", "6",
            "lock|curve 3|lock|msg Alte Daten sind verloren !!!/0|clear|curve 1", "3 7003 1 4 00");
        row("ended, a status between", 0, "2 2 8 t 1 t", "2", "lock|curve 3", "3 7004 4 4 10");
        row("stop", 0, "1 t 2 t 2 t 1", "t", stop, "- 3 3 11");
        row("stop after 7", 2, "1 t 6 t 7 t 1", "t", stop, "- 3 3 11");
        row("stopped, new run", 0, "1 t 2 t 2 t 1 t", "2",
            "lock|curve 3|lock|msg Alte Daten sind gelöscht !!!/0|clear|curve 1", "3 7004 1 4 00");
        row("a sample fills", 0, "@1999999 2", "2",
            "lock|curve 2000000|unlock|end full|msg Der Speicher ist voll:/4",
            "2000000 7001 2000001 2000000 10");
        row("a pause fills", 2, "@1999999 6", "9", "unlock|end full|msg Der Speicher ist voll:/4",
            "- 2000001 2000000 10");
        row("full, a pause", 2, "@1999999 6 9", "9", "", "- 2000001 2000000 10");
        row("full, new run", 0, full, "2", "lock|msg Alte Daten sind gelöscht !!!/0|clear|curve 1",
            "- 1 2000000 00");
        row("link alive, no stop", 0, "1 t 1 t 1 t 1 t 1 t", "t", "", "- 1 0 00");
        row("5 silent ticks", 0, "t t t t", "t", "", "- 1 0 00");
        row("6 silent ticks", 0, "t t t t t", "t", "silent/19", "- 1 0 00");
    }
    void steps()
    {
        QFETCH(int, mode);
        ChargeSession session;
        QStringList said;
        QObject::connect(&session, &ChargeSession::controlsLocked,
                         [&](bool locked) { said << (locked ? "lock" : "unlock"); });
        QObject::connect(&session, &ChargeSession::recordCleared, [&] { said << "clear"; });
        QObject::connect(&session, &ChargeSession::curveExtended,
                         [&](float n) { said << "curve " + QString::number(n, 'f', 0); });
        QObject::connect(&session, &ChargeSession::recordEnded, [&](ChargeSession::EndReason reason) {
            said << QStringList{"end charger", "end stop", "end full"}[int(reason)];
        });
        const auto lines = [](const QString& text) { return '/' + QString::number(text.count(u"\r\n")); };
        QObject::connect(&session, &ChargeSession::linkSilent,
                         [&](const QString& alarm) { said << "silent" + lines(alarm); });
        QObject::connect(&session, &ChargeSession::message, [&](const QString& text) {
            said << "msg " + text.section("\r\n", 0, 0).trimmed() + lines(text);
        });
        int sent = 0;
        const auto play = [&](const QString& script) {
            for (const QString& step : script.split(u' ', Qt::SkipEmptyParts)) {
                if (step == u"t") {
                    session.Timer1_Timer();
                    session.Timer2_Timer();
                } else if (step.startsWith(u'@')) {
                    session.MessNr = step.mid(1).toFloat();
                } else {
                    const Messwerte reading{QString::number(mode), 0, 12460, 7000 + sent, 10000, sent,
                                            int16_t(step.toInt())};
                    session.DatenWandeln(QString::number(sent++), reading);
                    session.AblaufAuswerten();
                }
            }
        };
        QFETCH(QString, before);
        play(before);
        const ProtokollModel* log = session.chargeLog;
        const int rows = log->rowCount();
        said.clear();
        QFETCH(QString, step);
        play(step);
        const QString logged =
            log->rowCount() > rows ? log->line(rows).section(u'\t', 0, 1).simplified() : "-";
        QTEST(said.join(u'|') +
                  QString::asprintf(" / %s %.0f %.0f %d%d", qPrintable(logged), session.MessNr,
                                    session.Messreihe.MessAnzahl, session.MessungBeendet,
                                    session.MessungGestoppt),
              "said");
    }

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
        ChargeSession session;
        QStringList named;
        for (const auto signal :
             {&ChargeSession::modeNamed, &ChargeSession::statusNamed, &ChargeSession::statusHint})
            QObject::connect(&session, signal, [&named](const QString& name) { named << name; });
        session.DatenWandeln("0",
                             Messwerte{QString::number(mode), 0, 12460, 7000, 10000, 0, int16_t(status)});
        session.AblaufAuswerten();
        QTEST(named.join(u'|'), "named");
    }

    // Each line is four numbers, each after one blank, TAB between them, and the row's only role; a row
    // takes four floats, its room taken once up front. One line more than a full store drops the oldest
    // 100,000 at once.
    void holdsAFullStore()
    {
        ProtokollModel model;
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        appendLines(&model, 1, kStoreSize + 1);
        QCOMPARE((QStringList{QString::number(model.rowCount()), model.data(model.index(0)).toString(),
                              model.line(model.rowCount() - 1)}),
                 (QStringList{"1900001", " 100001\t 7001\t 10000\t 27", " 2000001\t 7001\t 10000\t 555"}));
        QCOMPARE(removed.value(0).mid(1), (QVariantList{0, 99999}));
    }

    // New lines keep the newest line at the bottom; scrolled back, the same lines stay in view, also when
    // the oldest 100,000 go, and a line that went gives way to the first kept one. A hidden log catches
    // up when shown and does nothing before.
    void keepsItsPlace_data()
    {
        QTest::addColumn<int>("filled");
        QTest::addColumn<QString>("steps");  // scroll n: line n to the top
        QTest::addColumn<QString>("shown");  // "end": the newest line at the bottom, else the top line
        const auto row = [](const char* name, int filled, const char* steps, const char* shown) {
            QTest::newRow(name) << filled << QString(steps) << QString(shown);
        };
        const int full = kStoreSize;
        row("at the end, hidden", 100, "hide add 50 show", "end");
        row("full, at the end, hidden", full, "hide add 1 show", "end");
        row("full, kept, hidden", full, "scroll 150000 hide add 1 show", "top 150000");
        row("full, dropped", full, "scroll 5000 add 1", "top 100001");
    }
    void keepsItsPlace()
    {
        QFETCH(int, filled);
        QFETCH(QString, steps);
        ProtokollModel log;
        Formprotokoll form(&log);
        form.resize(320, 300);
        appendLines(&log, 1, filled);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QAbstractItemView* view = form.List1;
        QSignalSpy ranges(view->verticalScrollBar(), &QScrollBar::rangeChanged);
        const QStringList words = steps.split(u' ');
        for (int k = 0; k < words.size(); ++k) {
            const QString word = words[k];
            const int n = word == u"hide" || word == u"show" ? 0 : words[++k].toInt();
            if (word == u"scroll") {
                view->verticalScrollBar()->setValue(n - 1);
            } else if (word == u"add") {
                appendLines(&log, filled + 1, filled + n);
                filled += n;
            } else if (word == u"hide") {
                form.hide();
                ranges.clear();
            } else {
                QCOMPARE(ranges.count(), 0);
                form.show();
            }
            QCoreApplication::processEvents();
        }
        const auto seen = [&] {
            const QRect area = view->viewport()->rect(),
                        last = view->visualRect(log.index(log.rowCount() - 1));
            return area.contains(last) && area.bottom() - last.bottom() < last.height()
                ? QStringLiteral("end")
                : "top " + log.line(view->indexAt({1, 1}).row()).section(u'\t', 0, 0).trimmed();
        };
        QFETCH(QString, shown);
        QTRY_COMPARE(seen(), shown);
    }
};

QTEST_MAIN(TestSession)
#include "test_session.moc"
