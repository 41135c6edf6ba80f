#include "pictures.h"

#include <cmath>

namespace verz::art {

namespace {

constexpr Rgb kWhite{255, 255, 255};

// The flag fills columns 1 to 30; icons keep the rows above and below clear.
struct Field {
    double x0 = 1.0, y0 = 7.0, x1 = 31.0, y1 = 25.0;
    double width() const { return x1 - x0; }
    double height() const { return y1 - y0; }
    Box box() const
    {
        return {static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1) - 1,
                static_cast<int>(y1) - 1};
    }
};

void verticalThirds(Canvas &icon, const Field &f, Rgb a, Rgb b, Rgb c)
{
    const double third = f.width() / 3.0;
    fill(icon, rect(f.x0, f.y0, f.x0 + third, f.y1), a, f.box());
    fill(icon, rect(f.x0 + third, f.y0, f.x0 + 2 * third, f.y1), b, f.box());
    fill(icon, rect(f.x0 + 2 * third, f.y0, f.x1, f.y1), c, f.box());
}

void horizontalBands(Canvas &icon, const Field &f, Rgb a, double ha, Rgb b, double hb, Rgb c)
{
    fill(icon, rect(f.x0, f.y0, f.x1, f.y0 + ha), a, f.box());
    fill(icon, rect(f.x0, f.y0 + ha, f.x1, f.y0 + ha + hb), b, f.box());
    fill(icon, rect(f.x0, f.y0 + ha + hb, f.x1, f.y1), c, f.box());
}

void unionFlag(Canvas &icon, const Field &f)
{
    const Rgb blue{1, 33, 105};
    const Rgb red{200, 16, 46};
    const double w = f.width(), h = f.height();
    const double cx = f.x0 + w / 2, cy = f.y0 + h / 2;
    const double len = std::sqrt(w * w + h * h);
    const double unit = h / 30.0;
    fill(icon, rect(f.x0, f.y0, f.x1, f.y1), blue, f.box());

    // Signed distances from the two diagonals: s1 from top-left to bottom-right
    // (positive above it), s2 from bottom-left to top-right (positive below it).
    auto s1 = [=](double x, double y) { return ((x - cx) * h - (y - cy) * w) / len; };
    auto s2 = [=](double x, double y) { return ((x - cx) * h + (y - cy) * w) / len; };
    const Shape saltire = [=](double x, double y) {
        return std::abs(s1(x, y)) <= 3 * unit || std::abs(s2(x, y)) <= 3 * unit;
    };
    // The red of the saltire is offset so the flag turns into itself under a
    // half turn: each arm has a broad white side and a narrow one.
    const Shape redSaltire = [=](double x, double y) {
        const double a = s1(x, y), b = s2(x, y);
        const bool hoist = x < cx;
        const bool onFirst = hoist ? (a <= 0 && a >= -2 * unit) : (a >= 0 && a <= 2 * unit);
        const bool onSecond = hoist ? (b >= 0 && b <= 2 * unit) : (b <= 0 && b >= -2 * unit);
        return (onFirst && std::abs(a) < std::abs(b)) || (onSecond && std::abs(b) < std::abs(a));
    };
    fill(icon, saltire, kWhite, f.box());
    fill(icon, redSaltire, red, f.box());
    // Cross widths are whole pixels so the upright cross stays sharp.
    fill(icon, unite(rect(cx - 3, f.y0, cx + 3, f.y1), rect(f.x0, cy - 3, f.x1, cy + 3)), kWhite,
         f.box());
    fill(icon, unite(rect(cx - 2, f.y0, cx + 2, f.y1), rect(f.x0, cy - 2, f.x1, cy + 2)), red,
         f.box());
}

void portugal(Canvas &icon, const Field &f)
{
    const Rgb green{0, 102, 0};
    const Rgb red{218, 41, 28};
    const Rgb yellow{255, 222, 0};
    const Rgb blue{0, 56, 168};
    const double divide = f.x0 + 12.0;
    fill(icon, rect(f.x0, f.y0, divide, f.y1), green, f.box());
    fill(icon, rect(divide, f.y0, f.x1, f.y1), red, f.box());

    const double cx = divide, cy = f.y0 + f.height() / 2;
    const Box around{static_cast<int>(cx) - 6, static_cast<int>(cy) - 6, static_cast<int>(cx) + 6,
                     static_cast<int>(cy) + 6};
    // The armillary sphere: an outer ring with a tilted band across it.
    fill(icon, subtract(circle(cx, cy, 5.4), circle(cx, cy, 4.2)), yellow, around);
    fill(icon,
         intersect(circle(cx, cy, 4.6),
                   subtract(ellipse(cx, cy, 5.2, 2.2, -20), ellipse(cx, cy, 5.0, 1.2, -20))),
         yellow, around);
    // The shield: white with a red border and blue in the middle.
    const Shape shield =
        unite(rect(cx - 2.6, cy - 3.2, cx + 2.6, cy + 0.8), circle(cx, cy + 0.6, 2.6));
    const Shape inner =
        unite(rect(cx - 1.7, cy - 2.3, cx + 1.7, cy + 0.8), circle(cx, cy + 0.6, 1.7));
    fill(icon, shield, red, around);
    fill(icon, inner, kWhite, around);
    fill(icon, circle(cx, cy - 0.4, 0.95), blue, around);
}

}  // namespace

Canvas DrawFlag(const std::string &code)
{
    Canvas icon(32, 32);
    Field f;
    if (code == "fr") {
        verticalThirds(icon, f, Rgb{0, 38, 150}, kWhite, Rgb{232, 35, 50});
    } else if (code == "en") {
        unionFlag(icon, f);
    } else if (code == "es") {
        // Red, yellow twice as tall, red; one row taller than the others to
        // keep that proportion in whole pixels.
        f.y0 = 6.0;
        horizontalBands(icon, f, Rgb{198, 11, 30}, 5.0, Rgb{255, 196, 0}, 9.0, Rgb{198, 11, 30});
    } else if (code == "de") {
        horizontalBands(icon, f, Rgb{0, 0, 0}, 6.0, Rgb{221, 0, 0}, 6.0, Rgb{255, 206, 0});
    } else if (code == "pt") {
        portugal(icon, f);
    } else if (code == "it") {
        verticalThirds(icon, f, Rgb{0, 146, 70}, Rgb{250, 250, 248}, Rgb{206, 43, 55});
    }
    return icon;
}

}  // namespace verz::art
