#include "dict/dictd_writer.h"
#include "engine/page_reader.h"
#include "pages/result_page.h"
#include "service/recorded_apy.h"
#include "service/route_table.h"
#include "service/service_harness.h"
#include "service/service_over_fake_apy.h"
#include "service/text_endpoints.h"
#include "service/translator.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace verz {
namespace {

using test::RawClient;

TEST_F(ServiceOverFakeApy, EveryRoutedPairComesBackThroughTheProgramsReader)
{
    const QString text = QStringLiteral("Élève, «ça» & <b>\"été\"</b> l'été");
    const struct {
        const char *langpair;
        const char *legs;
    } pairs[] = {
        {"fr|es", "[fra|spa]"},
        {"es|fr", "[spa|fra]"},
        {"en|es", "[eng|spa]"},
        {"es|en", "[spa|eng]"},
        {"en%7Cfr", "[spa|fra][eng|spa]"},
        {"fr|en", "[spa|eng][fra|spa]"},
        {"en|pt", "[spa|por][eng|spa]"},
        {"pt|en", "[spa|eng][por|spa]"},
        {"en|it", "[spa|ita][eng|spa]"},
        {"it|en", "[spa|eng][ita|spa]"},
    };
    for (const auto &pair : pairs)
        EXPECT_EQ(translated(text, pair.langpair), QString::fromLatin1(pair.legs) + text)
            << pair.langpair;
    EXPECT_EQ(apy_.markUnknownSeen, QStringLiteral("no"));
    // A line break reaches APy; the reader joins it into a space.
    EXPECT_EQ(translated(QStringLiteral("una\r\nlínea"), "es|en"),
              QStringLiteral("[spa|eng]una línea"));
}

TEST_F(ServiceOverFakeApy, GermanPairsAnswerFromTheDictionariesWithoutApy)
{
    QTemporaryDir folder;
    test::WriteDictionary(folder.path(), QStringLiteral("freedict-deu-fra"),
                          {{"gut", "gut /ɡuːt/ <adj>\n1. bon, bonne\nGlosse\n2. bien\nGlosse\n"},
                           {"heute", "heute <adv>\naujourd'hui\n"},
                           {"sein", "sein <v>\nêtre 2.\nKopula\n"},
                           {"wetter", "Wetter <n>\ntemps\n"}});
    // Present but broken: no answer can be trusted from it.
    test::WriteDictionary(folder.path(), QStringLiteral("freedict-deu-eng"),
                          {{"b", "x"}, {"a", "y"}});
    QFile index(folder.path() + QStringLiteral("/freedict-deu-eng.index"));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write("b\tA\tB\na\tB\tB\n");
    index.close();
    dictionaryFolder_ = folder.path();
    startService(300);
    service_->translator().apy().clear();

    EXPECT_EQ(translated(QStringLiteral("gut"), "de|fr"), QStringLiteral("bon, bien, bonne"));
    EXPECT_EQ(translated(QStringLiteral("gut Haus"), "de|fr"),
              QStringLiteral("gut : bon, bien, bonne ; Haus : absent du dictionnaire"));
    // Past three words, word by word: "ist" is looked up as "sein", "gute"
    // as "gut"; unknown words and markup stay as typed, escaped on the page.
    const RawClient::Response page =
        get(test::TranslateTarget(QStringLiteral("Heute ist das gute Wetter <b>"), "de|fr"));
    EXPECT_EQ(ExtractTranslation(page.body),
              QStringLiteral("Traduction mot à mot (dictionnaire) : aujourd'hui être das bon "
                             "temps <b>"));
    EXPECT_TRUE(page.body.contains("temps &lt;b&gt;</div>"));
    EXPECT_EQ(translated(QStringLiteral("Hallo"), "de|en"),
              QStringLiteral("Allemand vers Anglais : paire non disponible hors ligne"));
    EXPECT_EQ(translated(QStringLiteral("house"), "en|de"),
              QStringLiteral("Anglais vers Allemand : paire non disponible hors ligne"));
    EXPECT_EQ(apy_.translateCalls, 0);
}

TEST_F(ServiceOverFakeApy, HomePageFillsTheFormEscapedAndAllowsOnlyItsOwnScriptAndStyle)
{
    const RawClient::Response page = get("/?text=%3C%2Ftextarea%3E%3Cb%3E%22x%22&langpair=en%7Ces");
    ASSERT_EQ(page.status, 200);
    const QString head = QString::fromLatin1(page.head).toLower();
    EXPECT_TRUE(head.contains(u"content-type: text/html; charset=utf-8"));
    EXPECT_TRUE(head.contains(u"x-content-type-options: nosniff"));
    EXPECT_TRUE(head.contains(u"referrer-policy: no-referrer"));
    const QString body = QString::fromUtf8(page.body);
    EXPECT_EQ(body.count(u"&lt;/textarea&gt;&lt;b&gt;&quot;x&quot;"), 2);  // the box and the result
    EXPECT_TRUE(body.contains(u"[eng|spa]&lt;/textarea&gt;"));
    EXPECT_FALSE(body.contains(u"<b>"));
    EXPECT_TRUE(body.contains(u"value=\"en|es\" checked>"));

    // The policy names exactly the page's one script and one style.
    const QRegularExpressionMatch policy =
        QRegularExpression(
            QStringLiteral("content-security-policy: default-src 'none'; "
                           "script-src '(sha256-[^']+)'; style-src '(sha256-[^']+)';"),
            QRegularExpression::CaseInsensitiveOption)
            .match(QString::fromLatin1(page.head));
    ASSERT_TRUE(policy.hasMatch()) << page.head.constData();
    auto hashOf = [&](const char *tag) {
        const QByteArray open = QByteArray("<") + tag + ">";
        const qsizetype start = page.body.indexOf(open) + open.size();
        const QByteArray inner = page.body.mid(start, page.body.indexOf("</", start) - start);
        EXPECT_EQ(page.body.count(open), 1) << tag;
        return "sha256-" + QCryptographicHash::hash(inner, QCryptographicHash::Sha256).toBase64();
    };
    EXPECT_EQ(policy.captured(1).toLatin1(), hashOf("script"));
    EXPECT_EQ(policy.captured(2).toLatin1(), hashOf("style"));

    service_->translator().apy().clear();
    const RawClient::Response down = get("/?text=encore&langpair=es%7Cen");
    EXPECT_EQ(down.status, 503);
    EXPECT_TRUE(QString::fromUtf8(down.body).contains(u"Service de traduction indisponible"));
    EXPECT_TRUE(down.body.contains(">encore</textarea>"));
    RawClient client(service_->port());
    EXPECT_EQ(
        client.exchange("POST / HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 0\r\n\r\n").status,
        400);
}

// GET /detect answers as translation servers' detection does; the home page's
// « Détecter la langue » translates with the detected pair, which it checks.
TEST_F(ServiceOverFakeApy, DetectionAnswersJsonAndChoosesTheHomePagePair)
{
    const RawClient::Response german =
        get("/detect?q=Der+Zug+hat+schon+wieder+Versp%C3%A4tung%2C+also+nehme+ich+den+Bus");
    ASSERT_EQ(german.status, 200);
    EXPECT_TRUE(QString::fromLatin1(german.head).toLower().contains(u"application/json"));
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral(R"(^\[\{"language":"de","confidence":\d+\.\d\}\]\n$)"))
            .match(QString::fromUtf8(german.body))
            .hasMatch())
        << german.body.constData();
    EXPECT_EQ(get("/detect?q=%2042%20").body, "[]\n");
    EXPECT_EQ(get("/detect").status, 400);
    EXPECT_EQ(get("/detect?q=%FF").status, 400);

    const RawClient::Response page =
        get("/?text=Il+treno+delle+otto+%C3%A8+di+nuovo+in+ritardo&langpair=auto");
    ASSERT_EQ(page.status, 200);
    EXPECT_TRUE(page.body.contains("value=\"it|en\" checked>"));
    EXPECT_TRUE(page.body.contains("value=\"auto\"> D\xC3\xA9tecter la langue"));
    EXPECT_TRUE(QString::fromUtf8(get("/?text=%3F%3F&langpair=auto").body)
                    .contains(u"Langue non reconnue"));
}

