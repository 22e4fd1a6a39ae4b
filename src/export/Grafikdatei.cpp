// The graph picture: the plot surface's retained image as it stands, as a bitmap or a PNG.
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

void saveGraphPng(const PlotSurface& plot)
{
    saveAs({.title = QStringLiteral("Grafik als PNG speichern"),
            .filter = QStringLiteral("PNG-Bilder (*.png)|*.png"),
            .initialFolder = QStringLiteral("C:\\"),
            .proposedName = QStringLiteral("Grafik01.png"),
            .defaultExtension = QStringLiteral(".png")},
           [&plot](const QString& path) { return plot.savePng(path); });
}
