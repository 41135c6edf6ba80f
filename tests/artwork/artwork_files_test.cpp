// File formats of the committed pictures, read field by field, and the check
// that the generator still produces them byte for byte.
#include "asset_bytes.h"

#include "artwork.h"
#include "encoders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace verz;
using test::committedAsset;
using test::committedImage;
using test::le16;
using test::le32;

namespace {

const char *const kIcons[] = {"globe.ico",   "flag_fr.ico", "flag_en.ico", "flag_es.ico",
                              "flag_de.ico", "flag_pt.ico", "flag_it.ico"};

void expectBitmap24(const char *name, int width, int height, int fileSize)
{
    SCOPED_TRACE(name);
    const QByteArray bmp = committedAsset(name);
    ASSERT_EQ(bmp.size(), fileSize);
    EXPECT_EQ(bmp.left(2), QByteArray("BM"));
    EXPECT_EQ(le32(bmp, 2), static_cast<std::uint32_t>(fileSize));
    EXPECT_EQ(le32(bmp, 10), 54u) << "pixels follow the headers directly: no palette";
    EXPECT_EQ(le32(bmp, 14), 40u);
    EXPECT_EQ(static_cast<int>(le32(bmp, 18)), width);
    EXPECT_EQ(static_cast<int>(le32(bmp, 22)), height) << "positive height: rows bottom-up";
    EXPECT_EQ(le16(bmp, 26), 1u);
    EXPECT_EQ(le16(bmp, 28), 24u);
    EXPECT_EQ(le32(bmp, 30), 0u) << "uncompressed";
    EXPECT_EQ(le32(bmp, 46), 0u) << "no colour table";

    const QImage image = committedImage(name);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(width, height));
    // Bottom-up: the first stored row is the picture's last one.
    const QRgb bottomLeft = image.pixel(0, height - 1);
    EXPECT_EQ(static_cast<std::uint8_t>(bmp[54]), qBlue(bottomLeft));
    EXPECT_EQ(static_cast<std::uint8_t>(bmp[55]), qGreen(bottomLeft));
    EXPECT_EQ(static_cast<std::uint8_t>(bmp[56]), qRed(bottomLeft));
}

}  // namespace

TEST(ArtworkFiles, BitmapsAre24BitBottomUpWithoutPalette)
{
    expectBitmap24("skin.bmp", 750, 400, 900854);
    expectBitmap24("up_arrow.bmp", 32, 32, 3126);
}

TEST(ArtworkFiles, IconsHoldOne8BitImageWithPaletteAndMask)
{
    for (const char *name : kIcons) {
        SCOPED_TRACE(name);
        const QByteArray ico = committedAsset(name);
        ASSERT_EQ(ico.size(), 2238);
        EXPECT_EQ(le16(ico, 0), 0u);
        EXPECT_EQ(le16(ico, 2), 1u) << "icon, not cursor";
        EXPECT_EQ(le16(ico, 4), 1u) << "one image";
        EXPECT_EQ(static_cast<std::uint8_t>(ico[6]), 32);
        EXPECT_EQ(static_cast<std::uint8_t>(ico[7]), 32);
        EXPECT_EQ(static_cast<std::uint8_t>(ico[8]), 0) << "256 colours";
        EXPECT_EQ(le16(ico, 12), 8u);
        EXPECT_EQ(le32(ico, 14), 2216u);
        EXPECT_EQ(le32(ico, 18), 22u);
        EXPECT_EQ(le32(ico, 22), 40u);
        EXPECT_EQ(le32(ico, 26), 32u);
        EXPECT_EQ(le32(ico, 30), 64u) << "colour image and mask stacked";
        EXPECT_EQ(le16(ico, 36), 8u);
        EXPECT_EQ(le32(ico, 38), 0u);

        // Decode it ourselves: palette of 256 at 62, pixels at 1086, mask at 2110.
        const QImage image = committedImage(name);
        ASSERT_EQ(image.size(), QSize(32, 32));
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                const int stored = 31 - y;
                const bool masked =
                    (static_cast<std::uint8_t>(ico[2110 + stored * 4 + x / 8]) >> (7 - x % 8)) & 1;
                const QRgb qt = image.pixel(x, y);
                ASSERT_EQ(qAlpha(qt), masked ? 0 : 255) << x << "," << y;
                if (masked)
                    continue;
                const int index = static_cast<std::uint8_t>(ico[1086 + stored * 32 + x]);
                const int entry = 62 + index * 4;
                ASSERT_EQ(qBlue(qt), static_cast<std::uint8_t>(ico[entry])) << x << "," << y;
                ASSERT_EQ(qGreen(qt), static_cast<std::uint8_t>(ico[entry + 1]));
                ASSERT_EQ(qRed(qt), static_cast<std::uint8_t>(ico[entry + 2]));
            }
        }
    }
}

