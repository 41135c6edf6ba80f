#pragma once

// Pictures of text made at run time with ImageMagick and the Liberation
// fonts, as a scanner or a screenshot would give them, and the word error
// rate of what was read against what was written.

#include <QProcess>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace verz::test {

struct PictureStyle {
    int dpi = 300;
    double pointSize = 12;
    bool noise = false;
    double tiltDegrees = 0;
    QString font = QStringLiteral("Liberation-Serif");
};

// Writes text (lines as given, paragraphs parted by an empty line) to path,
// a PNG or JPEG by its suffix, recording the resolution. False if convert failed.
inline bool MakePicture(const QString &text, const QString &path, const PictureStyle &style)
{
    QStringList arguments{QStringLiteral("-units"),        QStringLiteral("PixelsPerInch"),
                          QStringLiteral("-density"),      QString::number(style.dpi),
                          QStringLiteral("-font"),         style.font,
                          QStringLiteral("-pointsize"),    QString::number(style.pointSize),
                          QStringLiteral("-background"),   QStringLiteral("white"),
                          QStringLiteral("label:") + text, QStringLiteral("-bordercolor"),
                          QStringLiteral("white"),         QStringLiteral("-border"),
                          QString::number(style.dpi / 4)};
    if (style.tiltDegrees != 0)
        arguments << QStringLiteral("-rotate") << QString::number(style.tiltDegrees);
    if (style.noise)
        arguments << QStringLiteral("-attenuate") << QStringLiteral("0.6")
                  << QStringLiteral("+noise") << QStringLiteral("Gaussian")
                  << QStringLiteral("-colorspace") << QStringLiteral("Gray");
    arguments << path;
    QProcess convert;
    convert.start(QStringLiteral("convert"), arguments);
    return convert.waitForFinished(120000) && convert.exitStatus() == QProcess::NormalExit &&
           convert.exitCode() == 0;
}

inline QStringList WordsForScoring(const QString &text)
{
    return text.simplified().split(u' ', Qt::SkipEmptyParts);
}

// Word-level edit distance over the reference's word count, in percent.
inline double WordErrorRate(const QString &reference, const QString &read)
{
    const QStringList ref = WordsForScoring(reference);
    const QStringList hyp = WordsForScoring(read);
    std::vector<int> previous(static_cast<size_t>(hyp.size()) + 1);
    std::vector<int> current(previous.size());
    for (size_t j = 0; j < previous.size(); ++j)
        previous[j] = static_cast<int>(j);
    for (qsizetype i = 1; i <= ref.size(); ++i) {
        current[0] = static_cast<int>(i);
        for (qsizetype j = 1; j <= hyp.size(); ++j) {
            const int substitution =
                previous[static_cast<size_t>(j - 1)] + (ref[i - 1] == hyp[j - 1] ? 0 : 1);
            current[static_cast<size_t>(j)] =
                std::min({substitution, previous[static_cast<size_t>(j)] + 1,
                          current[static_cast<size_t>(j - 1)] + 1});
        }
        std::swap(previous, current);
    }
    return ref.isEmpty() ? 0 : 100.0 * previous.back() / static_cast<double>(ref.size());
}

}  // namespace verz::test
