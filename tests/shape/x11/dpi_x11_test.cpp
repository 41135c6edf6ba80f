// At 120 dots per inch, with Qt's own scaling off, the rescaled controls must
// land on the same pixels as at 96: compare the two screenshots control by control.
#include "x11_session.h"

#include <QColor>
#include <QDir>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace verz::x11 {
namespace {

struct ControlBox {
    QString name;
    QRect pixels;    // at 96 dpi, from the layout table
    int margin = 2;  // compared this far around the box, to catch a shifted edge
};

std::vector<ControlBox> Controls()
{
    std::vector<ControlBox> boxes{
        {QStringLiteral("Text1"), {27, 39, 381, 123}},
        {QStringLiteral("Text2"), {25, 242, 381, 123}},
        {QStringLiteral("Command6"), {188, 177, 53, 50}},
        {QStringLiteral("Command2"), {414, 296, 80, 32}},
        {QStringLiteral("Command3"), {414, 333, 80, 32}},
        {QStringLiteral("Command4"), {414, 130, 80, 32}},
        {QStringLiteral("Command5"), {414, 93, 80, 32}},
        {QStringLiteral("Check1"), {28, 188, 139, 13}},
        {QStringLiteral("Label7_0"), {51, 15, 79, 11}},
        {QStringLiteral("Label7_1"), {51, 224, 69, 11}},
        {QStringLiteral("Label7_2"), {229, 185, 79, 36}},
        {QStringLiteral("Label7_3"), {409, 182, 68, 32}},
        {QStringLiteral("Image1"), {368, 180, 32, 32}},
        {QStringLiteral("ImageOrg"), {440, 46, 32, 32}},
        {QStringLiteral("ImaVerz"), {440, 244, 32, 32}},
        {QStringLiteral("Shape1_0"), {13, 231, 505, 148}},
        {QStringLiteral("Shape1_1"), {12, 20, 505, 151}},
        {QStringLiteral("Shape1_2"), {528, 62, 201, 312}},
    };
    // One option button per catalogue row, 280 twips apart from 1044 twips
    // down; neighbours overlap by a fraction of a pixel, so each is compared
    // on its own slot only (the hidden separator rows must stay empty).
    for (int i = 0; i < 16; ++i) {
        const auto pixelsAt = [](int row) {
            return static_cast<int>(std::lround((1044 + 280 * row) / 15.0));
        };
        const int top = pixelsAt(i);
        boxes.push_back(
            {QStringLiteral("Option1_%1").arg(i), {538, top, 186, pixelsAt(i + 1) - top}, 0});
    }
    return boxes;
}

// Pixels that are not the navy face: text, borders, boxes, pictures.
bool IsInk(QRgb c)
{
    return std::abs(qRed(c)) + std::abs(qGreen(c)) + std::abs(qBlue(c) - 128) > 60;
}

QRect InkBox(const QImage &shot, const QRect &area)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (IsInk(shot.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

bool Differs(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))}) > 64;
}

double DifferingShare(const QImage &a, const QImage &b, const QRect &area)
{
    int differing = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            differing += Differs(a.pixel(x, y), b.pixel(x, y)) ? 1 : 0;
    return static_cast<double>(differing) / (area.width() * area.height());
}

QImage ShotAt(const QMap<QString, QString> &env, const QString &name)
{
    RunningProgram verzolan(env);
    if (verzolan.windowId().isEmpty()) {
        ADD_FAILURE() << name.toStdString() << ": " << verzolan.failure().toStdString();
        return {};
    }
    EXPECT_EQ(verzolan.geometry().size(), QSize(750, 400)) << name.toStdString();
    QImage shot = verzolan.windowShot();
    const QString mode =
        WindowManagerRunning() ? QStringLiteral("openbox") : QStringLiteral("bare");
    shot.save(QDir::currentPath() + QStringLiteral("/x11-") + mode + u'-' + name +
              QStringLiteral(".png"));
    return shot;
}

// Edges may move by one pixel where a fractional twip position rounds the
// other way; text may differ in a few anti-aliased pixels.
constexpr int kEdgeTolerancePx = 1;
constexpr double kDifferingShareTolerance = 0.02;

TEST(RescaledLayout, At120DpiEveryControlSitsWhereItDoesAt96)
{
    const QImage at96 = ShotAt({{QStringLiteral("QT_ENABLE_HIGHDPI_SCALING"), QStringLiteral("0")}},
                               QStringLiteral("96dpi"));
    const QImage at120 = ShotAt({{QStringLiteral("QT_ENABLE_HIGHDPI_SCALING"), QStringLiteral("0")},
                                 {QStringLiteral("QT_FONT_DPI"), QStringLiteral("120")}},
                                QStringLiteral("120dpi"));
    ASSERT_EQ(at96.size(), QSize(750, 400));
    ASSERT_EQ(at120.size(), QSize(750, 400));

    std::printf("%-10s %-22s %-22s %s\n", "control", "ink at 96", "ink at 120", "differing");
    for (const ControlBox &c : Controls()) {
        const QRect area =
            c.pixels.adjusted(-c.margin, -c.margin, c.margin, c.margin) & QRect(0, 0, 750, 400);
        const QRect ink96 = InkBox(at96, area);
        const QRect ink120 = InkBox(at120, area);
        const double share = DifferingShare(at96, at120, area);
        std::printf("%-10s %4d,%4d %4dx%-4d    %4d,%4d %4dx%-4d    %5.2f%%\n", qPrintable(c.name),
                    ink96.x(), ink96.y(), ink96.width(), ink96.height(), ink120.x(), ink120.y(),
                    ink120.width(), ink120.height(), 100 * share);
        EXPECT_LE(std::abs(ink96.left() - ink120.left()), kEdgeTolerancePx) << c.name.toStdString();
        EXPECT_LE(std::abs(ink96.top() - ink120.top()), kEdgeTolerancePx) << c.name.toStdString();
        EXPECT_LE(std::abs(ink96.right() - ink120.right()), kEdgeTolerancePx)
            << c.name.toStdString();
        EXPECT_LE(std::abs(ink96.bottom() - ink120.bottom()), kEdgeTolerancePx)
            << c.name.toStdString();
        EXPECT_LE(share, kDifferingShareTolerance) << c.name.toStdString();
    }
    const double whole = DifferingShare(at96, at120, QRect(0, 0, 750, 400));
    std::printf("whole window differing: %.3f%%\n", 100 * whole);
    EXPECT_LE(whole, kDifferingShareTolerance / 4);
}

}  // namespace
}  // namespace verz::x11
