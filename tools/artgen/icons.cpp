#include "pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

namespace verz::art {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

// (longitude, latitude) pairs in degrees.
using Outline = std::vector<std::pair<double, double>>;

// Very rough outlines of Europe and Africa as (longitude, latitude) pairs;
// at 32 pixels only the silhouette matters.
const Outline kEurAfricaOutline = {
    {-17, 15}, {-16, 22}, {-10, 30}, {-9, 36}, {-9, 43}, {-2, 44},  {-4, 48},  {2, 51},   {8, 54},
    {10, 58},  {5, 61},   {12, 66},  {22, 70}, {30, 70}, {40, 66},  {45, 55},  {40, 45},  {35, 37},
    {33, 31},  {35, 28},  {43, 13},  {51, 12}, {42, 0},  {40, -10}, {40, -16}, {35, -24}, {31, -30},
    {20, -35}, {17, -29}, {12, -17}, {13, -8}, {9, -1},  {9, 4},    {-7, 4},   {-13, 8}};
const Shape kEurAfrica = polygon(kEurAfricaOutline);
const Outline kMediterraneanOutline = {{-6, 36}, {0, 35.5}, {10, 37}, {11, 33}, {20, 31}, {30, 31},
                                       {36, 35}, {36, 37},  {27, 40}, {23, 38}, {19, 40}, {16, 38},
                                       {12, 42}, {14, 45},  {9, 44},  {3, 43},  {-1, 38}};
const Shape kMediterranean = polygon(kMediterraneanOutline);
const Outline kBlackSeaOutline = {{28, 42}, {34, 41.5}, {41, 41.5}, {38, 45}, {31, 46.5}};
const Shape kBlackSea = polygon(kBlackSeaOutline);
const Outline kBritainOutline = {{-5, 50}, {1, 51}, {-1, 55}, {-3, 58}, {-6, 57}, {-4, 54}};
const Shape kBritain = polygon(kBritainOutline);
const Outline kAmericaEdgeOutline = {{-80, 10}, {-75, 20}, {-80, 30}, {-70, 42}, {-60, 47},
                                     {-55, 52}, {-60, 60}, {-75, 62}, {-90, 60}, {-90, 10}};
const Shape kAmericaEdge = polygon(kAmericaEdgeOutline);
const Outline kSouthAmericaOutline = {{-80, 8},   {-60, 10},  {-50, 0},   {-35, -7},  {-40, -22},
                                      {-55, -35}, {-68, -55}, {-75, -45}, {-72, -20}, {-81, -5}};
const Shape kSouthAmerica = polygon(kSouthAmericaOutline);
const Outline kArabiaOutline = {{35, 28}, {48, 30}, {57, 24}, {52, 16}, {43, 13}};
const Shape kArabia = polygon(kArabiaOutline);

// The globe and its ring as layers, drawn on size x size pixels.
std::vector<Layer> GlobeLayers(int size)
{
    // Designed on 32 pixels; every length follows the size, but the rim only
    // thickens slowly, so that it stays a thin line on the large icons.
    const double s = size / 32.0;
    const double cx = 16.0 * s, cy = 16.0 * s, r = 11.6 * s;
    const double rim = 0.7 * std::sqrt(s);
    const double centreLon = 8.0 * kDegree, centreLat = 16.0 * kDegree;
    const Rgb ringDark{16, 54, 170};
    const Rgb ringLight{110, 180, 255};

    // The orbit ring, tilted; its far half is drawn first and hidden by the globe.
    const double tilt = -24.0;
    const Shape ringOuter = ellipse(cx, cy, 15.4 * s, 5.4 * s, tilt);
    const Shape ringInner = ellipse(cx, cy, 12.9 * s, 3.3 * s, tilt);
    const Shape ring = subtract(ringOuter, ringInner);
    const double ta = tilt * kDegree;
    // Points above the ring's long axis belong to the far half.
    const Shape farHalf = [=](double x, double y) {
        return -(x - cx) * std::sin(ta) + (y - cy) * std::cos(ta) < 0;
    };
    const Colouring ringColour = [=](double x, double y) {
        const double u = ((x - cx) * std::cos(ta) + (y - cy) * std::sin(ta)) / s;
        return mix(ringLight, ringDark, (u + 15.0) / 30.0 * 0.7 + 0.15);
    };
    const Colouring globeColour = [=](double x, double y) {
        const double nx = (x - cx) / r, ny = (y - cy) / r;
        const double nz = std::sqrt(std::max(0.0, 1.0 - nx * nx - ny * ny));
        // Inverse orthographic projection onto a globe tilted to show Europe and Africa.
        const double lat =
            std::asin(std::clamp(nz * std::sin(centreLat) - ny * std::cos(centreLat), -1.0, 1.0));
        const double lon =
            centreLon + std::atan2(nx, nz * std::cos(centreLat) + ny * std::sin(centreLat));
        const double lonDeg = lon / kDegree, latDeg = lat / kDegree;
        const bool land = (kEurAfrica(lonDeg, latDeg) && !kMediterranean(lonDeg, latDeg) &&
                           !kBlackSea(lonDeg, latDeg)) ||
                          kBritain(lonDeg, latDeg) || kAmericaEdge(lonDeg, latDeg) ||
                          kSouthAmerica(lonDeg, latDeg) || kArabia(lonDeg, latDeg);
        const double light = std::clamp(0.5 + 0.6 * (-0.5 * nx - 0.55 * ny + 0.67 * nz), 0.45, 1.1);
        const Rgb base = land ? Rgb{236, 178, 34} : Rgb{30, 96, 214};
        const Rgb lit = light > 1.0 ? mix(base, Rgb{255, 255, 255}, (light - 1.0) * 2.0)
                                    : mix(Rgb{0, 0, 0}, base, light);
        return lit;
    };
    const Rgb rimColour{10, 40, 120};
    return {
        {intersect(ring, farHalf), ringColour},
        {circle(cx, cy, r), globeColour},
        // A thin dark rim keeps the globe's edge crisp on a light background.
        {subtract(circle(cx, cy, r), circle(cx, cy, r - rim)),
         [=](double, double) { return rimColour; }},
        {subtract(ring, farHalf), ringColour},
    };
}

}  // namespace

