#include "engine/remplace.h"
#include "support/remplace_reference.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace verz {
namespace {

QString R(const char16_t *s)
{
    return QString::fromUtf16(s);
}

TEST(Remplace, LeftToRightWithoutOverlap)
{
    EXPECT_EQ(Remplace(R(u"aaa"), R(u"aa"), R(u"b")), R(u"ba"));
    EXPECT_EQ(Remplace(R(u"a"), R(u"a"), R(u"aa")), R(u"aa"));
    EXPECT_EQ(Remplace(R(u"abab"), R(u"ab"), R(u"ab")), R(u"abab"));
}

TEST(Remplace, RemovalResumesWhereTheOccurrenceWas)
{
    EXPECT_EQ(Remplace(R(u"aabb"), R(u"ab"), QString()), R(u"ab"));
    EXPECT_EQ(Remplace(R(u"abab"), R(u"ab"), QString()), QString());
    EXPECT_EQ(Remplace(R(u"xaaay"), R(u"a"), QString()), R(u"xy"));
}

TEST(Remplace, StartCutsTheResult)
{
    EXPECT_EQ(Remplace(R(u"abcabc"), R(u"a"), R(u"x"), 3), R(u"cxbc"));
    EXPECT_EQ(Remplace(R(u"abc"), R(u"a"), R(u"x"), 0), R(u"xbc"));
    EXPECT_EQ(Remplace(R(u"abc"), R(u"a"), R(u"x"), -7), R(u"xbc"));
    EXPECT_EQ(Remplace(R(u"abc"), R(u"a"), R(u"x"), 4), QString());
    EXPECT_EQ(Remplace(R(u"abc"), R(u"a"), R(u"x"), 99), QString());
    EXPECT_EQ(Remplace(R(u"abc"), R(u"q"), R(u"x"), 2), R(u"bc"));
}

TEST(Remplace, CountLimitsOnlyWhenPositive)
{
    EXPECT_EQ(Remplace(R(u"aaaa"), R(u"a"), R(u"b"), 1, 2), R(u"bbaa"));
    EXPECT_EQ(Remplace(R(u"aaaa"), R(u"a"), R(u"b"), 1, 0), R(u"bbbb"));
    EXPECT_EQ(Remplace(R(u"aaaa"), R(u"a"), R(u"b"), 1, -1), R(u"bbbb"));
    EXPECT_EQ(Remplace(R(u"aaaa"), R(u"a"), R(u"b"), 1, -5), R(u"bbbb"));
    EXPECT_EQ(Remplace(R(u"aaaa"), R(u"a"), R(u"bb"), 2, 1), R(u"bbaa"));
}

TEST(Remplace, NothingToReplace)
{
    EXPECT_EQ(Remplace(R(u"ab"), R(u"abc"), R(u"x")), R(u"ab"));
    EXPECT_EQ(Remplace(R(u"ab"), R(u"z"), R(u"x")), R(u"ab"));
    EXPECT_EQ(Remplace(QString(), R(u"z"), R(u"x")), QString());
}

TEST(Remplace, CompareModes)
{
    EXPECT_EQ(Remplace(R(u"Été é"), R(u"é"), R(u"e")), R(u"Éte e"));
    EXPECT_EQ(Remplace(R(u"Été é"), R(u"é"), R(u"e"), 1, -1, 1), R(u"ete e"));
    EXPECT_EQ(Remplace(R(u"Hello HELLO"), R(u"hello"), R(u"x"), 1, -1, 1), R(u"x x"));
    EXPECT_EQ(Remplace(R(u"Hello HELLO"), R(u"hello"), R(u"x"), 1, -1, 0), R(u"Hello HELLO"));
}

TEST(Remplace, EmptyFindIsError5EvenOnEmptySource)
{
    for (const QString &source : {QString(), R(u"abc")}) {
        try {
            Remplace(source, QString(), R(u"x"));
            ADD_FAILURE() << "no error";
        } catch (const VerzError &error) {
            EXPECT_EQ(error.number(), VerzError::kInvalidArgument);
        }
    }
}

TEST(Remplace, PositionsBeyond32BitsAreError6)
{
    // The same arithmetic with a tiny ceiling in place of 2^31 - 1.
    const auto bounded = [](const QString &source, const QString &replaceStr, qint64 limit) {
        return detail::RemplaceBounded(source, R(u"a"), replaceStr, 1, -1, 0, limit);
    };
    EXPECT_EQ(bounded(R(u"xxa"), R(u"bb"), 5), R(u"xxbb"));
    try {
        bounded(R(u"xxa"), R(u"bbbb"), 5);
        ADD_FAILURE() << "no error";
    } catch (const VerzError &error) {
        EXPECT_EQ(error.number(), VerzError::kOverflow);
    }
    try {
        bounded(R(u"aaaa"), R(u"bb"), 6);
        ADD_FAILURE() << "no error";
    } catch (const VerzError &error) {
        EXPECT_EQ(error.number(), VerzError::kOverflow);
    }
}

// Small alphabets and short strings so that matches, adjacent matches and
// matches across a removal's join all occur often.
TEST(Remplace, AgreesWithTheStepByStepRoutineOnRandomInput)
{
    QRandomGenerator random(20260);
    const QString alphabet = R(u"abAB é");
    const auto text = [&](int maxLength) {
        QString s;
        const int length = int(random.bounded(maxLength + 1));
        for (int i = 0; i < length; ++i)
            s.append(alphabet[int(random.bounded(alphabet.size()))]);
        return s;
    };
    for (int round = 0; round < 20000; ++round) {
        const QString source = text(16);
        QString find = text(3);
        if (find.isEmpty())
            find = R(u"a");
        const QString replaceStr = text(4);
        const qint32 start = qint32(random.bounded(-1, 20));
        const qint32 count = qint32(random.bounded(-1, 5));
        const qint32 compare = qint32(random.bounded(2));
        ASSERT_EQ(Remplace(source, find, replaceStr, start, count, compare),
                  reference::Remplace(source, find, replaceStr, start, count, compare).value())
            << "source «" << source.toStdString() << "» find «" << find.toStdString()
            << "» replace «" << replaceStr.toStdString() << "» start " << start << " count "
            << count << " compare " << compare;
    }
}

}  // namespace
}  // namespace verz
