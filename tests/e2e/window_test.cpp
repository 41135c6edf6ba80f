// The window itself: the outline cut from the skin, the about panel,
// minimising, dragging, and the layout holding its pixels on a 120 dpi screen.
#include "e2e/program_fixture.h"
#include "e2e/skin_points.h"
#include "toolkit.h"

#include <QColor>
#include <QTest>

#include <cmath>
#include <vector>

namespace verz::e2e {
namespace {

constexpr QRgb kNavy = qRgb(0, 0, 128);
constexpr QRgb kWhite = qRgb(255, 255, 255);

class WindowScenario : public ProgramTest {
protected:
    // The panel covers Text1 with navy where it has nothing of its own.
    bool panelShown(const QImage &shot) const
    {
        for (QPoint probe : at::kPanelProbes)
            if (!IsColour(shot.pixel(probe), kNavy, 4))
                return false;
        return true;
    }
    bool panelHidden(const QImage &shot) const
    {
        for (QPoint probe : at::kPanelProbes)
            if (!IsColour(shot.pixel(probe), kWhite, 4))
                return false;
        return true;
    }
    bool waitForPanel(bool shown)
    {
        return QTest::qWaitFor(
            [&] {
                const QImage shot = windowShot();
                return !shot.isNull() && (shown ? panelShown(shot) : panelHidden(shot));
            },
            3000);
    }
    bool waitForPosition(QPoint topLeft)
    {
        return QTest::qWaitFor([&] { return geometry().topLeft() == topLeft; }, 3000);
    }

    // Drags the window by its bare skin and expects it to follow the pointer.
    // The position it waits for is reckoned from where the window last was,
    // so a move an earlier gesture should not have made shows here too.
    void dragBy(QPoint offset, int button = 1, const QStringList &modifiers = {})
    {
        const QPoint start = window_.topLeft();
        ASSERT_TRUE(Drag(onScreen(at::kBareSurface), onScreen(at::kBareSurface) + offset, button,
                         modifiers));
        EXPECT_TRUE(waitForPosition(start + offset))
            << "button " << button << " with " << modifiers.join(u'+').toStdString() << ": from "
            << start.x() << ',' << start.y() << " to " << geometry().x() << ',' << geometry().y();
        window_ = geometry();
        EXPECT_EQ(window_.size(), at::kWindow);
    }

    // Every button, with or without modifiers, moves the window; a press that
    // does not move leaves it put; no move is left hanging on the pointer.
    void dragWithEveryButton()
    {
        dragBy(QPoint(120, 80), 1);
        dragBy(QPoint(-70, -50), 3);
        dragBy(QPoint(-50, -60), 2);
        dragBy(QPoint(35, 25), 1, {QStringLiteral("shift"), QStringLiteral("ctrl")});
        dragBy(QPoint(0, 0), 1);
        test::RunProcess(QStringLiteral("xdotool"),
                         {QStringLiteral("mousemove_relative"), QStringLiteral("--"),
                          QStringLiteral("40"), QStringLiteral("-30")});
        dragBy(QPoint(20, 10), 1);
    }

    // A press on a control is the control's, never a move of the window, and
    // none of the buttons upsets the program (the right one opens a menu).
    void dragOnControlStays()
    {
        for (const int button : {1, 3, 2}) {
            ASSERT_TRUE(Drag(onScreen(Centre(at::Text1)),
                             onScreen(Centre(at::Text1)) + QPoint(60, 40), button));
            Key(QStringLiteral("Escape"));
            ASSERT_TRUE(running()) << "the program ended after button " << button << " in Text1";
        }
        dragBy(QPoint(15, 15));  // lands exactly only if the window stayed put
    }

