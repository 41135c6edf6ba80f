#include "shape/screen_scale.h"

#include <gtest/gtest.h>

namespace verz {
namespace {

TEST(DeltaPix, FollowsTheLogicalDotsPerInch)
{
    EXPECT_EQ(TwipsPerPixel(96), 15.0f);
    EXPECT_EQ(DeltaPixFor(TwipsPerPixel(96)), 1.0f);  // compared bit for bit by the start-up
    EXPECT_EQ(TwipsPerPixel(120), 12.0f);
    EXPECT_EQ(DeltaPixFor(TwipsPerPixel(120)), 12.0f / 15.0f);
    EXPECT_FLOAT_EQ(DeltaPixFor(TwipsPerPixel(120)), 0.8f);
    EXPECT_EQ(TwipsPerPixel(144), 10.0f);
    EXPECT_EQ(DeltaPixFor(TwipsPerPixel(144)), 10.0f / 15.0f);
    EXPECT_EQ(TwipsPerPixel(72), 20.0f);
    EXPECT_FLOAT_EQ(DeltaPixFor(TwipsPerPixel(72)), 1.3333334f);
}

TEST(DeltaPix, AnUnreadableScreenCountsAsNinetySixDpi)
{
    EXPECT_EQ(DeltaPixFor(TwipsPerPixel(0)), 1.0f);
    EXPECT_EQ(DeltaPixFor(TwipsPerPixel(-5)), 1.0f);
}

}  // namespace
}  // namespace verz
