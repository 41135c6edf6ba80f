// Reading a QImage's own pixels for the outline, the shipped skin's outline,
// and handing the region to a widget.
#include "shape/window_region.h"

#include "shape/alpha_outline.h"

#include "assets_init.h"

#include <QColor>
#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

namespace verz {
namespace {

// Left and right edge of the skin's visible run on each row (right exclusive):
// rounded corners of radius about ten pixels, the three bottom rows cut away.
RunRect OutlineRow(int y)
{
    const int fromEdge = std::min(y, 396 - y);
    static constexpr int kLeftByDistance[] = {10, 7, 6, 5, 4, 3, 2, 2, 2};
    const int left = fromEdge < 9 ? kLeftByDistance[fromEdge] : 1;
    return {left, y, 750 - left, y + 1};
}

TEST(RegionFromImage, KeysOnExactPureRedInAnyPixelFormat)
{
    for (const QImage::Format format :
         {QImage::Format_RGB32, QImage::Format_ARGB32, QImage::Format_RGB888}) {
        QImage image(4, 2, format);
        image.fill(QColor(255, 0, 0));
        image.setPixelColor(1, 0, QColor(254, 0, 0));
        image.setPixelColor(2, 0, QColor(255, 0, 1));
        image.setPixelColor(3, 1, QColor(255, 1, 0));
        EXPECT_EQ(RegionFromImage(image), (std::vector<RunRect>{{1, 0, 3, 1}, {3, 1, 4, 2}}))
            << "format " << format;
    }
    EXPECT_TRUE(RegionFromImage(QImage()).empty());
}

TEST(RegionFromImage, ShippedSkinGivesTheRoundedOutline)
{
    VerzInitAssets();
    const QImage skin(QStringLiteral(":/assets/skin.bmp"));
    ASSERT_FALSE(skin.isNull());
    ASSERT_EQ(skin.size(), QSize(750, 400));

    const std::vector<RunRect> runs = RegionFromImage(skin);
    std::vector<RunRect> expected;
    for (int y = 0; y <= 396; ++y)
        expected.push_back(OutlineRow(y));
    ASSERT_EQ(runs.size(), 397u);
    for (std::size_t i = 0; i < runs.size(); ++i)
        EXPECT_EQ(runs[i], expected[i])
            << "row " << i << ": " << runs[i].left << ".." << runs[i].right;
    QRegion added;
    for (const RunRect &r : runs)
        added += QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
    EXPECT_TRUE((UnionOfRuns(runs) ^ added).isEmpty());
}

TEST(ApplyWindowRegion, MasksTheWidgetToTheUnionOrLeavesItWhole)
{
    QWidget window;
    window.resize(20, 10);
    // Rows of one and of two runs, some repeating the row above: the region
    // covers what the union a rectangle at a time covers, no more, no less.
    const std::vector<RunRect> runs{{2, 0, 18, 1}, {1, 1, 5, 2},  {7, 1, 19, 2}, {1, 2, 5, 3},
                                    {7, 2, 19, 3}, {0, 3, 20, 4}, {0, 4, 20, 10}};
    ApplyWindowRegion(window, runs);
    QRegion added;
    for (const RunRect &r : runs)
        added += QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
    EXPECT_TRUE((window.mask() ^ added).isEmpty());
    EXPECT_FALSE(window.mask().contains(QPoint(6, 2)));
    EXPECT_TRUE(window.mask().contains(QPoint(2, 0)));
    EXPECT_FALSE(window.mask().contains(QPoint(1, 0)));
    EXPECT_FALSE(window.mask().contains(QPoint(18, 0)));
    EXPECT_EQ(window.mask().boundingRect(), QRect(0, 0, 20, 10));

    ApplyWindowRegion(window, {});
    EXPECT_TRUE(window.mask().isEmpty());
}

// Where the compositor shapes by alpha: exactly the pixels the region leaves
// out are clear, every other one keeps its colour, opaque.
TEST(WithKeyColourClear, ClearsWhatTheRegionCutsAway)
{
    VerzInitAssets();
    const QImage skin =
        QImage(QStringLiteral(":/assets/skin.bmp")).convertToFormat(QImage::Format_RGB32);
    const QImage clear = WithKeyColourClear(skin);
    ASSERT_EQ(clear.size(), skin.size());
    const QRegion kept = UnionOfRuns(RegionFromImage(skin));
    int wrong = 0;
    for (int y = 0; y < skin.height(); ++y)
        for (int x = 0; x < skin.width(); ++x) {
            const QRgb pixel = clear.pixel(x, y);
            const bool inside = kept.contains(QPoint(x, y));
            if (inside ? pixel != skin.pixel(x, y) : qAlpha(pixel) != 0)
                ++wrong;
        }
    EXPECT_EQ(wrong, 0);

    QImage nearRed(3, 1, QImage::Format_RGB32);
    nearRed.setPixel(0, 0, qRgb(254, 0, 0));
    nearRed.setPixel(1, 0, qRgb(255, 0, 0));
    nearRed.setPixel(2, 0, qRgb(255, 0, 1));
    const QImage cleared = WithKeyColourClear(nearRed);
    EXPECT_EQ(cleared.pixel(0, 0), qRgb(254, 0, 0));
    EXPECT_EQ(cleared.pixel(1, 0), 0u);
    EXPECT_EQ(cleared.pixel(2, 0), qRgb(255, 0, 1));
}

}  // namespace
}  // namespace verz
