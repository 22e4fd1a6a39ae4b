// Locking and unlocking the page, view and export controls as one group of nine.
#include "process/process.h"

#include "plot/Formsetgraf.h"
#include "shell/Forms.h"
#include "shell/MDIForm1.h"

#include <QAction>
#include <QPushButton>
#include <QRadioButton>

namespace {

void setControlsEnabled(bool enabled)
{
    Formsetgraf* setgraf = forms.setgraf;
    setgraf->Command1->setEnabled(enabled);
    setgraf->Command2->setEnabled(enabled);
    setgraf->Command3->setEnabled(enabled);
    setgraf->Option1->setEnabled(enabled);
    setgraf->Option2->setEnabled(enabled);
    setgraf->Option3->setEnabled(enabled);
    setgraf->Option4->setEnabled(enabled);
    forms.mdi->m_grafsave->setEnabled(enabled);
    forms.mdi->m_maketext->setEnabled(enabled);
}

}  // namespace

void BedienungSperren() { setControlsEnabled(false); }

void BedienungFreigeben() { setControlsEnabled(true); }
