// The main window: start-up and end, what the windows show of the session, the menus, the port
// settings and information windows, the exports.
#include "TestSupport.h"

#include "link/Formdatenformat.h"
#include "platform/PlotSurface.h"
#include "records/CompareWindow.h"
#include "records/RecordBook.h"
#include "records/RecordWindow.h"
#include "shell/Formeinstell.h"
#include "shell/InfoWindows.h"
#include "shell/shell.h"

#include <QtTest>
#include <QtWidgets>

#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

// The port settings window after choosing this port and "Port übernhemen"; null once closed.
static Formeinstell* choose(const TestApp& app, int port)
{
    auto* window = app.mdi->findChild<Formeinstell*>();
    window->findChild<QRadioButton*>(QStringLiteral("Option%1").arg(port))->setChecked(true);
    window->Command1->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return app.mdi->findChild<Formeinstell*>();
}

class TestShell : public QObject {
    Q_OBJECT

private slots:
    // COM1 to COM4 are tried in turn, the first that opens is used and what waits there is shown, not
    // decoded. Scales and labels (also a step down) in the locale's form; commands locked; no window
    // closes. "Ende" and closing the main window close the port and end the program, asking nothing.
    void startUpAndEnd_data()
    {
        QTest::addColumn<std::set<int>>("available");
        QTest::addColumn<std::vector<int>>("tried");
        QTest::addColumn<QLocale>("locale");
        // Text[1], Text[10], page, battery; Text[2] a step down; controls.
        QTest::addColumn<QString>("shown");
        const QLocale de(QLocale::German, QLocale::Germany);
        const QString german = u"60,0V 1,00A  1 7,2 46,4V 000000000"_s;
        QTest::newRow("COM1, Ende") << std::set<int>{1, 2, 3, 4} << std::vector<int>{1} << de << german;
        QTest::newRow("COM2, closed") << std::set<int>{2, 3} << std::vector<int>{1, 2} << de << german;
        QTest::newRow("COM4, Ende, C locale") << std::set<int>{4} << std::vector<int>{1, 2, 3, 4}
                                              << QLocale::c() << u"60.0V 1.00A  1 7.2 46.4V 000000000"_s;
    }
    void startUpAndEnd()
    {
        QFETCH(std::set<int>, available);
        QFETCH(QLocale, locale);
        QLocale::setDefault(locale);
        const QByteArray waiting = QByteArray("\x02") + ladomat::sim::frameDigits({}).c_str() + "\r";
        TestApp app(available, waiting);
        MDIForm1& m = *app.mdi;
        QTEST(app.port->triedPorts(), "tried");
        QVERIFY(app.port->portOpen() && app.port->rThreshold() == 32 && app.session().Datensatz.isEmpty());
        QCOMPARE(m.datenformat->Text1->text(), QString::fromLatin1(waiting));
        for (QMdiSubWindow* frame : m.mdiArea->subWindowList())
            QVERIFY2(!frame->close(), qPrintable(frame->windowTitle()));
        QStringList shown{m.grafik->Text[1]->text(), m.grafik->Text[10]->text(), m.setgraf->Text1->text(),
                          m.akku->Text4->text()};
        m.setgraf->HScroll1->setValue(58);
        QTEST(shown.join(' ') + ' ' + m.grafik->Text[2]->text() + ' ' + controlStates(m), "shown");
        QString(QTest::currentDataTag()).contains("Ende") ? m.m_ende->trigger() : void(m.close());
        QVERIFY(!app.port->portOpen() && m.ended() && app.dialogs.messages.isEmpty());
    }

    void noPortEndsTheProgram()
    {
        // No COM1 to COM4 (a charger on COM5 is not found): one message, in front of the windows opened
        // so far, and the program ends before the later start-up steps.
        TestApp app(std::set<int>{5});
        QCOMPARE(app.dialogs.messages.value(0),
                 (QPair<QString, QString>{
                     "Kein COM Port konnte geöffnet werden ! Das Programm wird beendet !", "Ladomat Link"}));
        QCOMPARE(app.dialogs.windowsBehind,
                 (QList<QStringList>{{"Ladomat Link V2.01", "Text - Box", "Grafik - Box",
                                      "Grafik Einstellungen", "Akku / Infos"}}));
        QVERIFY(app.mdi->ended() && !app.mdi->isVisible() && app.mdi->grafik->Text[1]->text().isEmpty());
    }

