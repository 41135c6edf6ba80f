#include "detect/detected_pair.h"
#include "detect/language_detector.h"
#include "detect/word_lists.h"
#include "detect_accuracy.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace verz {
namespace {

using test::DetectCorpus;
using test::MeasureDetection;
using test::Tally;

LanguageGuess Detect(const QString &text)
{
    return DetectLanguage(text);
}

// The floors sit a little under what was measured (bench/detect prints the
// table), so a change that loses short texts fails here.
TEST(Detection, AccuracyByLanguageAndLength)
{
    struct Floor {
        int length;
        double percent;
    };
    constexpr Floor kFloors[] = {{1, 55}, {2, 70}, {3, 80}, {5, 90}, {8, 95}, {12, 99}, {20, 99}};
    for (const auto &language : DetectCorpus()) {
        for (const Floor floor : kFloors) {
            const Tally tally = MeasureDetection(language.code, floor.length, Detect);
            EXPECT_GE(tally.percent(), floor.percent)
                << language.code << ", " << floor.length << " words";
        }
    }
}

// A sure answer chooses the selection's pair with no one asked: from three
// words on it must almost never be wrong.
TEST(Detection, SureAnswersAreRarelyWrong)
{
    int sureWrong = 0;
    int total = 0;
    for (const auto &language : DetectCorpus()) {
        for (const int length : {3, 5, 8, 12, 20}) {
            const Tally tally = MeasureDetection(language.code, length, Detect);
            sureWrong += tally.sureWrong;
            total += tally.total;
        }
    }
    EXPECT_LE(sureWrong * 100, total * 2) << sureWrong << " of " << total;
}

TEST(Detection, TextsWithoutWordsAndHostileSizes)
{
    EXPECT_TRUE(Detect(QString()).code.isEmpty());
    EXPECT_FALSE(Detect(QStringLiteral("  12 345,67 € !? ")).sure);
    // A lone surrogate, as broken input may bring, reaches the detector as
    // replacement bytes and must not upset it.
    EXPECT_FALSE(Detect(QString(QChar(0xD800)) + QStringLiteral("x")).sure);

    QString huge;
    const QString sentence = QString::fromUtf8(DetectCorpus()[2].sentences[0]) + u' ';
    while (huge.size() < 4 * 1024 * 1024)
        huge += sentence;
    QElapsedTimer timer;
    timer.start();
    const LanguageGuess guess = Detect(huge);
    EXPECT_EQ(guess.code, u"de");
    EXPECT_TRUE(guess.sure);
    // Only the prefix is read: far under a second even on a loaded machine.
    EXPECT_LT(timer.elapsed(), 5000);
}

TEST(Detection, MissingWordListsLeaveTheDetectorAlone)
{
    const WordLists none(QStringLiteral("/nonexistent"));
    const QString sentence = QString::fromUtf8(DetectCorpus()[0].sentences[1]);
    EXPECT_EQ(DetectLanguage(sentence, none).code, u"fr");
    EXPECT_FALSE(DetectLanguage(QStringLiteral("Haus"), none).sure);
}

TEST(DetectedPair, IntoFrenchOrEnglishOrTheTargetAsked)
{
    EXPECT_EQ(PairForDetectedLanguage(QStringLiteral("de")), u"de|fr");
    EXPECT_EQ(PairForDetectedLanguage(QStringLiteral("fr")), u"fr|en");
    EXPECT_EQ(PairForDetectedLanguage(QStringLiteral("en")), u"en|fr");
    EXPECT_EQ(PairForDetectedLanguage(QStringLiteral("es")), QString());  // no es|fr offered
    EXPECT_EQ(PairForDetectedLanguage(QStringLiteral("es"), QStringLiteral("en")), u"es|en");
    EXPECT_EQ(PairForDetectedLanguage(QStringLiteral("en"), QStringLiteral("en")), QString());

    EXPECT_EQ(PreferredPairFor(QStringLiteral("es")), u"es|en");
    EXPECT_EQ(PreferredPairFor(QStringLiteral("de")), u"de|fr");
    EXPECT_EQ(PreferredPairFor(QStringLiteral("nl")), QString());

    QString target = QStringLiteral("x");
    EXPECT_TRUE(IsAutoPairCode(QStringLiteral("auto"), &target));
    EXPECT_TRUE(target.isEmpty());
    EXPECT_TRUE(IsAutoPairCode(QStringLiteral("auto|en"), &target));
    EXPECT_EQ(target, u"en");
    EXPECT_FALSE(IsAutoPairCode(QStringLiteral("autox"), &target));

    const QString message = NoSuchDetectedPairMessage(QStringLiteral("es"), QStringLiteral("fr"));
    EXPECT_TRUE(message.contains(QStringLiteral("espagnol")));
    EXPECT_TRUE(message.contains(QStringLiteral("es|en\tEspagnol vers Anglais")));
    EXPECT_EQ(message.count(u'\n'), 12);
}

}  // namespace
}  // namespace verz
