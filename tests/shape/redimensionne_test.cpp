// ResizeControls over stand-in controls that record what was asked of them.
#include "shape/redimensionne.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace verz {
namespace {

const char *NameOf(ControlProperty p)
{
    switch (p) {
    case ControlProperty::Left:
        return "Left";
    case ControlProperty::Top:
        return "Top";
    case ControlProperty::Width:
        return "Width";
    case ControlProperty::Height:
        return "Height";
    case ControlProperty::FontSize:
        return "FontSize";
    }
    return "?";
}

class FakeControl : public ResizableControl {
public:
    FakeControl(std::string name, std::map<ControlProperty, float> values, std::string *log)
        : name_(std::move(name)), values_(std::move(values)), log_(log)
    {
    }

    std::optional<float> property(ControlProperty which) const override
    {
        const auto it = values_.find(which);
        if (it == values_.end())
            return std::nullopt;
        return it->second;
    }

    bool setProperty(ControlProperty which, float value) override
    {
        *log_ += name_ + "." + NameOf(which) + " ";
        if (refused.count(which) != 0 || values_.count(which) == 0)
            return false;
        values_[which] = value;
        return true;
    }

    float at(ControlProperty which) const { return values_.at(which); }

    std::set<ControlProperty> refused;

private:
    std::string name_;
    std::map<ControlProperty, float> values_;
    std::string *log_;
};

using P = ControlProperty;

TEST(ResizeControls, ScalesALabelToSinglePrecision)
{
    std::string log;
    FakeControl label(
        "Label8",
        {{P::Left, 300}, {P::Top, 4830}, {P::Width, 1995}, {P::Height, 300}, {P::FontSize, 12}},
        &log);
    const float factor = 12.0f / 15.0f;
    Redimensionne::ResizeControls({&label}, factor);

    EXPECT_EQ(label.at(P::Left), 300.0f * factor);
    EXPECT_EQ(label.at(P::Top), 4830.0f * factor);
    EXPECT_EQ(label.at(P::Width), 1995.0f * factor);
    EXPECT_EQ(label.at(P::Height), 300.0f * factor);
    EXPECT_EQ(label.at(P::FontSize), 12.0f * factor);
    EXPECT_FLOAT_EQ(label.at(P::Left), 240);
    EXPECT_FLOAT_EQ(label.at(P::Top), 3864);
    EXPECT_FLOAT_EQ(label.at(P::Width), 1596);
    EXPECT_FLOAT_EQ(label.at(P::Height), 240);
    EXPECT_FLOAT_EQ(label.at(P::FontSize), 9.6f);
    EXPECT_EQ(log, "Label8.Left Label8.Top Label8.Width Label8.Height Label8.FontSize ");
}

TEST(ResizeControls, SkipsMissingOrRefusedStepsAndGoesOn)
{
    std::string log;
    FakeControl image("Image1",
                      {{P::Left, 5520}, {P::Top, 2700}, {P::Width, 480}, {P::Height, 480}}, &log);
    FakeControl stubborn("Combo1",
                         {{P::Left, 11460},
                          {P::Top, 5430},
                          {P::Width, 5415},
                          {P::Height, 360},
                          {P::FontSize, 9.75f}},
                         &log);
    stubborn.refused = {P::Top, P::Height};
    FakeControl after(
        "Check1",
        {{P::Left, 420}, {P::Top, 2820}, {P::Width, 2085}, {P::Height, 195}, {P::FontSize, 8}},
        &log);

    Redimensionne::ResizeControls({&image, nullptr, &stubborn, &after}, 0.8f);

    EXPECT_FLOAT_EQ(image.at(P::Left), 4416);
    EXPECT_FLOAT_EQ(image.at(P::Height), 384);
    EXPECT_FALSE(image.property(P::FontSize));

    EXPECT_FLOAT_EQ(stubborn.at(P::Left), 9168);
    EXPECT_EQ(stubborn.at(P::Top), 5430);  // refused: unchanged
    EXPECT_FLOAT_EQ(stubborn.at(P::Width), 4332);
    EXPECT_EQ(stubborn.at(P::Height), 360);
    EXPECT_FLOAT_EQ(stubborn.at(P::FontSize), 7.8f);

    EXPECT_FLOAT_EQ(after.at(P::FontSize), 6.4f);

    // Each control once, in collection order, steps in order; a missing font
    // is not even asked for.
    EXPECT_EQ(log, "Image1.Left Image1.Top Image1.Width Image1.Height "
                   "Combo1.Left Combo1.Top Combo1.Width Combo1.Height Combo1.FontSize "
                   "Check1.Left Check1.Top Check1.Width Check1.Height Check1.FontSize ");
}

TEST(ResizeControls, ReadsEachValueAfterTheEarlierStepsWrote)
{
    // A control whose height follows its width (as a self-sizing label's may)
    // must see the scaled width before its own height step.
    struct Coupled : ResizableControl {
        float width = 1000;
        float height = 100;
        std::optional<float> property(ControlProperty which) const override
        {
            if (which == P::Width)
                return width;
            if (which == P::Height)
                return height;
            return std::nullopt;
        }
        bool setProperty(ControlProperty which, float value) override
        {
            if (which == P::Width) {
                width = value;
                height = value / 10;
            } else if (which == P::Height) {
                height = value;
            }
            return true;
        }
    } coupled;
    Redimensionne::ResizeControls({&coupled}, 0.5f);
    EXPECT_EQ(coupled.width, 500);
    EXPECT_EQ(coupled.height, 25);
}

}  // namespace
}  // namespace verz