    // The outline is cut from the skin: every cut-away pixel shows the white
    // desktop behind and takes no input, the bevel just inside does not.
    void outlineIsTheSkins()
    {
        const QImage shot = windowShot();
        ASSERT_EQ(shot.size(), at::kWindow);
        int wrong = 0;
        for (int y = 0; y < shot.height(); ++y) {
            const int left = OutlineLeft(y);
            for (int x = 0; x < shot.width(); ++x) {
                const bool cut = x < left || x >= 750 - left;
                const bool edge = !cut && (x == left || x == 749 - left);
                const bool white = IsColour(shot.pixel(x, y), kWhite, 0);
                if ((cut && !white) || (edge && white)) {
                    if (++wrong <= 10)
                        ADD_FAILURE()
                            << "pixel " << x << "," << y << (cut ? " should" : " should not")
                            << " show the desktop, reads "
                            << QColor(shot.pixel(x, y)).name().toStdString();
                }
            }
        }
        EXPECT_EQ(wrong, 0);

        const QString root = RootWindow();
        ASSERT_FALSE(root.isEmpty());
        for (const QPoint cut :
             {QPoint(0, 200), QPoint(749, 200), QPoint(3, 1), QPoint(745, 395), QPoint(400, 398)})
            EXPECT_EQ(WindowAt(onScreen(cut)), root) << "at " << cut.x() << "," << cut.y();
        for (const QPoint inside :
             {QPoint(1, 200), QPoint(748, 200), QPoint(10, 0), QPoint(400, 396)})
            EXPECT_NE(WindowAt(onScreen(inside)), root) << "at " << inside.x() << "," << inside.y();

        // A drag that starts in a cut-away corner goes to the desktop.
        ASSERT_TRUE(Drag(onScreen(QPoint(2, 2)), onScreen(QPoint(62, 42))));
        dragBy(QPoint(25, 20));
    }
};

using BareWindow = WindowScenario;
using ManagedWindow = WindowScenario;

class Dpi120Window : public WindowScenario {
protected:
    void at120Dpi()
    {
        programEnvironment().insert(QStringLiteral("QT_ENABLE_HIGHDPI_SCALING"),
                                    QStringLiteral("0"));
        programEnvironment().insert(QStringLiteral("QT_FONT_DPI"), QStringLiteral("120"));
    }
};

// A control's place in window pixels at 96 dpi (the table's twips / 15),
// compared this far around, to catch a shifted edge.
struct ControlBox {
    const char *name;
    QRect pixels;
    int margin = 2;
};

std::vector<ControlBox> ComparedControls()
{
    std::vector<ControlBox> boxes{
        {"Text1", {27, 39, 381, 123}},     {"Text2", {25, 242, 381, 123}},
        {"Command6", {188, 177, 53, 50}},  {"Command2", {414, 296, 80, 32}},
        {"Command3", {414, 333, 80, 32}},  {"Command4", {414, 130, 80, 32}},
        {"Command5", {414, 93, 80, 32}},   {"Check1", {28, 188, 139, 13}},
        {"Label7(0)", {51, 15, 79, 11}},   {"Label7(1)", {51, 224, 69, 11}},
        {"Label7(2)", {229, 185, 79, 36}}, {"Label7(3)", {409, 182, 68, 32}},
        {"Image1", {368, 180, 32, 32}},    {"ImageOrg", {440, 46, 32, 32}},
        {"ImaVerz", {440, 244, 32, 32}},   {"Shape1(0)", {13, 231, 505, 148}},
        {"Shape1(1)", {12, 20, 505, 151}}, {"Shape1(2)", {528, 62, 201, 312}},
    };
    // One option button per catalogue row, 280 twips apart from 1044 twips
    // down; neighbours overlap by a fraction of a pixel, so each is compared
    // on its own slot only (the hidden separator rows must stay empty).
    static const char *const kOptions[16] = {
        "Option1(0)",  "Option1(1)",  "Option1(2)",  "Option1(3)", "Option1(4)",  "Option1(5)",
        "Option1(6)",  "Option1(7)",  "Option1(8)",  "Option1(9)", "Option1(10)", "Option1(11)",
        "Option1(12)", "Option1(13)", "Option1(14)", "Option1(15)"};
    const auto pixelsAt = [](int row) {
        return static_cast<int>(std::lround((1044 + 280 * row) / 15.0));
    };
    for (int i = 0; i < 16; ++i)
        boxes.push_back({kOptions[i], {538, pixelsAt(i), 186, pixelsAt(i + 1) - pixelsAt(i)}, 0});
    return boxes;
}

// Pixels that are not the navy face: text, borders, boxes, pictures.
bool IsInk(QRgb c)
{
    return qRed(c) + qGreen(c) + std::abs(qBlue(c) - 128) > 60;
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

// Share of the pixels of two shots, within area, that differ clearly.
double DifferingShare(const QImage &one, const QImage &other, const QRect &area)
{
    qint64 differing = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (!IsColour(one.pixel(x, y), other.pixel(x, y), 64))
                ++differing;
    return double(differing) / double(area.width() * area.height());
}

// Edges may move by one pixel where a fractional twip position rounds the
// other way; text may differ in a few anti-aliased pixels.
void ExpectSameLayout(const QImage &at96, const QImage &at120)
{
    ASSERT_EQ(at96.size(), at::kWindow);
    ASSERT_EQ(at120.size(), at::kWindow);
    for (const ControlBox &c : ComparedControls()) {
        const QRect area = c.pixels.adjusted(-c.margin, -c.margin, c.margin, c.margin) &
                           QRect(QPoint(0, 0), at::kWindow);
        const QRect ink96 = InkBox(at96, area);
        const QRect ink120 = InkBox(at120, area);
        EXPECT_LE(std::abs(ink96.left() - ink120.left()), 1) << c.name;
        EXPECT_LE(std::abs(ink96.top() - ink120.top()), 1) << c.name;
        EXPECT_LE(std::abs(ink96.right() - ink120.right()), 1) << c.name;
        EXPECT_LE(std::abs(ink96.bottom() - ink120.bottom()), 1) << c.name;
        EXPECT_LE(DifferingShare(at96, at120, area), 0.02) << c.name;
    }
    const double whole = DifferingShare(at96, at120, QRect(QPoint(0, 0), at::kWindow));
    EXPECT_LE(whole, 0.005) << "share of differing pixels: " << whole;
}

TEST_F(BareWindow, AboutPanelShownAndHidden)
{
    ASSERT_NO_FATAL_FAILURE(launch());
    ASSERT_TRUE(panelHidden(windowShot()));

    click(at::Label6);
    EXPECT_TRUE(waitForPanel(true)) << "\"A propos\" did not show the panel";
    click(at::Command8);
    EXPECT_TRUE(waitForPanel(false)) << "\"OK\" did not hide the panel";

    click(at::Label6);
    EXPECT_TRUE(waitForPanel(true));
    click(at::Label6);
    EXPECT_TRUE(waitForPanel(false)) << "a second \"A propos\" did not hide the panel";

    // A pair choice puts the panel away too; the option column stays uncovered.
    click(at::Label6);
    EXPECT_TRUE(waitForPanel(true));
    click(at::Option1(7));
    EXPECT_TRUE(waitForPanel(false));
    EXPECT_TRUE(waitForStoredRow(QStringLiteral("7")));

    ASSERT_NO_FATAL_FAILURE(quit());
}

TEST_F(BareWindow, OutlineIsCutFromTheSkin)
{
    ASSERT_NO_FATAL_FAILURE(launch());
    outlineIsTheSkins();
    ASSERT_NO_FATAL_FAILURE(quit());
}

TEST_F(BareWindow, DragMovesTheWindowWithoutManager)
{
    ASSERT_NO_FATAL_FAILURE(launch());
    dragWithEveryButton();
    dragOnControlStays();
    // "Quitter" is found where the window now is: the controls went along.
    ASSERT_NO_FATAL_FAILURE(quit());
}

TEST_F(ManagedWindow, ReduireMinimisesAndTheWindowComesBack)
{
    ASSERT_NO_FATAL_FAILURE(launch());
    EXPECT_EQ(WindowState(windowId_), QStringLiteral("Normal"));

    click(at::Label6);
    ASSERT_TRUE(waitForPanel(true));
    click(at::Label2);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return WindowState(windowId_) == QStringLiteral("Iconic"); }, 3000))
        << "state: " << WindowState(windowId_).toStdString();

