#include "raster.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace verz::art {

namespace {

constexpr int kSamples = 8;

std::uint8_t channel(int oldValue, int newValue, int covered)
{
    const int total = kSamples * kSamples;
    return static_cast<std::uint8_t>(
        (oldValue * (total - covered) + newValue * covered + total / 2) / total);
}

}  // namespace

Canvas::Canvas(int w, int h, Rgb background, bool isOpaque)
    : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, background),
      opaque(static_cast<std::size_t>(w) * h, isOpaque ? 1 : 0)
{
}

void Canvas::set(int x, int y, Rgb c)
{
    at(x, y) = c;
    opaque[static_cast<std::size_t>(y) * width + x] = 1;
}

void fillShaded(Canvas &canvas, const Shape &shape,
                const std::function<Rgb(double, double)> &colourAt, Box box)
{
    const int x0 = std::max(box.x0, 0), y0 = std::max(box.y0, 0);
    const int x1 = std::min(box.x1, canvas.width - 1), y1 = std::min(box.y1, canvas.height - 1);
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            int covered = 0;
            int r = 0, g = 0, b = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double px = x + (sx + 0.5) / kSamples;
                    const double py = y + (sy + 0.5) / kSamples;
                    if (!shape(px, py))
                        continue;
                    const Rgb c = colourAt(px, py);
                    r += c.r;
                    g += c.g;
                    b += c.b;
                    ++covered;
                }
            }
            if (covered == 0)
                continue;
            const Rgb average{static_cast<std::uint8_t>((r + covered / 2) / covered),
                              static_cast<std::uint8_t>((g + covered / 2) / covered),
                              static_cast<std::uint8_t>((b + covered / 2) / covered)};
            if (canvas.isOpaque(x, y)) {
                Rgb &old = canvas.at(x, y);
                old = {channel(old.r, average.r, covered), channel(old.g, average.g, covered),
                       channel(old.b, average.b, covered)};
            } else if (covered * 2 >= kSamples * kSamples) {
                canvas.set(x, y, average);
            }
        }
    }
}

void fill(Canvas &canvas, const Shape &shape, Rgb colour, Box box)
{
    fillShaded(
        canvas, shape, [colour](double, double) { return colour; }, box);
}

Shape circle(double cx, double cy, double r)
{
    return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}

Shape ellipse(double cx, double cy, double rx, double ry, double angleDeg)
{
    const double a = angleDeg * std::numbers::pi / 180.0;
    const double c = std::cos(a), s = std::sin(a);
    return [=](double x, double y) {
        const double dx = x - cx, dy = y - cy;
        const double u = dx * c + dy * s, v = -dx * s + dy * c;
        return (u * u) / (rx * rx) + (v * v) / (ry * ry) <= 1.0;
    };
}

Shape rect(double x0, double y0, double x1, double y1)
{
    return [=](double x, double y) { return x >= x0 && x < x1 && y >= y0 && y < y1; };
}

Shape roundRect(double x0, double y0, double x1, double y1, double radius)
{
    return [=](double x, double y) {
        if (x < x0 || x >= x1 || y < y0 || y >= y1)
            return false;
        const double cx = std::clamp(x, x0 + radius, x1 - radius);
        const double cy = std::clamp(y, y0 + radius, y1 - radius);
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
    };
}

Shape capsule(double ax, double ay, double bx, double by, double halfWidth)
{
    return [=](double x, double y) {
        const double vx = bx - ax, vy = by - ay;
        const double len2 = vx * vx + vy * vy;
        double t = len2 > 0 ? ((x - ax) * vx + (y - ay) * vy) / len2 : 0.0;
        t = std::clamp(t, 0.0, 1.0);
        const double dx = x - (ax + t * vx), dy = y - (ay + t * vy);
        return dx * dx + dy * dy <= halfWidth * halfWidth;
    };
}

Shape polygon(std::vector<std::pair<double, double>> points)
{
    return [pts = std::move(points)](double x, double y) {
        bool inside = false;
        for (std::size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
            const auto [xi, yi] = pts[i];
            const auto [xj, yj] = pts[j];
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi)
                inside = !inside;
        }
        return inside;
    };
}

Shape unite(Shape a, Shape b)
{
    return [=](double x, double y) { return a(x, y) || b(x, y); };
}

Shape subtract(Shape a, Shape b)
{
    return [=](double x, double y) { return a(x, y) && !b(x, y); };
}

Shape intersect(Shape a, Shape b)
{
    return [=](double x, double y) { return a(x, y) && b(x, y); };
}

Rgb mix(Rgb a, Rgb b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    auto m = [t](int p, int q) { return static_cast<std::uint8_t>(std::lround(p + (q - p) * t)); };
    return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

RgbaImage renderLayers(int width, int height, const std::vector<Layer> &layers, int samples)
{
    RgbaImage image{width, height,
                    std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 4)};
    const int total = samples * samples;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int covered = 0;
            int r = 0, g = 0, b = 0;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    const double px = x + (sx + 0.5) / samples;
                    const double py = y + (sy + 0.5) / samples;
                    for (auto layer = layers.rbegin(); layer != layers.rend(); ++layer) {
                        if (!layer->shape(px, py))
                            continue;
                        const Rgb c = layer->colour(px, py);
                        r += c.r;
                        g += c.g;
                        b += c.b;
                        ++covered;
                        break;
                    }
                }
            }
            if (covered == 0)
                continue;
            std::uint8_t *pixel = &image.rgba[(static_cast<std::size_t>(y) * width + x) * 4];
            pixel[0] = static_cast<std::uint8_t>((r + covered / 2) / covered);
            pixel[1] = static_cast<std::uint8_t>((g + covered / 2) / covered);
            pixel[2] = static_cast<std::uint8_t>((b + covered / 2) / covered);
            pixel[3] = static_cast<std::uint8_t>((covered * 255 + total / 2) / total);
        }
    }
    return image;
}

}  // namespace verz::art
