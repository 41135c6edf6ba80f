#include "widgets/indicator_style.h"

#include <QWidget>

namespace verz {

int IndicatorStyle::pixelMetric(PixelMetric metric, const QStyleOption *option,
                                const QWidget *widget) const
{
    const int base = QProxyStyle::pixelMetric(metric, option, widget);
    switch (metric) {
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_RadioButtonLabelSpacing:
    case PM_CheckBoxLabelSpacing: {
        const int dpi = widget != nullptr ? widget->logicalDpiX() : 96;
        return dpi > 0 ? qRound(base * 96.0 / dpi) : base;
    }
    default:
        return base;
    }
}

}  // namespace verz
