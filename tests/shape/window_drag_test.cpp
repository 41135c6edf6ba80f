// The by-hand fallback of the window drag, where the window system refuses a
// move (the offscreen platform always does).
#include "shape/window_drag.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace verz {
namespace {

TEST(WindowDrag, FollowsThePointerByHandUntilTheButtonIsUp)
{
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setGeometry(100, 50, 200, 100);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QPoint start = window.frameGeometry().topLeft();

    WindowDrag drag;
    drag.StartWindowDrag(window, start + QPoint(30, 20));
    ASSERT_TRUE(drag.followingByHand());
    EXPECT_EQ(window.frameGeometry().topLeft(), start) << "a press alone moves nothing";

    drag.follow(window, start + QPoint(80, 60));
    EXPECT_EQ(window.frameGeometry().topLeft(), start + QPoint(50, 40));
    drag.follow(window, start + QPoint(10, 5));
    EXPECT_EQ(window.frameGeometry().topLeft(), start + QPoint(-20, -15));

    drag.end();
    EXPECT_FALSE(drag.followingByHand());
    drag.follow(window, start + QPoint(300, 300));
    EXPECT_EQ(window.frameGeometry().topLeft(), start + QPoint(-20, -15));
}

TEST(WindowDrag, MovesNothingBeforeAPress)
{
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setGeometry(10, 10, 50, 50);
    window.show();
    WindowDrag drag;
    drag.follow(window, QPoint(400, 400));
    EXPECT_EQ(window.frameGeometry().topLeft(), QPoint(10, 10));
}

}  // namespace
}  // namespace verz