Canvas DrawGlobe()
{
    Canvas icon(32, 32);
    const Box all{0, 0, 31, 31};
    for (const Layer &layer : GlobeLayers(32))
        fillShaded(icon, layer.shape, layer.colour, all);
    return icon;
}

RgbaImage DrawGlobeIcon(int size)
{
    // Fewer samples where a pixel is small beside the shapes: the large icons
    // would otherwise take seconds for no visible gain.
    return renderLayers(size, size, GlobeLayers(size), size >= 64 ? 4 : 8);
}

namespace {

std::string Number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

// An outline on the globe as a path in the 32-unit design, by the same
// orthographic projection the raster inverts; edges are cut into short steps
// so that they bend with the sphere, and points on the far side are laid on
// the limb, where the globe hides them.
std::string ProjectedPath(const Outline &outline, double cx, double cy, double r)
{
    const double lon0 = 8.0 * kDegree, lat0 = 16.0 * kDegree;
    std::string path;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const auto [lonA, latA] = outline[i];
        const auto [lonB, latB] = outline[(i + 1) % outline.size()];
        for (int step = 0; step < 8; ++step) {
            const double t = step / 8.0;
            const double lon = (lonA + (lonB - lonA) * t) * kDegree - lon0;
            const double lat = (latA + (latB - latA) * t) * kDegree;
            double x = std::cos(lat) * std::sin(lon);
            double y =
                std::cos(lat0) * std::sin(lat) - std::sin(lat0) * std::cos(lat) * std::cos(lon);
            const double z =
                std::sin(lat0) * std::sin(lat) + std::cos(lat0) * std::cos(lat) * std::cos(lon);
            if (z < 0) {
                const double length = std::max(std::hypot(x, y), 1e-9);
                x /= length;
                y /= length;
            }
            path += (path.empty() ? "M" : "L") + Number(cx + r * x) + " " + Number(cy - r * y);
        }
    }
    return path + "Z";
}

}  // namespace

