// Start-up: port opening, the state of the controls afterwards, "Ende" and closing the main window,
// docking, and the battery window's fields.
#include "TestSupport.h"

#include "link/Formdatenformat.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestShell : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    // COM1 to COM4 are tried in turn; the first that opens is used. What waits there is read once
    // into the data format window, not decoded. Then: scales and page on the axes; view, page and
    // file commands locked until a record ends; none of the six windows can be closed. "Ende" and
    // closing the main window close the port and end the program, asking nothing.
    void startUpAndEnd_data()
    {
        QTest::addColumn<std::set<int>>("available");
        QTest::addColumn<std::vector<int>>("tried");
        QTest::addColumn<bool>("byMenu");
        QTest::newRow("COM1, Ende") << std::set<int>{1, 2, 3, 4} << std::vector<int>{1} << true;
        QTest::newRow("COM2, closed") << std::set<int>{2, 3} << std::vector<int>{1, 2} << false;
        QTest::newRow("COM4, Ende") << std::set<int>{4} << std::vector<int>{1, 2, 3, 4} << true;
    }
    void startUpAndEnd()
    {
        QFETCH(std::set<int>, available);
        const QByteArray waiting = QByteArray("\x02") + ladomat::sim::frameDigits({}).c_str() + "\r";
        TestApp app(available, waiting);
        QTEST(app.port->triedPorts(), "tried");
        QVERIFY(app.port->portOpen() && !app.mdi->ended() && app.session().Datensatz.isEmpty());
        QCOMPARE(app.port->rThreshold(), 32);
        QCOMPARE(app.mdi->datenformat->Text1->text(), QString::fromLatin1(waiting));
        for (QMdiSubWindow* frame : app.mdi->mdiArea->subWindowList())
            QVERIFY2(!frame->close(), qPrintable(frame->windowTitle()));
        QCOMPARE((QStringList{app.mdi->grafik->Text[1]->text(), app.mdi->grafik->Text[10]->text(),
                              app.mdi->setgraf->Text1->text(), controlStates(*app.mdi)}),
                 (QStringList{"60,0V", "1,00A", " 1", "000000000"}));
        QFETCH(bool, byMenu);
        byMenu ? app.mdi->m_ende->trigger() : void(app.mdi->close());
        QVERIFY(!app.port->portOpen() && app.mdi->ended() && app.dialogs.messages.isEmpty());
    }

    void noPortEndsTheProgram()
    {
        // None of them opens (a charger on COM5 is not found): one message, in front of the windows
        // opened so far, and the program ends before the later start-up steps.
        TestApp app(std::set<int>{5});
        QCOMPARE(app.dialogs.messages.value(0),
                 (QPair<QString, QString>{
                     "Kein COM Port konnte geöffnet werden ! Das Programm wird beendet !", "Ladomat Link"}));
        QCOMPARE(app.dialogs.windowsBehind,
                 (QList<QStringList>{{"Ladomat Link V2.01", "Text - Box", "Grafik - Box",
                                      "Grafik Einstellungen", "Akku / Infos"}}));
        QVERIFY(app.mdi->ended() && !app.mdi->isVisible() && app.mdi->grafik->Text[1]->text().isEmpty());
    }

    // What the session says, the windows show (words as the session says them, "whole" a click on
    // the view switch): the nine controls as each window locks its own, and in the whole-record view
    // the page controls off after the charger's end or a full store, not after a stop; the battery
    // window's message, and the link alarm unless a message stands, the port read away; the live
    // window's mode and status, the status bar's hint.
    void windowsFollowTheSession_data()
    {
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("shown");  // controls | message | waiting | mode | status | status bar
        QTest::newRow("locked") << "unlock|lock" << u"000000000||3|||"_s;
        QTest::newRow("unlocked") << "lock|unlock" << u"111111111||3|||"_s;
        QTest::newRow("charger's end, whole") << "unlock|whole|unlock|end charger" << u"100000011||3|||"_s;
        QTest::newRow("full store, whole view") << "unlock|whole|unlock|end full" << u"100000011||3|||"_s;
        QTest::newRow("stop, whole view") << "unlock|whole|unlock|end stop" << u"111111111||3|||"_s;
        QTest::newRow("charger's end, page view") << "unlock|end charger" << u"111111111||3|||"_s;
        QTest::newRow("message") << "msg Eins" << u"000000000|Eins|3|||"_s;
        QTest::newRow("link silent") << "silent" << u"000000000|Alarm|0|||"_s;
        QTest::newRow("link silent under a message") << "msg Eins|silent" << u"000000000|Eins|0|||"_s;
        QTest::newRow("names") << "mode Laden|status Voll|hint Los" << u"000000000||3|Laden|Voll|Los"_s;
    }
    void windowsFollowTheSession()
    {
        QFETCH(QString, said);
        TestApp app;
        app.sendRaw("abc");
        ChargeSession& session = app.session();
        for (const QString& word : said.split(u'|')) {
            const QString rest = word.section(u' ', 1);
            if (word == u"lock" || word == u"unlock")
                emit session.controlsLocked(word == u"lock");
            else if (word == u"whole")
                app.mdi->setgraf->Command1->click();
            else if (word.startsWith(u"end"))
                emit session.recordEnded(
                    ChargeSession::EndReason(QStringList{"charger", "stop", "full"}.indexOf(rest)));
            else if (word.startsWith(u"msg"))
                emit session.message(rest);
            else if (word == u"silent")
                emit session.linkSilent("Alarm");
            else if (word.startsWith(u"mode"))
                emit session.modeNamed(rest);
            else if (word.startsWith(u"status"))
                emit session.statusNamed(rest);
            else if (word.startsWith(u"hint"))
                emit session.statusHint(rest);
        }
        const MDIForm1& m = *app.mdi;
        QTEST(
            QStringList({controlStates(m), m.akku->Text7->text(), QString::number(app.port->waiting().size()),
                         m.text->Text7->text(), m.text->Text6->text(), m.StatusBar1->text()})
                .join(u'|'),
            "shown");
    }

    void oneDecimalSeparator()
    {
        // In the C locale the axis labels set at start-up, those set when the voltage scale is stepped
        // down and the battery's voltage all use its decimal point, and no comma (the German forms are
        // checked with each window).
        QLocale::setDefault(QLocale::c());
        TestApp app;
        app.mdi->setgraf->HScroll1->setValue(58);
        QStringList texts{app.mdi->akku->Text4->text()};
        for (int field = 1; field <= 22; ++field)
            texts << app.mdi->grafik->Text[field]->text();
        QCOMPARE(texts.filter("."),
                 (QStringList{"7.2", "58.0V", "46.4V", "34.8V", "23.2V", "11.6V", "5.00A", "4.00A", "3.00A",
                              "2.00A", "1.00A"}));
        QCOMPARE(texts.filter(","), QStringList());
    }

    void dockingFollowsTheMainWindow()
    {
        // The settings window stays in the top right corner, the battery window in the bottom right
        // one, as the main window shrinks.
        TestApp app;
        app.mdi->show();
        QVERIFY(QTest::qWaitForWindowExposed(app.mdi.get()));
        const QPoint corner = app.mdi->mdiArea->viewport()->rect().bottomRight() - QPoint(120, 60);
        app.mdi->resize(app.mdi->size() - QSize(120, 60));
        QTRY_COMPARE(MDIForm1::frameOf(app.mdi->akku)->geometry().bottomRight(), corner);
        QCOMPARE(MDIForm1::frameOf(app.mdi->setgraf)->geometry().topRight(), QPoint(corner.x(), 0));
    }

    void batteryWindowFields()
    {
        // Name and capacity unknown, 6 cells, today's date.
        TestApp app;
        Formakku* a = app.mdi->akku;
        const auto shown = [a] {
            return QStringList{a->Text1->text(), a->Text2->text(), a->Text3->text(),
                               a->Text4->text(), a->Text6->text(), a->Text7->text()};
        };
        const QString today = QDate::currentDate().toString(QStringLiteral("dd.MM.yy"));
        QCOMPARE(shown(), (QStringList{"?", "?", "6", "7,2", today, ""}));

        // 1.2 V a cell, in the locale's form without trailing zeros. Text typed (after the "?") beyond
        // 15 characters of name or 4 of capacity is dropped; cells, voltage and date cannot be typed
        // in. The message field shows its lines one below the other and keeps their ends as CR LF.
        a->HScroll1->setValue(30);
        for (QLineEdit* edit : {a->Text1, a->Text2, a->Text3, a->Text4, a->Text6})
            QTest::keyClicks(edit, QStringLiteral("1700 SCRC Pack A"));
        a->Text7->setText(QStringLiteral("eins\r\n\r\ndrei"));
        QCOMPARE(a->Text7->document()->blockCount(), 3);
        QCOMPARE(shown(), (QStringList{"?1700 SCRC Pack", "?170", "30", "36", today, "eins\r\n\r\ndrei"}));
    }
};

QTEST_MAIN(TestShell)
#include "test_shell.moc"