// A GET with a body and a method no route serves: the http cases, stricter.
TEST_F(ServiceOverFakeApy, BadRequestsGetFourHundredsAndTheServiceGoesOn)
{
    const QByteArray cases[] = {
        RawClient::Get("/translate_t?langpair=en|fr"),
        RawClient::Get("/translate_t?text=a"),
        RawClient::Get("/translate_t?text=a&langpair=en-fr"),
        RawClient::Get("/translate_t?text=a%zz&langpair=en|fr"),
        RawClient::Get("/translate_t?text=%FF&langpair=en|fr"),
        RawClient::Get("/translate_t?text=" + QByteArray(70 * 1024, 'a') + "&langpair=en|fr"),
        "POST /translate_t?text=a&langpair=en|fr HTTP/1.1\r\nHost: x\r\nContent-Length: "
        "3\r\n\r\nabc",
        RawClient::Get("/elsewhere"),
        QByteArray("\x00\x01\xff garbage\r\n\r\n", 15),
        "GET /caf\xc3\xa9 HTTP/1.1\r\n\r\n",
    };
    for (const QByteArray &request : cases) {
        RawClient client(service_->port());
        const int status = client.exchange(request).status;
        EXPECT_GE(status, 400) << request.left(80).toPercentEncoding(" /?&=|").constData();
        EXPECT_LT(status, 500) << request.left(80).constData();
    }
    EXPECT_EQ(translated(QStringLiteral("sigue"), "es|en"), QStringLiteral("[spa|eng]sigue"));
}

