// Test helpers for the charge process: a charger that plays scripts of frames and timer ticks,
// the nine controls a run locks, and the messages of the battery window.
#pragma once

#include "TestSupport.h"

#include "export/Formakku.h"
#include "plot/Formsetgraf.h"
#include "process/Forms.h"
#include "shell/MDIForm1.h"

#include <QAction>
#include <QPushButton>
#include <QRadioButton>

// Sends frames in one mode. The k-th frame sent (from 0) carries output voltage 7000 + k and
// capacity k, so that log lines and the link watch can tell the frames apart.
struct Charger {
    TestApp& app;
    int mode, sent = 0;

    ladomat::sim::Reading reading(int status) const
    {
        return {.mode = mode,
                .outputMv = 7000 + sent,
                .currentTenthMa = 10000,
                .capacityMah = sent,
                .status = status};
    }
    void frame(int status)
    {
        app.send(reading(status));
        ++sent;
    }
    // A script of status numbers (one frame each) and "t" (one tick of both timers): "2 2 t 1 t".
    void play(const QString& script)
    {
        for (const QString& step : script.split(u' ', Qt::SkipEmptyParts))
            step == u"t" ? app.tick() : frame(step.toInt());
    }
};

// The enabled states of Command1-3, Option1-4, m_grafsave and m_maketext, '1' for enabled.
inline QList<QObject*> lockable()
{
    const Formsetgraf* s = forms.setgraf;
    return {s->Command1, s->Command2, s->Command3,           s->Option1,           s->Option2,
            s->Option3,  s->Option4,  forms.mdi->m_grafsave, forms.mdi->m_maketext};
}
inline QString locks()
{
    QString states;
    for (const QObject* control : lockable())
        states += control->property("enabled").toBool() ? u'1' : u'0';
    return states;
}
inline void setLocks(const QString& states)
{
    for (int k = 0; k < 9; ++k)
        lockable()[k]->setProperty("enabled", states[k] == u'1');
}
// kMixed is a pattern neither locking nor unlocking leaves behind: it shows that neither happened.
inline const QString kLocked = "000000000", kUnlocked = "111111111", kMixed = "101010101";

inline QString messageField() { return forms.akku->Text7->text(); }

// The messages as the user reads them: lines of 31 characters ("" an empty line) joined by CR LF.
inline QString lines(const QStringList& text) { return text.join(QStringLiteral("\r\n")); }
inline const QString kSichern = "Sie sollten jetzt die Daten sichern !!!";
inline const QString kGeloescht = "Alte Daten sind gelöscht !!!";
inline const QString kStopMessage = lines(
    {"Sie haben auf STOP gedrückt !  ", "", "Sie können jetzt die Kurve     ",
     "speichern oder ansehen.  Der   ", "Akku ist aber nicht korrekt    ", "geladen und sollte erst        ",
     "entladen und dann wieder       ", "aufgeladen werden !            "});
inline const QString kLinkAlarm =
    lines({"Ein Fehler ist aufgetreten ... ", "",
           "A) Kabel zum Akku abgezogen    ", "-> Kabel NIE während einem     ",
           "Vorgang abziehen !!            ", "-> START-Taste solange drücken,",
           "bis im Display 'NO BATTERY'    ", "steht !!                       ",
           "-> Auf 'OK' klicken !          ", "",
           "B) Gerät nicht betriebsbereit  ", "-> ser. Verbindung prüfen      ",
           "-> COM Port falsch konfiguriert", "bzw. belegt !                  ",
           "-> Gerät eingeschaltet ??      ", "",
           "C) Serielle Übertragung noch   ", "nicht gestartet                ",
           "-> Drücken Sie eine beliebige  ", "Taste am Ladomat XT II !       "});
inline const QString kStoreFull =
    lines({"Der Speicher ist voll:         ", "2.000.000 Messwerte.           ",
           "Die Aufzeichnung ist beendet.  ", "", "Bitte die Daten jetzt sichern !"});
