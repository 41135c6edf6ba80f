// The rectangle the pointer draws, the picture cut from the screen for it,
// and what the reader makes of letters as small as a screen shows them.
#include "cli/command_line.h"
#include "screen/screen_area.h"

#include <QFont>
#include <QPainter>

#include <gtest/gtest.h>

namespace verz {
namespace {

TEST(ScreenArea, EitherCornerFirstCutToTheScreenAndAClickIsNoArea)
{
    const QRect screen(0, 0, 800, 600);
    const QRect down = AreaBetween(QPoint(10, 20), QPoint(110, 70), screen);
    EXPECT_EQ(down, QRect(QPoint(10, 20), QPoint(110, 70)));
    EXPECT_EQ(AreaBetween(QPoint(110, 70), QPoint(10, 20), screen), down);
    EXPECT_EQ(AreaBetween(QPoint(110, 20), QPoint(10, 70), screen), down);
    // Released past the edge: what the screen holds of it.
    EXPECT_EQ(AreaBetween(QPoint(700, 500), QPoint(900, 700), screen),
              QRect(QPoint(700, 500), QPoint(799, 599)));
    EXPECT_TRUE(AreaBetween(QPoint(50, 50), QPoint(52, 51), screen).isEmpty());
    EXPECT_TRUE(AreaBetween(QPoint(50, 50), QPoint(400, 53), screen).isEmpty());
}

TEST(ScreenArea, ThePictureIsCutInDevicePixelsAndEnlargedWithinTheLimits)
{
    // A screen of density 2: the pointer's 40 × 20 area is 80 × 40 pixels.
    QImage screen(400, 200, QImage::Format_RGB32);
    screen.fill(Qt::white);
    screen.setDevicePixelRatio(2);
    // The area's left half black (a painter counts in logical pixels too).
    QPainter(&screen).fillRect(QRect(50, 25, 20, 20), Qt::black);
    QImage cut;
    ASSERT_TRUE(cut.loadFromData(AreaPicture(screen, QRect(50, 25, 40, 20)), "PNG"));
    EXPECT_EQ(cut.size(), QSize(240, 120));
    EXPECT_EQ(qGray(cut.pixel(60, 60)), 0);
    EXPECT_EQ(qGray(cut.pixel(180, 60)), 255);
    EXPECT_TRUE(AreaPicture(screen, QRect(300, 150, 40, 20)).isEmpty());

    // Never past what the reader accepts: enlarged less, or not at all.
    PictureLimits limits;
    limits.maxSide = 500;
    QImage wide(300, 50, QImage::Format_RGB32);
    wide.fill(Qt::white);
    ASSERT_TRUE(cut.loadFromData(AreaPicture(wide, wide.rect(), limits), "PNG"));
    EXPECT_EQ(cut.size(), QSize(300, 50));
}

TEST(ScreenArea, ScreenSizedLettersAreRead)
{
    QImage screen(520, 40, QImage::Format_RGB32);
    screen.fill(Qt::white);
    {
        QPainter painter(&screen);
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(13);
        painter.setFont(font);
        painter.drawText(QPoint(8, 26), QStringLiteral("The old bridge is closed for the winter"));
    }
    CommandLine line;
    line.pairCode = QStringLiteral("en|fr");
    const PictureText read = ReadAreaText(AreaPicture(screen, screen.rect()), line);
    ASSERT_EQ(read.read.status, OcrResult::Status::Read);
    EXPECT_EQ(read.read.text.simplified(),
              QStringLiteral("The old bridge is closed for the winter"));
}

}  // namespace
}  // namespace verz