TEST(ArtworkFiles, LogoIsAPlainGif87aWithOneImage)
{
    const QByteArray gif = committedAsset("service_logo.gif");
    ASSERT_GT(gif.size(), 13 + 768 + 10 + 2);
    EXPECT_EQ(gif.left(6), QByteArray("GIF87a"));
    EXPECT_EQ(le16(gif, 6), 400u);
    EXPECT_EQ(le16(gif, 8), 63u);
    const auto packed = static_cast<std::uint8_t>(gif[10]);
    EXPECT_TRUE(packed & 0x80) << "global colour table";
    EXPECT_EQ(packed & 0x07, 7) << "256 entries";

    // Walk the blocks: exactly one image descriptor, no extension, then the trailer.
    int at = 13 + 768;
    ASSERT_EQ(static_cast<std::uint8_t>(gif[at]), 0x2C);
    EXPECT_EQ(le16(gif, at + 1), 0u);
    EXPECT_EQ(le16(gif, at + 3), 0u);
    EXPECT_EQ(le16(gif, at + 5), 400u);
    EXPECT_EQ(le16(gif, at + 7), 63u);
    EXPECT_EQ(static_cast<std::uint8_t>(gif[at + 9]), 0) << "no local table, not interlaced";
    EXPECT_EQ(static_cast<std::uint8_t>(gif[at + 10]), 8);
    at += 11;
    while (static_cast<std::uint8_t>(gif[at]) != 0) {
        at += 1 + static_cast<std::uint8_t>(gif[at]);
        ASSERT_LT(at, gif.size());
    }
    ++at;
    ASSERT_EQ(at, gif.size() - 1);
    EXPECT_EQ(static_cast<std::uint8_t>(gif[at]), 0x3B);

    const QImage image = committedImage("service_logo.gif");
    EXPECT_EQ(image.size(), QSize(400, 63));
}

TEST(ArtworkFiles, GifCoderSurvivesAFullCodeTable)
{
    // Noise fills the 4096-entry table several times over, so the coder has
    // to restart it mid-stream; Qt must still read back every pixel.
    art::Canvas noise(300, 200, {}, true);
    std::uint32_t state = 12345;
    for (auto &pixel : noise.pixels) {
        state = state * 1103515245u + 12345u;
        const auto v = static_cast<std::uint8_t>((state >> 16) % 40 * 6);
        pixel = {v, static_cast<std::uint8_t>(255 - v), static_cast<std::uint8_t>(v / 2)};
    }
    const art::Bytes gif = art::encodeGif87a(noise);
    QImage image;
    ASSERT_TRUE(image.loadFromData(gif.data(), static_cast<int>(gif.size())));
    for (int y = 0; y < noise.height; ++y) {
        for (int x = 0; x < noise.width; ++x) {
            const art::Rgb c = noise.at(x, y);
            ASSERT_EQ(image.pixel(x, y), qRgb(c.r, c.g, c.b)) << x << "," << y;
        }
    }
}

// The icon theme's globes: each a PNG with alpha that Qt reads at its size,
// see-through in the corners, opaque in the middle, and drawn at its size: an
// enlarged small picture blurs its edge over several pixels.
TEST(ArtworkFiles, ThemeIconsAreDrawnAtEachSize)
{
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const std::string name = "icons/verzolan-" + std::to_string(size) + ".png";
        SCOPED_TRACE(name);
        const QImage icon = committedImage(name.c_str());
        ASSERT_EQ(icon.size(), QSize(size, size));
        EXPECT_TRUE(icon.hasAlphaChannel());
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(icon.pixel(size - 1, 0)), 0);
        EXPECT_EQ(qAlpha(icon.pixel(size / 2, size / 2)), 255);
        // Edge pixels follow the outline's length, some 3 per pixel of size
        // here; the 32-pixel globe enlarged to 256 has 27.
        int edge = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const int alpha = qAlpha(icon.pixel(x, y));
                edge += alpha > 0 && alpha < 255 ? 1 : 0;
            }
        }
        EXPECT_LE(edge, 5 * size);
    }
}

TEST(ArtworkFiles, GeneratorReproducesTheCommittedFiles)
{
    const std::vector<art::ArtFile> drawn = art::DrawArtwork();
    ASSERT_EQ(drawn.size(), 19u);
    for (const art::ArtFile &file : drawn) {
        const QByteArray committed = committedAsset(file.name.c_str());
        const QByteArray fresh(reinterpret_cast<const char *>(file.bytes.data()),
                               static_cast<qsizetype>(file.bytes.size()));
        EXPECT_TRUE(committed == fresh) << file.name << " differs; rerun artgen into assets/";
    }

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    std::string error;
    ASSERT_TRUE(art::WriteArtwork(dir.path().toStdString(), error)) << error;
    for (const art::ArtFile &file : drawn) {
        QFile written(dir.filePath(QString::fromStdString(file.name)));
        ASSERT_TRUE(written.open(QIODevice::ReadOnly)) << file.name;
        EXPECT_TRUE(written.readAll() == committedAsset(file.name.c_str())) << file.name;
    }
}
