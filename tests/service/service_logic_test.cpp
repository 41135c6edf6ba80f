#include "common/languages.h"
#include "engine/page_reader.h"
#include "http/request_gate.h"
#include "pages/home_page.h"
#include "pages/result_page.h"
#include "pages/translate_query.h"
#include "service/recorded_apy.h"
#include "service/route_table.h"
#include "service/service_options.h"
#include "service/translation_cache.h"

#include <gtest/gtest.h>

namespace verz {
namespace {

using namespace Qt::StringLiterals;

QueryError ErrorOf(const QByteArray &query)
{
    const auto parsed = ParseTranslateQuery(query);
    EXPECT_TRUE(std::holds_alternative<QueryError>(parsed)) << query.constData();
    return std::holds_alternative<QueryError>(parsed) ? std::get<QueryError>(parsed)
                                                      : QueryError::BadEncoding;
}

TEST(TranslateQuery, ReadsTheProgramsEncoding)
{
    const auto parsed = ParseTranslateQuery(
        "text=Tom%20%26%20Jerry%2C%20%C3%A9t%C3%A9%0D%0A%23%2B&langpair=en%7Cfr");
    ASSERT_TRUE(std::holds_alternative<TranslateQuery>(parsed));
    const TranslateQuery &query = std::get<TranslateQuery>(parsed);
    EXPECT_EQ(query.text, QStringLiteral("Tom & Jerry, été\r\n#+"));
    EXPECT_EQ(query.source, QStringLiteral("en"));
    EXPECT_EQ(query.target, QStringLiteral("fr"));

    const auto plainBar = ParseTranslateQuery("langpair=de|en&text=a+b");
    ASSERT_TRUE(std::holds_alternative<TranslateQuery>(plainBar));
    EXPECT_EQ(std::get<TranslateQuery>(plainBar).text, QStringLiteral("a b"));

    const auto empty = ParseTranslateQuery("text=&langpair=fr|en");
    ASSERT_TRUE(std::holds_alternative<TranslateQuery>(empty));
    EXPECT_TRUE(std::get<TranslateQuery>(empty).text.isEmpty());
}

TEST(TranslateQuery, RefusesWhatTheProgramNeverSends)
{
    EXPECT_EQ(ErrorOf("langpair=en|fr"), QueryError::MissingText);
    EXPECT_EQ(ErrorOf(""), QueryError::MissingText);
    EXPECT_EQ(ErrorOf("text=a"), QueryError::MissingLangpair);
    EXPECT_EQ(ErrorOf("text=a&langpair="), QueryError::MissingLangpair);
    EXPECT_EQ(ErrorOf("text=a&langpair=enfr"), QueryError::MalformedLangpair);
    EXPECT_EQ(ErrorOf("text=a&langpair=en|fr|de"), QueryError::MalformedLangpair);
    EXPECT_EQ(ErrorOf("text=a&langpair=EN|fr"), QueryError::MalformedLangpair);
    EXPECT_EQ(ErrorOf("text=a&langpair=xx|fr"), QueryError::UnknownLanguage);
    EXPECT_EQ(ErrorOf("text=a&langpair=fr|fr"), QueryError::UnknownLanguage);
    EXPECT_EQ(ErrorOf("text=a%zz&langpair=en|fr"), QueryError::BadEncoding);
    EXPECT_EQ(ErrorOf("text=a%2&langpair=en|fr"), QueryError::BadEncoding);
    EXPECT_EQ(ErrorOf("text=%C3%28&langpair=en|fr"), QueryError::BadEncoding);  // not UTF-8
}

TEST(RouteTable, RoutesTheTwelvePairsOfTheInstalledPackages)
{
    const std::optional<RouteTable> routes = RouteTable::FromListPairs(test::kRecordedListPairs);
    ASSERT_TRUE(routes.has_value());
    auto legs = [&](const char *from, const char *to) {
        return routes->routeFor(QString::fromLatin1(from), QString::fromLatin1(to)).legs.join(u',');
    };
    EXPECT_EQ(legs("fra", "spa"), QStringLiteral("fra|spa"));
    EXPECT_EQ(legs("en", "es"), QStringLiteral("eng|spa"));  // two-letter codes fold to APy's
    EXPECT_EQ(legs("spa", "eng"), QStringLiteral("spa|eng"));
    EXPECT_EQ(legs("por", "eng"), QStringLiteral("por|spa,spa|eng"));
    EXPECT_EQ(legs("eng", "por"), QStringLiteral("eng|spa,spa|por"));
    EXPECT_EQ(legs("eng", "fra"), QStringLiteral("eng|spa,spa|fra"));
    EXPECT_EQ(legs("fra", "eng"), QStringLiteral("fra|spa,spa|eng"));
    EXPECT_EQ(legs("ita", "eng"), QStringLiteral("ita|spa,spa|eng"));
    EXPECT_EQ(legs("eng", "ita"), QStringLiteral("eng|spa,spa|ita"));
    EXPECT_TRUE(legs("deu", "eng").isEmpty());
    EXPECT_TRUE(legs("eng", "deu").isEmpty());
    EXPECT_TRUE(legs("fra", "deu").isEmpty());

    RouteTable twoLetter;
    twoLetter.addPair(QStringLiteral("fr"), QStringLiteral("es"));
    EXPECT_TRUE(twoLetter.hasPair(QStringLiteral("fra"), QStringLiteral("spa")));
    EXPECT_FALSE(RouteTable::FromListPairs("{\"responseStatus\": 200}").has_value());
}

TEST(RouteTable, TakesTheBestMeasuredRouteTheInstalledPairsAllow)
{
    auto tableWith = [](std::initializer_list<const char *> langpairs) {
        RouteTable table;
        for (const char *langpair : langpairs) {
            const QStringList codes = QString::fromLatin1(langpair).split(u'|');
            table.addPair(codes.at(0), codes.at(1));
        }
        return table;
    };
    auto legs = [](const RouteTable &table, const char *from, const char *to) {
        return table.routeFor(QString::fromLatin1(from), QString::fromLatin1(to)).legs.join(u',');
    };
    const RouteTable all =
        tableWith({"eng|spa", "spa|eng", "spa|fra", "fra|spa", "spa|por", "por|spa", "eng|cat",
                   "cat|eng", "cat|fra", "fra|cat", "cat|por", "en|gl", "gl|pt", "fra|epo"});
    EXPECT_EQ(legs(all, "eng", "fra"), QStringLiteral("eng|cat,cat|fra"));
    EXPECT_EQ(legs(all, "fra", "eng"), QStringLiteral("fra|cat,cat|eng"));
    EXPECT_EQ(legs(all, "eng", "por"), QStringLiteral("eng|glg,glg|por"));  // two-letter pivots
    EXPECT_EQ(legs(all, "spa", "eng"), QStringLiteral("spa|eng"));          // direct stays first
    EXPECT_EQ(legs(all, "fra", "spa"), QStringLiteral("fra|spa"));          // not measured: direct

    // One half of the winner missing: the next measured route, down to Spanish.
    const RouteTable noCatFra = tableWith(
        {"eng|spa", "spa|fra", "eng|cat", "fra|cat", "cat|eng", "fra|epo", "cat|por", "spa|por"});
    EXPECT_EQ(legs(noCatFra, "eng", "fra"), QStringLiteral("eng|spa,spa|fra"));
    EXPECT_EQ(legs(noCatFra, "eng", "por"), QStringLiteral("eng|cat,cat|por"));
    const RouteTable epoHalf = tableWith({"fra|epo", "fra|spa", "spa|eng"});
    EXPECT_EQ(legs(epoHalf, "fra", "eng"), QStringLiteral("fra|spa,spa|eng"));
}

// The program's own reader must get back exactly what APy said.
TEST(ResultPage, SurvivesTheProgramsReader)
{
    const QString samples[] = {
        QStringLiteral("Hola Mundo"),
        QStringLiteral("Élève, façade, über, niño, coração, perché"),
        QStringLiteral("Tom & Jerry say \"hi\" <b>, it's 5 > 3 &amp; 1 < 2"),
        QStringLiteral("Dijo: «vale»… y se fue"),
        QString(),
    };
    for (const QString &sample : samples)
        EXPECT_EQ(ExtractTranslation(ResultPage(sample)),
                  QString(sample).replace(QStringLiteral("…"), QStringLiteral("...")));
    // Line breaks come back as the reader joins them: one space.
    EXPECT_EQ(ExtractTranslation(ResultPage(QStringLiteral("una línea\r\n  otra\nfin"))),
              QStringLiteral("una línea otra fin"));
    EXPECT_EQ(UnavailablePairText(QStringLiteral("de"), QStringLiteral("en")),
              QStringLiteral("Allemand vers Anglais : paire non disponible hors ligne"));
}

TEST(HomeRequest, TranslatesOfferedPairsAndExplainsTheRestInFrench)
{
    const HomeRequest form = ReadHomeRequest("text=%3Cb%3E+%C3%A9t%C3%A9&langpair=en%7Cfr");
    ASSERT_TRUE(form.query);
    EXPECT_EQ(form.query->text, QStringLiteral("<b> été"));
    EXPECT_EQ(form.view.langpair, QStringLiteral("en|fr"));

    EXPECT_FALSE(ReadHomeRequest("").query);
    EXPECT_TRUE(ReadHomeRequest("").view.message.isEmpty());
    EXPECT_EQ(ReadHomeRequest("").view.langpair, QStringLiteral("fr|en"));
    const HomeRequest unoffered = ReadHomeRequest("text=hola&langpair=es|fr");
    EXPECT_FALSE(unoffered.query);
    EXPECT_EQ(unoffered.view.text, QStringLiteral("hola"));
    EXPECT_TRUE(unoffered.view.message.startsWith(u"Choisissez"));
    EXPECT_EQ(ReadHomeRequest("text=%FF&langpair=en|fr").status,
              HttpResponder::StatusCode::BadRequest);
    const QByteArray longest = "text=" + QByteArray(kHomeTextLimit, 'a') + "&langpair=en|fr";
    EXPECT_TRUE(ReadHomeRequest(longest).query);
    // A line end the box counted once arrives as CR LF.
    EXPECT_TRUE(
        ReadHomeRequest("text=" + QByteArray(kHomeTextLimit / 2, 'x').replace("x", "a%0D%0A") +
                        "&langpair=en|fr")
            .query);
    const HomeRequest tooLong = ReadHomeRequest("text=a" + longest.mid(5));
    EXPECT_FALSE(tooLong.query);
    EXPECT_TRUE(tooLong.view.message.startsWith(u"Texte trop long"));
    // The longest query the page's script puts in an address passes the gate;
    // anything longer goes as a form.
    const QByteArray worst = "GET /?" + QByteArray(kHomeAddressLimit, 'x') + " HTTP/1.1\r\n";
    EXPECT_EQ(JudgeRequestStart(worst), GateVerdict::Pass);
}

TEST(TranslationCache, DropsTheOldestFirst)
{
    TranslationCache cache(2);
    const QString pair = QStringLiteral("eng|spa");
    cache.insert(pair, QStringLiteral("a"), QStringLiteral("A"));
    cache.insert(pair, QStringLiteral("b"), QStringLiteral("B"));
    EXPECT_EQ(cache.find(pair, QStringLiteral("a")).value_or(QString()),
              QStringLiteral("A"));  // a is now recent
    cache.insert(pair, QStringLiteral("c"), QStringLiteral("C"));
    EXPECT_FALSE(cache.find(pair, QStringLiteral("b")).has_value());
    EXPECT_TRUE(cache.find(pair, QStringLiteral("a")).has_value());
    EXPECT_FALSE(cache.find(QStringLiteral("spa|eng"), QStringLiteral("a")).has_value());
    EXPECT_EQ(cache.size(), 2);
}

// Each number within its bounds, and what follows from them: APy gives up on
// a pipeline only after the service has given up on the text.
TEST(ServiceOptions, NumbersKeepTheirBoundsAndSetWhatFollows)
{
    QString error;
    const auto parse = [&](QStringList arguments) {
        arguments.prepend(QStringLiteral("verzolan-service"));
        return ParseServiceArguments(arguments, &error);
    };
    const auto set = parse({u"--port"_s, u"9000"_s, u"--timeout"_s, u"3000"_s, u"--engine-idle"_s,
                            u"30"_s, u"--cache-entries"_s, u"0"_s, u"--apy"_s, u"http://h:1/a/"_s});
    ASSERT_TRUE(set) << error.toStdString();
    EXPECT_EQ(set->port, 9000);
    EXPECT_EQ(set->endpoints.translator.apyTimeoutMs, 3000);
    EXPECT_EQ(set->endpoints.translator.cacheEntries, 0);
    EXPECT_EQ(set->apy.supervisor.apyTimeoutSeconds, 8);
    EXPECT_EQ(set->apy.idleSeconds, 30);
    EXPECT_EQ(set->apy.supervisor.pipelineIdleSeconds, 30);
    EXPECT_EQ(set->endpoints.translator.pipelineIdleMs, 30000);
    EXPECT_EQ(set->apy.external, QList<QUrl>{QUrl(u"http://h:1/a"_s)});
    const std::pair<QStringList, const char *> refused[] = {
        {{u"--port"_s, u"0"_s}, "--port: expected a number from 1 to 65535"},
        {{u"--timeout"_s, u"99"_s}, "--timeout: expected a number from 100 to 14000"},
        {{u"--apy-pipes"_s, u"two"_s}, "--apy-pipes: expected a number"},
        {{u"--engine-idle"_s, u"0"_s}, "--engine-idle: expected a number from 1"},
        {{u"--apy"_s, u"ftp://h"_s}, "--apy: expected an http:// URL"},
    };
    for (const auto &[arguments, words] : refused) {
        error.clear();
        EXPECT_FALSE(parse(arguments)) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(error.contains(QLatin1String(words))) << error.toStdString();
    }
}

}  // namespace
}  // namespace verz
