// Start-up: port opening, the state of the controls afterwards, docking, "Ende" and closing the
// main window.
#include "ProcessScript.h"

#include "link/Formdatenformat.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QtTest>

class TestShell : public QObject {
    Q_OBJECT

private slots:
    void portAtStartup()
    {
        // COM1 to COM4 are tried in turn; the first that opens is used, at 9600,N,8,1. What waits
        // there is read once into the data format window, not decoded.
        const QByteArray waiting = QByteArray("\x02") + ladomat::sim::frameDigits({}).c_str() + "\r";
        const std::pair<std::set<int>, std::vector<int>> cases[] = {
            {{1, 2, 3, 4}, {1}}, {{2, 3}, {1, 2}}, {{4}, {1, 2, 3, 4}}};
        for (const auto& [available, tried] : cases) {
            TestApp app(available, waiting);
            QCOMPARE(app.port->triedPorts(), tried);
            QVERIFY(app.port->portOpen() && !app.mdi->ended() && app.dialogs.messages.isEmpty());
            QVERIFY(app.port->settings() == QLatin1String("9600,N,8,1") && app.port->rThreshold() == 32);
            QCOMPARE(forms.datenformat->Text1->text(), QString::fromLatin1(waiting));
            QVERIFY(app.port->waiting().isEmpty() && V->Datensatz.isEmpty() && V->UEin == 0);
        }
        // None of them opens (a charger on COM5 is not found): one message, in front of the windows
        // opened so far, and the program ends before the later start-up steps.
        TestApp app(std::set<int>{5});
        QCOMPARE(
            app.dialogs.messages,
            (QList<QPair<QString, QString>>{
                {"Kein COM Port konnte geöffnet werden ! Das Programm wird beendet !", "Ladomat Link"}}));
        QCOMPARE(app.dialogs.windowsBehind.value(0).join(u'|'),
                 "Ladomat Link V2.01|Text - Box|Grafik - Box|Grafik Einstellungen|Akku / Infos");
        QVERIFY(app.mdi->ended() && !app.mdi->isVisible() && forms.grafik->Text[1]->text().isEmpty());
    }

    void startState()
    {
        // Scales and page on the axes; view, page and file commands stay locked until a record ends.
        // None of the six windows opened at start can be closed.
        TestApp app;
        for (QMdiSubWindow* frame : app.mdi->mdiArea->subWindowList())
            QVERIFY2(!frame->close(), qPrintable(frame->windowTitle()));
        const Formgrafik* g = forms.grafik;
        const Formsetgraf* s = forms.setgraf;
        QCOMPARE((QStringList{g->Text[1]->text(), g->Text[10]->text(), g->Text[17]->text(),
                              g->Text[18]->text(), s->Command1->text(), s->Text1->text(), locks()}),
                 (QStringList{"60,0V", "1,00A", "12 Min", "3000mAh", "Gesamtkurve", " 1", kLocked}));
        QVERIFY(s->Check1->isEnabled() && s->Check2->isEnabled() && s->Check3->isEnabled());
    }

    void endeAndClosingEndTheProgram()
    {
        // "Ende" and closing the main window both close the port and end the program, asking nothing.
        for (const bool byMenu : {true, false}) {
            TestApp app;
            app.mdi->show();
            if (byMenu)
                app.mdi->m_ende->trigger();
            else
                QVERIFY(app.mdi->close());
            QVERIFY2(!app.port->portOpen() && app.mdi->ended() && !app.mdi->isVisible() &&
                         app.dialogs.messages.isEmpty(),
                     byMenu ? "Ende" : "close");
        }
    }

    void dockingFollowsTheMainWindow()
    {
        // The settings window stays in the top right corner, the battery window in the bottom right
        // one, the live window where it is, as the main window shrinks.
        TestApp app;
        app.mdi->show();
        QVERIFY(QTest::qWaitForWindowExposed(app.mdi.get()));
        const QWidget* client = app.mdi->mdiArea->viewport();
        const auto places = [&] {
            return QList{MDIForm1::frameOf(forms.setgraf)->geometry().topRight() - client->rect().topRight(),
                         MDIForm1::frameOf(forms.akku)->geometry().bottomRight() -
                             client->rect().bottomRight(),
                         MDIForm1::frameOf(forms.text)->pos()};
        };
        const QList<QPoint> docked = places();
        QCOMPARE(docked.mid(0, 2), (QList{QPoint(), QPoint()}));
        const QSize window = app.mdi->size(), before = client->size();
        for (const QSize smaller : {QSize(120, 0), QSize(120, 60)}) {
            app.mdi->resize(window - smaller);
            QTRY_COMPARE(client->size(), before - smaller);
            QTRY_COMPARE(places(), docked);
        }
    }
};

QTEST_MAIN(TestShell)
#include "test_shell.moc"
