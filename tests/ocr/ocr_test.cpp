// Reading text in pictures made at run time: the words come back within a
// measured error rate and keep their lines and paragraphs; every hostile or
// empty picture ends in its own status, within the bounds, leaving nothing.
#include "ocr/bounded_ocr.h"
#include "picture_maker.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <zlib.h>

#include <cerrno>
#include <sys/wait.h>

namespace verz {
namespace {

using test::MakePicture;
using test::PictureStyle;
using test::WordErrorRate;

const QString kFrench = QStringLiteral("Nous avons laissé la voiture devant la gare\n"
                                       "parce que le parking du centre était complet.\n"
                                       "\n"
                                       "Le train de huit heures est encore en retard.");

class OcrTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }
    QString path(const char *name) const { return folder.filePath(QLatin1String(name)); }
    QTemporaryDir folder;
};

// Measured on these pictures (bench/ocr prints the table): 0 % at 150 to
// 300 dpi, a few words at 100 dpi; the ceilings leave room for Tesseract's
// versions, not for a reading that loses lines.
TEST_F(OcrTest, WordsAndLayoutComeBackAtEachResolution)
{
    struct Case {
        PictureStyle style;
        double ceiling;
    };
    const Case cases[] = {
        {{100, 12, false, 0}, 15},
        {{150, 12, false, 0}, 5},
        {{300, 12, false, 0}, 5},
        {{200, 12, true, 1.5}, 10},  // a scan: noise and a slight tilt
    };
    for (const Case &c : cases) {
        const QString picture = path("page.png");
        ASSERT_TRUE(MakePicture(kFrench, picture, c.style));
        const OcrResult read = ReadTextInPictureFile(picture, QStringLiteral("fra"));
        ASSERT_EQ(read.status, OcrResult::Status::Read) << c.style.dpi << " dpi";
        EXPECT_LE(WordErrorRate(kFrench, read.text), c.ceiling)
            << c.style.dpi << " dpi: " << read.text.toStdString();
        // Three lines, the paragraph's empty line between the second and third.
        const QStringList lines = read.text.split(u'\n');
        ASSERT_EQ(lines.size(), 5) << read.text.toStdString();  // the last one empty
        EXPECT_TRUE(lines[2].isEmpty());
        EXPECT_FALSE(lines[3].isEmpty());
    }
}

// A PNG whose head claims width × height, one bit per pixel, every row a
// zero filter byte and zeros: a few kilobytes that would unpack to gigabytes.
QByteArray BombPng(quint32 width, quint32 height)
{
    const auto chunk = [](const char *type, const QByteArray &data) {
        QByteArray bytes;
        const quint32 length = static_cast<quint32>(data.size());
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes.append(static_cast<char>((length >> shift) & 0xFF));
        QByteArray body = QByteArray(type, 4) + data;
        bytes += body;
        const uLong crc = crc32(0, reinterpret_cast<const Bytef *>(body.constData()),
                                static_cast<uInt>(body.size()));
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes.append(static_cast<char>((crc >> shift) & 0xFF));
        return bytes;
    };
    QByteArray header;
    for (const quint32 value : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8)
            header.append(static_cast<char>((value >> shift) & 0xFF));
    header += QByteArray("\x01\x00\x00\x00\x00", 5);  // 1 bit, grey, deflate, no filter, plain
    const QByteArray rows(static_cast<qsizetype>((width + 7) / 8 + 1) * 64, '\0');
    QByteArray packed = qCompress(rows, 9).mid(4);  // a zlib stream, without Qt's length
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", packed) +
           chunk("IEND", {});
}

TEST_F(OcrTest, HostileAndEmptyPicturesEachEndInTheirStatus)
{
    const auto readBytes = [](const QByteArray &bytes, const OcrLimits &limits = {}) {
        return ReadTextInPicture(bytes, QStringLiteral("fra"), limits).status;
    };
    using Status = OcrResult::Status;
    EXPECT_EQ(readBytes("Bonjour, ceci est un texte et non une image.\n"), Status::NotAPicture);
    EXPECT_EQ(readBytes({}), Status::NotAPicture);
    EXPECT_EQ(readBytes(QByteArray("GIF89a\x01\x00\x01\x00\x00\x00\x00;", 14)),
              Status::UnsupportedFormat);
    // 20000 × 20000, and a bomb that claims 100000 × 100000: refused from the head.
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(readBytes(BombPng(20000, 20000)), Status::TooLarge);
    EXPECT_EQ(readBytes(BombPng(100000, 100000)), Status::TooLarge);
    EXPECT_LT(timer.elapsed(), 10000);

    const QString blank = path("blank.png");
    QProcess white;
    white.start(QStringLiteral("convert"),
                {QStringLiteral("-size"), QStringLiteral("1200x900"), QStringLiteral("xc:white"),
                 QStringLiteral("-attenuate"), QStringLiteral("0.3"), QStringLiteral("+noise"),
                 QStringLiteral("Gaussian"), blank});
    ASSERT_TRUE(white.waitForFinished(120000) && white.exitCode() == 0);
    EXPECT_EQ(ReadTextInPictureFile(blank, QStringLiteral("fra")).status, Status::NoText);
    EXPECT_EQ(ReadTextInPictureFile(path("absent.png"), QStringLiteral("fra")).status,
              Status::FileUnreadable);
    EXPECT_EQ(ReadTextInPictureFile(folder.path(), QStringLiteral("fra")).status,
              Status::FileUnreadable);

    const QString page = path("page.png");
    ASSERT_TRUE(MakePicture(kFrench, page, PictureStyle{}));
    QFile file(page);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // Cut after its head: the pixels are missing.
    EXPECT_EQ(readBytes(bytes.left(bytes.size() / 3)), Status::Undecodable);
    // The child's bounds hold: too little memory for the page, or no time.
#ifndef VERZ_SANITIZED  // no address-space limit there (see bounded_ocr.cpp)
    OcrLimits starved;
    starved.memoryBytes = 48LL << 20;
    EXPECT_EQ(readBytes(bytes, starved), Status::OutOfMemory);
#endif
    OcrLimits hurried;
    hurried.timeoutMs = 1;
    const Status late = readBytes(bytes, hurried);
    EXPECT_TRUE(late == Status::OutOfTime || late == Status::NoText) << static_cast<int>(late);
    EXPECT_EQ(ReadTextInPicture(bytes, QStringLiteral("xyz")).status, Status::NoLanguageData);

    // Nothing left behind: no file beside the pictures the test made.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    // And no child left: every one was reaped.
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);

    const QString message =
        OcrProblemMessage(Status::TooLarge, QStringLiteral("plan.png"), QStringLiteral("fra"));
    EXPECT_TRUE(message.contains(QStringLiteral("« plan.png »"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("trop grande")));
}

}  // namespace
}  // namespace verz
