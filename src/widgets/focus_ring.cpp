#include "widgets/focus_ring.h"

#include <QApplication>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleHintReturnMask>
#include <QStyleOption>

namespace verz {

namespace {
// Where the ring lies: its margins around the control, its mask a band, and
// in front of the control rather than under it.
class RingStyle final : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption *option,
                    const QWidget *widget) const override
    {
        if (metric == PM_FocusFrameHMargin || metric == PM_FocusFrameVMargin)
            return FocusRing::kMargin;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returned) const override
    {
        if (hint == SH_FocusFrame_AboveWidget)
            return 1;
        if (hint == SH_FocusFrame_Mask && option != nullptr) {
            if (auto *mask = qstyleoption_cast<QStyleHintReturnMask *>(returned)) {
                const int band = FocusRing::kMargin;
                mask->region = QRegion(option->rect) -
                               QRegion(option->rect.adjusted(band, band, -band, -band));
            }
            return 1;
        }
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }
};
}  // namespace

FocusRing::FocusRing(QWidget &window)
    : QFocusFrame(&window), window_(window), style_(std::make_unique<RingStyle>())
{
    setObjectName(QStringLiteral("FocusRing"));
    setStyle(style_.get());
    setFocusPolicy(Qt::NoFocus);
    hide();
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget *, QWidget *now) { follow(now); });
}

FocusRing::~FocusRing()
{
    setWidget(nullptr);
    setStyle(nullptr);
}

void FocusRing::follow(QWidget *focused)
{
    const bool ours = focused != nullptr && focused != &window_ && window_.isAncestorOf(focused);
    setWidget(ours ? focused : nullptr);
    if (!ours)
        hide();
}

void FocusRing::paintEvent(QPaintEvent *)
{
    if (widget() == nullptr)
        return;
    // The mask leaves only the band.
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgb(kEdgeColour));
    painter.fillRect(rect().adjusted(kEdge, kEdge, -kEdge, -kEdge), QColor::fromRgb(kColour));
    const int inner = kEdge + kGold;
    painter.fillRect(rect().adjusted(inner, inner, -inner, -inner), QColor::fromRgb(kEdgeColour));
}

}  // namespace verz
