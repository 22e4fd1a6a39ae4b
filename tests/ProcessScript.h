// Test helpers for the charge process: a charger that plays scripts of frames and timer ticks,
// and the enabled states of the nine lockable controls.
#pragma once

#include "TestSupport.h"

#include "export/Formakku.h"
#include "plot/Formsetgraf.h"
#include "process/Formprotokoll.h"
#include "shell/Forms.h"
#include "shell/MDIForm1.h"

#include <QAction>
#include <QList>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>

// Sends frames in one mode. Every frame carries different values, so that log lines and the
// link watch can tell them apart: output voltage 7000 + k, current 10000, capacity k for the
// k-th frame sent (k from 0).
struct Charger {
    TestApp& app;
    int mode;
    int sent = 0;

    ladomat::sim::Reading reading(int status) const
    {
        ladomat::sim::Reading r;
        r.mode = mode;
        r.status = status;
        r.outputMv = 7000 + sent;
        r.currentTenthMa = 10000;
        r.capacityMah = sent;
        return r;
    }

    void frame(int status)
    {
        app.send(reading(status));
        ++sent;
    }

    // A script of status numbers (one frame each) and "t" (one tick of both timers): "2 2 t 1 t".
    void play(const QString& script)
    {
        for (const QString& step : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (step == QLatin1String("t"))
                app.tick();
            else
                frame(step.toInt());
        }
    }
};

// The nine controls a run locks, in their order: Command1-3, Option1-4, m_grafsave, m_maketext.
inline QList<bool> lockableStates()
{
    const Formsetgraf* s = forms.setgraf;
    return {s->Command1->isEnabled(), s->Command2->isEnabled(), s->Command3->isEnabled(),
            s->Option1->isEnabled(),  s->Option2->isEnabled(),  s->Option3->isEnabled(),
            s->Option4->isEnabled(),  forms.mdi->m_grafsave->isEnabled(), forms.mdi->m_maketext->isEnabled()};
}

inline const QList<bool> kAllLocked(9, false);
inline const QList<bool> kAllUnlocked(9, true);
// A pattern neither procedure leaves behind: shows that no lock or unlock call happened.
inline const QList<bool> kMixed{true, false, true, false, true, false, true, false, true};

inline void setLockableStates(const QList<bool>& states)
{
    Formsetgraf* s = forms.setgraf;
    s->Command1->setEnabled(states[0]);
    s->Command2->setEnabled(states[1]);
    s->Command3->setEnabled(states[2]);
    s->Option1->setEnabled(states[3]);
    s->Option2->setEnabled(states[4]);
    s->Option3->setEnabled(states[5]);
    s->Option4->setEnabled(states[6]);
    forms.mdi->m_grafsave->setEnabled(states[7]);
    forms.mdi->m_maketext->setEnabled(states[8]);
}

inline QString messageField()
{
    return forms.akku->Text7->text();
}

inline int logRows()
{
    return forms.protokoll->model->rowCount();
}

// The sample number at the start of a log line.
inline int loggedNumber(int row)
{
    return forms.protokoll->model->line(row).section(QLatin1Char('\t'), 0, 0).toInt();
}

// The messages, typed out line by line as the user reads them.
inline const QString kGeloescht = QStringLiteral("Alte Daten sind gelöscht !!!");
inline const QString kVerloren = QStringLiteral("Alte Daten sind verloren !!!");
inline const QString kSichern = QStringLiteral("Sie sollten jetzt die Daten sichern !!!");

inline const QString kStopMessage = QStringLiteral(
    "Sie haben auf STOP gedrückt !  \r\n\r\n"
    "Sie können jetzt die Kurve     \r\n"
    "speichern oder ansehen.  Der   \r\n"
    "Akku ist aber nicht korrekt    \r\n"
    "geladen und sollte erst        \r\n"
    "entladen und dann wieder       \r\n"
    "aufgeladen werden !            ");

inline const QString kLinkAlarm = QStringLiteral(
    "Ein Fehler ist aufgetreten ... \r\n\r\n"
    "A) Kabel zum Akku abgezogen    \r\n"
    "-> Kabel NIE während einem     \r\n"
    "Vorgang abziehen !!            \r\n"
    "-> START-Taste solange drücken,\r\n"
    "bis im Display 'NO BATTERY'    \r\n"
    "steht !!                       \r\n"
    "-> Auf 'OK' klicken !          \r\n\r\n"
    "B) Gerät nicht betriebsbereit  \r\n"
    "-> ser. Verbindung prüfen      \r\n"
    "-> COM Port falsch konfiguriert\r\n"
    "bzw. belegt !                  \r\n"
    "-> Gerät eingeschaltet ??      \r\n\r\n"
    "C) Serielle Übertragung noch   \r\n"
    "nicht gestartet                \r\n"
    "-> Drücken Sie eine beliebige  \r\n"
    "Taste am Ladomat XT II !       ");

inline const QString kStoreFull = QStringLiteral(
    "Der Speicher ist voll:         \r\n"
    "2.000.000 Messwerte.           \r\n"
    "Die Aufzeichnung ist beendet.  \r\n\r\n"
    "Bitte die Daten jetzt sichern !");