    // What the session says, the windows show ("whole" a click on the view switch): the nine controls,
    // page controls off in the whole-record view after the charger's end or a full store, not after a
    // stop; the battery window's message, the link alarm unless a message stands, the port read away.
    void windowsFollowTheSession_data()
    {
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("shown");  // controls | message | waiting
        QTest::newRow("locked") << "unlock|lock" << u"000000000||3"_s;
        QTest::newRow("unlocked") << "lock|unlock" << u"111111111||3"_s;
        QTest::newRow("full store, whole view") << "unlock|whole|unlock|end full" << u"100000011||3"_s;
        QTest::newRow("stop, whole view") << "unlock|whole|unlock|end stop" << u"111111111||3"_s;
        QTest::newRow("charger's end, page view") << "unlock|end charger" << u"111111111||3"_s;
        QTest::newRow("message") << "msg Eins" << u"000000000|Eins|3"_s;
        QTest::newRow("link silent") << "silent" << u"000000000|Alarm|0"_s;
        QTest::newRow("link silent under a message") << "msg Eins|silent" << u"000000000|Eins|0"_s;
    }
    void windowsFollowTheSession()
    {
        QFETCH(QString, said);
        TestApp app;
        app.sendRaw("abc");
        ChargeSession& session = app.session();
        emit session.modeNamed("Laden");
        emit session.statusNamed("Voll");
        emit session.statusHint("Los");
        for (const QString& word : said.split(u'|')) {
            const QString rest = word.section(u' ', 1);
            if (word.endsWith(u"lock"))
                emit session.controlsLocked(word == u"lock");
            else if (word == u"whole")
                app.mdi->setgraf->Command1->click();
            else if (word.startsWith(u"end"))
                emit session.recordEnded(
                    ChargeSession::EndReason(QStringList{"charger", "stop", "full"}.indexOf(rest)));
            else if (word.startsWith(u"msg"))
                emit session.message(rest);
            else
                emit session.linkSilent("Alarm");
        }
        const MDIForm1& m = *app.mdi;
        QTEST(
            QString("%1|%2|%3").arg(controlStates(m), m.akku->Text7->text()).arg(app.port->waiting().size()),
            "shown");
        QCOMPARE(m.text->Text7->text() + m.text->Text6->text() + m.StatusBar1->text(), "LadenVollLos");
    }

    void portWindowAndItsChoice()
    {
        // While open, the window closes the port and locks "Port". A port in use: the message, and the window
        // stays. A free one is taken; what waited is shown.
        TestApp app({1, 2});
        const auto state = [&app] {  // port open, the port last tried, the port set, "Port" enabled, messages
            return QList<int>{app.port->portOpen(), app.port->triedPorts().back(), app.port->commPort(),
                              app.mdi->m_port->isEnabled(), int(app.dialogs.messages.size())};
        };
        app.mdi->m_port->trigger();
        QCOMPARE(state(), (QList{0, 1, 1, 0, 0}));
        QVERIFY(choose(app, 4));
        QCOMPARE(state(), (QList{0, 4, 4, 0, 1}));
        QCOMPARE(app.dialogs.messages.value(0),
                 (QPair<QString, QString>{"Fehler : COM-Port nicht vorhanden oder anderweitig verwendet !",
                                          "COM-Error"}));
        const QByteArray waiting = QByteArray("\x02") + ladomat::sim::frameDigits({}).c_str() + "\r";
        app.port->setWaitingOnOpen(waiting);
        QVERIFY(!choose(app, 2));
        QCOMPARE(state(), (QList{1, 2, 2, 1, 1}));
        QCOMPARE(app.mdi->datenformat->Text1->text(), QString::fromLatin1(waiting));
        // Closed after a failed choice, it goes back to the port used before; that port gone: the
        // message.
        app.mdi->m_port->trigger();
        QVERIFY(MDIForm1::frameOf(choose(app, 3))->close());
        QCOMPARE(state(), (QList{1, 2, 2, 1, 2}));
        app.mdi->m_port->trigger();
        app.port->setAvailablePorts({1});
        QVERIFY(MDIForm1::frameOf(app.mdi->findChild<Formeinstell*>())->close());
        QCOMPARE(state(), (QList{0, 2, 2, 1, 3}));
        // An export cancelled while the device is gone says nothing; frames count again once it is back.
        app.mdi->m_grafsave_Click();
        QCOMPARE(app.dialogs.messages.size(), 3);
        app.port->setAvailablePorts({1, 2});
        app.port->replug();
        QTRY_VERIFY(app.port->portOpen());
        app.send({.outputMv = 5000, .status = 1});
        QCOMPARE(app.session().reading.UAus, 5000);
    }

