// Menus "Einstellungen", "Fenster" and "Infos": the port settings window and its failure path,
// the show/hide items and their captions, the data-format window and the information windows.
#include "TestSupport.h"
#include "export/export.h"

#include "process/Formprotokoll.h"
#include "link/Formdatenformat.h"
#include "shell/Formeinstell.h"
#include "process/Forms.h"
#include "shell/InfoWindows.h"
#include "shell/MDIForm1.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

Formeinstell* portWindow(const TestApp& app) { return app.mdi->findChild<Formeinstell*>(); }

// The caption of the child window on top of all others.
QString frontCaption(const TestApp& app)
{
    return app.mdi->mdiArea->subWindowList(QMdiArea::StackingOrder).last()->windowTitle();
}

const QPair<QString, QString> comError{"Fehler : COM-Port nicht vorhanden oder anderweitig verwendet !",
                                       "COM-Error"};

}  // namespace

class TestMenus : public QObject {
    Q_OBJECT

private slots:
    void portWindowAndItsChoice();
    void portWindowClosedByItsFrame();
    void showHideItems();
    void dataFormatFollowsFramesWhileHidden();
    void informationWindows();
};

void TestMenus::portWindowAndItsChoice()
{
    qputenv("LADOMAT_COM2", "/dev/ttyTEST2");
    TestApp app({1, 2});
    app.mdi->m_port->trigger();
    Formeinstell* window = portWindow(app);
    QVERIFY(window && !app.port->portOpen() && !app.mdi->m_port->isEnabled());
    QCOMPARE(MDIForm1::frameOf(window)->windowTitle(), QStringLiteral("Port - Einstellungen"));
    QCOMPARE(
        (QStringList{window->Text1->text(), window->Text3->text(), window->Label5->text(),
                     window->Frame1->title(), window->Command1->text()}),
        (QStringList{"9600 bps", "keine",
                     "Die oberen Parameter sind fest vorgegeben und brauch nicht eingestellt zu werden !",
                     "Port wählen", "Port übernhemen"}));
    QCOMPARE(window->size(), QSize(161, 241));  // 2415 x 3615 twips
    QVERIFY(window->Option2->toolTip().contains(QLatin1String("/dev/ttyTEST2")));
    QVERIFY(!window->Option1->isChecked() && !window->Option2->isChecked() && !window->Option3->isChecked() &&
            !window->Option4->isChecked());
    qunsetenv("LADOMAT_COM2");

    // A port in use: the message, and nothing else changes; then a free one is taken and what
    // waited there is shown once, not decoded.
    window->Option3->setChecked(true);
    window->Command1->click();
    QCOMPARE(app.dialogs.messages, QList{comError});
    QVERIFY(portWindow(app) && !app.port->portOpen() && !app.mdi->m_port->isEnabled());
    const QByteArray waiting = QByteArray("\x02") + ladomat::sim::frameDigits({}).c_str() + "\r";
    app.port->setWaitingOnOpen(waiting);
    window->Option2->setChecked(true);
    window->Command1->click();
    QTRY_VERIFY(!portWindow(app));
    QVERIFY(app.port->portOpen() && app.port->commPort() == 2 && app.mdi->m_port->isEnabled());
    QCOMPARE(forms.datenformat->Text1->text(), QString::fromLatin1(waiting));
    QVERIFY(app.port->waiting().isEmpty() && V->Datensatz.isEmpty());

    // No choice: the port used before is opened again.
    app.mdi->m_port->trigger();
    portWindow(app)->Command1->click();
    QTRY_VERIFY(!portWindow(app));
    QVERIFY(app.port->portOpen() && app.port->commPort() == 2 && app.dialogs.messages.size() == 1);

    // An export while the window is open reopens the port; a choice made afterwards still counts.
    app.mdi->m_port->trigger();
    m_maketext_Click();  // cancelled
    QVERIFY(app.port->portOpen());
    portWindow(app)->Option1->setChecked(true);
    portWindow(app)->Command1->click();
    QTRY_VERIFY(!portWindow(app));
    QVERIFY(app.port->portOpen() && app.port->commPort() == 1 && app.port->triedPorts().back() == 1);
}

void TestMenus::portWindowClosedByItsFrame()
{
    // After a failed choice, closing the frame goes back to the port used before.
    TestApp app({2, 3});
    app.mdi->m_port->trigger();
    portWindow(app)->Option1->setChecked(true);
    portWindow(app)->Command1->click();
    QVERIFY(MDIForm1::frameOf(portWindow(app))->close());
    QTRY_VERIFY(!portWindow(app));
    QVERIFY(app.port->portOpen() && app.port->commPort() == 2 && app.mdi->m_port->isEnabled());

    // That port is gone meanwhile: the message, and "Port" can be chosen again.
    app.mdi->m_port->trigger();
    app.port->setAvailablePorts({3});
    MDIForm1::frameOf(portWindow(app))->close();
    QVERIFY(!app.port->portOpen() && app.mdi->m_port->isEnabled());
    QCOMPARE(app.dialogs.messages, (QList{comError, comError}));
}

