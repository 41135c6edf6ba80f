// What the small pictures show, in terms a test can hold them to: where the
// flags sit, their stripes, the logo's plain background.
#include "asset_bytes.h"

#include <QColor>

#include <gtest/gtest.h>

using namespace verz;

namespace {

QRect opaqueBounds(const QImage &image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) != 0)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

// Hue in degrees, or -1 for greys.
int hueAt(const QImage &image, int x, int y)
{
    return QColor(image.pixel(x, y)).hsvHue();
}

}  // namespace

TEST(Flags, FillTheirBandWithTransparencyAboveAndBelow)
{
    for (const char *name : {"flag_fr.ico", "flag_en.ico", "flag_es.ico", "flag_de.ico",
                             "flag_pt.ico", "flag_it.ico"}) {
        SCOPED_TRACE(name);
        const QImage flag = test::committedImage(name);
        const QRect bounds = opaqueBounds(flag);
        EXPECT_GE(bounds.top(), 6);
        EXPECT_LE(bounds.bottom(), 24);
        EXPECT_GE(bounds.height(), 17);
        EXPECT_LE(bounds.height(), 19);
        EXPECT_GE(bounds.width(), 30);
        EXPECT_LE(bounds.width(), 32);
        // A flag is a solid rectangle: no holes inside its bounds.
        for (int y = bounds.top(); y <= bounds.bottom(); ++y) {
            for (int x = bounds.left(); x <= bounds.right(); ++x)
                ASSERT_EQ(qAlpha(flag.pixel(x, y)), 255) << x << "," << y;
        }
    }
}

TEST(Flags, StripesRunTheRightWay)
{
    const QImage fr = test::committedImage("flag_fr.ico");
    EXPECT_GT(qBlue(fr.pixel(4, 15)), 120);
    EXPECT_LT(qRed(fr.pixel(4, 15)), 40);
    EXPECT_EQ(fr.pixel(15, 15), qRgb(255, 255, 255));
    EXPECT_GT(qRed(fr.pixel(27, 15)), 200);
    EXPECT_EQ(fr.pixel(27, 8), fr.pixel(27, 23)) << "vertical stripes";

    const QImage it = test::committedImage("flag_it.ico");
    EXPECT_NEAR(hueAt(it, 4, 15), 140, 25) << "green at the hoist";
    EXPECT_GT(qRed(it.pixel(27, 15)), 180);

    const QImage de = test::committedImage("flag_de.ico");
    EXPECT_LT(qRed(de.pixel(15, 8)) + qGreen(de.pixel(15, 8)), 60) << "black on top";
    EXPECT_GT(qRed(de.pixel(15, 15)), 200);
    EXPECT_LT(qGreen(de.pixel(15, 15)), 40);
    EXPECT_NEAR(hueAt(de, 15, 22), 48, 12) << "gold below";

    // Spain: the yellow band is about twice as tall as each red one.
    const QImage es = test::committedImage("flag_es.ico");
    int red = 0, yellow = 0;
    for (int y = 0; y < 32; ++y) {
        if (qAlpha(es.pixel(3, y)) == 0)
            continue;
        const int hue = hueAt(es, 3, y);
        if (hue < 10 || hue > 340)
            ++red;
        else if (hue > 35 && hue < 60)
            ++yellow;
    }
    EXPECT_EQ(red + yellow, 19);
    // Each red band is red / 2 rows; the yellow one should be 1.7 to 2.3 times that.
    EXPECT_GE(20 * yellow, 17 * red) << "red " << red << ", yellow " << yellow;
    EXPECT_LE(20 * yellow, 23 * red) << "red " << red << ", yellow " << yellow;
}

