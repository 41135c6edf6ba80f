#include "engine/page_reader.h"
#include "libre/libre_client.h"
#include "libre_stand_in.h"
#include "pages/result_page.h"
#include "service/recorded_apy.h"
#include "service/route_table.h"
#include "service/service_app.h"
#include "service/service_harness.h"
#include "service/text_endpoints.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <sys/stat.h>
#include <vector>

namespace verz {
namespace {

using namespace Qt::StringLiterals;
using test::LibreStandIn;
using test::RawClient;

const QByteArray kKey = QByteArrayLiteral("k3y-0f-the-0ffice");

// The service over the APy stand-in, with a LibreTranslate stand-in in front
// and no dictionaries, so the German pairs' usual answer is the
// unavailable-pair text.
struct LibreRig {
    explicit LibreRig(const QSet<QString> &pairs, int timeoutMs = 12000,
                      const QByteArray &key = kKey, QUrl libreUrl = {})
        : apy(test::kRecordedListPairs), libre(kKey)
    {
        TextEndpoints::Options options;
        options.translator.apyTimeoutMs = timeoutMs;
        options.translator.dictionaryFolder = noDictionaries.path();
        LibreEngine::Options engine;
        engine.base = libreUrl.isEmpty() ? libre.url() : libreUrl;
        engine.apiKey = key;
        engine.pairs = pairs;
        engine.firstRestMs = 200;
        options.translator.libre = engine;
        service = std::make_unique<TextEndpoints>(options);
        service->translator().libre()->setLog(
            [this](QtMsgType, const QString &line) { log.append(line); });
        service->listen(QHostAddress::LocalHost, 0);
        service->translator().apy().use({apy.url()}, test::kRecordedListPairs);
    }

    bool ready()
    {
        return test::WaitUntil(
            [&] { return service->translator().libre()->takes(u"de"_s, u"fr"_s); });
    }

