#include "shape/screen_scale.h"

#include <gtest/gtest.h>

namespace verz {
namespace {

// Known points of the scale: 1440 twips an inch, DeltaPix 1 at 96 dpi, and an
// unreadable screen taken as 96 dpi.
TEST(DeltaPix, FollowsTheLogicalDotsPerInch)
{
    struct Point {
        double dpi;
        float twipsPerPixel;
        float deltaPix;
    };
    for (const Point point :
         {Point{96, 15.0f, 1.0f}, Point{120, 12.0f, 0.8f}, Point{144, 10.0f, 0.6666667f},
          Point{72, 20.0f, 1.3333334f}, Point{192, 7.5f, 0.5f}, Point{0, 15.0f, 1.0f},
          Point{-5, 15.0f, 1.0f}}) {
        EXPECT_EQ(TwipsPerPixel(point.dpi), point.twipsPerPixel) << point.dpi;
        EXPECT_FLOAT_EQ(DeltaPixFor(TwipsPerPixel(point.dpi)), point.deltaPix) << point.dpi;
    }
    EXPECT_EQ(DeltaPixFor(TwipsPerPixel(96)), 1.0f);  // compared bit for bit by the start-up
}

}  // namespace
}  // namespace verz
