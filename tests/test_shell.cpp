// Start-up: port opening, the state of every window and control afterwards, docking and "Ende".
#include "TestSupport.h"

#include "export/Formakku.h"
#include "link/Formtext.h"
#include "plot/Formgrafik.h"
#include "plot/Formsetgraf.h"
#include "platform/Twips.h"
#include "process/Formprotokoll.h"
#include "process/Variabelen.h"
#include "shell/Formdatenformat.h"
#include "shell/Forms.h"
#include "shell/MDIForm1.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

class TestShell : public QObject {
    Q_OBJECT

private slots:
    void portFallsThroughComPorts_data();
    void portFallsThroughComPorts();
    void noPortEndsTheProgramWithOneMessage();
    void startupReadGoesToDataFormatWindowUndecoded();
    void menusAfterStartup();
    void windowsAfterStartup();
    void globalStateAfterStartup();
    void controlsLockedAfterStartup();
    void axisLabelsAfterStartup();
    void liveWindowLayout();
    void dockingFollowsTheMainWindow();
    void endeClosesThePortAndEnds();
};

void TestShell::portFallsThroughComPorts_data()
{
    QTest::addColumn<QList<int>>("available");
    QTest::addColumn<int>("opened");
    QTest::addColumn<QList<int>>("tried");
    QTest::newRow("COM1") << QList<int>{1, 2, 3, 4} << 1 << QList<int>{1};
    QTest::newRow("COM1 missing, COM2 present") << QList<int>{2, 3} << 2 << QList<int>{1, 2};
    QTest::newRow("only COM4") << QList<int>{4} << 4 << QList<int>{1, 2, 3, 4};
}

void TestShell::portFallsThroughComPorts()
{
    QFETCH(QList<int>, available);
    QFETCH(int, opened);
    QFETCH(QList<int>, tried);
    TestApp app(std::set<int>(available.begin(), available.end()));
    QVERIFY(!app.mdi->ended());
    QVERIFY(app.port->portOpen());
    QCOMPARE(app.port->commPort(), opened);
    QCOMPARE(QList<int>(app.port->triedPorts().begin(), app.port->triedPorts().end()), tried);
    QCOMPARE(app.port->settings(), QStringLiteral("9600,N,8,1"));
    QCOMPARE(app.port->rThreshold(), 32);
    QVERIFY(app.dialogs.messages.isEmpty());
}

void TestShell::noPortEndsTheProgramWithOneMessage()
{
    TestApp app(std::set<int>{5});  // a charger on a higher port number is not found
    QCOMPARE(app.port->triedPorts(), (std::vector<int>{1, 2, 3, 4}));
    QCOMPARE(app.dialogs.messages.size(), 1);
    QCOMPARE(app.dialogs.messages.first().first,
             QStringLiteral("Kein COM Port konnte geöffnet werden ! Das Programm wird beendet !"));
    QCOMPARE(app.dialogs.messages.first().second, QStringLiteral("Ladomat Link"));
    QVERIFY(app.mdi->ended());
    QVERIFY(!app.mdi->isVisible());
    // Start-up stopped at the port: the later steps never ran.
    QCOMPARE(forms.grafik->Text[1]->text(), QString());
}

void TestShell::startupReadGoesToDataFormatWindowUndecoded()
{
    const QByteArray waiting = QByteArray("\x02") + ladomat::sim::frameDigits({}).c_str() + "\r";
    TestApp app({1, 2, 3, 4}, waiting);
    QCOMPARE(forms.datenformat->Text1->text(), QString::fromLatin1(waiting));
    QVERIFY(app.port->waiting().isEmpty());
    QCOMPARE(V->Datensatz, QString());
    QCOMPARE(V->UEin, 0);
}