    void menusAndWindows()
    {
        // Each "Fenster" item twice: its window(s) hide or show, in front when shown, and the item names
        // what it does next. "serielles Kabel" and "Kontakt" leave an open window where it is; "Author"
        // brings it forward. Seen after each: the item, windows in view, the one in front.
        TestApp app;
        const MDIForm1& m = *app.mdi;
        QStringList seen;
        for (QAction* item : {m.m_text, m.m_text, m.m_grafik, m.m_grafik, m.m_serdaten, m.m_serdaten,
                              m.m_kabel, m.m_author, m.m_kontakt, m.m_author, m.m_kabel, m.m_kontakt}) {
            item->trigger();
            QList<QMdiSubWindow*> frames = m.mdiArea->subWindowList(QMdiArea::StackingOrder);
            frames.removeIf([](const QMdiSubWindow* frame) { return frame->isHidden(); });
            seen << item->text() + ": " + QString::number(frames.size()) + ' ' + frames.last()->windowTitle();
        }
        QCOMPARE(seen,
                 (QStringList{"Text [anzeigen]: 3 Akku / Infos", "Text [verbergen]: 4 Text - Box",
                              "Grafik [anzeigen]: 2 Text - Box", "Grafik [verbergen]: 4 Grafik Einstellungen",
                              "Ser. Datenformat [verbergen]: 5 serielles Datenfomat",
                              "Ser. Datenformat [anzeigen]: 4 Grafik Einstellungen",
                              "serielles Kabel: 5 Aufbau des ser. Kabels", "Author: 6 Info ...",
                              "Kontakt: 7 Fragen ...", "Author: 7 Info ...", "serielles Kabel: 7 Info ...",
                              "Kontakt: 7 Info ..."}));
        // "Öffnen…" asks in the journal folder and opens each file chosen in a record window in front;
        // so does the record book; "Vergleichen…" and the book's compare button put records on one plot.
        QTemporaryDir dir;
        qputenv("XDG_DATA_HOME", dir.path().toLocal8Bit());
        const QString a = dir.filePath("A.TXT"), record = journalFolder() + "/2026-01-02_03-04-05.TXT";
        QVERIFY(write(a, "1,1,1,1\r\n") && write(dir.filePath("B.TXT"), ""));
        app.dialogs.opened = QStringList{a, dir.filePath("B.TXT")};
        m.m_oeffnen->trigger();
        QVERIFY(write(record, "1,1,1,1\r\n"));
        m.m_buch->trigger();
        auto* book = m.findChild<RecordBook*>();
        QVERIFY(book && book->shownPaths() == QStringList{record});
        emit book->openRequested(record);
        QCOMPARE(m.findChildren<RecordWindow*>().size(), 3);
        QVERIFY(m.mdiArea->currentSubWindow()->windowTitle().startsWith("2026-01-02_03-04-05.TXT – "));
        app.dialogs.opened = QStringList{a, record};
        m.m_vergleichen->trigger();
        emit book->compareRequested({record, a});
        QCOMPARE(m.findChildren<CompareWindow*>().size(), 2);
        QCOMPARE(app.dialogs.openRequests,
                 (QStringList{"Aufzeichnung öffnen|Kurvendateien (*.txt)|*.txt|" + journalFolder(),
                              "Aufzeichnungen vergleichen|Kurvendateien (*.txt)|*.txt|" + journalFolder()}));
        // The program's icon: a battery with its green charge curve.
        QVERIFY(countColor(m.windowIcon().pixmap(QSize(48, 48), 1).toImage(), QColor(0, 128, 0)) > 20);
        // The cable's two wires run across (rows 50 and 80); of the plug's pins, 2 and 5 are filled.
        const QImage cable = m.findChild<Formkabel*>()->grab().toImage();
        const QColor wire(0, 0, 160);
        const int centre = cable.width() / 2;
        QVERIFY(countColor(cable, wire, 50) > 100 && countColor(cable, wire, 80) > 100 &&
                cable.pixelColor(centre - 28, 147) == wire && cable.pixelColor(centre + 56, 147) == wire &&
                cable.pixelColor(centre, 147) != wire);
        // The graph window has minimise and maximise boxes. The settings and battery windows stay in the
        // right corners as the main window shrinks.
        QVERIFY(MDIForm1::frameOf(m.grafik)->windowFlags().testFlags(Qt::WindowMinMaxButtonsHint));
        app.mdi->show();
        QVERIFY(QTest::qWaitForWindowExposed(app.mdi.get()));
        app.mdi->resize(app.mdi->size() - QSize(120, 60));
        const QWidget* area = m.mdiArea->viewport();
        QTRY_COMPARE(MDIForm1::frameOf(m.akku)->geometry().bottomRight(), area->rect().bottomRight());
        QCOMPARE(MDIForm1::frameOf(m.setgraf)->geometry().topRight(), QPoint(area->width() - 1, 0));
    }