TEST_F(ServiceOverFakeApy, ApyTroubleIsA503AndPassesWhenApyIsBack)
{
    apy_.mode = test::FakeApy::Mode::ServerError;
    EXPECT_EQ(get(test::TranslateTarget(QStringLiteral("a"), "en|es")).status, 503);

    test::StandInServer hanging;
    hanging.setHang();
    pointAt(hanging.root());
    EXPECT_EQ(get(test::TranslateTarget(QStringLiteral("a"), "fr|en")).status, 503);

    pointAt(QUrl(QStringLiteral("http://127.0.0.1:1")));
    EXPECT_EQ(get(test::TranslateTarget(QStringLiteral("a"), "en|es")).status, 503);
    service_->translator().apy().clear();
    EXPECT_EQ(get(test::TranslateTarget(QStringLiteral("a"), "en|es")).status, 503);

    apy_.mode = test::FakeApy::Mode::Translate;
    pointAt(apy_.url());
    EXPECT_EQ(translated(QStringLiteral("otra vez"), "es|en"), QStringLiteral("[spa|eng]otra vez"));
}

// APy answers 503 while it restarts a langpair's stuck pipeline: the text is
// asked again, soon, as often as the deadline allows, and translated.
TEST_F(ServiceOverFakeApy, PipelineApyRestartsIsAskedAgainWithinTheDeadline)
{
    startService(3000);
    apy_.restartingCalls = 4;
    EXPECT_EQ(translated(QStringLiteral("sigue"), "es|en"), QStringLiteral("[spa|eng]sigue"));
    EXPECT_EQ(apy_.translateCalls, 5);
}

TEST_F(ServiceOverFakeApy, ClientThatLeavesBeforeTheAnswerHarmsNothing)
{
    test::StandInServer hanging;
    hanging.setHang();
    pointAt(hanging.root());
    {
        RawClient leaving(service_->port());
        leaving.send(RawClient::Get(test::TranslateTarget(QStringLiteral("a"), "en|es")),
                     [](const RawClient::Response &) {});
        test::WaitUntil([&] { return leaving.socket().bytesToWrite() == 0; });
    }
    // The pending answer falls due after the client left.
    ASSERT_TRUE(test::WaitUntil([&] { return service_->answersOwed() == 0; }));
    pointAt(apy_.url());
    EXPECT_EQ(translated(QStringLiteral("bien"), "es|en"), QStringLiteral("[spa|eng]bien"));
}

