// Menus "Einstellungen", "Fenster" and "Infos": the port settings window and its failure path,
// the show/hide items and their captions, the data-format window and the information windows.
#include "TestSupport.h"

#include "shell/Formdatenformat.h"
#include "shell/Formeinstell.h"
#include "shell/Forms.h"
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

// The child window on top of all others.
QString frontCaption(const TestApp& app)
{
    return app.mdi->mdiArea->subWindowList(QMdiArea::StackingOrder).last()->windowTitle();
}

const QPair<QString, QString> comError { "Fehler : COM-Port nicht vorhanden oder anderweitig verwendet !",
    "COM-Error" };

} // namespace

class TestMenus : public QObject {
    Q_OBJECT

private slots:
    void portWindowLayoutAndChoice();
    void portWindowClosedByItsFrame();
    void showHideItems_data();
    void showHideItems();
    void dataFormatFollowsFramesWhileHidden();
    void informationWindows();
};

void TestMenus::portWindowLayoutAndChoice()
{
    qputenv("LADOMAT_COM2", "/dev/ttyTEST2");
    TestApp app({ 1, 2 });
    app.mdi->m_port->trigger();
    Formeinstell* window = portWindow(app);
    QVERIFY(window && !app.port->portOpen() && !app.mdi->m_port->isEnabled());
    QCOMPARE(MDIForm1::frameOf(window)->windowTitle(), QStringLiteral("Port - Einstellungen"));
    QCOMPARE((QStringList { window->Label1->text(), window->Text1->text(), window->Label3->text(),
                 window->Text3->text(), window->Label5->text(), window->Frame1->title(),
                 window->Option4->text(), window->Command1->text() }),
        (QStringList { "Baudrate", "9600 bps", "Parität", "keine",
            "Die oberen Parameter sind fest vorgegeben und brauch nicht eingestellt zu werden !",
            "Port wählen", "COM 4", "Port übernhemen" }));
    QVERIFY(window->Text2->isReadOnly() && window->Text2->text() == QLatin1String("8"));
    QCOMPARE(window->size(), QSize(161, 241)); // 2415 x 3615 twips
    QCOMPARE(window->Command1->geometry(), QRect(8, 208, 145, 25));
    QVERIFY(window->Option2->toolTip().contains(QLatin1String("/dev/ttyTEST2")));
    for (QRadioButton* option : { window->Option1, window->Option2, window->Option3, window->Option4 })
        QVERIFY(!option->isChecked());

    // A port in use: the message, and nothing else changes; then a free one is taken.
    window->Option3->setChecked(true);
    window->Command1->click();
    QCOMPARE(app.dialogs.messages, QList { comError });
    QVERIFY(portWindow(app) && !app.port->portOpen() && !app.mdi->m_port->isEnabled());
    const QByteArray waiting = QByteArray("\x02") + ladomat::sim::frameDigits({}).c_str() + "\r";
    app.port->setWaitingOnOpen(waiting);
    window->Option2->setChecked(true);
    window->Command1->click();
    QTRY_VERIFY(!portWindow(app));
    QVERIFY(app.port->portOpen() && app.port->commPort() == 2 && app.mdi->m_port->isEnabled());
    // What waited is shown once, not decoded.
    QCOMPARE(forms.datenformat->Text1->text(), QString::fromLatin1(waiting));
    QVERIFY(app.port->waiting().isEmpty() && V->Datensatz.isEmpty());

    // No choice: the port used before is opened again.
    app.mdi->m_port->trigger();
    portWindow(app)->Command1->click();
    QTRY_VERIFY(!portWindow(app));
    QVERIFY(app.port->portOpen() && app.port->commPort() == 2 && app.dialogs.messages.size() == 1);
    qunsetenv("LADOMAT_COM2");
}

void TestMenus::portWindowClosedByItsFrame()
{
    // After a failed choice, closing the frame goes back to the port used before.
    TestApp app({ 2, 3 });
    app.mdi->m_port->trigger();
    portWindow(app)->Option1->setChecked(true);
    portWindow(app)->Command1->click();
    QVERIFY(MDIForm1::frameOf(portWindow(app))->close());
    QTRY_VERIFY(!portWindow(app));
    QVERIFY(app.port->portOpen() && app.port->commPort() == 2 && app.mdi->m_port->isEnabled());
    QCOMPARE(app.dialogs.messages.size(), 1);

    // The port used before is gone meanwhile: the message, and "Port" can be chosen again.
    app.mdi->m_port->trigger();
    app.port->setAvailablePorts({ 3 });
    MDIForm1::frameOf(portWindow(app))->close();
    QVERIFY(!app.port->portOpen() && app.mdi->m_port->isEnabled());
    QCOMPARE(app.dialogs.messages, (QList { comError, comError }));
}

