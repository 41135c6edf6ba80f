#include "pictures.h"

#include <algorithm>
#include <cmath>

namespace verz::art {

namespace {

constexpr int kWidth = 750;
constexpr int kHeight = 400;
constexpr int kVisibleRows = 397;

constexpr Rgb kNavy{0, 0, 128};
constexpr Rgb kKey{255, 0, 0};

// Lit edges (top, left), outermost first; shaded edges (bottom, right), outermost first.
constexpr Rgb kLit[6] = {{0, 0, 144},   {0, 0, 155},   {0, 0, 155},
                         {19, 19, 170}, {25, 25, 169}, {0, 0, 133}};
constexpr Rgb kShade[6] = {{0, 0, 35}, {0, 0, 37},  {0, 0, 64},
                           {0, 0, 86}, {0, 0, 104}, {0, 0, 120}};

// First opaque column of each corner row, top row first; the bottom corners mirror it.
constexpr int kCornerLeft[9] = {10, 7, 6, 5, 4, 3, 2, 2, 2};

}  // namespace

int SkinRowLeft(int row)
{
    if (row < 0 || row >= kVisibleRows)
        return kWidth;
    const int fromEdge = std::min(row, kVisibleRows - 1 - row);
    return fromEdge < 9 ? kCornerLeft[fromEdge] : 1;
}

int SkinRowRight(int row)
{
    if (row < 0 || row >= kVisibleRows)
        return kWidth;
    return kWidth - SkinRowLeft(row);
}

namespace {

bool outside(int x, int y)
{
    if (y < 0 || y >= kHeight || x < 0 || x >= kWidth)
        return true;
    return x < SkinRowLeft(y) || x >= SkinRowRight(y);
}

// The bevel follows the outline by true distance, so at the corners it bends
// into rings instead of ending in square notches. Light comes from the top
// left: the top and left edges take the lit colours, the others the shaded ones.
void drawBevel(Canvas &skin)
{
    constexpr int kReach = 8;
    for (int y = 0; y < kVisibleRows; ++y) {
        const bool nearTopOrBottom = y < kReach + 2 || y > kVisibleRows - kReach - 3;
        for (int x = SkinRowLeft(y); x < SkinRowRight(y); ++x) {
            if (!nearTopOrBottom && x > kReach + 2 && x < kWidth - kReach - 3)
                continue;
            int best = 1 << 30;
            for (int dy = -kReach; dy <= kReach; ++dy) {
                for (int dx = -kReach; dx <= kReach; ++dx) {
                    if (outside(x + dx, y + dy))
                        best = std::min(best, dx * dx + dy * dy);
                }
            }
            const int depth =
                static_cast<int>(std::lround(std::sqrt(static_cast<double>(best)))) - 1;
            if (depth < 0 || depth > 5)
                continue;
            // Mitred where a lit edge meets a shaded one, as on a bevelled frame.
            const int toLit = std::min(y, x - 1);
            const int toShade = std::min(kVisibleRows - 1 - y, kWidth - 2 - x);
            const bool lit = toLit <= toShade;
            skin.at(x, y) = lit ? kLit[depth] : kShade[depth];
        }
    }
}

Box boxOf(int x0, int y0, int x1, int y1)
{
    return {x0, y0, x1, y1};
}

void drawButtonSquare(Canvas &skin, int x0, int y0, int x1, int y1, Rgb rim, Rgb face)
{
    const double l = x0, t = y0, r = x1 + 1, b = y1 + 1;
    fill(skin, roundRect(l, t, r, b, 6.0), rim, boxOf(x0, y0, x1, y1));
    fill(skin, roundRect(l + 1.5, t + 1.5, r - 1.5, b - 1.5, 4.8), face, boxOf(x0, y0, x1, y1));
}

void drawQuestionMark(Canvas &skin, int x0, int y0)
{
    const Rgb yellow{255, 214, 10};
    const double cx = x0 + 16.0, cy = y0 + 11.5;
    const Shape hook = [cx, cy](double x, double y) {
        const double dx = x - cx, dy = y - cy;
        const double d2 = dx * dx + dy * dy;
        if (d2 < 3.4 * 3.4 || d2 > 7.2 * 7.2)
            return false;
        // Open towards the lower left, where the stem hangs.
        const double angle = std::atan2(dy, dx) * 180.0 / 3.14159265358979323846;
        return !(angle > 95.0 && angle < 168.0);
    };
    const Shape stem = rect(cx - 1.9, cy + 3.6, cx + 1.9, cy + 10.0);
    const Box box = boxOf(x0 + 2, y0 + 2, x0 + 29, y0 + 29);
    fill(skin, unite(hook, stem), yellow, box);
    fill(skin, circle(cx, y0 + 25.8, 2.3), yellow, box);
}

void drawBar(Canvas &skin, int x0, int y0)
{
    fill(skin, roundRect(x0 + 9.0, y0 + 19.0, x0 + 23.0, y0 + 22.5, 1.2), Rgb{255, 255, 255},
         boxOf(x0 + 2, y0 + 2, x0 + 29, y0 + 29));
}

void drawPower(Canvas &skin, int x0, int y0)
{
    const double cx = x0 + 15.0, cy = y0 + 16.0;
    const Shape ring = [cx, cy](double x, double y) {
        const double dx = x - cx, dy = y - cy;
        const double d2 = dx * dx + dy * dy;
        if (d2 < 5.6 * 5.6 || d2 > 8.3 * 8.3)
            return false;
        const double angle = std::atan2(dy, dx) * 180.0 / 3.14159265358979323846;
        return !(angle > -128.0 && angle < -52.0);
    };
    const Shape stem = capsule(cx, cy - 10.0, cx, cy - 1.5, 1.4);
    fill(skin, unite(ring, stem), Rgb{255, 255, 255}, boxOf(x0 + 2, y0 + 2, x0 + 27, y0 + 27));
}

}  // namespace

Canvas DrawSkin()
{
    Canvas skin(kWidth, kHeight, kNavy, true);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (outside(x, y))
                skin.at(x, y) = kKey;
        }
    }
    drawBevel(skin);

    const Rgb darkNavy{0, 0, 78};
    const Rgb navyRim{44, 44, 168};
    drawButtonSquare(skin, 628, 10, 659, 41, navyRim, darkNavy);
    drawQuestionMark(skin, 628, 10);
    drawButtonSquare(skin, 666, 10, 697, 41, navyRim, darkNavy);
    drawBar(skin, 666, 10);
    drawButtonSquare(skin, 705, 11, 734, 40, Rgb{250, 132, 92}, Rgb{217, 54, 7});
    drawPower(skin, 705, 11);

    // The key colour must mean "cut away" and nothing else.
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (!outside(x, y) && skin.at(x, y) == kKey)
                skin.at(x, y).r = 254;
        }
    }
    return skin;
}

}  // namespace verz::art
