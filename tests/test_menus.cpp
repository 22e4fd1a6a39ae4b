// Menus "Einstellungen", "Fenster" and "Infos": the port settings window and its failure path,
// the show/hide items and their captions, the data-format window and the information windows.
#include "TestSupport.h"
#include "export/export.h"

#include "link/Formdatenformat.h"
#include "process/Formprotokoll.h"
#include "shell/Formeinstell.h"
#include "process/Forms.h"
#include "shell/InfoWindows.h"
#include "shell/MDIForm1.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOption>
#include <QtTest>

namespace {

Formeinstell* portWindow(const TestApp& app) { return app.mdi->findChild<Formeinstell*>(); }

// The caption of the child window on top of all others.
QString frontCaption(const TestApp& app)
{
    return app.mdi->mdiArea->subWindowList(QMdiArea::StackingOrder).last()->windowTitle();
}

// The child window with this caption, if there is one.
QMdiSubWindow* frameCaptioned(const TestApp& app, const QString& caption)
{
    const QList<QMdiSubWindow*> frames = app.mdi->mdiArea->subWindowList();
    const auto found = std::ranges::find(frames, caption, &QMdiSubWindow::windowTitle);
    return found == frames.end() ? nullptr : *found;
}

// Where the style puts the close box in a child window's title bar; empty when there is none.
QRect closeBox(const QMdiSubWindow* frame)
{
    QStyleOptionTitleBar option;
    option.initFrom(frame);
    option.text = frame->windowTitle();
    option.titleBarFlags = frame->windowFlags();
    option.titleBarState = frame->windowState();
    option.subControls = QStyle::SC_All;
    option.rect.setHeight(frame->style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, frame));
    return frame->style()->subControlRect(QStyle::CC_TitleBar, &option, QStyle::SC_TitleBarCloseButton,
                                          frame);
}

const QPair<QString, QString> comError{"Fehler : COM-Port nicht vorhanden oder anderweitig verwendet !",
                                       "COM-Error"};

}  // namespace

class TestMenus : public QObject {
    Q_OBJECT

private slots:
    void portWindowAndItsChoice();
    void showHideItems();
    void informationWindows();
    void closeBoxes_data();
    void closeBoxes();
};

void TestMenus::portWindowAndItsChoice()
{
    // The window names each port's device and starts with none chosen; it locks "Port" and
    // closes the port while open.
    qputenv("LADOMAT_COM2", "/dev/ttyTEST2");
    TestApp app({1, 2});
    app.mdi->m_port->trigger();
    Formeinstell* window = portWindow(app);
    QVERIFY(window && !app.port->portOpen() && !app.mdi->m_port->isEnabled());
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

    // After a failed choice, closing the frame goes back to the port used before.
    app.mdi->m_port->trigger();
    portWindow(app)->Option3->setChecked(true);
    portWindow(app)->Command1->click();
    QVERIFY(MDIForm1::frameOf(portWindow(app))->close());
    QTRY_VERIFY(!portWindow(app));
    QVERIFY(app.port->portOpen() && app.port->commPort() == 1 && app.mdi->m_port->isEnabled());

    // That port is gone meanwhile: the message, and "Port" can be chosen again.
    app.mdi->m_port->trigger();
    app.port->setAvailablePorts({2});
    MDIForm1::frameOf(portWindow(app))->close();
    QVERIFY(!app.port->portOpen() && app.mdi->m_port->isEnabled());
    QCOMPARE(app.dialogs.messages, (QList{comError, comError, comError}));
}

void TestMenus::showHideItems()
{
    // Each item twice: the window(s) change visibility, come to the front when shown, and the
    // caption follows. The hidden data format window still follows the frames.
    TestApp app;
    MDIForm1& m = *app.mdi;
    ladomat::sim::Reading reading;
    reading.outputMv = 7250;
    app.send(reading);
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
    QCOMPARE(forms.datenformat->Text1->text(), QString::fromStdString(ladomat::sim::frameDigits(reading)));
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
    QCOMPARE(app.mdi->mdiArea->subWindowList().size(), 6 + 3);

    // The about window shows the main window's icon, the battery with its green charge curve.
    const QImage icon = app.mdi->windowIcon().pixmap(QSize(48, 48), 1).toImage();
    QVERIFY(countColor(icon, QColor(0, 128, 0)) > 20);
    QCOMPARE(app.mdi->findChild<Forminfo*>()->findChild<QLabel*>("Image1")->pixmap().toImage(), icon);
    // The cable picture is drawn by the program: its wires show.
    QVERIFY(countColor(app.mdi->findChild<Formkabel*>()->grab().toImage(), QColor(0, 0, 160)) > 200);
}

void TestMenus::closeBoxes_data()
{
    QTest::addColumn<QString>("item");  // the menu item that shows the window
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("byKey");  // Ctrl+F4 instead of the close box
    QTest::addColumn<bool>("closes");
    QTest::newRow("cable, box") << "m_kabel"
                                << "Aufbau des ser. Kabels" << false << true;
    QTest::newRow("about, key") << "m_author"
                                << "Info ..." << true << true;
    QTest::newRow("contact, box") << "m_kontakt"
                                  << "Fragen ..." << false << true;
    QTest::newRow("port, box") << "m_port"
                               << "Port - Einstellungen" << false << true;
    QTest::newRow("live values stay") << "m_text"
                                      << "Text - Box" << true << false;
    QTest::newRow("data format stays") << "m_serdaten"
                                       << "serielles Datenfomat" << true << false;
}

void TestMenus::closeBoxes()
{
    // The windows a user may close have a close box and Ctrl+F4; closing the port settings goes
    // back to the port used before. The others have neither and stay, their item unchanged.
    QFETCH(QString, item);
    QFETCH(QString, caption);
    QFETCH(bool, byKey);
    QFETCH(bool, closes);
    TestApp app;
    app.mdi->show();
    QVERIFY(QTest::qWaitForWindowActive(app.mdi.get()));
    QAction* action = app.mdi->findChild<QAction*>(item);
    if (!frameCaptioned(app, caption) || !frameCaptioned(app, caption)->isVisible())
        action->trigger();
    const QString itemText = action->text();
    QPointer<QMdiSubWindow> frame = frameCaptioned(app, caption);
    QVERIFY(frame && frame->isVisible());
    QCOMPARE(!closeBox(frame).isEmpty(), closes);
    app.mdi->mdiArea->setActiveSubWindow(frame);
    if (byKey) {
        QTest::keyClick(frame->widget(), Qt::Key_F4, Qt::ControlModifier);
    } else {
        QTest::mouseMove(frame, closeBox(frame).center());
        QTest::mousePress(frame, Qt::LeftButton, {}, closeBox(frame).center());
        QTest::mouseRelease(frame, Qt::LeftButton, {}, closeBox(frame).center());
    }
    if (closes)
        QTRY_VERIFY(!frame);
    else
        QVERIFY(frame->isVisible());
    QCOMPARE(action->text(), itemText);
    QVERIFY(app.port->portOpen() && app.port->commPort() == 1 && app.mdi->m_port->isEnabled());
    QVERIFY(app.dialogs.messages.isEmpty());
    // A closed window opens anew.
    if (closes) {
        action->trigger();
        QVERIFY(frameCaptioned(app, caption));
    }
}

QTEST_MAIN(TestMenus)
#include "test_menus.moc"
