// Scroll bars that set a value: the application's style with a small thumb and narrow arrows.
#include "platform/ValueScrollBar.h"

#include <QProxyStyle>
#include <QScrollBar>
#include <QStyleFactory>

namespace {

class ValueThumbStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        // A thumb sized as a view's share of a document would fill nearly all of a short track.
        if (metric == PM_ScrollBarSliderMin)
            return 7;
        // The arrows' width: the track keeps most of the bar.
        if (metric == PM_ScrollBarExtent)
            return 12;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

}  // namespace

void useValueThumb(QScrollBar* bar)
{
    auto* style = new ValueThumbStyle(QStyleFactory::create(bar->style()->name()));
    style->setParent(bar);
    bar->setStyle(style);
}
