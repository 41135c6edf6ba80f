// Prints the word error rate of reading pictures made with ImageMagick, by
// resolution and language, with the time of each reading and the reading
// child's peak memory: the figures behind the ceilings of tests/ocr.

#include "detect_corpus.h"
#include "ocr/bounded_ocr.h"
#include "picture_maker.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

// A scan's tilt in degrees: at 1.5 a line of a hundred characters drifts by
// more than its height at 300 dpi and the reading order breaks up (23 to 80 %
// measured), so the table shows a slighter one.
constexpr double kScanTilt = 0.5;

int main()
{
    using namespace verz;
    using namespace verz::test;
    QTemporaryDir folder;
    const QString picture = folder.filePath(QStringLiteral("page.png"));
    const char *tesseract[] = {"fra", "eng", "deu", "spa", "por", "ita"};
    qint64 peakKib = 0;
    std::printf("%-10s %6s %8s %8s\n", "picture", "lang", "WER %", "ms");
    for (const int dpi : {100, 150, 200, 300}) {
        for (const bool scanned : {false, true}) {
            double sum = 0;
            for (int at = 0; at < 6; ++at) {
                const auto &language = DetectCorpus()[static_cast<size_t>(at)];
                const QString text = QString::fromUtf8(language.sentences[0]) + u'\n' +
                                     QString::fromUtf8(language.sentences[1]) + u'\n' +
                                     QString::fromUtf8(language.sentences[2]);
                PictureStyle style{dpi, 12, scanned, scanned ? kScanTilt : 0.0};
                if (!MakePicture(text, picture, style))
                    return 1;
                QElapsedTimer timer;
                timer.start();
                const OcrResult read = ReadTextInPictureFile(picture, QLatin1String(tesseract[at]));
                const double wer = WordErrorRate(text, read.text);
                peakKib = std::max(peakKib, read.peakMemoryKib);
                sum += wer;
                std::printf("%4d%-6s %6s %8.1f %8lld\n", dpi, scanned ? " scan" : "", tesseract[at],
                            wer, static_cast<long long>(timer.elapsed()));
            }
            std::printf("%4d%-6s %6s %8.1f\n", dpi, scanned ? " scan" : "", "mean", sum / 6);
        }
    }
    std::printf("peak resident memory of a reading child: %lld MiB\n",
                static_cast<long long>(peakKib / 1024));
    return 0;
}
