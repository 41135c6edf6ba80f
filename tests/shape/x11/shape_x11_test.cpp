// The shaped, draggable window on a real X server, with or without a window
// manager (whichever the test was started under).
#include "x11_session.h"

#include <QColor>
#include <QDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace verz::x11 {
namespace {

// Left edge of the visible run on row y of the skin (the right edge mirrors
// it); 750 for the three rows that are cut away entirely.
int OutlineLeft(int y)
{
    if (y >= 397)
        return 750;
    static constexpr int kLeftByDistance[] = {10, 7, 6, 5, 4, 3, 2, 2, 2};
    const int fromEdge = std::min(y, 396 - y);
    return fromEdge < 9 ? kLeftByDistance[fromEdge] : 1;
}

bool IsWhite(QRgb c)
{
    return c == qRgb(255, 255, 255);
}

QString ModeName()
{
    return WindowManagerRunning() ? QStringLiteral("openbox") : QStringLiteral("bare");
}

void SaveShot(const QImage &shot, const QString &name)
{
    shot.save(QDir::currentPath() + QStringLiteral("/x11-") + ModeName() + u'-' + name +
              QStringLiteral(".png"));
}

// The bare skin between the text area and the option column.
constexpr QPoint kBareSpot(530, 200);
constexpr QPoint kInsideText1(200, 100);

TEST(ShapedWindow, CutAwayPixelsShowWhatIsBehindAndTakeNoInput)
{
    RunningProgram verzolan;
    ASSERT_FALSE(verzolan.windowId().isEmpty()) << verzolan.failure().toStdString();
    const QRect at = verzolan.geometry();
    EXPECT_EQ(at.size(), QSize(750, 400));
    const QImage shot = verzolan.windowShot();
    SaveShot(shot, QStringLiteral("96dpi"));

    // The root is white: every cut-away pixel must read white, and the first
    // and last pixel of each visible run must not (it is the bevel).
    int wrong = 0;
    for (int y = 0; y < 400; ++y) {
        const int left = OutlineLeft(y);
        for (int x = 0; x < 750; ++x) {
            const bool cut = x < left || x >= 750 - left;
            const bool edge = !cut && (x == left || x == 749 - left);
            if ((cut && !IsWhite(shot.pixel(x, y))) || (edge && IsWhite(shot.pixel(x, y)))) {
                if (++wrong <= 10)
                    ADD_FAILURE() << "pixel " << x << "," << y << (cut ? " should" : " should not")
                                  << " show the root, reads "
                                  << QColor(shot.pixel(x, y)).name().toStdString();
            }
        }
    }
    EXPECT_EQ(wrong, 0);

    const QString root = RootWindowId();
    ASSERT_FALSE(root.isEmpty());
    for (const QPoint cut :
         {QPoint(0, 200), QPoint(749, 200), QPoint(3, 1), QPoint(745, 395), QPoint(400, 398)})
        EXPECT_EQ(WindowUnderPointer(at.topLeft() + cut), root)
            << "at " << cut.x() << "," << cut.y();
    for (const QPoint inside : {QPoint(1, 200), QPoint(748, 200), QPoint(10, 0), QPoint(400, 396)})
        EXPECT_NE(WindowUnderPointer(at.topLeft() + inside), root)
            << "at " << inside.x() << "," << inside.y();

    // A drag that starts in a cut-away corner goes to the root, not the window.
    DragWith(1, at.topLeft() + QPoint(2, 2), QPoint(60, 40));
    EXPECT_EQ(verzolan.geometry().topLeft(), at.topLeft());
}

TEST(WindowDrag, EveryButtonOnTheBareSurfaceMovesTheWindowByTheDrag)
{
    RunningProgram verzolan;
    ASSERT_FALSE(verzolan.windowId().isEmpty()) << verzolan.failure().toStdString();

    struct Gesture {
        int button;
        QPoint delta;
        QStringList modifiers;
    };
    const Gesture gestures[] = {
        {1, {120, 70}, {}},  {3, {-90, 40}, {}},
        {2, {-50, -90}, {}}, {1, {35, 25}, {QStringLiteral("shift"), QStringLiteral("ctrl")}},
        {1, {0, 0}, {}},
    };
    for (const Gesture &g : gestures) {
        const QPoint before = verzolan.geometry().topLeft();
        DragWith(g.button, before + kBareSpot, g.delta, g.modifiers);
        EXPECT_EQ(verzolan.waitForPosition(before + g.delta), before + g.delta)
            << "button " << g.button << " with " << g.modifiers.join(u'+').toStdString();
    }
    // After all that the window must still answer an ordinary drag: no move
    // may be left hanging on the pointer.
    const QPoint before = verzolan.geometry().topLeft();
    Xdotool({QStringLiteral("mousemove"), QString::number(before.x() + 600),
             QString::number(before.y() + 20)});
    Xdotool({QStringLiteral("mousemove"), QString::number(before.x() + 520),
             QString::number(before.y() + 300)});
    EXPECT_EQ(verzolan.geometry().topLeft(), before);
}

TEST(WindowDrag, PressAndMoveInsideTheInputBoxLeavesTheWindowPut)
{
    RunningProgram verzolan;
    ASSERT_FALSE(verzolan.windowId().isEmpty()) << verzolan.failure().toStdString();
    const QPoint before = verzolan.geometry().topLeft();
    for (const int button : {1, 3, 2}) {
        DragWith(button, before + kInsideText1, QPoint(80, 30));
        Xdotool(
            {QStringLiteral("key"), QStringLiteral("Escape")});  // closes a context menu, if any
        ASSERT_TRUE(verzolan.running())
            << "the program ended after button " << button << " in Text1";
        EXPECT_EQ(verzolan.geometry().topLeft(), before) << "button " << button;
    }
}

}  // namespace
}  // namespace verz::x11
