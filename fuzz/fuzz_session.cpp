// Fuzz target: the whole program on an in-memory port takes any mix of reads of any bytes, whole
// frames, event codes, timer ticks, the user's settings, port and export actions and a device that
// goes and comes back, and keeps the global state's invariants after every step.
#include "tests/TestSupport.h"

#include "shell/Formeinstell.h"
#include "testkit/Invariants.h"

#include <QApplication>
#include <QCheckBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>

#include <functional>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // One program for all inputs: a fresh one costs a hundred times an input's steps. Each input
    // goes on from the state the previous ones left, as a long session would.
    static int argc = 1;
    static char name[] = "fuzz_session";
    static char* argv[] = {name, nullptr};
    static const bool offscreen = qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication application(argc, argv);
    static TestApp app;
    static const invariants::Checker invariants(*app.mdi);
    static QTemporaryDir dir;
    // Each step is one operation byte and the parameter bytes it takes (0 past the end).
    size_t at = 0;
    const auto take = [&]() -> uint8_t { return at < size ? data[at++] : 0; };
    ChargeSession& session = app.session();
    Formsetgraf* g = app.mdi->setgraf;
    invariants::Checker::Before was{};
    bool jumped = false;
    // Whole frames, repeated, so that runs go on long enough to turn pages.
    const auto frames = [&] {
        ladomat::sim::Reading reading;
        reading.mode = take() % 6;
        reading.status = take() % 11;
        reading.outputMv = take() * 256;
        reading.currentTenthMa = take() * 200;
        reading.capacityMah = take() * 12;
        const QByteArray line = QByteArray::fromStdString(ladomat::sim::frameLine(reading));
        for (int k = take() % 64; k >= 0; --k) {
            was = invariants.before();
            app.port->receive(line);
            invariants.check(was, false);
        }
    };
    // The exports leave the record as it was. A record near the store's size takes a second to
    // write here, so it is only cancelled (the soak run writes full ones).
    const auto exportWith = [&](QAction* action) {
        app.dialogs.answers.clear();
        if (take() % 2 && session.Messreihe.MessAnzahl < 100000)
            app.dialogs.answers = {dir.filePath(QStringLiteral("Kurve.TXT"))};
        action->trigger();
        invariants.require(session.MessNr == was.messNr && session.Messreihe.MessAnzahl == was.messAnzahl &&
                               session.chargeLog->rowCount() == was.logRows,
                           "an export leaves the record untouched");
    };
    // The port window: closed, or one of its four ports chosen.
    const auto choosePort = [&] {
        app.mdi->m_port->trigger();
        auto* settings = app.mdi->mdiArea->findChild<Formeinstell*>();
        if (!settings)
            return;
        if (const int choice = take() % 5) {
            settings->findChild<QRadioButton*>(QStringLiteral("Option%1").arg(choice))->click();
            settings->Command1->click();
        } else {
            MDIForm1::frameOf(settings)->close();
        }
    };
    std::vector<std::function<void()>> operations{
        [&] {
            const size_t length = std::min<size_t>(take() % 64, size - at);
            app.port->receive(QByteArray(reinterpret_cast<const char*>(data + at), qsizetype(length)));
            at += length;
        },
        frames,
        frames,
        [&] { app.port->raiseEvent(take() % 2 ? comEvReceive : 1000 + take() % 16); },
        [&] { app.session().Timer1_Timer(); },
        [&] { app.session().Timer2_Timer(); },
        [&] {
            for (int k = take() % 8; k >= 0; --k)
                app.tick();
        },
    };
    for (QScrollBar* bar : {g->HScroll1, g->HScroll2, g->HScroll3})
        operations.push_back([&, bar] { bar->setValue(take()); });
    for (QAbstractButton* button :
         std::initializer_list<QAbstractButton*>{g->Check1, g->Check2, g->Check3, g->Command1, g->Command2,
                                                 g->Command3, g->Option1, g->Option2, g->Option3, g->Option4})
        operations.push_back([button] { button->click(); });
    for (QAction* action : {app.mdi->m_maketext, app.mdi->m_grafsave})
        operations.push_back([&, action] { exportWith(action); });
    // A record that has run for weeks: close to the store's end.
    const auto nearTheStoreEnd = [&] {
        session.MessNr = float(kStoreSize - take() % 4);
        jumped = true;
    };
    operations.insert(operations.end(),
                      {choosePort, [&] { app.port->unplug(); }, [&] { app.port->replug(); },
                       [&] { app.port->retryLostDevice(); }, nearTheStoreEnd});
    while (offscreen && at < size) {
        // The dialogs record what they show; over a long run that record must not grow without end.
        app.dialogs.messages.clear();
        app.dialogs.windowsBehind.clear();
        was = invariants.before();
        jumped = false;
        operations[take() % operations.size()]();
        invariants.check(was, jumped);
    }
    return 0;
}