TEST(Flags, UnionFlagHasCrossAndSaltire)
{
    const QImage en = test::committedImage("flag_en.ico");
    const QRect b = opaqueBounds(en);
    const QPoint centre = b.center();
    EXPECT_GT(qRed(en.pixel(centre)), 150) << "red cross at the centre";
    EXPECT_LT(qGreen(en.pixel(centre)), 60);
    // Blue fields between the arms, white and red along the diagonals.
    EXPECT_GT(qBlue(en.pixel(b.left() + 6, b.top() + 1)), 80);
    EXPECT_LT(qRed(en.pixel(b.left() + 6, b.top() + 1)), 60);
    int diagonalLight = 0;
    for (int i = 1; i < 5; ++i) {
        const QRgb c = en.pixel(b.left() + i * 5 / 3, b.top() + i);
        diagonalLight += qRed(c) > 150 ? 1 : 0;
    }
    EXPECT_GE(diagonalLight, 3) << "the saltire reaches the corner";
}

TEST(Flags, PortugalIsGreenAtTheHoistRedAtTheFlyWithTheSphereOnTheDivide)
{
    const QImage pt = test::committedImage("flag_pt.ico");
    EXPECT_NEAR(hueAt(pt, 2, 8), 120, 10);
    EXPECT_NEAR(hueAt(pt, 28, 8), 5, 8);
    int yellow = 0;
    for (int y = 9; y < 23; ++y) {
        for (int x = 6; x < 20; ++x) {
            const int hue = hueAt(pt, x, y);
            yellow += hue > 40 && hue < 65 && QColor(pt.pixel(x, y)).saturation() > 150 ? 1 : 0;
        }
    }
    EXPECT_GT(yellow, 20);
}

TEST(Globe, IsRoundWithTransparentCorners)
{
    const QImage globe = test::committedImage("globe.ico");
    for (const QPoint corner : {QPoint(0, 0), QPoint(31, 0), QPoint(0, 31), QPoint(31, 31)})
        EXPECT_EQ(qAlpha(globe.pixel(corner)), 0);
    int blue = 0, gold = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QColor c(globe.pixel(x, y));
            if (qAlpha(globe.pixel(x, y)) == 0 || c.saturation() < 100)
                continue;
            blue += c.hsvHue() > 200 && c.hsvHue() < 240 ? 1 : 0;
            gold += c.hsvHue() > 30 && c.hsvHue() < 55 ? 1 : 0;
        }
    }
    EXPECT_GT(blue, 200);
    EXPECT_GT(gold, 40);
}

TEST(UpArrow, YellowArrowOnDarkNavy)
{
    const QImage arrow = test::committedImage("up_arrow.bmp");
    ASSERT_EQ(arrow.size(), QSize(32, 32));
    EXPECT_LT(qBlue(arrow.pixel(4, 28)), 100) << "dark navy square";
    EXPECT_LT(qRed(arrow.pixel(4, 28)), 10);
    // Wide below the tip, narrow at it: it points up.
    auto yellowWidth = [&arrow](int y) {
        int n = 0;
        for (int x = 0; x < 32; ++x) {
            const QRgb c = arrow.pixel(x, y);
            n += qRed(c) > 220 && qGreen(c) > 190 && qBlue(c) < 130 ? 1 : 0;
        }
        return n;
    };
    EXPECT_LT(yellowWidth(7), yellowWidth(14));
    EXPECT_GT(yellowWidth(14), yellowWidth(22));
    EXPECT_GT(yellowWidth(22), 4);
}

TEST(ServiceLogo, WordmarkInItsBoxOnPlainLightGrey)
{
    const QImage logo = test::committedImage("service_logo.gif");
    ASSERT_EQ(logo.size(), QSize(400, 63));
    const QRgb plain = qRgb(254, 254, 254);
    QRect marked;
    QList<QRgb> colours;
    for (int y = 0; y < 63; ++y) {
        for (int x = 0; x < 400; ++x) {
            const QRgb c = logo.pixel(x, y);
            if (c == plain)
                continue;
            marked |= QRect(x, y, 1, 1);
            if (!colours.contains(c))
                colours.append(c);
        }
    }
    EXPECT_EQ(marked, QRect(QPoint(3, 4), QPoint(166, 62)));
    EXPECT_GE(colours.size(), 6) << "multicoloured";
}