std::string DrawGlobeSvg()
{
    const double cx = 16.0, cy = 16.0, r = 11.6;
    std::string land;
    for (const Outline *outline : {&kEurAfricaOutline, &kBritainOutline, &kAmericaEdgeOutline,
                                   &kSouthAmericaOutline, &kArabiaOutline})
        land += ProjectedPath(*outline, cx, cy, r);
    const std::string seas = ProjectedPath(kMediterraneanOutline, cx, cy, r) +
                             ProjectedPath(kBlackSeaOutline, cx, cy, r);
    // The ring as the raster draws it: an ellipse band tilted by -24 degrees,
    // its far half behind the globe, its near half in front.
    const std::string ring =
        "<path fill=\"url(#ring)\" fill-rule=\"evenodd\" transform=\"rotate(-24 16 16)\" "
        "d=\"M0.6 16a15.4 5.4 0 1 0 30.8 0a15.4 5.4 0 1 0 -30.8 0Z"
        "M3.1 16a12.9 3.3 0 1 0 25.8 0a12.9 3.3 0 1 0 -25.8 0Z\"";
    std::string svg;
    svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
           "viewBox=\"0 0 32 32\">\n";
    svg +=
        "<defs>\n"
        "<radialGradient id=\"sea\" cx=\"0.32\" cy=\"0.3\" r=\"0.8\">"
        "<stop offset=\"0\" stop-color=\"#6f9ce8\"/><stop offset=\"0.45\" stop-color=\"#1e60d6\"/>"
        "<stop offset=\"1\" stop-color=\"#0e2d66\"/></radialGradient>\n"
        "<radialGradient id=\"land\" cx=\"0.32\" cy=\"0.3\" r=\"0.8\">"
        "<stop offset=\"0\" stop-color=\"#f7d680\"/><stop offset=\"0.45\" stop-color=\"#ecb222\"/>"
        "<stop offset=\"1\" stop-color=\"#7a5a10\"/></radialGradient>\n"
        "<linearGradient id=\"ring\" x1=\"0\" y1=\"0\" x2=\"1\" y2=\"0\">"
        "<stop offset=\"0\" stop-color=\"#5a9ef2\"/><stop offset=\"1\" stop-color=\"#1a40b0\"/>"
        "</linearGradient>\n"
        "<clipPath id=\"globe\"><circle cx=\"16\" cy=\"16\" r=\"11.6\"/></clipPath>\n"
        "<clipPath id=\"far\"><path transform=\"rotate(-24 16 16)\" d=\"M-16 -16H48V16H-16Z\"/>"
        "</clipPath>\n"
        "<clipPath id=\"near\"><path transform=\"rotate(-24 16 16)\" d=\"M-16 16H48V48H-16Z\"/>"
        "</clipPath>\n"
        "</defs>\n";
    svg += "<g clip-path=\"url(#far)\">" + ring + "/></g>\n";
    svg += "<circle cx=\"16\" cy=\"16\" r=\"11.6\" fill=\"url(#sea)\"/>\n";
    svg += "<g clip-path=\"url(#globe)\">\n<path fill=\"url(#land)\" d=\"" + land + "\"/>\n";
    svg += "<path fill=\"url(#sea)\" d=\"" + seas + "\"/>\n</g>\n";
    svg += "<circle cx=\"16\" cy=\"16\" r=\"11.25\" fill=\"none\" stroke=\"#0a2878\" "
           "stroke-width=\"0.7\"/>\n";
    svg += "<g clip-path=\"url(#near)\">" + ring + "/></g>\n";
    svg += "</svg>\n";
    return svg;
}

Canvas DrawUpArrow()
{
    // Opaque bitmap shown on the navy face, so the corners outside the rounded
    // square are the face colour.
    Canvas arrow(32, 32, Rgb{0, 0, 128}, true);
    const Box all{0, 0, 31, 31};
    fill(arrow, roundRect(0.0, 0.0, 32.0, 32.0, 6.0), Rgb{44, 44, 168}, all);
    fill(arrow, roundRect(1.5, 1.5, 30.5, 30.5, 4.8), Rgb{0, 0, 78}, all);

    auto arrowShape = [](double dx, double dy) {
        return unite(polygon({{16 + dx, 5 + dy}, {26 + dx, 16 + dy}, {6 + dx, 16 + dy}}),
                     rect(12.2 + dx, 15.5 + dy, 19.8 + dx, 26.5 + dy));
    };
    fill(arrow, arrowShape(2.0, 2.0), Rgb{120, 120, 132}, all);
    fill(arrow, arrowShape(0.0, 0.0), Rgb{255, 214, 10}, all);
    // A lighter left face gives the arrow some depth.
    fill(arrow, intersect(arrowShape(0.0, 0.0), rect(0, 0, 16, 32)), Rgb{255, 236, 110}, all);
    return arrow;
}

}  // namespace verz::art
