#include "encoders.h"

#include <algorithm>
#include <array>
#include <map>

namespace verz::art {

namespace {

void put16(Bytes &out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void put32(Bytes &out, std::uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

void putInfoHeader(Bytes &out, int width, int height, int bitCount, std::uint32_t imageSize)
{
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(width));
    put32(out, static_cast<std::uint32_t>(height));
    put16(out, 1);
    put16(out, static_cast<std::uint32_t>(bitCount));
    put32(out, 0);  // uncompressed
    put32(out, imageSize);
    put32(out, 3780);  // 96 dots per inch
    put32(out, 3780);
    put32(out, 0);
    put32(out, 0);
}

std::uint32_t key(Rgb c)
{
    return (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b;
}

int distance2(Rgb a, Rgb b)
{
    const int dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    return dr * dr + dg * dg + db * db;
}

// Packs variable-width codes least significant bit first, as GIF wants.
class BitWriter {
public:
    void write(int code, int width)
    {
        m_acc |= static_cast<std::uint32_t>(code) << m_bits;
        m_bits += width;
        while (m_bits >= 8) {
            m_out.push_back(static_cast<std::uint8_t>(m_acc & 0xFF));
            m_acc >>= 8;
            m_bits -= 8;
        }
    }
    Bytes finish()
    {
        if (m_bits > 0)
            m_out.push_back(static_cast<std::uint8_t>(m_acc & 0xFF));
        m_acc = 0;
        m_bits = 0;
        return std::move(m_out);
    }

private:
    Bytes m_out;
    std::uint32_t m_acc = 0;
    int m_bits = 0;
};

}  // namespace

Bytes encodeBmp24(const Canvas &canvas)
{
    const int rowBytes = (canvas.width * 3 + 3) / 4 * 4;
    const auto imageSize = static_cast<std::uint32_t>(rowBytes * canvas.height);
    Bytes out;
    out.reserve(54 + imageSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, 54 + imageSize);
    put32(out, 0);
    put32(out, 54);
    putInfoHeader(out, canvas.width, canvas.height, 24, imageSize);
    for (int y = canvas.height - 1; y >= 0; --y) {
        for (int x = 0; x < canvas.width; ++x) {
            const Rgb c = canvas.at(x, y);
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
        }
        for (int pad = canvas.width * 3; pad < rowBytes; ++pad)
            out.push_back(0);
    }
    return out;
}

Indexed indexColours(const Canvas &canvas, Rgb first)
{
    std::map<std::uint32_t, int> counts;
    for (std::size_t i = 0; i < canvas.pixels.size(); ++i) {
        if (canvas.opaque[i] && !(canvas.pixels[i] == first))
            ++counts[key(canvas.pixels[i])];
    }
    std::vector<std::pair<int, std::uint32_t>> byUse;
    for (const auto &[colour, count] : counts)
        byUse.emplace_back(-count, colour);
    std::sort(byUse.begin(), byUse.end());

    Indexed result;
    result.palette.push_back(first);
    for (const auto &[negCount, colour] : byUse) {
        if (result.palette.size() == 256)
            break;
        result.palette.push_back({static_cast<std::uint8_t>(colour >> 16),
                                  static_cast<std::uint8_t>(colour >> 8),
                                  static_cast<std::uint8_t>(colour)});
    }
    const std::size_t used = result.palette.size();
    result.palette.resize(256, Rgb{});

    std::map<std::uint32_t, std::uint8_t> lookup;
    result.indices.reserve(canvas.pixels.size());
    for (std::size_t i = 0; i < canvas.pixels.size(); ++i) {
        if (!canvas.opaque[i]) {
            result.indices.push_back(0);
            continue;
        }
        const Rgb c = canvas.pixels[i];
        auto found = lookup.find(key(c));
        if (found == lookup.end()) {
            std::size_t best = 0;
            for (std::size_t p = 1; p < used; ++p) {
                if (distance2(result.palette[p], c) < distance2(result.palette[best], c))
                    best = p;
            }
            found = lookup.emplace(key(c), static_cast<std::uint8_t>(best)).first;
        }
        result.indices.push_back(found->second);
    }
    return result;
}

Bytes encodeIco8(const Canvas &canvas)
{
    const int w = canvas.width, h = canvas.height;
    const int pixelRow = (w + 3) / 4 * 4;
    const int maskRow = ((w + 31) / 32) * 4;
    const auto imageSize = static_cast<std::uint32_t>(pixelRow * h + maskRow * h);
    const std::uint32_t resourceSize = 40 + 256 * 4 + imageSize;
    const Indexed indexed = indexColours(canvas, Rgb{0, 0, 0});

    Bytes out;
    put16(out, 0);
    put16(out, 1);  // icon
    put16(out, 1);  // one image
    out.push_back(static_cast<std::uint8_t>(w));
    out.push_back(static_cast<std::uint8_t>(h));
    out.push_back(0);  // 256 colours or more
    out.push_back(0);
    put16(out, 1);
    put16(out, 8);
    put32(out, resourceSize);
    put32(out, 6 + 16);
    // The height covers the colour image and the mask stacked together.
    putInfoHeader(out, w, h * 2, 8, imageSize);
    for (const Rgb &c : indexed.palette) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x)
            out.push_back(indexed.indices[static_cast<std::size_t>(y) * w + x]);
        for (int pad = w; pad < pixelRow; ++pad)
            out.push_back(0);
    }
    for (int y = h - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(static_cast<std::size_t>(maskRow), 0);
        for (int x = 0; x < w; ++x) {
            if (!canvas.isOpaque(x, y))
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

Bytes lzwCompress(const std::vector<std::uint8_t> &indices)
{
    constexpr int kClear = 256;
    constexpr int kEnd = 257;
    constexpr int kMaxCodes = 4096;
    // next[code][byte]: the code for (code's string + byte), 0 when absent.
    std::vector<std::array<std::uint16_t, 256>> next(kMaxCodes);
    auto reset = [&next] {
        for (auto &row : next)
            row.fill(0);
    };

    BitWriter bits;
    int width = 9;
    int nextCode = kEnd + 1;
    bits.write(kClear, width);
    if (indices.empty()) {
        bits.write(kEnd, width);
        return bits.finish();
    }
    int prefix = indices[0];
    for (std::size_t i = 1; i < indices.size(); ++i) {
        const int byte = indices[i];
        if (const int known =
                next[static_cast<std::size_t>(prefix)][static_cast<std::size_t>(byte)];
            known != 0) {
            prefix = known;
            continue;
        }
        bits.write(prefix, width);
        if (nextCode == kMaxCodes) {
            // Table full: start again rather than keep coding with a frozen table.
            bits.write(kClear, width);
            reset();
            nextCode = kEnd + 1;
            width = 9;
        } else {
            next[static_cast<std::size_t>(prefix)][static_cast<std::size_t>(byte)] =
                static_cast<std::uint16_t>(nextCode);
            ++nextCode;
            // The decoder learns each code one step later, so widen only once
            // the code just assigned no longer fits the current width.
            if (nextCode > (1 << width) && width < 12)
                ++width;
        }
        prefix = byte;
    }
    bits.write(prefix, width);
    bits.write(kEnd, width);
    return bits.finish();
}

Bytes encodeGif87a(const Canvas &canvas)
{
    const Indexed indexed = indexColours(canvas, canvas.pixels.empty() ? Rgb{} : canvas.pixels[0]);
    Bytes out{'G', 'I', 'F', '8', '7', 'a'};
    put16(out, static_cast<std::uint32_t>(canvas.width));
    put16(out, static_cast<std::uint32_t>(canvas.height));
    out.push_back(0xF7);  // global table, 8-bit colour resolution, 256 entries
    out.push_back(0);     // background: the first entry
    out.push_back(0);
    for (const Rgb &c : indexed.palette) {
        out.push_back(c.r);
        out.push_back(c.g);
        out.push_back(c.b);
    }
    out.push_back(0x2C);
    put16(out, 0);
    put16(out, 0);
    put16(out, static_cast<std::uint32_t>(canvas.width));
    put16(out, static_cast<std::uint32_t>(canvas.height));
    out.push_back(0);  // no local table, rows in order
    out.push_back(8);  // minimum code size
    const Bytes stream = lzwCompress(indexed.indices);
    for (std::size_t pos = 0; pos < stream.size(); pos += 255) {
        const std::size_t n = std::min<std::size_t>(255, stream.size() - pos);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), stream.begin() + static_cast<std::ptrdiff_t>(pos),
                   stream.begin() + static_cast<std::ptrdiff_t>(pos + n));
    }
    out.push_back(0);
    out.push_back(0x3B);
    return out;
}

namespace {

void putBe32(Bytes &out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint32_t crc32(const std::uint8_t *data, std::size_t size)
{
    std::uint32_t crc = 0xffffffffu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xffffffffu;
}

void putChunk(Bytes &out, const char (&type)[5], const Bytes &data)
{
    putBe32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putBe32(out, crc32(out.data() + start, out.size() - start));
}

// A zlib stream of stored deflate blocks.
Bytes storedZlib(const Bytes &raw)
{
    constexpr std::size_t kBlock = 65535;
    Bytes out{0x78, 0x01};
    std::size_t at = 0;
    do {
        const std::size_t length = std::min(kBlock, raw.size() - at);
        const bool last = at + length == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<std::uint8_t>(length));
        out.push_back(static_cast<std::uint8_t>(length >> 8));
        out.push_back(static_cast<std::uint8_t>(~length));
        out.push_back(static_cast<std::uint8_t>(~length >> 8));
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                   raw.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    } while (at < raw.size());
    std::uint32_t a = 1, b = 0;
    for (const std::uint8_t byte : raw) {
        a = (a + byte) % 65521u;
        b = (b + a) % 65521u;
    }
    putBe32(out, (b << 16) | a);
    return out;
}

}  // namespace

Bytes encodePng(const RgbaImage &image)
{
    Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    Bytes header;
    putBe32(header, static_cast<std::uint32_t>(image.width));
    putBe32(header, static_cast<std::uint32_t>(image.height));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter, no interlace
    putChunk(out, "IHDR", header);
    Bytes raw;
    const std::size_t row = static_cast<std::size_t>(image.width) * 4;
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(0);  // filter: none
        const auto start = image.rgba.begin() + static_cast<std::ptrdiff_t>(y * row);
        raw.insert(raw.end(), start, start + static_cast<std::ptrdiff_t>(row));
    }
    putChunk(out, "IDAT", storedZlib(raw));
    putChunk(out, "IEND", {});
    return out;
}

}  // namespace verz::art
