#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace verz::art {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb &, const Rgb &) = default;
};

// A picture being drawn: colours plus a per-pixel "is painted" flag, which
// becomes the transparency mask of the icons. Bitmaps ignore the flag.
struct Canvas {
    Canvas(int w, int h, Rgb background = {}, bool opaque = false);

    Rgb &at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    Rgb at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    bool isOpaque(int x, int y) const
    {
        return opaque[static_cast<std::size_t>(y) * width + x] != 0;
    }
    void set(int x, int y, Rgb c);

    int width;
    int height;
    std::vector<Rgb> pixels;
    std::vector<std::uint8_t> opaque;
};

// A shape is a predicate on continuous coordinates; pixel (x, y) covers
// [x, x+1) x [y, y+1).
using Shape = std::function<bool(double x, double y)>;

struct Box {
    int x0, y0, x1, y1;  // inclusive pixel bounds
};

// Paints `shape` with 8x8 samples per pixel inside `box`. Over painted pixels
// the edge is blended; over unpainted ones a pixel is taken whole when at
// least half covered, since a one-bit mask cannot blend with the unknown
// background the icon will sit on.
void fill(Canvas &canvas, const Shape &shape, Rgb colour, Box box);

// Like fill, but the colour comes from a function of the sample position.
void fillShaded(Canvas &canvas, const Shape &shape,
                const std::function<Rgb(double, double)> &colourAt, Box box);

Shape circle(double cx, double cy, double r);
Shape ellipse(double cx, double cy, double rx, double ry, double angleDeg);
Shape roundRect(double x0, double y0, double x1, double y1, double radius);
Shape rect(double x0, double y0, double x1, double y1);
Shape capsule(double ax, double ay, double bx, double by, double halfWidth);
Shape polygon(std::vector<std::pair<double, double>> points);
Shape unite(Shape a, Shape b);
Shape subtract(Shape a, Shape b);
Shape intersect(Shape a, Shape b);

Rgb mix(Rgb a, Rgb b, double t);

// A picture with a real alpha channel, for the desktop's icon theme.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // 4 bytes a pixel, rows top down
};

// One layer of a drawing: where it is, and its colour at each point.
using Colouring = std::function<Rgb(double, double)>;
struct Layer {
    Shape shape;
    Colouring colour;
};

// Each pixel takes samples x samples points; each point takes the colour of
// the topmost layer (the last one) that holds it. Alpha is the share of
// points some layer holds; the colour, the average over those points.
RgbaImage renderLayers(int width, int height, const std::vector<Layer> &layers, int samples);

}  // namespace verz::art
