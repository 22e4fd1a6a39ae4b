// The graph bitmap: the plot surface's retained image as it stands.
#include "export/export.h"

#include "platform/Dialogs.h"
#include "platform/PlotSurface.h"

void saveGraphBitmap(const PlotSurface& plot)
{
    saveAs({.title = QStringLiteral("Ladekurve speichern"),
            .filter = QStringLiteral("Grafiken (*.bmp)|*.bmp"),
            .initialFolder = QStringLiteral("C:\\"),
            .proposedName = QStringLiteral("Grafik01.BMP"),
            .defaultExtension = QStringLiteral(".bmp")},
           [&plot](const QString& path) { return plot.saveBmp(path); });
}
