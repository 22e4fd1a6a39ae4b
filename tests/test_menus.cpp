// Menus "Einstellungen", "Fenster", "Infos" and "Aufzeichnungen": the port settings window and its
// failure path, the show/hide items and their captions, the information windows and how they
// close, opening saved records.
#include "TestSupport.h"

#include "link/Formdatenformat.h"
#include "platform/PlotSurface.h"
#include "records/CompareWindow.h"
#include "records/RecordBook.h"
#include "shell/Formeinstell.h"
#include "shell/InfoWindows.h"
#include "shell/shell.h"

#include <QLineEdit>
#include <QMdiArea>
#include <QMenuBar>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionTitleBar>
#include <QtTest>

// The port settings window after choosing this port (0: none) and "Port übernhemen"; null once closed.
static Formeinstell* choose(const TestApp& app, int port)
{
    auto* window = app.mdi->findChild<Formeinstell*>();
    if (port)
        window->findChild<QRadioButton*>(QStringLiteral("Option%1").arg(port))->setChecked(true);
    window->Command1->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return app.mdi->findChild<Formeinstell*>();
}

class TestMenus : public QObject {
    Q_OBJECT

private slots:
    void portWindowAndItsChoice()
    {
        // While open, the window closes the port and locks "Port"; each choice names its device. A
        // port in use: the message, and the window stays. A free one is taken, and what waited there
        // is shown once, not decoded.
        qputenv("LADOMAT_COM2", "/dev/ttyTEST2");
        TestApp app({1, 2});
        const auto state = [&app] {  // port open, the port last tried, the port set, "Port" enabled, messages
            return QList<int>{app.port->portOpen(), app.port->triedPorts().back(), app.port->commPort(),
                              app.mdi->m_port->isEnabled(), int(app.dialogs.messages.size())};
        };
        app.mdi->m_port->trigger();
        QCOMPARE(state(), (QList{0, 1, 1, 0, 0}));
        QVERIFY(choose(app, 4)->Option2->toolTip().contains("/dev/ttyTEST2"));
        qunsetenv("LADOMAT_COM2");
        QCOMPARE(state(), (QList{0, 4, 4, 0, 1}));
        QCOMPARE(app.dialogs.messages.value(0),
                 (QPair<QString, QString>{"Fehler : COM-Port nicht vorhanden oder anderweitig verwendet !",
                                          "COM-Error"}));
        const QByteArray waiting = QByteArray("\x02") + ladomat::sim::frameDigits({}).c_str() + "\r";
        app.port->setWaitingOnOpen(waiting);
        QVERIFY(!choose(app, 2));
        QCOMPARE(state(), (QList{1, 2, 2, 1, 1}));
        QCOMPARE(app.mdi->datenformat->Text1->text(), QString::fromLatin1(waiting));

        // An export while the window is open reopens the port; a choice made afterwards still counts.
        app.mdi->m_port->trigger();
        app.mdi->m_maketext_Click();  // cancelled
        QVERIFY(app.port->portOpen() && !choose(app, 1));
        QCOMPARE(state(), (QList{1, 1, 1, 1, 1}));

        // Closed after a failed choice, the window goes back to the port used before; that port
        // gone meanwhile: the message, and "Port" can be chosen again.
        app.mdi->m_port->trigger();
        QVERIFY(MDIForm1::frameOf(choose(app, 3))->close());
        QCOMPARE(state(), (QList{1, 1, 1, 1, 2}));
        app.mdi->m_port->trigger();
        app.port->setAvailablePorts({2});
        QVERIFY(MDIForm1::frameOf(app.mdi->findChild<Formeinstell*>())->close());
        QCOMPARE(state(), (QList{0, 1, 1, 1, 3}));
    }

