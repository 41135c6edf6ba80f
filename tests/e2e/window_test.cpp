// The window itself: the about panel, minimising, dragging, and the layout
// holding its pixels on a 120 dpi screen.
#include "e2e/program_fixture.h"
#include "e2e/skin_points.h"

#include <QTest>

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
    void dragBy(QPoint offset, int button)
    {
        const QPoint start = window_.topLeft();
        ASSERT_TRUE(Drag(onScreen(at::kBareSurface), onScreen(at::kBareSurface) + offset, button));
        EXPECT_TRUE(waitForPosition(start + offset))
            << "button " << button << ": from " << start.x() << ',' << start.y() << " to "
            << geometry().x() << ',' << geometry().y();
        window_ = geometry();
        EXPECT_EQ(window_.size(), at::kWindow);
    }

    // A press on a control is the control's, never a move of the window.
    void dragOnControlStays()
    {
        const QPoint start = window_.topLeft();
        ASSERT_TRUE(
            Drag(onScreen(Centre(at::Text2)), onScreen(Centre(at::Text2)) + QPoint(60, 40)));
        Pump(100);
        EXPECT_EQ(geometry().topLeft(), start);
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

// Share of the pixels of two shots of the window that differ clearly.
double DifferingShare(const QImage &one, const QImage &other)
{
    if (one.size() != other.size())
        return 1.0;
    qint64 differing = 0;
    for (int y = 0; y < one.height(); ++y)
        for (int x = 0; x < one.width(); ++x)
            if (!IsColour(one.pixel(x, y), other.pixel(x, y), 48))
                ++differing;
    return double(differing) / double(one.width() * one.height());
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

TEST_F(BareWindow, DragMovesTheWindowWithoutManager)
{
    ASSERT_NO_FATAL_FAILURE(launch());
    dragBy(QPoint(120, 80), 1);
    dragBy(QPoint(-70, -50), 3);
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
    RunCommand(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), windowId_});
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return WindowState(windowId_) == QStringLiteral("Normal"); }, 3000));
    window_ = geometry();
    EXPECT_EQ(window_.size(), at::kWindow);
    EXPECT_TRUE(waitForPanel(false));

    ASSERT_NO_FATAL_FAILURE(quit());
}

TEST_F(ManagedWindow, DragMovesTheWindowThroughTheManager)
{
    ASSERT_NO_FATAL_FAILURE(launch());
    dragBy(QPoint(120, 80), 1);
    dragBy(QPoint(-70, -50), 3);
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
    const double share = DifferingShare(at96, shot);
    EXPECT_LT(share, 0.02) << "share of differing pixels: " << share;
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