// Texts that could leak into one another in a batch, or break its markup.
QString VariedText(int n)
{
    switch (n % 5) {
    case 0:
        return QStringLiteral("frase número %1, «sí»").arg(n);
    case 1:
        return QStringLiteral("</p><p>%1 & <b>x</b> &amp; 5 > 3").arg(n);
    case 2:
        return QStringLiteral("línea %1\r\n\r\n\notra\n").arg(n);
    case 3:
        return QStringLiteral("  %1 ").arg(n) + QString(300, u'é');
    default:
        return QStringLiteral("Sentence %1. ").arg(n).repeated(60);  // longer than one call
    }
}

struct LoadOutcome {
    int wrong = 0;
    int unavailable = 0;
};

// The load tests' APy deadline, far past an answer's time even under the
// sanitizers or on a machine loaded at several times its cores: a call past
// it answers 503 and rests the stand-in, and the 503s then cascade. The tests
// count shared calls and mixed texts, not the machine's speed.
constexpr int kLoadDeadlineMs = 5000;

// Sixteen clients, each sending the next text as soon as its answer is in;
// every answer must be its own text's, on a direct or a two-leg route.
LoadOutcome SixteenClients(quint16 port, int requests,
                           const std::function<void(int)> &onAnswer = {})
{
    LoadOutcome outcome;
    int sent = 0, answered = 0;
    std::vector<std::unique_ptr<RawClient>> clients;
    std::function<void(RawClient *)> next = [&](RawClient *client) {
        if (sent == requests)
            return;
        const int n = sent++;
        const QString text = VariedText(n);
        const bool direct = n % 2 == 0;
        client->send(
            RawClient::Get(test::TranslateTarget(text, direct ? "es|en" : "en|fr")),
            [&, client, text, direct](const RawClient::Response &response) {
                ++answered;
                const QString marks =
                    direct ? QStringLiteral("[spa|eng]") : QStringLiteral("[spa|fra][eng|spa]");
                const QString expected = ExtractTranslation(ResultPage((marks + text).trimmed()));
                if (response.status == 503)
                    ++outcome.unavailable;
                else if (response.status != 200 || ExtractTranslation(response.body) != expected)
                    ++outcome.wrong;
                if (onAnswer)
                    onAnswer(answered);
                next(client);
            });
    };
    for (int i = 0; i < 16; ++i) {
        clients.push_back(std::make_unique<RawClient>(port));
        next(clients.back().get());
    }
    EXPECT_TRUE(test::WaitUntil([&] { return answered == requests; }, 60000));
    return outcome;
}

TEST_F(ServiceOverFakeApy, SixteenClientsShareCallsWithoutMixingTextsWhileTwentyIdle)
{
    startService(kLoadDeadlineMs);
    std::vector<std::unique_ptr<RawClient>> idle;
    for (int i = 0; i < 20; ++i)
        idle.push_back(std::make_unique<RawClient>(service_->port()));
    const LoadOutcome outcome = SixteenClients(service_->port(), 500);
    EXPECT_EQ(outcome.wrong, 0);
    EXPECT_EQ(outcome.unavailable, 0);
    // One call per leg would be 750 (more with the long texts' pieces).
    EXPECT_LT(apy_.translateCalls, 500);
}

TEST_F(ServiceOverFakeApy, BatchesThatDoNotSplitGoAgainOneTextPerCall)
{
    startService(kLoadDeadlineMs);
    apy_.mode = test::FakeApy::Mode::MergeBlocks;
    const LoadOutcome outcome = SixteenClients(service_->port(), 200);
    EXPECT_EQ(outcome.wrong, 0);
    EXPECT_EQ(outcome.unavailable, 0);
}

