#include "engine/page_reader.h"
#include "service/recorded_apy.h"
#include "service/route_table.h"
#include "service/service_harness.h"
#include "service/translation_service.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace verz {
namespace {

using test::RawClient;

class ServiceOverFakeApy : public ::testing::Test {
protected:
    void SetUp() override
    {
        TranslationService::Options options;
        options.apyTimeoutMs = 300;
        options.cacheEntries = 0;  // every request reaches the stand-in
        service_ = std::make_unique<TranslationService>(options);
        ASSERT_TRUE(service_->listen(QHostAddress::LocalHost, 0));
        pointAt(apy_.url());
    }

    void pointAt(const QUrl &url)
    {
        service_->setApy(url, *RouteTable::FromListPairs(test::kRecordedListPairs));
    }

    RawClient::Response get(const QByteArray &target)
    {
        RawClient client(service_->port());
        return client.exchange(RawClient::Get(target));
    }

    QString translated(const QString &text, const char *langpair)
    {
        const RawClient::Response response = get(test::TranslateTarget(text, langpair));
        EXPECT_EQ(response.status, 200) << langpair;
        return ExtractTranslation(response.body);
    }

    test::FakeApy apy_{test::kRecordedListPairs};
    std::unique_ptr<TranslationService> service_;
};

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

TEST_F(ServiceOverFakeApy, PairsWithoutPackageSayItInFrench)
{
    EXPECT_EQ(translated(QStringLiteral("Hallo"), "de|en"),
              QStringLiteral("Allemand vers Anglais : paire non disponible hors ligne"));
    EXPECT_EQ(translated(QStringLiteral("Hello"), "en|de"),
              QStringLiteral("Anglais vers Allemand : paire non disponible hors ligne"));
    EXPECT_EQ(translated(QStringLiteral("Salut"), "fr|de"),
              QStringLiteral("Français vers Allemand : paire non disponible hors ligne"));
    EXPECT_EQ(translated(QStringLiteral("Hallo"), "de|fr"),
              QStringLiteral("Allemand vers Français : paire non disponible hors ligne"));
    EXPECT_EQ(translated(QString(), "en|fr"), QString());
    EXPECT_EQ(apy_.translateCalls, 0);
}

TEST_F(ServiceOverFakeApy, BadRequestsGetFourHundredsAndTheServiceGoesOn)
{
    const QByteArray cases[] = {
        RawClient::Get("/translate_t?langpair=en|fr"),
        RawClient::Get("/translate_t?text=a"),
        RawClient::Get("/translate_t?text=a&langpair=en-fr"),
        RawClient::Get("/translate_t?text=a%zz&langpair=en|fr"),
        RawClient::Get("/translate_t?text=%FF&langpair=en|fr"),
        RawClient::Get("/translate_t?text=" + QByteArray(70 * 1024, 'a') + "&langpair=en|fr"),
        "GET /translate_t?text=a&langpair=en|fr HTTP/1.1\r\nHost: x\r\nContent-Length: "
        "3\r\n\r\nabc",
        "POST /translate_t?text=a&langpair=en|fr HTTP/1.1\r\nHost: x\r\nContent-Length: "
        "3\r\n\r\nabc",
        "DELETE /translate_t?text=a&langpair=en|fr HTTP/1.1\r\nHost: x\r\n\r\n",
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

    test::SilentServer hanging;
    pointAt(hanging.url());
    EXPECT_EQ(get(test::TranslateTarget(QStringLiteral("a"), "fr|en")).status, 503);

    pointAt(QUrl(QStringLiteral("http://127.0.0.1:1")));
    EXPECT_EQ(get(test::TranslateTarget(QStringLiteral("a"), "en|es")).status, 503);
    service_->clearApy();
    EXPECT_EQ(get(test::TranslateTarget(QStringLiteral("a"), "en|es")).status, 503);

    apy_.mode = test::FakeApy::Mode::Translate;
    pointAt(apy_.url());
    EXPECT_EQ(translated(QStringLiteral("otra vez"), "es|en"), QStringLiteral("[spa|eng]otra vez"));
}

TEST_F(ServiceOverFakeApy, ClientThatLeavesBeforeTheAnswerHarmsNothing)
{
    test::SilentServer hanging;
    pointAt(hanging.url());
    {
        RawClient leaving(service_->port());
        leaving.send(RawClient::Get(test::TranslateTarget(QStringLiteral("a"), "en|es")),
                     [](const RawClient::Response &) {});
        test::SpinUntil([&] { return leaving.socket().bytesToWrite() == 0; });
    }
    test::SpinUntil([] { return false; },
                    500);  // the pending answer falls due after the client left
    pointAt(apy_.url());
    EXPECT_EQ(translated(QStringLiteral("bien"), "es|en"), QStringLiteral("[spa|eng]bien"));
}

TEST_F(ServiceOverFakeApy, SixteenClientsFiveHundredRequestsWhileTwentyIdle)
{
    std::vector<std::unique_ptr<RawClient>> idle;
    for (int i = 0; i < 20; ++i)
        idle.push_back(std::make_unique<RawClient>(service_->port()));

    constexpr int kClients = 16;
    constexpr int kRequests = 500;
    int sent = 0;
    int answered = 0;
    int wrong = 0;
    std::vector<std::unique_ptr<RawClient>> clients;
    std::function<void(RawClient *)> next = [&](RawClient *client) {
        if (sent == kRequests)
            return;
        const QString text = QStringLiteral("frase número %1, «sí»").arg(sent++);
        client->send(
            RawClient::Get(test::TranslateTarget(text, sent % 2 ? "es|en" : "en|fr")),
            [&, client, text, direct = sent % 2 == 1](const RawClient::Response &response) {
                ++answered;
                const QString expected =
                    (direct ? QStringLiteral("[spa|eng]") : QStringLiteral("[spa|fra][eng|spa]")) +
                    text;
                if (response.status != 200 || ExtractTranslation(response.body) != expected)
                    ++wrong;
                next(client);
            });
    };
    for (int i = 0; i < kClients; ++i) {
        clients.push_back(std::make_unique<RawClient>(service_->port()));
        next(clients.back().get());
    }
    ASSERT_TRUE(test::SpinUntil([&] { return answered == kRequests; }, 60000));
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(apy_.translateCalls, 500 + 250);
}

}  // namespace
}  // namespace verz
