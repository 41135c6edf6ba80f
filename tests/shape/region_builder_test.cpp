// Run rectangles from plain pixel arrays: the key colour is exactly 0x000000FF.
#include "shape/region_builder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace verz {
namespace {

constexpr std::uint32_t R = kKeyColour;  // cut away
constexpr std::uint32_t N = 0x00800000;  // navy face, opaque

// A picture held row by row; counts its reads so tests can see none happened.
struct Pixels {
    int width;
    int height;
    std::vector<std::uint32_t> data;
    mutable int reads = 0;

    PixelReader reader() const
    {
        return [this](int x, int y) {
            ++reads;
            return data.at(static_cast<std::size_t>(y * width + x));
        };
    }
    std::vector<RunRect> runs() const { return RegionFromPicture(width, height, reader()); }
};

TEST(RegionFromPicture, NothingOpaqueGivesNoRuns)
{
    const Pixels allRed{3, 2, {R, R, R, R, R, R}};
    EXPECT_TRUE(allRed.runs().empty());
    EXPECT_EQ(allRed.reads, 6);

    for (const auto &[w, h] :
         {std::pair{0, 4}, std::pair{4, 0}, std::pair{0, 0}, std::pair{-1, 3}, std::pair{3, -1}}) {
        const Pixels empty{w, h, {}};
        EXPECT_TRUE(empty.runs().empty()) << w << "x" << h;
        EXPECT_EQ(empty.reads, 0) << "no pixel may be read for " << w << "x" << h;
    }
}

TEST(RegionFromPicture, WholeRowsRedOrOpaque)
{
    // Row 0 all red, row 1 all opaque, row 2 all red, row 3 all opaque.
    const Pixels p{4, 4, {R, R, R, R, N, N, N, N, R, R, R, R, N, N, N, N}};
    EXPECT_EQ(p.runs(), (std::vector<RunRect>{{0, 1, 4, 2}, {0, 3, 4, 4}}));
}

TEST(RegionFromPicture, SplitsRowsAtEveryRedPixel)
{
    const Pixels fivePixelRow{5, 1, {R, N, N, R, N}};
    EXPECT_EQ(fivePixelRow.runs(), (std::vector<RunRect>{{1, 0, 3, 1}, {4, 0, 5, 1}}));

    const Pixels single{3, 3, {R, R, R, R, N, R, R, R, R}};
    EXPECT_EQ(single.runs(), (std::vector<RunRect>{{1, 1, 2, 2}}));

    const Pixels topLeftCorner{2, 2, {N, R, R, R}};
    EXPECT_EQ(topLeftCorner.runs(), (std::vector<RunRect>{{0, 0, 1, 1}}));
}

TEST(RegionFromPicture, RunsNeverCrossIntoTheNextRow)
{
    // The run ending row 0 and the one starting row 1 touch in memory only.
    const Pixels p{4, 2, {R, R, N, N, N, N, R, R}};
    EXPECT_EQ(p.runs(), (std::vector<RunRect>{{2, 0, 4, 1}, {0, 1, 2, 2}}));
}

TEST(RegionFromPicture, NearRedsAreOpaque)
{
    // Red 254, and red 255 with blue 1 (0x00BBGGRR); also red with green 1 and
    // an alpha-like high byte, which a reader may report.
    const Pixels p{6, 1, {R, 0x000000FE, R, 0x000100FF, 0x000001FF, 0xFF0000FF}};
    EXPECT_EQ(p.runs(), (std::vector<RunRect>{{1, 0, 2, 1}, {3, 0, 6, 1}}));
}

}  // namespace
}  // namespace verz
