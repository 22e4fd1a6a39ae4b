// The charge session's invariants, checked after every step by the fuzz target and the soak run:
// the record stays inside the store, pages and run flags agree, the log follows the record.
#pragma once

#include "plot/Formgrafik.h"
#include "plot/Formsetgraf.h"
#include "process/ChargeSession.h"
#include "process/ProtokollModel.h"
#include "shell/MDIForm1.h"

#include <QAction>
#include <QLineEdit>

#include <cmath>
#include <cstdio>

namespace invariants {

class Checker {
public:
    explicit Checker(const MDIForm1& mdi)
        : mdi_(mdi)
        , session_(*mdi.session)
        , view_(mdi.grafik->view)
    {
    }

    void require(bool condition, const char* what) const
    {
        if (condition)
            return;
        std::fprintf(
            stderr,
            "invariant broken: %s (MessNr %g, MessAnzahl %g, Seite %g of %g, Beendet %d, Gestoppt %d)\n",
            what, session_.MessNr, session_.Messreihe.MessAnzahl, view_.Seite, view_.LetzteSeite,
            session_.MessungBeendet, session_.MessungGestoppt);
        std::abort();
    }

    // What a step may change, taken before it.
    struct Before {
        float messNr, messAnzahl, letzteSeite;
        int logRows;
    };
    Before before() const
    {
        return {session_.MessNr, session_.Messreihe.MessAnzahl, view_.LetzteSeite,
                session_.chargeLog->rowCount()};
    }

    // `jumped`: the step set MessNr itself, as a record run for weeks would have it.
    void check(const Before& was, bool jumped) const
    {
        const ChargeSession& s = session_;
        require(s.MessNr >= 1 && s.MessNr <= kStoreSize + 1, "MessNr inside the store");
        require(s.Messreihe.MessAnzahl >= 0 && s.Messreihe.MessAnzahl <= kStoreSize,
                "MessAnzahl inside the store");
        require(jumped || s.MessNr == was.messNr || s.MessNr == was.messNr + 1 || s.MessNr == 1,
                "MessNr moves by +1 or back to 1");
        // The page field may lag one sample behind a page turn or a reset, but always shows a page.
        const float shownPage = mdi_.setgraf->Text1->text().trimmed().toFloat();
        require(view_.Seite >= 1 && view_.Seite <= view_.LetzteSeite && shownPage >= 1,
                "1 <= Seite <= LetzteSeite");
        require(s.MessungGestoppt == 0 || s.MessungBeendet == 1, "MessungGestoppt only with MessungBeendet");
        require(s.MessungBeendet == 1 || (!mdi_.m_maketext->isEnabled() && !mdi_.m_grafsave->isEnabled()),
                "no export while a record runs");
        const ProtokollModel* log = s.chargeLog;
        const int rows = log->rowCount();
        if (rows == was.logRows)
            return;
        // A new log line is the sample just recorded, as the store holds it; a full log dropped its oldest.
        require(rows == was.logRows + 1 || (was.logRows == kStoreSize && rows < was.logRows),
                "one log line per step at most");
        const long n = std::lround(was.messNr);
        require(n >= 1 && n <= kStoreSize && (s.MessNr == n + 1 || s.MessNr == 1) &&
                    s.Messreihe.MessAnzahl == std::min<float>(n + 1, kStoreSize),
                "a logged sample moves MessNr and MessAnzahl on");
        require(log->line(rows - 1) ==
                    QString::asprintf(" %ld\t %ld\t %ld\t %ld", n, std::lround(s.Messreihe.KurveU[n]),
                                      std::lround(s.Messreihe.KurveI[n]), std::lround(s.Messreihe.KurveQ[n])),
                "log line equals the stored sample");
        require(view_.LetzteSeite != was.letzteSeite || shownPage == view_.LetzteSeite,
                "page field shows the live page after a sample on it");
    }

private:
    const MDIForm1& mdi_;
    const ChargeSession& session_;
    const GraphView& view_;
};

}  // namespace invariants
