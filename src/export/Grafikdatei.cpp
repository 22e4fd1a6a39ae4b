// The graph bitmap: the plot surface's retained image as it stands.
#include "export/export.h"

#include "platform/Dialogs.h"
#include "platform/PlotSurface.h"
#include "process/Forms.h"

namespace {

bool writeBitmap(const QString& path) { return forms.Picture1->saveBmp(path); }

}  // namespace

void m_grafsave_Click()
{
    saveWithPortClosed({.title = QStringLiteral("Ladekurve speichern"),
                        .filter = QStringLiteral("Grafiken (*.bmp)|*.bmp"),
                        .initialFolder = QStringLiteral("C:\\"),
                        .proposedName = QStringLiteral("Grafik01.BMP"),
                        .defaultExtension = QStringLiteral(".bmp")},
                       writeBitmap);
}
