// The global state's invariants, checked after every step by the fuzz target and the soak run:
// the record stays inside the store, pages and run flags agree, the log follows the record.
#pragma once

#include "plot/Formsetgraf.h"
#include "process/Formprotokoll.h"
#include "process/Variabelen.h"
#include "process/Forms.h"
#include "shell/MDIForm1.h"

#include <QAction>
#include <QLineEdit>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace invariants {

inline void require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(
            stderr,
            "invariant broken: %s\n(MessNr %g, MessAnzahl %g, Seite %g, LetzteSeite %g, MinProSeite %g, "
            "MessungBeendet %d, MessungGestoppt %d, StatusNr %d, page field \"%s\")\n",
            what, V->MessNr, V->MessAnzahl, V->Seite, V->LetzteSeite, V->MinProSeite, V->MessungBeendet,
            V->MessungGestoppt, V->StatusNr, qPrintable(forms.setgraf->Text1->text()));
        std::abort();
    }
}

inline bool whole(float value) { return value == std::floor(value); }

// What a step may change, taken before it.
struct Before {
    float messNr;
    float messAnzahl;
    float letzteSeite;
    int logRows;
};

inline Before before()
{
    return {V->MessNr, V->MessAnzahl, V->LetzteSeite, forms.protokoll->model->rowCount()};
}

inline void checkInvariants(const Before& was, bool jumped)
{
    require(whole(V->MessNr) && V->MessNr >= 1 && V->MessNr <= kStoreSize + 1,
            "MessNr whole, 1 to store end + 1");
    require(jumped || V->MessNr == was.messNr || V->MessNr == was.messNr + 1 || V->MessNr == 1,
            "MessNr moves by +1 or back to 1");
    require(whole(V->MessAnzahl) && V->MessAnzahl >= 0 && V->MessAnzahl <= kStoreSize,
            "MessAnzahl inside the store");
    require(whole(V->Seite) && whole(V->LetzteSeite) && V->Seite >= 1 && V->Seite <= V->LetzteSeite,
            "1 <= Seite <= LetzteSeite");
    require((V->MessungBeendet == 0 || V->MessungBeendet == 1) &&
                (V->MessungGestoppt == 0 || V->MessungGestoppt == 1),
            "run flags 0 or 1");
    require(V->MessungGestoppt == 0 || V->MessungBeendet == 1, "MessungGestoppt only with MessungBeendet");
    require(V->MessungBeendet == 1 ||
                (!forms.mdi->m_maketext->isEnabled() && !forms.mdi->m_grafsave->isEnabled()),
            "no export while a record runs");
    // The page field may lag one sample behind a page turn or a reset, but always shows a page.
    const float shownPage = forms.setgraf->Text1->text().trimmed().toFloat();
    require(whole(shownPage) && shownPage >= 1, "page field shows a page number");

    const ProtokollModel* log = forms.protokoll->model;
    const int rows = log->rowCount();
    if (rows == was.logRows)
        return;
    // A new log line is the sample just recorded, as the store holds it; a full log dropped its oldest.
    require(rows == was.logRows + 1 || (was.logRows == kStoreSize && rows < was.logRows),
            "one log line per step at most");
    const long n = std::lround(was.messNr);
    require(n >= 1 && n <= kStoreSize, "logged sample inside the store");
    const QString expected = QStringLiteral(" %1\t %2\t %3\t %4")
                                 .arg(n)
                                 .arg(std::lround(V->KurveU[n]))
                                 .arg(std::lround(V->KurveI[n]))
                                 .arg(std::lround(V->KurveQ[n]));
    require(log->line(rows - 1) == expected, "log line equals the stored sample");
    require(V->MessNr == was.messNr + 1 || V->MessNr == 1, "a logged sample moves MessNr on");
    require(V->MessAnzahl == std::min<float>(was.messNr + 1, kStoreSize),
            "MessAnzahl ends after the logged sample");
    require(V->LetzteSeite != was.letzteSeite || shownPage == V->LetzteSeite,
            "page field shows the live page after a sample on it");
}

}  // namespace invariants
