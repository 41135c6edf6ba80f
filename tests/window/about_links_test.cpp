// The about panel, the hot spots, the links, the busy pointer and the drag.
#include "window_fixture.h"

#include "engine/scratch_file.h"
#include "platform/link_opener.h"

#include <QApplication>
#include <QFile>
#include <QTest>
#include <QToolButton>

namespace verz::test {
namespace {

class AboutLinksTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        previous_ = SetLinkOpener([this](const QString &target) { opened_ << target; });
        window_ = open();
    }
    void TearDown() override
    {
        SetLinkOpener(previous_);
        WindowTest::TearDown();
    }
    void click(const QString &name)
    {
        QWidget *target = find(*window_, name);
        ASSERT_NE(target, nullptr);
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(4, 4));
    }
    bool panelShown() const { return find(*window_, QStringLiteral("FraConfig"))->isVisible(); }

    LinkOpener previous_;
    QStringList opened_;
    std::unique_ptr<Verz> window_;
};

TEST_F(AboutLinksTest, AboutTogglesThePanelAndSetsTheOkPicture)
{
    auto *ok = find<QToolButton>(*window_, QStringLiteral("Command8"));
    EXPECT_TRUE(ok->icon().isNull());
    click(QStringLiteral("Label6"));
    EXPECT_TRUE(panelShown());
    EXPECT_FALSE(ok->icon().isNull());
    EXPECT_EQ(ok->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    click(QStringLiteral("Label6"));
    EXPECT_FALSE(panelShown());
    EXPECT_FALSE(ok->icon().isNull());
}

TEST_F(AboutLinksTest, OkAndMinimiseAlwaysLeaveThePanelHidden)
{
    VerzTestSeam::Command8_Click(*window_);
    EXPECT_FALSE(panelShown());
    click(QStringLiteral("Label6"));
    click(QStringLiteral("Command8"));
    EXPECT_FALSE(panelShown());
    VerzTestSeam::Label2_Click(*window_);
    EXPECT_FALSE(panelShown());
    EXPECT_TRUE(window_->isMinimized());
}

TEST_F(AboutLinksTest, PanelIsHiddenWhenTheWindowComesBack)
{
    VerzTestSeam::Label2_Click(*window_);
    ASSERT_TRUE(window_->isMinimized());
    VerzTestSeam::Label6_Click(*window_);  // shown while minimised, say from the keyboard
    ASSERT_TRUE(find(*window_, QStringLiteral("FraConfig"))->isVisibleTo(window_.get()));
    window_->setWindowState(Qt::WindowNoState);
    EXPECT_FALSE(find(*window_, QStringLiteral("FraConfig"))->isVisibleTo(window_.get()));
    // Showing the panel in a window that was never minimised is left alone.
    VerzTestSeam::Label6_Click(*window_);
    window_->setWindowState(Qt::WindowNoState);
    EXPECT_TRUE(panelShown());
}

TEST_F(AboutLinksTest, QuitUnloadsThenEndsWithStatusZero)
{
    QFile scratch(ScratchFilePath());
    ASSERT_TRUE(scratch.open(QIODevice::WriteOnly));
    scratch.close();
    std::vector<std::pair<int, bool>> ends;  // status, scratch file still there
    VerzTestSeam::setProgramEnder(*window_, [&ends](int status) {
        ends.push_back({status, QFile::exists(ScratchFilePath())});
    });
    click(QStringLiteral("Label1"));
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_EQ(ends[0].first, 0);
    EXPECT_FALSE(ends[0].second);
    EXPECT_FALSE(window_->isVisible());
}

TEST_F(AboutLinksTest, LinksOpenTheirTargetsAndChangeNothing)
{
    click(QStringLiteral("Label6"));
    const QString before = window_->text1();
    click(QStringLiteral("Label3"));
    click(QStringLiteral("Label4"));
    click(QStringLiteral("Image3"));
    click(QStringLiteral("Labc_0"));
    click(QStringLiteral("Labc_1"));
    const QStringList expected{
        QStringLiteral("mailto:auteur@verzolan.example.org?subject=Verzolan V3.1"),
        QStringLiteral("http://verzolan.example.org"),
        QStringLiteral("http://127.0.0.1:8787/"),
        QStringLiteral("http://127.0.0.1:8787/"),
        QStringLiteral("http://127.0.0.1:8787/"),
    };
    EXPECT_EQ(opened_, expected);
    EXPECT_TRUE(panelShown());
    EXPECT_EQ(window_->text1(), before);
}

TEST_F(AboutLinksTest, PressOnTheBareSurfaceOrAnOutlineMovesTheWindow)
{
    // Without a window system to do the move, the window follows the pointer.
    for (const QPoint grab : {QPoint(738, 200), QPoint(528, 200)}) {  // bare skin, Shape1(2)
        const QPoint start = window_->pos();
        QTest::mousePress(window_.get(), Qt::RightButton, Qt::ShiftModifier, grab);
        QMouseEvent move(QEvent::MouseMove, QPointF(grab + QPoint(7, 5)),
                         QPointF(window_->mapToGlobal(grab + QPoint(7, 5))), Qt::NoButton,
                         Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(window_.get(), &move);
        QTest::mouseRelease(window_.get(), Qt::RightButton, {}, grab + QPoint(7, 5));
        EXPECT_EQ(window_->pos(), start + QPoint(7, 5));
    }
}

TEST_F(AboutLinksTest, PressOnAControlDoesNotMoveTheWindow)
{
    const QPoint start = window_->pos();
    QWidget *hotSpot = find(*window_, QStringLiteral("Label7_2"));
    QTest::mousePress(hotSpot, Qt::LeftButton, {}, QPoint(3, 3));
    QMouseEvent move(QEvent::MouseMove, QPointF(20, 20),
                     QPointF(hotSpot->mapToGlobal(QPoint(20, 20))), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(window_.get(), &move);
    QTest::mouseRelease(hotSpot, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(window_->pos(), start);
}

}  // namespace
}  // namespace verz::test
