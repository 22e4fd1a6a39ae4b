// Locking and unlocking the page, view and export controls as one group of nine.
#include "process/process.h"

#include "process/Forms.h"

#include <QAction>
#include <QPushButton>

namespace {

void setControlsEnabled(bool enabled)
{
    forms.viewButton->setEnabled(enabled);
    setPageControlsEnabled(enabled);
    forms.m_grafsave->setEnabled(enabled);
    forms.m_maketext->setEnabled(enabled);
}

}  // namespace

void BedienungSperren() { setControlsEnabled(false); }

void BedienungFreigeben() { setControlsEnabled(true); }

void setPageControlsEnabled(bool enabled)
{
    for (QWidget* control : forms.pageControls)
        control->setEnabled(enabled);
}
