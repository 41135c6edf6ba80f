// The skin decides the window's outline, so its key colour, bevel and face are
// checked to the pixel on the decoded file.
#include "asset_bytes.h"

#include "shape/region_builder.h"

#include <gtest/gtest.h>

using namespace verz;

namespace {

constexpr QRgb kKey = qRgb(255, 0, 0);
constexpr QRgb kNavy = qRgb(0, 0, 128);

// First opaque column of rows 0 to 8; rows 396 down to 388 mirror them.
constexpr int kCornerLeft[9] = {10, 7, 6, 5, 4, 3, 2, 2, 2};

int expectedLeft(int row)
{
    const int fromEdge = std::min(row, 396 - row);
    return fromEdge < 9 ? kCornerLeft[fromEdge] : 1;
}

const QImage &skin()
{
    static const QImage image = test::committedImage("skin.bmp");
    return image;
}

bool inSymbolSquare(int x, int y)
{
    return (y >= 10 && y <= 41 && ((x >= 628 && x <= 659) || (x >= 666 && x <= 697))) ||
           (y >= 11 && y <= 40 && x >= 705 && x <= 734);
}

int countInSquare(int x0, int y0, int x1, int y1, const std::function<bool(QRgb)> &test)
{
    int n = 0;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x)
            n += test(skin().pixel(x, y)) ? 1 : 0;
    }
    return n;
}

}  // namespace

TEST(Skin, KeyColourLiesExactlyOnTheOutline)
{
    ASSERT_EQ(skin().size(), QSize(750, 400));
    for (int y = 0; y < 400; ++y) {
        for (int x = 0; x < 750; ++x) {
            const bool cut = y >= 397 || x < expectedLeft(y) || x >= 750 - expectedLeft(y);
            ASSERT_EQ(skin().pixel(x, y) == kKey, cut) << "pixel " << x << "," << y;
        }
    }
}

TEST(Skin, OutlineGivesOneRectanglePerVisibleRow)
{
    const auto runs = RegionFromPicture(750, 400, [](int x, int y) {
        const QRgb c = skin().pixel(x, y);
        return static_cast<std::uint32_t>(qRed(c)) | (qGreen(c) << 8) | (qBlue(c) << 16);
    });
    ASSERT_EQ(runs.size(), 397u);
    for (int y = 0; y < 397; ++y)
        EXPECT_EQ(runs[static_cast<std::size_t>(y)],
                  (RunRect{expectedLeft(y), y, 750 - expectedLeft(y), y + 1}));
}

TEST(Skin, BevelColoursAreExactOnAllFourSides)
{
    const QRgb lit[6] = {qRgb(0, 0, 144),   qRgb(0, 0, 155),   qRgb(0, 0, 155),
                         qRgb(19, 19, 170), qRgb(25, 25, 169), qRgb(0, 0, 133)};
    const QRgb shaded[6] = {qRgb(0, 0, 35), qRgb(0, 0, 37),  qRgb(0, 0, 64),
                            qRgb(0, 0, 86), qRgb(0, 0, 104), qRgb(0, 0, 120)};
    // Away from the rounded corners, where the bevel bends.
    for (int d = 0; d < 6; ++d) {
        for (int x = 20; x < 730; ++x) {
            ASSERT_EQ(skin().pixel(x, d), lit[d]) << "top, depth " << d << ", column " << x;
            ASSERT_EQ(skin().pixel(x, 396 - d), shaded[d])
                << "bottom, depth " << d << ", column " << x;
        }
        for (int y = 20; y < 377; ++y) {
            ASSERT_EQ(skin().pixel(1 + d, y), lit[d]) << "left, depth " << d << ", row " << y;
            ASSERT_EQ(skin().pixel(748 - d, y), shaded[d]) << "right, depth " << d << ", row " << y;
        }
    }
}

TEST(Skin, BevelFollowsTheRoundedCorners)
{
    // Every visible pixel touching the cut-away area is outermost bevel, and
    // no face navy reaches the edge anywhere around the outline.
    for (int y = 0; y < 397; ++y) {
        for (int x = expectedLeft(y); x < 750 - expectedLeft(y); ++x) {
            const bool touchesKey =
                skin().pixel(x - 1, y) == kKey || skin().pixel(x + 1, y) == kKey ||
                (y > 0 && skin().pixel(x, y - 1) == kKey) || skin().pixel(x, y + 1) == kKey;
            if (!touchesKey)
                continue;
            const QRgb c = skin().pixel(x, y);
            ASSERT_TRUE(c == qRgb(0, 0, 144) || c == qRgb(0, 0, 35)) << x << "," << y;
        }
    }
}

TEST(Skin, FaceIsNavyOutsideTheBevelAndSymbols)
{
    for (int y = 6; y < 391; ++y) {
        for (int x = 7; x < 743; ++x) {
            const bool corner = (x < 20 || x > 729) && (y < 20 || y > 376);
            if (corner || inSymbolSquare(x, y))
                continue;
            ASSERT_EQ(skin().pixel(x, y), kNavy) << x << "," << y;
        }
    }
}

TEST(Skin, SymbolsSitOnTheirSquares)
{
    auto yellow = [](QRgb c) { return qRed(c) > 230 && qGreen(c) > 190 && qBlue(c) < 60; };
    auto white = [](QRgb c) { return qRed(c) > 240 && qGreen(c) > 240 && qBlue(c) > 240; };
    auto darkNavy = [](QRgb c) { return qRed(c) < 10 && qGreen(c) < 10 && qBlue(c) < 100; };
    auto orangeRed = [](QRgb c) {
        return qRed(c) > 200 && qGreen(c) > 30 && qGreen(c) < 90 && qBlue(c) < 40;
    };

    EXPECT_GT(countInSquare(628, 10, 659, 41, yellow), 80) << "question mark";
    EXPECT_GT(countInSquare(628, 10, 659, 41, darkNavy), 500);
    EXPECT_GT(countInSquare(666, 10, 697, 41, white), 30) << "bar";
    EXPECT_GT(countInSquare(666, 10, 697, 41, darkNavy), 700);
    EXPECT_GT(countInSquare(705, 11, 734, 40, white), 60) << "power symbol";
    EXPECT_GT(countInSquare(705, 11, 734, 40, orangeRed), 400);
    // The bar is a short horizontal stroke in the lower half of its square.
    for (int y = 10; y < 26; ++y)
        EXPECT_EQ(countInSquare(666, y, 697, y, white), 0) << y;
}