void TestShell::menusAfterStartup()
{
    TestApp app;
    auto captions = [](QMenu* menu) {
        QStringList texts;
        for (QAction* action : menu->actions())
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        return texts;
    };
    QStringList titles;
    for (QAction* action : app.mdi->menuBar()->actions())
        titles << action->text();
    QCOMPARE(titles, (QStringList{"Datei", "Einstellungen", "Fenster", "Infos"}));
    QCOMPARE(captions(app.mdi->m_datei), (QStringList{"Textdatei erzeugen", "-", "Grafik speichern", "-", "Ende"}));
    QCOMPARE(captions(app.mdi->m_einstellungen), QStringList{"Port"});
    QCOMPARE(captions(app.mdi->m_fenster), (QStringList{"Text [verbergen]", "Grafik [verbergen]",
                                                        "Protokoll [anzeigen]", "Akku / Infos [verbergen]"}));
    QCOMPARE(captions(app.mdi->m_info),
             (QStringList{"serielles Kabel", "ser. Datenformat [anzeigen]", "-", "Author", "Kontakt"}));
    for (QMenu* menu : {app.mdi->m_datei, app.mdi->m_einstellungen, app.mdi->m_fenster, app.mdi->m_info})
        for (QAction* action : menu->actions())
            QVERIFY2(action->shortcut().isEmpty(), qPrintable(action->text()));
    QVERIFY(app.mdi->m_port->isEnabled());
    QCOMPARE(app.mdi->windowTitle(), QStringLiteral("Ladomat Link V2.01"));
    QCOMPARE(app.mdi->StatusBar1->text(), QString());
}

void TestShell::windowsAfterStartup()
{
    TestApp app;
    app.mdi->show();
    struct Expected {
        QWidget* form;
        const char* caption;
        bool visible;
    };
    const Expected windows[] = {
        {forms.text, "Text - Box", true},
        {forms.grafik, "Grafik - Box", true},
        {forms.setgraf, "Grafik Einstellungen", true},
        {forms.akku, "Akku / Infos", true},
        {forms.protokoll, "Lade Protokoll", false},
        {forms.datenformat, "serielles Datenfomat", false},
    };
    for (const Expected& window : windows) {
        QMdiSubWindow* frame = MDIForm1::frameOf(window.form);
        QVERIFY(frame);
        QCOMPARE(frame->windowTitle(), QString::fromUtf8(window.caption));
        QCOMPARE(frame->isVisible(), window.visible);
        QVERIFY2(!(frame->windowFlags() & Qt::WindowCloseButtonHint), window.caption);
    }
    QCOMPARE(app.mdi->mdiArea->subWindowList().size(), 6);
    QVERIFY(app.mdi->Timer1->interval() == 1000 && app.mdi->Timer2->interval() == 1000);
}

void TestShell::globalStateAfterStartup()
{
    TestApp app;
    QCOMPARE(V->MessNr, 1.0f);
    QCOMPARE(V->MessAnzahl, 0.0f);
    QCOMPARE(V->SkalaU, 63000.0f);
    QCOMPARE(V->SkalaI, 52500.0f);
    QCOMPARE(V->SkalaQ, 3150.0f);
    QCOMPARE(V->MinProSeite, 12.0f);
    QCOMPARE(V->Seite, 1.0f);
    QCOMPARE(V->LetzteSeite, 1.0f);
    QCOMPARE(V->MessungBeendet, 0);
    QCOMPARE(V->MessungGestoppt, 0);
    QCOMPARE(V->StatusAlt, 0);
    QCOMPARE(V->Modus, QString());
    QCOMPARE(V->Datensatz, QString());
    QCOMPARE(QStringList({V->DatensatzAlt1, V->DatensatzAlt2, V->DatensatzAlt3, V->DatensatzAlt4, V->DatensatzAlt5}),
             (QStringList{"123", "234", "345", "", ""}));
}

void TestShell::controlsLockedAfterStartup()
{
    TestApp app;
    Formsetgraf* s = forms.setgraf;
    const QList<QWidget*> locked{s->Command1, s->Command2, s->Command3, s->Option1, s->Option2, s->Option3, s->Option4};
    for (QWidget* control : locked)
        QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
    QVERIFY(!app.mdi->m_grafsave->isEnabled());
    QVERIFY(!app.mdi->m_maketext->isEnabled());
    for (QWidget* control : QList<QWidget*>{s->Check1, s->Check2, s->Check3})
        QVERIFY2(control->isEnabled(), qPrintable(control->objectName()));
    QCOMPARE(s->Command1->text(), QStringLiteral("Gesamtkurve"));
    QVERIFY(s->Check1->isChecked() && s->Check2->isChecked() && !s->Check3->isChecked());
    QVERIFY(s->Option2->isChecked());
    QCOMPARE(s->Text1->text(), QStringLiteral(" 1"));
}

