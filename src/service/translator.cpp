#include "service/translator.h"

#include "common/languages.h"
#include "dict/dictionary_answer.h"
#include "service/page_builder.h"
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
    : QObject(parent), options_(std::move(options)), apy_(this),
      routeRun_(apy_, options_.pipelineIdleMs), dictionaries_(options_.dictionaryFolder),
      cache_(options_.cacheEntries)
{
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
    if (!from || !to || !apy_.hasServers())
        return {};
    return routes_.routeFor(from->apertium, to->apertium);
}

void Translator::setApy(const QUrl &baseUrl, const RouteTable &routes, const QByteArray &accessKey)
{
    apy_.clearServers();
    apy_.addServer(baseUrl, accessKey);
    servers_ = {{baseUrl, accessKey}};
    routes_ = routes;
    awaitingApy_ = false;
    routeRun_.forgetWarmUps();
    coldRoutesLogged_.clear();
    if (const auto pair = std::exchange(warmWhenApyComes_, std::nullopt))
        warm(pair->first, pair->second);
    answerWaiting();
}

void Translator::addApy(const QUrl &baseUrl, const QByteArray &accessKey)
{
    apy_.addServer(baseUrl, accessKey);
    servers_.append({baseUrl, accessKey});
}

void Translator::clearApy()
{
    apy_.clearServers();
    servers_.clear();
    awaitingApy_ = false;
    warmWhenApyComes_.reset();
}

void Translator::warm(const QString &source, const QString &target)
{
    if (answersFromDictionary({{}, source, target})) {
        dictionaries_.forPair(source, target);  // opened once, kept
        return;
    }
    if (!apy_.hasServers()) {
        if (awaitingApy_)
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

void Translator::awaitApy()
{
    apy_.clearServers();
    servers_.clear();
    awaitingApy_ = true;
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
        done({true, *known, {}, false, kLibreTranslate});
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
                              done({true, result.text.trimmed(), {}, false, kLibreTranslate});
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
        done({true, dictionaryAnswerFor(query), {}, false, kDictionaries});
        return;
    }
    if (!apy_.hasServers()) {
        if (awaitingApy_)
            waitForApy(query, std::move(wanted), std::move(done));
        else
            done(Failure("Translation engine not running"));
        return;
    }
    const Route route = routeFor(query.source, query.target);
    if (!route.available()) {
        done({true, UnavailablePairText(query.source, query.target), {}});
        return;
    }
    const QString routeKey = route.legs.join(QLatin1Char('>'));
    if (const std::optional<QString> known = cache_.find(routeKey, query.text)) {
        done({true, *known, {}, false, kApertium});
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
        [this, wanted, routeKey, text = query.text, done = std::move(done)](const Result &result) {
            if (result.ok)
                cache_.insert(routeKey, text, result.text);
            else if (wanted())  // a flood of departed clients is no news
                qCWarning(lcService, "%s", qUtf8Printable(result.error));
            done(result.ok ? Result{true, result.text, {}, false, kApertium}
                           : Failure("Translation engine unavailable"));
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
    auto waiting = std::make_shared<WaitingQuery>(WaitingQuery{
        query, std::move(wanted), std::move(done), QDeadlineTimer(options_.apyTimeoutMs)});
    waiting_.push_back(waiting);
    // An APy that never comes still gets its failure within the usual time.
    // The timer holds the query weakly: a pending single-shot timer outlives
    // this object until the application goes, and the answer the query owes
    // must be given up with this object, while what it reports to still lives.
    QTimer::singleShot(options_.apyTimeoutMs, this, [this, weak = std::weak_ptr(waiting)] {
        const std::shared_ptr<WaitingQuery> waiting = weak.lock();
        if (!waiting || !waiting_.removeOne(waiting))
            return;
        waiting->done(Failure("Translation engine not running"));
        answerDone();
    });
}

void Translator::answerWaiting()
{
    const QList<std::shared_ptr<WaitingQuery>> ready = std::exchange(waiting_, {});
    for (const std::shared_ptr<WaitingQuery> &waiting : ready) {
        if (waiting->wanted())
            translateHere(waiting->query, waiting->wanted, waiting->done, waiting->deadline);
        else
            waiting->done(Failure("Translation engine not running"));
        answerDone();
    }
}

}  // namespace verz