void TestMenus::showHideItems_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QStringList>("windows");
    QTest::addColumn<QStringList>("captions"); // at start, after one use, after two
    QTest::newRow("text") << "m_text" << QStringList { "Formtext" }
                          << QStringList { "Text [verbergen]", "Text [anzeigen]", "Text [verbergen]" };
    QTest::newRow("graph") << "m_grafik" << QStringList { "Formgrafik", "Formsetgraf" }
                           << QStringList { "Grafik [verbergen]", "Grafik [anzeigen]", "Grafik [verbergen]" };
    QTest::newRow("log") << "m_protokoll" << QStringList { "Formprotokoll" }
                         << QStringList { "Protokoll [anzeigen]", "Protokoll [verbergen]",
                                "Protokoll [anzeigen]" };
    QTest::newRow("battery") << "m_akku" << QStringList { "Formakku" }
                             << QStringList { "Akku / Infos [verbergen]", "Akku / Infos [anzeigen]",
                                    "Akku / Infos [verbergen]" };
    QTest::newRow("data format") << "m_serdaten" << QStringList { "Formdatenformat" }
                                 << QStringList { "ser. Datenformat [anzeigen]",
                                        "Ser. Datenformat [verbergen]", "Ser. Datenformat [anzeigen]" };
}

void TestMenus::showHideItems()
{
    QFETCH(QString, item);
    QFETCH(QStringList, windows);
    QFETCH(QStringList, captions);
    TestApp app;
    auto* action = app.mdi->findChild<QAction*>(item);
    QList<QMdiSubWindow*> frames;
    for (const QString& name : windows)
        frames << MDIForm1::frameOf(app.mdi->findChild<QWidget*>(name));
    const bool shownAtStart = !frames.first()->isHidden();
    QCOMPARE(action->text(), captions[0]);
    for (int use = 1; use <= 2; ++use) {
        action->trigger();
        QCOMPARE(action->text(), captions[use]);
        const bool shown = shownAtStart != (use == 1);
        for (QMdiSubWindow* frame : frames)
            QCOMPARE(!frame->isHidden(), shown);
        if (shown)
            QCOMPARE(frontCaption(app), frames.last()->windowTitle());
    }
}

void TestMenus::dataFormatFollowsFramesWhileHidden()
{
    TestApp app;
    ladomat::sim::Reading reading;
    reading.outputMv = 7250;
    app.send(reading);
    QVERIFY(MDIForm1::frameOf(forms.datenformat)->isHidden());
    QCOMPARE(forms.datenformat->Text1->text(), QString::fromStdString(ladomat::sim::frameDigits(reading)));
    QCOMPARE(forms.datenformat->Text1->text().mid(10, 4), QStringLiteral("1C52"));
    app.mdi->m_serdaten->trigger();
    QVERIFY(!MDIForm1::frameOf(forms.datenformat)->isHidden());
    QCOMPARE(forms.datenformat->Text1->text(), QString::fromStdString(ladomat::sim::frameDigits(reading)));
}

void TestMenus::informationWindows()
{
    TestApp app;
    app.mdi->m_kabel->trigger();
    app.mdi->m_author->trigger();
    QCOMPARE(frontCaption(app), QStringLiteral("Info ..."));
    // The cable window, already open, stays behind; the about window comes forward again.
    app.mdi->m_kabel->trigger();
    QCOMPARE(app.mdi->findChildren<Formkabel*>().size(), 1);
    QCOMPARE(frontCaption(app), QStringLiteral("Info ..."));
    app.mdi->m_kontakt->trigger();
    app.mdi->m_kontakt->trigger();
    QCOMPARE(frontCaption(app), QStringLiteral("Fragen ..."));
    app.mdi->m_author->trigger();
    QCOMPARE(frontCaption(app), QStringLiteral("Info ..."));
    QCOMPARE(MDIForm1::frameOf(app.mdi->findChild<Formkabel*>())->windowTitle(),
        QStringLiteral("Aufbau des ser. Kabels"));

    QStringList infoTexts;
    for (const QLabel* label : app.mdi->findChild<Forminfo*>()->findChildren<QLabel*>())
        infoTexts << label->text();
    QVERIFY(infoTexts.contains("Ladomat Link V2.0"));
    QVERIFY(infoTexts.contains("Hinweis :"));
    QVERIFY(infoTexts.contains(
        "Für evtl. auftretende Probleme bzw. Defekte an Hard- und Software überneheme ich "
        "keinerlei Haftung ! Die Benutzung dieser Software erfolgt auf eigene Gefahr !!!!!"));
    QVERIFY(infoTexts
                .filter("Die Daten werden sowohl als Text als auch in einer Grafik aufbereitet und können "
                        "somit ausgewertet werden.")
                .size()
        == 1);

    // The cable picture is drawn by the program: its wires show on it.
    const QImage cable = app.mdi->findChild<Formkabel*>()->grab().toImage();
    QVERIFY(countColor(cable, QColor(0, 0, 160)) > 200);

    // Closed by their frames, they are gone and open anew.
    QPointer<Formkabel> kabel = app.mdi->findChild<Formkabel*>();
    QVERIFY(MDIForm1::frameOf(kabel)->close());
    QTRY_VERIFY(!kabel);
    app.mdi->m_kabel->trigger();
    QVERIFY(app.mdi->findChild<Formkabel*>());
}

QTEST_MAIN(TestMenus)
#include "test_menus.moc"