void TestShell::axisLabelsAfterStartup()
{
    TestApp app;
    QStringList texts;
    for (int k = 1; k <= 22; ++k)
        texts << forms.grafik->Text[k]->text();
    QCOMPARE(texts.mid(0, 5), (QStringList{"60,0V", "48,0V", "36,0V", "24,0V", "12,0V"}));
    QCOMPARE(texts.mid(5, 5), (QStringList{"5,00A", "4,00A", "3,00A", "2,00A", "1,00A"}));
    QCOMPARE(texts.mid(10, 7), (QStringList{"0", "2", "4", "6", "8", "10", "12 Min"}));
    QCOMPARE(texts.mid(17, 5), (QStringList{"3000mAh", "2400mAh", "1800mAh", "1200mAh", "600mAh"}));
}

void TestShell::liveWindowLayout()
{
    TestApp app;
    Formtext* f = forms.text;
    QCOMPARE(f->size(), QSize(twipsToPixels(5655), twipsToPixels(2895)));
    QCOMPARE(f->Text2->geometry(), twipsRect(1680, 120, 975, 285));
    QCOMPARE(f->Text5->geometry(), twipsRect(1680, 1200, 975, 285));
    QCOMPARE(f->Text7->geometry(), twipsRect(1680, 1680, 3855, 285));
    QCOMPARE(f->Text10->geometry(), twipsRect(2640, 2040, 615, 285));
    QCOMPARE(f->Text9->geometry(), twipsRect(4440, 2040, 1095, 285));
    QCOMPARE(f->Text6->geometry(), twipsRect(1680, 2520, 3855, 285));
    QCOMPARE(f->ProgressBar3->geometry(), twipsRect(3240, 840, 1815, 255));
    QCOMPARE(f->ProgressBar1->maximum(), 17000);
    QCOMPARE(f->ProgressBar2->maximum(), 60000);
    QCOMPARE(f->ProgressBar3->maximum(), 50000);
    QCOMPARE(f->ProgressBar4->maximum(), 3000);
    const char* labels[][2] = {{"Label1", "Eingangsspannung"}, {"Label4", "aktuelle Kapazität"},
                               {"Label12", "5 A"},             {"Label13", "3 Ah"},
                               {"Label16", "Serial-Nr."},      {"Label6", "Status"}};
    for (const auto& label : labels)
        QCOMPARE(f->findChild<QLabel*>(QLatin1String(label[0]))->text(), QString::fromUtf8(label[1]));
    for (QLineEdit* field : {f->Text2, f->Text3, f->Text4, f->Text5, f->Text6, f->Text7, f->Text8, f->Text9})
        QVERIFY(field->isReadOnly() && field->text().isEmpty());
}

void TestShell::dockingFollowsTheMainWindow()
{
    TestApp app;
    app.mdi->show();
    QVERIFY(QTest::qWaitForWindowExposed(app.mdi.get()));
    auto check = [&] {
        const QSize inner = app.mdi->mdiArea->viewport()->size();
        QMdiSubWindow* setgraf = MDIForm1::frameOf(forms.setgraf);
        QMdiSubWindow* akku = MDIForm1::frameOf(forms.akku);
        QCOMPARE(setgraf->geometry().right() + 1, inner.width());
        QCOMPARE(setgraf->y(), 0);
        QCOMPARE(akku->geometry().right() + 1, inner.width());
        QCOMPARE(akku->geometry().bottom() + 1, inner.height());
    };
    check();
    const QPoint textPlace = MDIForm1::frameOf(forms.text)->pos();
    app.mdi->resize(app.mdi->width() - 120, app.mdi->height());
    QTRY_COMPARE(MDIForm1::frameOf(forms.setgraf)->geometry().right() + 1, app.mdi->mdiArea->viewport()->width());
    check();
    const int setgrafTop = MDIForm1::frameOf(forms.setgraf)->y();
    app.mdi->resize(app.mdi->width(), app.mdi->height() - 60);
    QTRY_COMPARE(MDIForm1::frameOf(forms.akku)->geometry().bottom() + 1, app.mdi->mdiArea->viewport()->height());
    check();
    QCOMPARE(MDIForm1::frameOf(forms.setgraf)->y(), setgrafTop);
    QCOMPARE(MDIForm1::frameOf(forms.text)->pos(), textPlace);
}

void TestShell::endeClosesThePortAndEnds()
{
    TestApp app;
    app.mdi->show();
    QVERIFY(app.port->portOpen());
    app.mdi->m_ende->trigger();
    QVERIFY(!app.port->portOpen());
    QVERIFY(app.mdi->ended());
    QVERIFY(!app.mdi->isVisible());
    QVERIFY(app.dialogs.messages.isEmpty());
}

QTEST_MAIN(TestShell)
#include "test_shell.moc"
