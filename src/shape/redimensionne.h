#pragma once

#include <optional>
#include <vector>

namespace verz {

enum class ControlProperty { Left, Top, Width, Height, FontSize };

// A control as the rescaler sees it: Left, Top, Width, Height in twips
// relative to its container, FontSize in points. A property the control lacks
// reads as nullopt; a value it refuses makes setProperty return false.
class ResizableControl {
public:
    virtual ~ResizableControl() = default;
    virtual std::optional<float> property(ControlProperty which) const = 0;
    virtual bool setProperty(ControlProperty which, float value) = 0;
};

namespace Redimensionne {

// Scales Left, Top, Width, Height and FontSize of every control, in that
// order, by factor in single precision; a step the control lacks or refuses is
// skipped on its own and the pass goes on.
void ResizeControls(const std::vector<ResizableControl *> &controls, const float &factor);

}  // namespace Redimensionne
}  // namespace verz
