#include "service/translator.h"

#include "common/languages.h"
#include "dict/dictionary_answer.h"
#include "pages/result_page.h"
#include "service/service_log.h"

#include <QTimer>

#include <utility>

namespace verz {

namespace {

Translator::Result Failure(const char *why)
{
    return {false, {}, QString::fromLatin1(why)};
}

// As the home page names them, in small print.
const QString kApertium = QStringLiteral("Apertium");
const QString kDictionaries = QStringLiteral("dictionnaires");
const QString kLibreTranslate = QStringLiteral("LibreTranslate");

}  // namespace

Translator::Translator(Options options, QObject *parent)
    : QObject(parent), options_(std::move(options)), dispatcher_(this),
      routeRun_(dispatcher_, options_.pipelineIdleMs), dictionaries_(options_.dictionaryFolder),
      cache_(options_.cacheEntries),
      apy_(dispatcher_, [this](const QByteArray &listPairs) { return takePairList(listPairs); })
{
    connect(&apy_, &ApyPresence::arrived, this, &Translator::onApyArrived);
    if (options_.libre) {
        libre_ = new LibreEngine(*options_.libre, this);
        libre_->start();
    }
}

Translator::~Translator()
{
    // LibreTranslate's texts still under way call back into the members
    // below: it goes while they are whole.
    delete libre_;
    libre_ = nullptr;
}

Route Translator::routeFor(const QString &source, const QString &target) const
{
    const Language *from = LanguageByCode(source);
    const Language *to = LanguageByCode(target);
    if (!from || !to || !apy_.ready())
        return {};
    return routes_.routeFor(from->apertium, to->apertium);
}

bool Translator::takePairList(const QByteArray &listPairs)
{
    std::optional<RouteTable> routes = RouteTable::FromListPairs(listPairs);
    if (!routes)
        return false;
    routes_ = std::move(*routes);
    routeRun_.forgetWarmUps();
    coldRoutesLogged_.clear();
    qCInfo(lcService, "APy has %d pairs", int(routes_.size()));
    return true;
}

void Translator::onApyArrived()
{
    if (const auto pair = std::exchange(warmWhenApyComes_, std::nullopt))
        warm(pair->first, pair->second);
}

void Translator::warm(const QString &source, const QString &target)
{
    if (answersFromDictionary({{}, source, target})) {
        dictionaries_.forPair(source, target);  // opened once, kept
        return;
    }
    if (!apy_.ready()) {
        if (apy_.expected())
            warmWhenApyComes_ = {source, target};
        return;
    }
    const Route route = routeFor(source, target);
    if (route.available())
        routeRun_.warm(route.legs, QDeadlineTimer(options_.apyTimeoutMs));
}

void Translator::countColdStart(const QString &routeKey)
{
    ++coldStarts_;
    // Once per route and APy: enough for an operator to see warm-ups come late.
    if (!coldRoutesLogged_.contains(routeKey)) {
        coldRoutesLogged_.insert(routeKey);
        qCInfo(lcService, "cold start %llu: %s waits for its pipelines",
               static_cast<unsigned long long>(coldStarts_), qUtf8Printable(routeKey));
    }
}

void Translator::translate(const TranslateQuery &query, Wanted wanted, Done done,
                           std::optional<QDeadlineTimer> deadline)
{
    // Once per query: one that waited for APy comes back through translateHere.
    Q_EMIT translationAsked(query.source + QLatin1Char('|') + query.target);
    if (libre_ && !query.text.trimmed().isEmpty() && libre_->takes(query.source, query.target)) {
        askLibre(query, wanted, std::move(done),
                 deadline.value_or(QDeadlineTimer(options_.apyTimeoutMs)));
        return;
    }
    translateHere(query, std::move(wanted), std::move(done), deadline);
}

bool Translator::answersFromDictionary(const TranslateQuery &query) const
{
    return DictionaryShelf::Serves(query.source, query.target) &&
           !routeFor(query.source, query.target).available();
}

// Whatever LibreTranslate does, the text still goes the usual way within the
// query's deadline: the server gets half of what is left, or nearly all of
// it when the usual way is a dictionary look-up, which takes no time.
void Translator::askLibre(const TranslateQuery &query, const Wanted &wanted, Done done,
                          QDeadlineTimer deadline)
{
    const QString cacheKey =
        kLibreTranslate + QLatin1Char('>') + query.source + QLatin1Char('|') + query.target;
    if (const std::optional<QString> known = cache_.find(cacheKey, query.text)) {
        done({true, *known, {}, kLibreTranslate});
        return;
    }
    ++answersOwed_;
    const qint64 left = deadline.remainingTime();
    const QDeadlineTimer limit(answersFromDictionary(query) ? std::max<qint64>(left - 300, left / 2)
                                                            : left / 2);
    libre_->translate(query.source, query.target, accents_.restore(query.source, query.text), limit,
                      wanted,
                      [this, query, cacheKey, wanted, deadline,
                       done = std::move(done)](const LibreEngine::Result &result) mutable {
                          if (result.ok) {
                              cache_.insert(cacheKey, query.text, result.text.trimmed());
                              done({true, result.text.trimmed(), {}, kLibreTranslate});
                          } else if (wanted()) {
                              translateHere(query, wanted, std::move(done), deadline);
                          } else {
                              done(Failure("the requester has gone"));
                          }
                          answerDone();
                      });
}

void Translator::translateHere(const TranslateQuery &query, Wanted wanted, Done done,
                               std::optional<QDeadlineTimer> deadline)
{
    if (query.text.trimmed().isEmpty()) {
        done({true, query.text.trimmed(), {}});
        return;
    }
    // No Debian package translates German; the dictionaries need no APy.
    if (answersFromDictionary(query)) {
        done({true, dictionaryAnswerFor(query), {}, kDictionaries});
        return;
    }
    if (!apy_.ready()) {
        if (apy_.expected())
            waitForApy(query, std::move(wanted), std::move(done));
        else
            done(Failure("APy not running"));
        return;
    }
    const Route route = routeFor(query.source, query.target);
    if (!route.available()) {
        done({true, UnavailablePairText(query.source, query.target), {}});
        return;
    }
    const QString routeKey = route.legs.join(QLatin1Char('>'));
    if (const std::optional<QString> known = cache_.find(routeKey, query.text)) {
        done({true, *known, {}, kApertium});
        return;
    }
    ++answersOwed_;
    // A query that waited for APy finds its pipelines forgotten too.
    if (!routeRun_.isWarm(route.legs))
        countColdStart(routeKey);
    // Folded or unaccented words are words Apertium does not know. APy's time
    // starts once they are restored, as it always has: the restoring is ours.
    const QString restored = accents_.restore(query.source, query.text);
    routeRun_.translate(
        route.legs, restored, deadline.value_or(QDeadlineTimer(options_.apyTimeoutMs)), wanted,
        [this, wanted, routeKey, text = query.text,
         done = std::move(done)](const ApyClient::Result &result) {
            if (result.ok)
                cache_.insert(routeKey, text, result.text);
            else if (wanted())  // a flood of departed clients is no news
                qCWarning(lcService, "%s", qUtf8Printable(result.error));
            done(result.ok ? Result{true, result.text, {}, kApertium} : Failure("APy unavailable"));
            answerDone();
        },
        route.alternative);
}

QString Translator::dictionaryAnswerFor(const TranslateQuery &query)
{
    Dictionary *dictionary = dictionaries_.forPair(query.source, query.target);
    if (!dictionary)
        return UnavailablePairText(query.source, query.target);
    return DictionaryAnswer(*dictionary, query.source, query.text);
}

void Translator::answerDone()
{
    --answersOwed_;
    Q_EMIT queryAnswered();
}

void Translator::waitForApy(const TranslateQuery &query, Wanted wanted, Done done)
{
    ++answersOwed_;
    // Its deadline starts at its arrival: an APy that never comes still gets
    // its failure within the usual time.
    const QDeadlineTimer deadline(options_.apyTimeoutMs);
    apy_.whenReady(options_.apyTimeoutMs, [this, query, wanted = std::move(wanted),
                                           done = std::move(done), deadline](bool arrived) {
        if (arrived && wanted())
            translateHere(query, wanted, done, deadline);
        else
            done(Failure("APy not running"));
        answerDone();
    });
}

}  // namespace verz