void TestMenus::showHideItems()
{
    // Each item twice: the window(s) change visibility, come to the front when shown, and the
    // caption follows; the data-format item starts lower-case.
    TestApp app;
    MDIForm1& m = *app.mdi;
    QCOMPARE(m.m_serdaten->text(), QStringLiteral("ser. Datenformat [anzeigen]"));
    const std::tuple<QAction*, QString, QList<QWidget*>> items[] = {
        {m.m_text, "Text", {forms.text}},
        {m.m_grafik, "Grafik", {forms.grafik, forms.setgraf}},
        {m.m_protokoll, "Protokoll", {forms.protokoll}},
        {m.m_akku, "Akku / Infos", {forms.akku}},
        {m.m_serdaten, "Ser. Datenformat", {forms.datenformat}},
    };
    for (const auto& [item, name, windows] : items) {
        const bool shownAtStart = !MDIForm1::frameOf(windows.first())->isHidden();
        for (bool shown : {!shownAtStart, shownAtStart}) {
            item->trigger();
            QCOMPARE(item->text(), name + (shown ? " [verbergen]" : " [anzeigen]"));
            for (QWidget* window : windows)
                QCOMPARE(!MDIForm1::frameOf(window)->isHidden(), shown);
            if (shown)
                QCOMPARE(frontCaption(app), MDIForm1::frameOf(windows.last())->windowTitle());
        }
    }
}

void TestMenus::dataFormatFollowsFramesWhileHidden()
{
    TestApp app;
    ladomat::sim::Reading reading;
    reading.outputMv = 7250;
    app.send(reading);
    const QString frame = QString::fromStdString(ladomat::sim::frameDigits(reading));
    QVERIFY(MDIForm1::frameOf(forms.datenformat)->isHidden());
    QCOMPARE(forms.datenformat->Text1->text(), frame);
    app.mdi->m_serdaten->trigger();
    QVERIFY(!MDIForm1::frameOf(forms.datenformat)->isHidden());
    QCOMPARE(forms.datenformat->Text1->text(), frame);
}

void TestMenus::informationWindows()
{
    // "serielles Kabel" and "Kontakt" leave an open window where it is; "Author" brings it forward.
    TestApp app;
    app.mdi->m_kabel->trigger();
    app.mdi->m_author->trigger();
    app.mdi->m_kabel->trigger();
    QCOMPARE(app.mdi->findChildren<Formkabel*>().size(), 1);
    QCOMPARE(frontCaption(app), QStringLiteral("Info ..."));
    app.mdi->m_kontakt->trigger();
    app.mdi->m_author->trigger();
    app.mdi->m_kontakt->trigger();
    QCOMPARE(frontCaption(app), QStringLiteral("Info ..."));
    QStringList captions;
    for (QMdiSubWindow* frame : app.mdi->mdiArea->subWindowList().mid(6))
        captions << frame->windowTitle();
    QCOMPARE(captions, (QStringList{"Aufbau des ser. Kabels", "Info ...", "Fragen ..."}));

    QString texts = "\n";
    for (const QLabel* label : app.mdi->findChild<Forminfo*>()->findChildren<QLabel*>())
        texts += label->text() + '\n';
    QVERIFY(texts.contains("\nLadomat Link V2.0\n"));
    QVERIFY(texts.contains(
        "\nFür evtl. auftretende Probleme bzw. Defekte an Hard- und Software überneheme ich "
        "keinerlei Haftung ! Die Benutzung dieser Software erfolgt auf eigene Gefahr !!!!!\n"));
    QVERIFY(texts.contains(" Die Daten werden sowohl als Text als auch in einer Grafik aufbereitet und "
                           "können somit ausgewertet werden."));
    // The about window shows the main window's icon, the battery with its green charge curve.
    const QImage icon = app.mdi->windowIcon().pixmap(QSize(48, 48), 1).toImage();
    QVERIFY(countColor(icon, QColor(0, 128, 0)) > 20);
    QCOMPARE(app.mdi->findChild<Forminfo*>()->findChild<QLabel*>("Image1")->pixmap().toImage(), icon);
    // The cable picture is drawn by the program: its wires show.
    QVERIFY(countColor(app.mdi->findChild<Formkabel*>()->grab().toImage(), QColor(0, 0, 160)) > 200);

    // Closed by its frame, a window is gone and opens anew.
    QPointer<Formkabel> kabel = app.mdi->findChild<Formkabel*>();
    QVERIFY(MDIForm1::frameOf(kabel)->close());
    QTRY_VERIFY(!kabel);
    app.mdi->m_kabel->trigger();
    QVERIFY(app.mdi->findChild<Formkabel*>());
}

QTEST_MAIN(TestMenus)
#include "test_menus.moc"
