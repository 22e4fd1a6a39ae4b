// Test helpers for the charge process: a charger that plays scripts of frames and timer ticks,
// the nine controls a run locks, and the messages of the battery window.
#pragma once

#include "TestSupport.h"

#include "shell/MDIForm1.h"

#include <QAction>
#include <QPushButton>
#include <QRadioButton>

// Sends frames in one mode. The k-th frame sent (from 0) carries output voltage 7000 + k and
// capacity k, so that log lines and the link watch can tell the frames apart.
struct Charger {
    TestApp& app;
    int mode, sent = 0;

    // Serial, mode, cycle, input and output voltage, current, capacity, status.
    void frame(int status) { app.send({1, mode, 0, 12460, 7000 + sent, 10000, sent, status}), ++sent; }
    // A script of status numbers (one frame each) and "t" (one tick of both timers): "2 2 t 1 t".
    void play(const QString& script)
    {
        for (const QString& step : script.split(u' ', Qt::SkipEmptyParts))
            step == u"t" ? app.tick() : frame(step.toInt());
    }
};

// The enabled states of Command1-3, Option1-4, m_grafsave and m_maketext, '1' for enabled, after
// setting them to the pattern `set` if one is given.
inline QString locks(const TestApp& app, const QString& set = {})
{
    const Formsetgraf* s = app.mdi->setgraf;
    QString states;
    for (QObject* c : QObjectList{s->Command1, s->Command2, s->Command3, s->Option1, s->Option2, s->Option3,
                                  s->Option4, app.mdi->m_grafsave, app.mdi->m_maketext}) {
        c->setProperty("enabled", set.isEmpty() ? c->property("enabled") : set[states.size()] == u'1');
        states += c->property("enabled").toBool() ? u'1' : u'0';
    }
    return states;
}
// kMixed is a pattern neither locking nor unlocking leaves behind: it shows that neither happened.
inline const QString kLocked = "000000000", kUnlocked = "111111111", kMixed = "101010101";

// The first line of the battery window's message.
inline QString messageField(const TestApp& app)
{
    return app.mdi->akku->Text7->text().section(QStringLiteral("\r\n"), 0, 0);
}

inline const QString kSichern = "Sie sollten jetzt die Daten sichern !!!",
                     kGeloescht = "Alte Daten sind gelöscht !!!",
                     kStopMessage = "Sie haben auf STOP gedrückt !  ",
                     kLinkAlarm = "Ein Fehler ist aufgetreten ... ";
