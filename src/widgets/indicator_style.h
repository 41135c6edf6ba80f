#pragma once

#include <QProxyStyle>

namespace verz {

// Keeps the check box and option-button markers at their 96 dpi pixel size.
// The window's layout is fixed in pixels by the skin, and the controls are
// rescaled to fit it on other screens; the base style would otherwise grow the
// markers with the dpi and push the captions out of place.
class IndicatorStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
};

}  // namespace verz