    void aRunsExports()
    {
        // A run of three samples and the end frame in the slot after them: four lines, replacing what
        // the file held. The bitmap is the plot.
        TestApp app;
        QTemporaryDir dir;
        const QString text = dir.filePath("Kurve01.TXT"), bitmap = dir.filePath("Bild.bmp");
        QVERIFY(write(text, "alt"));
        app.send({.outputMv = 5000, .status = 1});
        for (int k = 0; k < 3; ++k)
            app.send(
                {.outputMv = 12460 + 10 * k, .currentTenthMa = 12345 - 5 * k, .capacityMah = k, .status = 2});
        app.send({.outputMv = 13000, .capacityMah = 3, .status = 8});
        app.session().Messreihe.KurveQ[3] = 2.5f;  // "." whatever the locale
        app.dialogs.answers = {text, bitmap};
        app.mdi->m_maketext_Click();
        QCOMPARE(contents(text),
                 "1,12460,12345,0\r\n2,12470,12340,1\r\n3,12480,12335,2.5\r\n4,13000,0,3\r\n");
        app.mdi->m_grafsave_Click();
        QCOMPARE(QImage(bitmap, "BMP").convertToFormat(QImage::Format_RGB32),
                 app.mdi->grafik->Picture1->image().convertToFormat(QImage::Format_RGB32));
        // A missing folder, a file system that takes only 4 KiB (a file size limit): a message each,
        // nothing left behind, the port open again.
        app.session().Messreihe.MessAnzahl = 30000;
        QVERIFY(QDir(dir.path()).mkdir("voll"));
        const QStringList failing{dir.filePath("fehlt/Grafik01.BMP"), dir.filePath("voll/Kurve01.TXT"),
                                  dir.filePath("voll/Grafik01.BMP")};
        app.dialogs.answers = failing;
        rlimit saved;
        QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
        std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the program
        const rlimit small{4096, saved.rlim_max};
        QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        app.mdi->m_grafsave_Click();
        app.mdi->m_maketext_Click();
        app.mdi->m_grafsave_Click();
        QVERIFY(setrlimit(RLIMIT_FSIZE, &saved) == 0);
        QList<QPair<QString, QString>> messages;
        for (const QString& path : failing)
            messages.append(
                {"Die Datei " + QDir::toNativeSeparators(path) + " konnte nicht geschrieben werden !",
                 "Ladomat Link"});
        QCOMPARE(app.dialogs.messages, messages);
        QVERIFY(QDir(dir.filePath("voll")).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        QVERIFY(app.port->portOpen());
    }

    // A window chosen from its menu with the mouse and closed at once by the keys, pressed wherever
    // the focus then is, is gone; the port window closed so leaves the port open and "Port" usable.
    void closeByKeys_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QKeySequence>("keys");
        QTest::newRow("cable, Ctrl+F4") << "m_kabel" << QKeySequence(u"Ctrl+F4"_s);
        QTest::newRow("port, Ctrl+W") << "m_port" << QKeySequence(u"Ctrl+W"_s);
    }
    void closeByKeys()
    {
        QFETCH(QString, item);
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
        QWidget* focus =
            QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
        QFETCH(QKeySequence, keys);
        QTest::keySequence(focus, keys);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(app.mdi->mdiArea->subWindowList().size(), open - 1);
        QVERIFY(app.port->portOpen() && app.mdi->m_port->isEnabled());
    }
};

QTEST_MAIN(TestShell)
#include "test_shell.moc"