    void closeByKeys_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QKeySequence>("keys");
        for (const char* item : {"m_kabel", "m_author", "m_kontakt", "m_port"}) {
            for (const char* keys : {"Ctrl+F4", "Ctrl+W"})
                QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(item, keys)))
                    << QString::fromLatin1(item) << QKeySequence(QString::fromLatin1(keys));
        }
    }

    void closeByKeys()
    {
        // Chosen from its menu with the mouse and closed at once by the keys, pressed wherever the
        // keyboard focus then is: the window is gone. The port settings window closed so goes back
        // to the port used before, and "Port" can be chosen again.
        QFETCH(QString, item);
        QFETCH(QKeySequence, keys);
        TestApp app;
        app.mdi->show();
        app.mdi->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(app.mdi.get()));
        auto* action = app.mdi->findChild<QAction*>(item);
        QMenu* menu = qobject_cast<QMenu*>(action->parent());
        QMenuBar* bar = app.mdi->menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
        QTRY_VERIFY(menu->isVisible());
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        QTRY_VERIFY(!menu->isVisible());
        const qsizetype open = app.mdi->mdiArea->subWindowList().size();
        QCOMPARE(open, 7);
        QWidget* focus =
            QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
        QTest::keySequence(focus, keys);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(app.mdi->mdiArea->subWindowList().size(), open - 1);
        QVERIFY(app.port->portOpen() && app.mdi->m_port->isEnabled());
    }

    void graphWindowBoxes()
    {
        // The graph window's maximise box fills the main window's client area with the plot; its
        // minimise box leaves a title bar; restored, the window has its size again. Neither box
        // closes it.
        TestApp app;
        app.mdi->show();
        QVERIFY(QTest::qWaitForWindowExposed(app.mdi.get()));
        QMdiSubWindow* frame = MDIForm1::frameOf(app.mdi->grafik);
        const QSize normal = frame->size();
        const auto click = [frame](QStyle::SubControl button) {
            QStyleOptionTitleBar bar;
            bar.initFrom(frame);
            bar.titleBarFlags = frame->windowFlags();
            bar.titleBarState = frame->windowState();
            bar.rect = QRect(0, 0, frame->width(),
                             frame->style()->pixelMetric(QStyle::PM_TitleBarHeight, &bar, frame));
            const QRect box = frame->style()->subControlRect(QStyle::CC_TitleBar, &bar, button, frame);
            QTest::mouseMove(frame, box.center());  // the frame takes the button it was last over
            QTest::mouseClick(frame, Qt::LeftButton, {}, box.center());
        };
        // Seen after each step: maximised, minimised, the frame fills the area, the frame as before,
        // the plot shown, the plot wider than the area less 100 pixels.
        QStringList seen;
        const auto see = [&] {
            const QWidget *area = app.mdi->mdiArea->viewport(), *plot = app.mdi->grafik->Picture1;
            seen << QString::asprintf("%d%d %d%d %d%d", frame->isMaximized(), frame->isMinimized(),
                                      frame->size() == area->size(), frame->size() == normal,
                                      plot->isVisible(), plot->width() > area->width() - 100);
        };
        click(QStyle::SC_TitleBarMaxButton);
        see();
        // In a client area narrower than the window's minimum it still fits exactly.
        const QSize mainSize = app.mdi->size();
        app.mdi->resize(1, 1);
        see();
        app.mdi->resize(mainSize);
        frame->showNormal();
        see();
        click(QStyle::SC_TitleBarMinButton);
        see();
        QCOMPARE(seen, (QStringList{"10 10 11", "10 10 11", "00 01 10", "01 00 00"}));
    }

    void windowItems()
    {
        // Each "Fenster" item twice: its window(s) hide or show, in front when shown, and the item
        // names what it does next. "serielles Kabel" and "Kontakt" leave an open window where it is;
        // "Author" brings it forward. Seen after each: the item, windows in view, the one in front.
        TestApp app;
        const MDIForm1& m = *app.mdi;
        QStringList seen;
        for (QAction* item : {m.m_text, m.m_text, m.m_grafik, m.m_grafik, m.m_protokoll, m.m_protokoll,
                              m.m_akku, m.m_akku, m.m_serdaten, m.m_serdaten, m.m_kabel, m.m_author,
                              m.m_kontakt, m.m_author, m.m_kabel, m.m_kontakt}) {
            item->trigger();
            QList<QMdiSubWindow*> frames = m.mdiArea->subWindowList(QMdiArea::StackingOrder);
            frames.removeIf([](const QMdiSubWindow* frame) { return frame->isHidden(); });
            seen << item->text() + ": " + QString::number(frames.size()) + ' ' + frames.last()->windowTitle();
        }
        QCOMPARE(
            seen,
            (QStringList{
                "Text [anzeigen]: 3 Akku / Infos", "Text [verbergen]: 4 Text - Box",
                "Grafik [anzeigen]: 2 Text - Box", "Grafik [verbergen]: 4 Grafik Einstellungen",
                "Protokoll [verbergen]: 5 Lade Protokoll", "Protokoll [anzeigen]: 4 Grafik Einstellungen",
                "Akku / Infos [anzeigen]: 3 Grafik Einstellungen", "Akku / Infos [verbergen]: 4 Akku / Infos",
                "Ser. Datenformat [verbergen]: 5 serielles Datenfomat",
                "Ser. Datenformat [anzeigen]: 4 Akku / Infos", "serielles Kabel: 5 Aufbau des ser. Kabels",
                "Author: 6 Info ...", "Kontakt: 7 Fragen ...", "Author: 7 Info ...",
                "serielles Kabel: 7 Info ...", "Kontakt: 7 Info ..."}));

        // The menus in order, "Aufzeichnungen" last, the four before it as they were. "Öffnen…" asks
        // in the journal folder and opens each file chosen in a record window of its own, in front.
        QStringList menus;
        for (const QAction* menu : m.menuBar()->actions()) {
            QStringList items;
            for (const QAction* item : menu->menu()->actions())
                items << (item->isSeparator() ? "-" : item->text());
            menus << menu->text() + ": " + items.join(", ");
        }
        QCOMPARE(
            menus,
            (QStringList{"Datei: Textdatei erzeugen, -, Grafik speichern, -, Ende", "Einstellungen: Port",
                         "Fenster: Text [verbergen], Grafik [verbergen], Protokoll [anzeigen], "
                         "Akku / Infos [verbergen]",
                         "Infos: serielles Kabel, Ser. Datenformat [anzeigen], -, Author, Kontakt",
                         "Aufzeichnungen: Öffnen…, Aufzeichnungsbuch…, Vergleichen…"}));
        QTemporaryDir dir;
        qputenv("XDG_DATA_HOME", dir.path().toLocal8Bit());
        QVERIFY(write(dir.filePath("A.TXT"), "1,1,1,1\r\n") && write(dir.filePath("B.TXT"), ""));
        app.dialogs.opened = QStringList{dir.filePath("A.TXT"), dir.filePath("B.TXT")};
        m.m_oeffnen->trigger();
        QCOMPARE(app.dialogs.openRequests,
                 QStringList{"Aufzeichnung öffnen|Kurvendateien (*.txt)|*.txt|" + journalFolder()});
        const QList<QMdiSubWindow*> frames = m.mdiArea->subWindowList(QMdiArea::StackingOrder);
        QCOMPARE(frames.size(), 11);
        QVERIFY(frames[9]->windowTitle().startsWith("A.TXT – ") &&
                frames[10]->windowTitle().startsWith("B.TXT – "));
        // "Aufzeichnungsbuch…" lists the journal folder's records; what it opens, opens in a record
        // window in front.
        const QString record = journalFolder() + "/2026-01-02_03-04-05.TXT";
        QVERIFY(write(record, "1,1,1,1\r\n"));
        m.m_buch->trigger();
        auto* book = m.findChild<RecordBook*>();
        QVERIFY(book && book->shownPaths() == QStringList{record});
        emit book->openRequested(record);
        QVERIFY(m.mdiArea->subWindowList(QMdiArea::StackingOrder)
                    .last()
                    ->windowTitle()
                    .startsWith("2026-01-02_03-04-05.TXT – "));
        // "Vergleichen…" and the book's compare button both put the chosen records on one plot.
        app.dialogs.opened = QStringList{dir.filePath("A.TXT"), record};
        m.m_vergleichen->trigger();
        QCOMPARE(app.dialogs.openRequests.last(),
                 "Aufzeichnungen vergleichen|Kurvendateien (*.txt)|*.txt|" + journalFolder());
        emit book->compareRequested({record, dir.filePath("A.TXT")});
        QCOMPARE(m.findChildren<CompareWindow*>().size(), 2);

        // The program draws its icon, the battery with its green charge curve, and the cable's wires.
        QVERIFY(countColor(m.windowIcon().pixmap(QSize(48, 48), 1).toImage(), QColor(0, 128, 0)) > 20);
        // Both wires run across (rows 50 and 80), and the plug's pins 2 and 5, both in its upper row,
        // are filled.
        const QImage cable = m.findChild<Formkabel*>()->grab().toImage();
        const QColor wire(0, 0, 160);
        const int centre = cable.width() / 2;
        QVERIFY(countColor(cable, wire, 50) > 100 && countColor(cable, wire, 80) > 100 &&
                cable.pixelColor(centre - 28, 147) == wire && cable.pixelColor(centre + 56, 147) == wire);
    }
};

QTEST_MAIN(TestMenus)
#include "test_menus.moc"
