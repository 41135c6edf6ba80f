#include "shape/redimensionne.h"

#include <array>

namespace verz::Redimensionne {

void ResizeControls(const std::vector<ResizableControl *> &controls, const float &factor)
{
    static constexpr std::array kOrder{ControlProperty::Left, ControlProperty::Top,
                                       ControlProperty::Width, ControlProperty::Height,
                                       ControlProperty::FontSize};
    for (ResizableControl *control : controls) {
        if (control == nullptr)
            continue;
        for (const ControlProperty which : kOrder) {
            const std::optional<float> value = control->property(which);
            if (!value)
                continue;
            const float scaled = *value * factor;
            control->setProperty(which, scaled);  // a refused value is skipped
        }
    }
}

}  // namespace verz::Redimensionne