TEST_F(ServiceOverFakeApy, LongTextComesBackWholeInPiecesCutAtSentenceEnds)
{
    QString text;
    for (int n = 0; text.size() < 3 * test::FakeApy::kWholeLimit; ++n)
        text += QStringLiteral("Phrase %1 du texte, avec & et <b>. ").arg(n);
    text = text.trimmed();
    const QString answer = translated(text, "es|en");
    // Each piece got its own mark, at the start of a sentence.
    const qsizetype pieces = answer.count(QStringLiteral("[spa|eng]"));
    EXPECT_GE(pieces, text.size() / kMaxBlockQuery);
    EXPECT_EQ(QString(answer).remove(QStringLiteral("[spa|eng]")), text);
    EXPECT_EQ(answer.count(QStringLiteral("[spa|eng]Phrase ")), pieces);
}

TEST_F(ServiceOverFakeApy, TextsOfClientsThatLeftAreNeverSentToApy)
{
    test::StandInServer hanging;
    hanging.setHang();
    pointAt(hanging.root());
    {
        std::vector<std::unique_ptr<RawClient>> leaving;
        for (int i = 0; i < 12; ++i) {
            leaving.push_back(std::make_unique<RawClient>(service_->port()));
            leaving.back()->send(
                RawClient::Get(test::TranslateTarget(QStringLiteral("t %1").arg(i), "en|es")),
                [](const RawClient::Response &) {});
        }
        test::WaitUntil([&] { return hanging.requests().size() >= 2; });
    }
    // The first calls time out, the queue moves on and drops the rest.
    ASSERT_TRUE(test::WaitUntil([&] { return service_->answersOwed() == 0; }));
    EXPECT_EQ(hanging.requests().size(), 2);  // the two calls APy's pipelines take at once
}

TEST_F(ServiceOverFakeApy, OneApyOfTwoKilledUnderLoadLosesNoAnswer)
{
    startService(5000);  // a busy machine must not turn slow answers into 503s
    auto second = std::make_unique<test::FakeApy>(test::kRecordedListPairs);
    service_->translator().apy().add({second->url()});
    int callsBefore = 0;
    const LoadOutcome outcome = SixteenClients(service_->port(), 300, [&](int answered) {
        if (answered == 60 && second) {
            EXPECT_GT(second->translateCalls, 0);  // both were in use
            callsBefore = apy_.translateCalls;
            second.reset();
        }
    });
    EXPECT_EQ(outcome.wrong, 0);
    EXPECT_EQ(outcome.unavailable, 0);  // retried on the one left, well within the deadline
    EXPECT_GT(apy_.translateCalls, callsBefore);
}

TEST_F(ServiceOverFakeApy, WarmUpStartsEveryLegOnceSoTheNextTranslationIsNotACold)
{
    // The count works: a first translation on a fresh APy is a cold one.
    EXPECT_EQ(translated(QStringLiteral("hola"), "es|en"), QStringLiteral("[spa|eng]hola"));
    EXPECT_EQ(service_->translator().coldStarts(), 1U);

    const Route route = service_->translator().routeFor(QStringLiteral("en"), QStringLiteral("fr"));
    ASSERT_EQ(route.legs.size(), 2);
    const RawClient::Response warm = get("/warm?langpair=en%7Cfr");
    EXPECT_EQ(warm.status, 204);
    EXPECT_TRUE(warm.body.isEmpty());
    EXPECT_FALSE(warm.head.toLower().contains("content-length"));
    ASSERT_TRUE(test::WaitUntil([&] { return apy_.langpairsSeen.size() == 3; }));
    QStringList warmed = apy_.langpairsSeen.mid(1);  // both at once: either may come first
    QStringList legs = route.legs;
    warmed.sort();
    legs.sort();
    EXPECT_EQ(warmed, legs);
    ASSERT_TRUE(test::WaitUntil([&] { return service_->translator().apyCallsInFlight() == 0; }));

    // Asked again, for a pair with German or a bad one: nothing more for APy.
    EXPECT_EQ(get("/warm?langpair=en|fr").status, 204);
    EXPECT_EQ(get("/warm?langpair=de%7Cen").status, 204);
    for (const char *bad : {"/warm", "/warm?langpair=en%7Cxx", "/warm?langpair=fr%7Cfr"})
        EXPECT_EQ(get(bad).status, 400) << bad;
    EXPECT_EQ(translated(QStringLiteral("one"), "en|fr"), QLatin1Char('[') + route.legs[1] +
                                                              QStringLiteral("][") + route.legs[0] +
                                                              QStringLiteral("]one"));
    EXPECT_EQ(apy_.langpairsSeen.size(), 5);  // the translation's two legs only
    EXPECT_EQ(service_->translator().coldStarts(), 1U);
}

