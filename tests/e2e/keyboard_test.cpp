// The window driven from the keyboard alone, as xdotool types: the tab walk
// seen through the focus ring on the screen, translating, the about panel,
// quitting; and at 1, 1.25 and 1.5 times the size, the ring's contrast and
// the frames' edges.
#include "e2e/program_fixture.h"
#include "e2e/skin_points.h"
#include "toolkit.h"

#include <QTest>

#include <cmath>
#include <iostream>

namespace verz::e2e {
namespace {

constexpr QRgb kGold = qRgb(255, 214, 10);
constexpr int kRingOut = 4;  // the ring's outer edge, pixels outside the control

double Luminance(QRgb colour)
{
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(colour)) + 0.7152 * channel(qGreen(colour)) +
           0.0722 * channel(qBlue(colour));
}

double Contrast(QRgb a, QRgb b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

class KeyboardScenario : public ProgramTest {
protected:
    double scale_ = 1.0;

    // Started, and given the keyboard as a window manager would on a click.
    void launchFocused()
    {
        paintProbe_ = QPoint(std::round(at::kBareSurface.x() * scale_),
                             std::round(at::kBareSurface.y() * scale_));
        ASSERT_NO_FATAL_FAILURE(launch());
        const test::ProcessOutcome focus =
            test::RunProcess(QStringLiteral("xdotool"),
                             {QStringLiteral("windowfocus"), QStringLiteral("--sync"), windowId_});
        ASSERT_EQ(focus.exitCode, 0);
    }

    QRect scaled(QRect logical) const
    {
        return QRect(
            QPoint(std::floor(logical.left() * scale_), std::floor(logical.top() * scale_)),
            QPoint(std::ceil((logical.right() + 1) * scale_) - 1,
                   std::ceil((logical.bottom() + 1) * scale_) - 1));
    }
    // Gold pixels in the band just around the control, against what a ring
    // all round it would light.
    double ringShare(const QImage &shot, QRect control) const
    {
        const QRect box = scaled(control);
        const int out = static_cast<int>(std::ceil(kRingOut * scale_)) + 2;
        const QRect outer = box.adjusted(-out, -out, out, out);
        int gold = 0;
        for (int y = outer.top(); y <= outer.bottom(); ++y)
            for (int x = outer.left(); x <= outer.right(); ++x)
                if (!box.contains(x, y) && shot.rect().contains(x, y) &&
                    IsColour(shot.pixel(x, y), kGold, 24))
                    ++gold;
        const double ringPixels = 2.0 * (box.width() + box.height()) * 2 * scale_;
        return gold / ringPixels;
    }
    bool waitForRing(QRect control)
    {
        return QTest::qWaitFor([&] { return ringShare(windowShot(), control) > 0.8; }, 5000);
    }
    // The lowest contrast of the ring's gold against the pixels on either
    // side of it, and of the ring's outer edge against what lies beyond it
    // where the two differ, on the middle of each of its four sides. Each side
    // is scanned outwards from the control's edge, to the gold and past it.
    double ringContrast(const QImage &shot, QRect control) const
    {
        const QRect box = scaled(control);
        const int reach = static_cast<int>(std::ceil(kRingOut * scale_)) + 4;
        const QPoint mid = box.center();
        double lowest = 1e9;
        const auto side = [&](QPoint edge, QPoint step) {
            QPoint at = edge;
            int walked = 0;
            while (walked < reach && !IsColour(shot.pixel(at), kGold, 24))
                at += step, ++walked;
            const QRgb gold = shot.pixel(at);
            const QRgb within = shot.pixel(at - step);
            while (walked < reach && IsColour(shot.pixel(at), kGold, 24))
                at += step, ++walked;
            const QRgb outerEdge = shot.pixel(at);
            lowest = std::min({lowest, Contrast(gold, within), Contrast(gold, outerEdge)});
            const int edgeWidth = static_cast<int>(std::ceil(scale_));
            const QRgb beyond = shot.pixel(at + step * edgeWidth);
            if (!IsColour(beyond, outerEdge, 8))
                lowest = std::min(lowest, Contrast(outerEdge, beyond));
        };
        side({mid.x(), box.top()}, {0, -1});
        side({mid.x(), box.bottom()}, {0, 1});
        side({box.left(), mid.y()}, {-1, 0});
        side({box.right(), mid.y()}, {1, 0});
        return lowest;
    }
    void expectRing(QRect control, const char *name)
    {
        ASSERT_TRUE(waitForRing(control)) << "no ring around " << name << " at " << scale_;
        const double contrast = ringContrast(windowShot(), control);
        std::cout << "ring contrast at " << scale_ << " around " << name << ": " << contrast
                  << ":1\n";
        EXPECT_GE(contrast, 3.0) << name;
    }
    // A row of the top edge of an outline, where no caption covers it, is
    // drawn in its colour on some screen row at the edge's height.
    bool topEdgeDrawn(const QImage &shot, int top, int fromX, int toX, QRgb colour) const
    {
        for (int y = static_cast<int>(std::floor(top * scale_)) - 1;
             y <= static_cast<int>(std::ceil(top * scale_)) + 1; ++y) {
            int lit = 0, all = 0;
            for (int x = static_cast<int>(fromX * scale_); x <= toX * scale_; ++x, ++all)
                lit += IsColour(shot.pixel(x, y), colour, 10) ? 1 : 0;
            if (lit * 20 >= all * 19)
                return true;
        }
        return false;
    }
    void checkFramesAndRing()
    {
        ASSERT_NO_FATAL_FAILURE(launchFocused());
        EXPECT_EQ(geometry().size(), QSize(std::round(750 * scale_), std::round(400 * scale_)));
        // The window opens with the focus in the output box.
        ASSERT_NO_FATAL_FAILURE(expectRing(at::Text2, "Text2"));
        const QImage shot = windowShot();
        EXPECT_TRUE(topEdgeDrawn(shot, 231, 150, 450, qRgb(224, 224, 224))) << "Traduction";
        EXPECT_TRUE(topEdgeDrawn(shot, 20, 150, 450, qRgb(224, 224, 224))) << "Texte à traduire";
        EXPECT_TRUE(topEdgeDrawn(shot, 62, 560, 700, qRgb(255, 255, 192))) << "pair column";
        ASSERT_TRUE(Key(QStringLiteral("Tab")));
        ASSERT_NO_FATAL_FAILURE(expectRing(at::Command5, "Command5"));
        ASSERT_TRUE(Key(QStringLiteral("shift+Tab")));
        ASSERT_TRUE(Key(QStringLiteral("shift+Tab")));
        ASSERT_NO_FATAL_FAILURE(expectRing(at::Check1, "Check1"));
        ASSERT_TRUE(Key(QStringLiteral("ctrl+q")));
        ASSERT_TRUE(waitForExit(5000)) << "Ctrl+Q left the program running";
    }
};

using KeyboardWalk = KeyboardScenario;

TEST_F(KeyboardWalk, TabWalkTranslateAboutPanelAndQuit)
{
    ASSERT_NO_FATAL_FAILURE(launchFocused());
    ASSERT_NO_FATAL_FAILURE(expectRing(at::Text2, "Text2"));
    const QRect chain[] = {at::Command5, at::Command4, at::Text1,
                           at::Command2, at::Command3, at::Command6};
    for (QRect control : chain) {
        ASSERT_TRUE(Key(QStringLiteral("Tab")));
        ASSERT_TRUE(waitForRing(control)) << control.x() << "," << control.y();
    }
    // The pair column, its first button.
    const QRect first(at::Option1(0) - QPoint(24, 9), QSize(182, 19));
    ASSERT_TRUE(Key(QStringLiteral("Tab")));
    ASSERT_NO_FATAL_FAILURE(expectRing(first, "Option1(0)"));
    ASSERT_TRUE(Key(QStringLiteral("Tab")));
    ASSERT_NO_FATAL_FAILURE(expectRing(at::Check1, "Check1"));
    ASSERT_TRUE(Key(QStringLiteral("Tab")));
    ASSERT_TRUE(waitForRing(at::Text2));

    // Back to the translate button; Return translates, the focus stays, a
    // second Return translates again on the same pair.
    for (int step = 0; step < 3; ++step)
        ASSERT_TRUE(Key(QStringLiteral("shift+Tab")));
    ASSERT_NO_FATAL_FAILURE(expectRing(at::Command6, "Command6"));
    ASSERT_TRUE(Key(QStringLiteral("Return")));
    ASSERT_TRUE(waitForRequests(1));
    ASSERT_TRUE(waitForRing(at::Command6));
    ASSERT_TRUE(Key(QStringLiteral("KP_Enter")));
    ASSERT_TRUE(waitForRequests(2));
    EXPECT_EQ(sentPair(0), QStringLiteral("fr|en"));
    EXPECT_EQ(sentPair(1), QStringLiteral("fr|en"));
    ASSERT_TRUE(Key(QStringLiteral("space")));
    ASSERT_TRUE(waitForRequests(3));
    EXPECT_EQ(sentPair(2), QStringLiteral("fr|en"));
    ASSERT_TRUE(waitForRing(at::Command6));

    // Ctrl+Return in the input box; what is typed there before any click
    // joins the placeholder.
    for (int step = 0; step < 3; ++step)
        ASSERT_TRUE(Key(QStringLiteral("shift+Tab")));
    ASSERT_TRUE(waitForRing(at::Text1));
    ASSERT_TRUE(Type(QStringLiteral("abc")));
    ASSERT_TRUE(Key(QStringLiteral("ctrl+Return")));
    ASSERT_TRUE(waitForRequests(4));
    EXPECT_TRUE(sentText().contains(QStringLiteral("abc"))) << sentText().toStdString();
    EXPECT_TRUE(sentText().contains(QStringLiteral("Tapez ici"))) << sentText().toStdString();

    // F1: the panel, its OK button focused; Tab goes round inside it.
    ASSERT_TRUE(Key(QStringLiteral("F1")));
    ASSERT_NO_FATAL_FAILURE(expectRing(at::Command8, "Command8"));
    // The service's credit line lies on the white of its logo.
    for (int step = 0; step < 3; ++step)
        ASSERT_TRUE(Key(QStringLiteral("Tab")));
    ASSERT_NO_FATAL_FAILURE(
        expectRing(FromTwips(3720, 2085, 3345, 810).translated(at::kFraConfig), "Labc(0)"));
    ASSERT_TRUE(Key(QStringLiteral("Tab")));
    ASSERT_TRUE(waitForRing(at::Command8));
    ASSERT_TRUE(Key(QStringLiteral("Escape")));
    ASSERT_TRUE(waitForRing(at::Text1));
    EXPECT_LT(ringShare(windowShot(), at::Command8), 0.1);

    ASSERT_TRUE(Key(QStringLiteral("ctrl+q")));
    ASSERT_TRUE(waitForExit(5000)) << "Ctrl+Q left the program running";
    EXPECT_EQ(program_->exitCode(), 0);
}

class ScaledKeyboard : public KeyboardScenario, public ::testing::WithParamInterface<double> {};

TEST_P(ScaledKeyboard, RingAndFrameEdgesShowAtEveryScale)
{
    scale_ = GetParam();
    programEnvironment().insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(scale_));
    checkFramesAndRing();
}

INSTANTIATE_TEST_SUITE_P(Scales, ScaledKeyboard, ::testing::Values(1.0, 1.25, 1.5));

}  // namespace
}  // namespace verz::e2e