    test::HttpAnswer get(const QByteArray &target)
    {
        return test::Converse(service->port(), "GET " + target +
                                                   " HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                                                   "Connection: close\r\n\r\n")
            .answers.value(0);
    }
    test::HttpAnswer get(const QString &text, const char *langpair)
    {
        return get(test::TranslateTarget(text, langpair));
    }

    int linesWith(const char *words) const
    {
        return int(std::count_if(log.begin(), log.end(), [&](const QString &line) {
            return line.contains(QLatin1String(words));
        }));
    }

    QTemporaryDir noDictionaries;
    test::FakeApy apy;
    LibreStandIn libre;
    std::unique_ptr<TextEndpoints> service;
    QStringList log;
};

const QSet<QString> kGerman{u"en|de"_s, u"fr|de"_s, u"de|fr"_s, u"de|en"_s};

TEST(Libre, GermanGoesToTheServerWithItsKeyAndOtherPairsStayOnApertium)
{
    LibreRig rig(kGerman);
    ASSERT_TRUE(rig.ready());
    EXPECT_FALSE(
        rig.service->translator().libre()->takes(u"en"_s, u"es"_s));  // served, but not chosen

    const auto german = rig.get(QStringLiteral("Guten Tag"), "de|fr");
    EXPECT_EQ(german.status, 200);
    EXPECT_EQ(ExtractTranslation(german.body), QStringLiteral("[de>fr] Guten Tag"));
    EXPECT_TRUE(german.head.contains("X-Verzolan-Engine: LibreTranslate"));
    ASSERT_EQ(rig.libre.calls.size(), 1);
    const QJsonObject call = rig.libre.calls.front();
    EXPECT_EQ(call.value(u"api_key").toString().toUtf8(), kKey);
    EXPECT_EQ(call.value(u"format").toString(), QStringLiteral("text"));
    EXPECT_EQ(call.value(u"q").toString(), QStringLiteral("Guten Tag"));

    const auto spanish = rig.get(QStringLiteral("Hello"), "en|es");
    EXPECT_EQ(ExtractTranslation(spanish.body), QStringLiteral("[eng|spa]Hello"));
    EXPECT_TRUE(spanish.head.contains("X-Verzolan-Engine: Apertium"));
    EXPECT_EQ(rig.libre.calls.size(), 1);

    // The home page without script says in small print who answered.
    const QByteArray home = rig.get("/?text=Guten%20Morgen&langpair=de%7Cfr").body;
    EXPECT_TRUE(home.contains("[de&gt;fr] Guten Morgen"));
    EXPECT_TRUE(home.contains("Moteur : LibreTranslate"));

    ASSERT_EQ(rig.linesWith("takes 4 pair(s): de|en, de|fr, en|de, fr|de"), 1)
        << rig.log.join(u'\n').toStdString();
    for (const QString &line : rig.log)
        EXPECT_FALSE(line.contains(QString::fromUtf8(kKey)));
}

// Each way a server fails: the German text gets the dictionaries' answer and
// an English one APy's, both within the deadline, and the cause is written
// once though two requests met it; nothing of another text is mixed in.
TEST(Libre, EveryBadAnswerEndsOnTheUsualRoadInTimeWithOneLogLine)
{
    struct Case {
        LibreStandIn::Mode mode;
        LibreFault fault;
        QByteArray key = kKey;
        bool unreachable = false;
    };
    using Mode = LibreStandIn::Mode;
    const std::vector<Case> cases{
        {Mode::Translate, LibreFault::Unreachable, kKey, true},
        {Mode::Translate, LibreFault::KeyRefused, QByteArrayLiteral("wrong")},
        {Mode::RateLimited, LibreFault::RateLimited},
        {Mode::ServerError, LibreFault::ServerError},
        {Mode::Html, LibreFault::NotJson},
        {Mode::NoTranslation, LibreFault::NoTranslation},
        {Mode::Huge, LibreFault::TooBig},
        {Mode::Redirect, LibreFault::Redirected},
        {Mode::Hang, LibreFault::Timeout},
    };
    // Two 10 MiB answers through one loaded event loop take a while to
    // refuse: the English text's half of the time must leave room for it.
    constexpr int kDeadlineMs = 3000;
    const QString unavailable = UnavailablePairText(QStringLiteral("de"), QStringLiteral("fr"));
    for (const Case &c : cases) {
        SCOPED_TRACE(LibreFaultText(c.fault));
        QUrl closed;
        if (c.unreachable) {
            QTcpServer gone;
            gone.listen(QHostAddress::LocalHost, 0);
            closed = QUrl(QStringLiteral("http://127.0.0.1:%1").arg(gone.serverPort()));
        }
        LibreRig rig({}, kDeadlineMs, c.key, closed);
        if (c.unreachable)
            ASSERT_TRUE(test::WaitUntil([&] { return !rig.log.isEmpty(); }));
        else
            ASSERT_TRUE(rig.ready());
        rig.libre.mode = c.mode;

        RawClient german(rig.service->port());
        RawClient english(rig.service->port());
        RawClient::Response fromGerman, fromEnglish;
        int answered = 0;
        QElapsedTimer clock;
        clock.start();
        german.send(RawClient::Get(test::TranslateTarget(QStringLiteral("Guten Tag"), "de|fr")),
                    [&](const RawClient::Response &r) { fromGerman = r, ++answered; });
        english.send(RawClient::Get(test::TranslateTarget(QStringLiteral("Hello"), "en|es")),
                     [&](const RawClient::Response &r) { fromEnglish = r, ++answered; });
        ASSERT_TRUE(test::WaitUntil([&] { return answered == 2; }));
        EXPECT_LT(clock.elapsed(), kDeadlineMs + 300);
        EXPECT_EQ(ExtractTranslation(fromGerman.body), unavailable);
        EXPECT_EQ(ExtractTranslation(fromEnglish.body), QStringLiteral("[eng|spa]Hello"));
        EXPECT_TRUE(fromEnglish.head.contains("X-Verzolan-Engine: Apertium"));
        EXPECT_EQ(rig.linesWith(LibreFaultText(c.fault)), 1) << rig.log.join(u'\n').toStdString();
        EXPECT_GE(rig.service->translator().libre()->faults(c.fault), 1);
        for (const QString &line : rig.log)
            EXPECT_FALSE(line.contains(QString::fromUtf8(kKey)));
    }
}

TEST(Libre, APairWhoseServerAnswersAgainGoesBackToIt)
{
    LibreRig rig(kGerman);
    ASSERT_TRUE(rig.ready());
    rig.libre.mode = LibreStandIn::Mode::ServerError;
    EXPECT_EQ(ExtractTranslation(rig.get(QStringLiteral("eins"), "de|en").body),
              UnavailablePairText(u"de"_s, u"en"_s));
    EXPECT_EQ(rig.linesWith(LibreFaultText(LibreFault::ServerError)), 1);
    rig.libre.mode = LibreStandIn::Mode::Translate;
    ASSERT_TRUE(rig.ready());  // /languages read again after the rest
    EXPECT_EQ(ExtractTranslation(rig.get(QStringLiteral("zwei"), "de|en").body),
              QStringLiteral("[de>en] zwei"));
    EXPECT_EQ(rig.linesWith("translates again"), 1);
}

TEST(Libre, SixteenClientsGetTheirOwnTextsBackFromBatchedCalls)
{
    LibreRig rig(kGerman);
    ASSERT_TRUE(rig.ready());
    rig.libre.delayMs = 50;  // calls stay busy, so texts wait and go together
    constexpr int kClients = 16;
    std::vector<std::unique_ptr<RawClient>> clients;
    std::vector<QString> got(kClients);
    int answered = 0;
    for (int i = 0; i < kClients; ++i) {
        clients.push_back(std::make_unique<RawClient>(rig.service->port()));
        const QString text = QStringLiteral("Satz Nummer %1").arg(i);
        clients.back()->send(RawClient::Get(test::TranslateTarget(text, "de|fr")),
                             [&, i](const RawClient::Response &r) {
                                 got[size_t(i)] = ExtractTranslation(r.body);
                                 ++answered;
                             });
    }
    ASSERT_TRUE(test::WaitUntil([&] { return answered == kClients; }));
    for (int i = 0; i < kClients; ++i)
        EXPECT_EQ(got[size_t(i)], QStringLiteral("[de>fr] Satz Nummer %1").arg(i));
    EXPECT_LT(rig.libre.calls.size(), kClients);
    EXPECT_TRUE(std::any_of(rig.libre.calls.begin(), rig.libre.calls.end(),
                            [](const QJsonObject &call) { return call.value(u"q").isArray(); }));
}

TEST(Libre, ListAnswersMatchTheTextsSentOrAreRefused)
{
    const auto read = [](const char *body, qsizetype count) {
        return ReadLibreTranslation(200, QByteArray(body), count, true);
    };
    EXPECT_EQ(read(R"({"translatedText":["a","b"]})", 2).texts, QStringList({u"a"_s, u"b"_s}));
    EXPECT_EQ(read(R"({"translatedText":["a"]})", 2).fault, LibreFault::ShortList);
    EXPECT_EQ(read(R"({"translatedText":["a","b","c"]})", 2).fault, LibreFault::NoTranslation);
    EXPECT_EQ(read(R"({"translatedText":["a",2]})", 2).fault, LibreFault::NoTranslation);
    const LibreAnswer refused =
        ReadLibreTranslation(400, R"({"error":"Invalid request"})", 1, false);
    EXPECT_EQ(refused.fault, LibreFault::BadRequest);
    EXPECT_EQ(refused.serverError, QStringLiteral("Invalid request"));
}

TEST(Libre, OptionsRefuseWhatCannotWorkAndWarnOfAnOpenKey)
{
    QTemporaryDir folder;
    const QString keyFile = folder.filePath(QStringLiteral("key"));
    const QString emptyFile = folder.filePath(QStringLiteral("empty"));
    QFile key(keyFile);
    ASSERT_TRUE(key.open(QIODevice::WriteOnly));
    key.write(kKey + '\n');
    key.close();
    QFile(emptyFile).open(QIODevice::WriteOnly);
    // A FIFO nobody writes to: reading it would wait for ever.
    const QString fifo = folder.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const auto parse = [](QStringList arguments, QString *error) {
        arguments.prepend(QStringLiteral("verzolan-service"));
        return ParseServiceArguments(arguments, error);
    };
    const QString url = QStringLiteral("https://translate.example.org/");
    QString error;

    key.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const auto fine =
        parse({u"--libretranslate"_s, url, u"--libretranslate-key-file"_s, keyFile}, &error);
    ASSERT_TRUE(fine) << error.toStdString();
    EXPECT_EQ(fine->endpoints.translator.libre->apiKey, kKey);
    EXPECT_EQ(fine->endpoints.translator.libre->pairs, kGerman);
    EXPECT_TRUE(fine->warnings.isEmpty());
    EXPECT_FALSE(parse({}, &error)->endpoints.translator.libre);  // nothing leaves the machine

    key.setPermissions(key.permissions() | QFileDevice::ReadOther);
    const auto open = parse({u"--libretranslate"_s, url, u"--libretranslate-key-file"_s, keyFile,
                             u"--libretranslate-pairs"_s, u"all"_s},
                            &error);
    ASSERT_TRUE(open);
    EXPECT_TRUE(open->endpoints.translator.libre->pairs.isEmpty());
    ASSERT_EQ(open->warnings.size(), 1);
    EXPECT_TRUE(open->warnings.front().contains(keyFile));

    const std::vector<std::pair<QStringList, const char *>> refused{
        {{u"--libretranslate"_s, u"ftp://translate.example.org"_s}, "http:// or https://"},
        {{u"--libretranslate"_s, u"translate.example.org"_s}, "http:// or https://"},
        {{u"--libretranslate"_s, url, u"--libretranslate-key-file"_s, emptyFile}, "is empty"},
        {{u"--libretranslate"_s, url, u"--libretranslate-key-file"_s, keyFile + u"-gone"_s},
         "cannot read"},
        {{u"--libretranslate"_s, url, u"--libretranslate-key-file"_s, fifo}, "not a regular"},
        {{u"--libretranslate"_s, url, u"--libretranslate-key-file"_s, folder.path()},
         "not a regular"},
        {{u"--libretranslate"_s, url, u"--libretranslate-pairs"_s, u"de|xx"_s}, "de|xx"},
        {{u"--libretranslate-pairs"_s, u"all"_s}, "need --libretranslate"},
    };
    for (const auto &[arguments, words] : refused) {
        error.clear();
        EXPECT_FALSE(parse(arguments, &error)) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(error.contains(QLatin1String(words))) << error.toStdString();
    }
}

}  // namespace
}  // namespace verz
