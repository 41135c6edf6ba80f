#include "apy/apy_client.h"
#include "apy/apy_dispatcher.h"
#include "service/recorded_apy.h"
#include "service/service_harness.h"

#include <QDeadlineTimer>

#include <gtest/gtest.h>

namespace verz {
namespace {

TEST(ApyAnswer, ReadsTranslationsAndErrors)
{
    const ApyClient::Result ok = ParseApyTranslation(200, test::kRecordedTranslation);
    EXPECT_TRUE(ok.ok);
    EXPECT_EQ(ok.text, QStringLiteral("Hola Mundo"));
    EXPECT_FALSE(ParseApyTranslation(400, test::kRecordedPairError).ok);
    EXPECT_FALSE(ParseApyTranslation(200, "<html>proxy error</html>").ok);
    EXPECT_FALSE(ParseApyTranslation(
                     200, R"({"responseData": {"translatedText": 3}, "responseStatus": 200})")
                     .ok);
}

TEST(ApyBlocks, TextsTravelApartAndComeBackAsTheyWere)
{
    const QStringList texts = {QStringLiteral("</p><p>a & b &amp; <i>"),
                               QStringLiteral("line\r\n\r\nnext\n"), QStringLiteral("  spaces  "),
                               QStringLiteral("€ 😀 «»")};
    const QString query = BlocksQuery(texts);
    EXPECT_EQ(query.count(u"<p>"), texts.size());
    EXPECT_EQ(SplitBlocks(query, texts.size()).value_or(QStringList()), texts);
    EXPECT_EQ(SplitBlocks(QStringLiteral("<p>x&#233;&#x20AC;&quot;</p>\n<p>y</p>"), 2)
                  .value_or(QStringList()),
              QStringList({QStringLiteral("xé€\""), QStringLiteral("y")}));
    EXPECT_FALSE(SplitBlocks(QStringLiteral("<p>a b</p>"), 2).has_value());
    EXPECT_FALSE(SplitBlocks(QStringLiteral("<p>a</p>junk<p>b</p>"), 2).has_value());
    EXPECT_FALSE(SplitBlocks(QStringLiteral("<p>a<b>x</b></p>"), 1).has_value());
}

TEST(ApyBlocks, LongTextsAreCutAtSentenceEndsWithinOneCall)
{
    QString text;
    for (int n = 0; text.size() < 5000; ++n)
        text += QStringLiteral("Sentence %1 says \"so & so.\" Then ").arg(n);
    text += QString(3000, u'x') + QStringLiteral(" tail\nend");
    const QStringList pieces = CutIntoBlocks(text);
    EXPECT_EQ(pieces.join(QString()), text);
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        EXPECT_LE(BlockCost(pieces.at(i)), kMaxBlockQuery) << i;
        EXPECT_FALSE(pieces.at(i).at(0).isSpace()) << i;
    }
    // Before the unbroken run, every cut follows a full stop (and a closing quote).
    EXPECT_TRUE(pieces.at(0).endsWith(QStringLiteral(".\" "))) << qUtf8Printable(pieces.at(0));
    EXPECT_TRUE(pieces.at(1).startsWith(QStringLiteral("Then")));
    // An unbroken run is cut where it must, though not inside a character.
    const QString emoji = QString(991, u'a') + QStringLiteral("😀😀😀");
    const QStringList runs = CutIntoBlocks(emoji, 1000);
    EXPECT_EQ(runs.join(QString()), emoji);
    EXPECT_EQ(runs.at(0), QString(991, u'a'));
}

TEST(ApyDispatcherQueue, LoneTextGoesAtOnceAndLaterOnesShareTheNextCall)
{
    test::FakeApy apy(test::kRecordedListPairs);
    ApyDispatcher::Options options;
    options.callsPerPair = 1;
    ApyDispatcher dispatcher(options);
    dispatcher.addServer(apy.url());
    QStringList answers(3);
    int done = 0;
    auto ask = [&](int i, const QString &text) {
        dispatcher.translate(QStringLiteral("eng|spa"), text, QDeadlineTimer(5000), nullptr,
                             [&, i](const ApyClient::Result &result) {
                                 answers[i] = result.ok ? result.text : result.error;
                                 ++done;
                             });
    };
    ask(0, QStringLiteral("alone"));
    EXPECT_EQ(dispatcher.callsInFlight(), 1);  // sent before any event loop ran: no waiting
    ask(1, QStringLiteral("b <i>"));
    ask(2, QStringLiteral("c\n"));
    EXPECT_EQ(dispatcher.callsInFlight(), 1);
    ASSERT_TRUE(test::WaitUntil([&] { return done == 3; }));
    EXPECT_EQ(answers,
              QStringList({QStringLiteral("[eng|spa]alone"), QStringLiteral("[eng|spa]b <i>"),
                           QStringLiteral("[eng|spa]c\n")}));
    EXPECT_EQ(apy.translateCalls, 2);
}

}  // namespace
}  // namespace verz
