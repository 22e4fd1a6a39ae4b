// The global state's invariants, checked after every step by the fuzz target and the soak run:
// the record stays inside the store, pages and run flags agree, the log follows the record.
#pragma once

#include "plot/Formsetgraf.h"
#include "process/Formprotokoll.h"
#include "process/Forms.h"
#include "process/Variabelen.h"
#include "shell/MDIForm1.h"

#include <QAction>
#include <QLineEdit>

#include <cstdio>

namespace invariants {

inline void require(bool condition, const char* what)
{
    if (condition)
        return;
    std::fprintf(
        stderr, "invariant broken: %s (MessNr %g, MessAnzahl %g, Seite %g of %g, Beendet %d, Gestoppt %d)\n",
        what, V->MessNr, V->MessAnzahl, V->Seite, V->LetzteSeite, V->MessungBeendet, V->MessungGestoppt);
    std::abort();
}

// What a step may change, taken before it.
struct Before {
    float messNr = V->MessNr, messAnzahl = V->MessAnzahl, letzteSeite = V->LetzteSeite;
    int logRows = forms.protokoll->model->rowCount();
};

// `jumped`: the step set MessNr itself, as a record run for weeks would have it.
inline void checkInvariants(const Before& was, bool jumped)
{
    require(V->MessNr >= 1 && V->MessNr <= kStoreSize + 1, "MessNr inside the store");
    require(V->MessAnzahl >= 0 && V->MessAnzahl <= kStoreSize, "MessAnzahl inside the store");
    require(jumped || V->MessNr == was.messNr || V->MessNr == was.messNr + 1 || V->MessNr == 1,
            "MessNr moves by +1 or back to 1");
    // The page field may lag one sample behind a page turn or a reset, but always shows a page.
    const float shownPage = forms.setgraf->Text1->text().trimmed().toFloat();
    require(V->Seite >= 1 && V->Seite <= V->LetzteSeite && shownPage >= 1, "1 <= Seite <= LetzteSeite");
    require(V->MessungGestoppt == 0 || V->MessungBeendet == 1, "MessungGestoppt only with MessungBeendet");
    require(V->MessungBeendet == 1 ||
                (!forms.mdi->m_maketext->isEnabled() && !forms.mdi->m_grafsave->isEnabled()),
            "no export while a record runs");
    const ProtokollModel* log = forms.protokoll->model;
    const int rows = log->rowCount();
    if (rows == was.logRows)
        return;
    // A new log line is the sample just recorded, as the store holds it; a full log dropped its oldest.
    require(rows == was.logRows + 1 || (was.logRows == kStoreSize && rows < was.logRows),
            "one log line per step at most");
    const long n = std::lround(was.messNr);
    require(n >= 1 && n <= kStoreSize && (V->MessNr == n + 1 || V->MessNr == 1) &&
                V->MessAnzahl == std::min<float>(n + 1, kStoreSize),
            "a logged sample moves MessNr and MessAnzahl on");
    require(log->line(rows - 1) ==
                QString::asprintf(" %ld\t %ld\t %ld\t %ld", n, std::lround(V->KurveU[n]),
                                  std::lround(V->KurveI[n]), std::lround(V->KurveQ[n])),
            "log line equals the stored sample");
    require(V->LetzteSeite != was.letzteSeite || shownPage == V->LetzteSeite,
            "page field shows the live page after a sample on it");
}

}  // namespace invariants