// The pipeline alone, with no socket of its own: what it answers, and what
// reached APy.
class TranslatorOverFakeApy : public ::testing::Test {
protected:
    TranslatorOverFakeApy() { translator_.apy().use({apy_.url()}, test::kRecordedListPairs); }

    QString translated(const QString &text, const char *source, const char *target)
    {
        std::optional<Translator::Result> answer;
        translator_.translate(
            {text, QString::fromLatin1(source), QString::fromLatin1(target)}, [] { return true; },
            [&answer](const Translator::Result &result) { answer = result; });
        EXPECT_TRUE(test::WaitUntil([&] { return answer.has_value(); }));
        EXPECT_TRUE(answer && answer->ok) << source << '|' << target;
        return answer ? answer->text : QString();
    }

    test::FakeApy apy_{test::kRecordedListPairs};
    Translator translator_{{5000, 16, QStringLiteral("/nonexistent/dictd")}};
};

TEST_F(TranslatorOverFakeApy, PairsWithoutPackageSayItInFrenchWithoutAskingApy)
{
    EXPECT_EQ(translated(QStringLiteral("Hallo"), "de", "en"),
              QStringLiteral("Allemand vers Anglais : paire non disponible hors ligne"));
    EXPECT_EQ(translated(QStringLiteral("Hello"), "en", "de"),
              QStringLiteral("Anglais vers Allemand : paire non disponible hors ligne"));
    EXPECT_EQ(translated(QStringLiteral("Salut"), "fr", "de"),
              QStringLiteral("Français vers Allemand : paire non disponible hors ligne"));
    EXPECT_EQ(translated(QStringLiteral("Hallo"), "de", "fr"),
              QStringLiteral("Allemand vers Français : paire non disponible hors ligne"));
    EXPECT_EQ(translated(QStringLiteral(" \n"), "en", "fr"), QString());
    EXPECT_EQ(apy_.translateCalls, 0);
}

TEST_F(TranslatorOverFakeApy, TwoLegRouteWarmsItsSecondLegOncePerMinuteAndAnswersAgainFromCache)
{
    const Route route = translator_.routeFor(QStringLiteral("en"), QStringLiteral("fr"));
    ASSERT_EQ(route.legs.size(), 2);
    const QString marks =
        QLatin1Char('[') + route.legs[1] + QStringLiteral("][") + route.legs[0] + QLatin1Char(']');
    EXPECT_EQ(translated(QStringLiteral("one"), "en", "fr"), marks + QStringLiteral("one"));
    // The warm-up is answered on its own connection, maybe after the translation.
    ASSERT_TRUE(test::WaitUntil([&] { return apy_.langpairsSeen.size() >= 3; }));
    QStringList seen = apy_.langpairsSeen;
    std::sort(seen.begin(), seen.end());
    QStringList expected{route.legs[0], route.legs[1], route.legs[1]};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(seen, expected);  // the second leg's warm-up went beside the first leg
    EXPECT_EQ(translated(QStringLiteral("two"), "en", "fr"), marks + QStringLiteral("two"));
    EXPECT_EQ(apy_.langpairsSeen.size(), 5);  // warm now: no second warm-up
    EXPECT_EQ(translated(QStringLiteral("one"), "en", "fr"), marks + QStringLiteral("one"));
    EXPECT_EQ(apy_.langpairsSeen.size(), 5);  // the same text on the same route: cached
    EXPECT_EQ(translator_.answersOwed(), 0);
}

}  // namespace
}  // namespace verz
