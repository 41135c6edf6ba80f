#include "pictures.h"

#include <array>
#include <map>
#include <string_view>

namespace verz::art {

namespace {

using Glyph = std::array<std::string_view, 7>;

const std::map<char, Glyph> &font()
{
    static const std::map<char, Glyph> glyphs = {
        {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
        {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
        {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
        {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
        {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
        {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
        {'I', {"###", ".#.", ".#.", ".#.", ".#.", ".#.", "###"}},
        {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
        {'N', {"#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"}},
        {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
        {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
        {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".###."}},
        {' ', {"...", "...", "...", "...", "...", "...", "..."}},
    };
    return glyphs;
}

int glyphWidth(char c)
{
    return static_cast<int>(font().at(c)[0].size());
}

void drawGlyph(Canvas &canvas, char c, int x0, int y0, int cellW, int cellH, Rgb colour)
{
    const Glyph &g = font().at(c);
    for (int row = 0; row < 7; ++row) {
        for (int col = 0; col < static_cast<int>(g[static_cast<std::size_t>(row)].size()); ++col) {
            if (g[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] != '#')
                continue;
            for (int dy = 0; dy < cellH; ++dy) {
                for (int dx = 0; dx < cellW; ++dx)
                    canvas.set(x0 + col * cellW + dx, y0 + row * cellH + dy, colour);
            }
        }
    }
}

Rgb darker(Rgb c)
{
    return mix(Rgb{0, 0, 0}, c, 0.55);
}

}  // namespace

Canvas DrawServiceLogo()
{
    // Everything but the wordmark stays this light grey so the credit text
    // laid over the right-hand part reads on it.
    Canvas logo(400, 63, Rgb{254, 254, 254}, true);
    constexpr std::string_view word = "TRADUCTION";
    constexpr Rgb colours[] = {{0, 137, 123},  {239, 108, 0}, {142, 36, 170}, {67, 160, 71},
                               {0, 119, 204},  {216, 27, 96}, {0, 137, 123},  {239, 108, 0},
                               {142, 36, 170}, {67, 160, 71}};
    constexpr int cellW = 3, cellH = 4, gap = 2, shadow = 1;
    constexpr int left = 3, top = 4;

    int x = left;
    std::array<int, 11> starts{};
    for (std::size_t i = 0; i < word.size(); ++i) {
        starts[i] = x;
        drawGlyph(logo, word[i], x + shadow, top + shadow, cellW, cellH, darker(colours[i]));
        x += glyphWidth(word[i]) * cellW + gap;
    }
    // The rule runs on to the wordmark's right edge, column 166.
    starts[word.size()] = 167;
    for (std::size_t i = 0; i < word.size(); ++i)
        drawGlyph(logo, word[i], starts[i], top, cellW, cellH, colours[i]);

    // A rule in the letters' colours, then a small grey tagline.
    const int ruleTop = top + 7 * cellH + 6;
    for (std::size_t i = 0; i < word.size(); ++i) {
        for (int rx = starts[i]; rx < starts[i + 1]; ++rx) {
            for (int ry = ruleTop; ry < ruleTop + 3; ++ry)
                logo.set(rx, ry, colours[i]);
        }
    }
    constexpr std::string_view tagline = "EN LIGNE";
    int taglineWidth = 0;
    for (char c : tagline)
        taglineWidth += glyphWidth(c) * 2 + 2;
    taglineWidth -= 2;
    const int wordRight = starts[word.size()] - 1;
    int tx = left + (wordRight - left + 1 - taglineWidth) / 2;
    for (char c : tagline) {
        drawGlyph(logo, c, tx, 62 - 13, 2, 2, Rgb{104, 104, 112});
        tx += glyphWidth(c) * 2 + 2;
    }
    return logo;
}

}  // namespace verz::art