    // Back from the task bar, the panel is out of the way.
    test::RunProcess(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), windowId_});
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return WindowState(windowId_) == QStringLiteral("Normal"); }, 3000));
    window_ = geometry();
    EXPECT_EQ(window_.size(), at::kWindow);
    EXPECT_TRUE(waitForPanel(false));

    ASSERT_NO_FATAL_FAILURE(quit());
}

TEST_F(ManagedWindow, OutlineIsCutFromTheSkin)
{
    ASSERT_NO_FATAL_FAILURE(launch());
    outlineIsTheSkins();
    ASSERT_NO_FATAL_FAILURE(quit());
}

TEST_F(ManagedWindow, DragMovesTheWindowThroughTheManager)
{
    ASSERT_NO_FATAL_FAILURE(launch());
    dragWithEveryButton();
    dragOnControlStays();
    ASSERT_NO_FATAL_FAILURE(quit());
}

TEST_F(Dpi120Window, SameClicksLandOnTheSamePixels)
{
    // The same window at 96 dpi first, as the reference picture.
    ASSERT_NO_FATAL_FAILURE(launch());
    const QImage at96 = windowShot();
    ASSERT_NO_FATAL_FAILURE(quit());

    at120Dpi();
    ASSERT_NO_FATAL_FAILURE(launch());
    EXPECT_EQ(window_.size(), at::kWindow);
    QImage shot = windowShot();
    // Every control where it was, at the size it was: only glyph edges differ.
    ExpectSameLayout(at96, shot);
    EXPECT_EQ(ShownFlag(shot, at::ImageOrg), QStringLiteral("fr"));
    EXPECT_EQ(ShownFlag(shot, at::ImaVerz), QStringLiteral("en"));

    click(at::Option1(0));
    ASSERT_TRUE(waitForStoredRow(QStringLiteral("0")));
    shot = windowShot();
    EXPECT_EQ(ShownFlag(shot, at::ImageOrg), QStringLiteral("en"));
    EXPECT_EQ(ShownFlag(shot, at::ImaVerz), QStringLiteral("fr"));

    click(at::Text1);
    ASSERT_TRUE(Type(QStringLiteral("Good day")));
    click(at::Command6);
    EXPECT_EQ(outputText(QStringLiteral("Bonjour tout le monde ")),
              QStringLiteral("Bonjour tout le monde "));
    ASSERT_TRUE(waitForRequests(1));
    EXPECT_EQ(sentText(), QStringLiteral("Good day"));
    EXPECT_EQ(sentPair(), QStringLiteral("en|fr"));

    click(at::Label6);
    EXPECT_TRUE(waitForPanel(true));
    click(at::Command8);
    EXPECT_TRUE(waitForPanel(false));

    ASSERT_NO_FATAL_FAILURE(quit());
}

}  // namespace
}  // namespace verz::e2e
