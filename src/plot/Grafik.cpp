// The empty plot: grid, frame and the places of the 22 label fields.
#include "plot/Formgrafik.h"

#include "platform/PlotSurface.h"
#include "platform/Twips.h"

#include <QLineEdit>

namespace {

void moveTwips(QWidget* widget, double left, double top)
{
    widget->move(twipsToPixels(left), twipsToPixels(top));
}

}  // namespace

void Formgrafik::GrafikAufbauen()
{
    PlotSurface* plot = Picture1;
    plot->setForeColor(QColor(150, 150, 150));
    plot->Cls();

    const double H = plot->ScaleHeight();
    const double W = plot->ScaleWidth();
    const double a = H / 525;
    for (int k = 25; k <= 475; k += 50)
        plot->Line(0, k * a, W, k * a);
    const double b = W / 600;
    for (int k = 100; k <= 500; k += 100)
        plot->Line(k * b, 0, k * b, H);
    plot->LineBox(0, 0, W - 15, H - 5);

    const double innerWidth = pixelsToTwips(width());
    const double innerHeight = pixelsToTwips(height());
    moveTwips(Text[11], 250, innerHeight - 290);
    for (int m = 1; m <= 5; ++m)
        moveTwips(Text[11 + m], 250 + 100 * m * b, innerHeight - 290);
    moveTwips(Text[17], innerWidth - 850, innerHeight - 290);

    // The value labels stand at every second grid line, starting with the top one.
    for (int step = 0; step < 5; ++step) {
        const double y = (25 + 100 * step) * a;
        moveTwips(Text[1 + step], 0, y - 100);
        moveTwips(Text[6 + step], innerWidth - 700, y - 160);
        moveTwips(Text[18 + step], innerWidth - 700, y + 20);
    }
}
