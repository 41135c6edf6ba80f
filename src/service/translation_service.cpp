#include "service/translation_service.h"

#include "service/dictionary_answer.h"
#include "service/gated_tcp_server.h"
#include "service/home_page.h"
#include "service/languages.h"
#include "service/page_builder.h"
#include "service/request_gate.h"
#include "service/translate_query.h"

#include <QTimer>

#include <cstdio>
#include <utility>

namespace verz {

namespace {

using Status = HttpResponder::StatusCode;

void WritePage(HttpResponder &responder, const QByteArray &page, Status status)
{
    responder.write(
        page,
        {{QByteArrayLiteral("Content-Type"), QByteArrayLiteral("text/html; charset=utf-8")},
         {QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store")}},
        status);
}

void WritePlain(HttpResponder &responder, const char *text, Status status)
{
    responder.write(
        QByteArray(text) + '\n',
        {{QByteArrayLiteral("Content-Type"), QByteArrayLiteral("text/plain; charset=utf-8")}},
        status);
}

const char *QueryErrorText(QueryError error)
{
    switch (error) {
    case QueryError::MissingText:
        return "Missing text";
    case QueryError::MissingLangpair:
        return "Missing langpair";
    case QueryError::MalformedLangpair:
        return "Malformed langpair, use e.g. en|fr";
    case QueryError::UnknownLanguage:
        return "Unknown language in langpair";
    case QueryError::BadEncoding:
        return "Bad percent-encoding or not UTF-8";
    }
    return "Bad request";
}

}  // namespace

TranslationService::TranslationService(Options options, QObject *parent)
    : QObject(parent), options_(options),
      http_(new GatedTcpServer(
          {{options.headTimeoutMs, options.idleTimeoutMs}, options.maxConnections}, this)),
      apy_(this), dictionaries_(options.dictionaryFolder), cache_(options.cacheEntries)
{
    http_->route(QStringLiteral("/translate_t"),
                 [this](const HttpRequest &request, HttpResponder &&responder) {
                     handle(request, std::move(responder));
                 });
    http_->route(QStringLiteral("/"),
                 [this](const HttpRequest &request, HttpResponder &&responder) {
                     handleHome(request, std::move(responder));
                 });
    http_->setMissingHandler([](const HttpRequest &, HttpResponder &&responder) {
        WritePlain(responder, "Not found", Status::NotFound);
    });
}

TranslationService::~TranslationService() = default;

bool TranslationService::listen(const QHostAddress &address, quint16 port)
{
    return http_->listen(address, port);
}

bool TranslationService::adoptListeningSocket(qintptr descriptor)
{
    return http_->setSocketDescriptor(descriptor);
}

quint16 TranslationService::port() const
{
    return http_->serverPort();
}

QAbstractSocket::SocketError TranslationService::listenError() const
{
    return http_->serverError();
}

void TranslationService::setApy(const QUrl &baseUrl, const RouteTable &routes,
                                const QByteArray &accessKey)
{
    apy_.clearEngines();
    apy_.addEngine(baseUrl, accessKey);
    routes_ = routes;
    awaitingApy_ = false;
    legsWarmed_.clear();  // a new engine has started no pipeline yet
    answerWaiting();
}

void TranslationService::addApy(const QUrl &baseUrl, const QByteArray &accessKey)
{
    apy_.addEngine(baseUrl, accessKey);
}

void TranslationService::clearApy()
{
    apy_.clearEngines();
    awaitingApy_ = false;
}

void TranslationService::handle(const HttpRequest &request, HttpResponder &&responder)
{
    // The server has checked the method, the host and that no body came.
    Q_EMIT requestArrived();
    const QByteArray rawQuery = request.url().query(QUrl::FullyEncoded).toLatin1();
    if (rawQuery.size() > kMaxRequestLine) {
        WritePlain(responder, "Request too long", Status::UriTooLong);
        return;
    }
    const auto parsed = ParseTranslateQuery(rawQuery);
    if (const QueryError *error = std::get_if<QueryError>(&parsed)) {
        WritePlain(responder, QueryErrorText(*error), Status::BadRequest);
        return;
    }
    translateFor(std::get<TranslateQuery>(parsed), std::move(responder),
                 [](HttpResponder &out, const ApyClient::Result &result) {
                     if (result.ok)
                         WritePage(out, ResultPage(result.text), Status::Ok);
                     else
                         WritePlain(out, result.error.toUtf8().constData(),
                                    Status::ServiceUnavailable);
                 });
}

void TranslationService::handleHome(const HttpRequest &request, HttpResponder &&responder)
{
    // The server has checked the method, the host and that no body came.
    Q_EMIT requestArrived();
    const HomeRequest home = ReadHomeRequest(request.url().query(QUrl::FullyEncoded).toLatin1());
    if (!home.query) {
        WriteHomePage(responder, HomePage(home.view), home.status);
        return;
    }
    translateFor(*home.query, std::move(responder),
                 [view = home.view](HttpResponder &out, const ApyClient::Result &result) mutable {
                     if (result.ok)
                         view.translation = result.text;
                     else
                         view.message = EngineDownMessage();
                     WriteHomePage(out, HomePage(view),
                                   result.ok ? Status::Ok : Status::ServiceUnavailable);
                 });
}

void TranslationService::translateFor(const TranslateQuery &query, HttpResponder &&responder,
                                      const AnswerWriter &write,
                                      std::optional<QDeadlineTimer> deadline)
{
    if (query.text.trimmed().isEmpty()) {
        write(responder, {true, query.text.trimmed(), {}});
        return;
    }
    // No Debian engine translates German; the dictionaries need no APy.
    if (DictionaryShelf::Serves(query.source, query.target) &&
        !(apy_.hasEngines() && routes_
                                   .routeFor(LanguageByCode(query.source)->apertium,
                                             LanguageByCode(query.target)->apertium)
                                   .available())) {
        write(responder, {true, dictionaryAnswerFor(query), {}});
        return;
    }
    if (!apy_.hasEngines()) {
        if (awaitingApy_) {
            waitForApy(query, std::move(responder), write);
            return;
        }
        write(responder, {false, {}, QStringLiteral("Translation engine not running")});
        return;
    }
    const Route route = routes_.routeFor(LanguageByCode(query.source)->apertium,
                                         LanguageByCode(query.target)->apertium);
    if (!route.available()) {
        write(responder, {true, UnavailablePairText(query.source, query.target), {}});
        return;
    }
    const QString routeKey = route.legs.join(QLatin1Char('>'));
    if (const std::optional<QString> known = cache_.find(routeKey, query.text)) {
        write(responder, {true, *known, {}});
        return;
    }
    // The answer is written later; the connection holds the next request back.
    auto pending = std::make_shared<HttpResponder>(std::move(responder));
    ++answersOwed_;
    const QString text = query.text;
    auto wanted = [answer = std::weak_ptr<HttpResponder>(pending)] {
        const std::shared_ptr<HttpResponder> responder = answer.lock();
        return responder && responder->clientConnected();
    };
    // Folded or unaccented words are words Apertium does not know. The
    // engine's time starts once they are restored, as it always has: the
    // restoring is ours, not the engine's.
    const QString restored = accents_.restore(query.source, text);
    translateLegs(
        route.legs, restored, deadline.value_or(QDeadlineTimer(options_.apyTimeoutMs)), wanted,
        [this, pending, routeKey, text, write](const ApyClient::Result &result) mutable {
            const bool waiting = pending->clientConnected();
            if (result.ok)
                cache_.insert(routeKey, text, result.text);
            else if (waiting)  // a flood of departed clients is no news
                std::fprintf(stderr, "verzolan-service: %s\n", qUtf8Printable(result.error));
            if (waiting)
                write(*pending,
                      result.ok ? result
                                : ApyClient::Result{
                                      false, {}, QStringLiteral("Translation engine unavailable")});
            pending.reset();
            answerDone();
        });
}

QString TranslationService::dictionaryAnswerFor(const TranslateQuery &query)
{
    Dictionary *dictionary = dictionaries_.forPair(query.source, query.target);
    if (!dictionary)
        return UnavailablePairText(query.source, query.target);
    return DictionaryAnswer(*dictionary, query.source, query.text);
}

void TranslationService::answerDone()
{
    --answersOwed_;
    Q_EMIT requestAnswered();
}

void TranslationService::awaitApy()
{
    apy_.clearEngines();
    awaitingApy_ = true;
}

void TranslationService::waitForApy(const TranslateQuery &query, HttpResponder &&responder,
                                    const AnswerWriter &write)
{
    ++answersOwed_;
    auto waiting = std::make_shared<WaitingRequest>(
        WaitingRequest{query, std::make_shared<HttpResponder>(std::move(responder)), write,
                       QDeadlineTimer(options_.apyTimeoutMs)});
    waiting_.push_back(waiting);
    // An engine that never comes still gets its 503 within the usual time.
    QTimer::singleShot(options_.apyTimeoutMs, this, [this, waiting] {
        if (!waiting_.removeOne(waiting))
            return;
        if (waiting->responder->clientConnected())
            waiting->write(*waiting->responder,
                           {false, {}, QStringLiteral("Translation engine not running")});
        waiting->responder.reset();
        answerDone();
    });
}

void TranslationService::answerWaiting()
{
    const QList<std::shared_ptr<WaitingRequest>> ready = std::exchange(waiting_, {});
    for (const std::shared_ptr<WaitingRequest> &waiting : ready) {
        if (waiting->responder->clientConnected())
            translateFor(waiting->query, std::move(*waiting->responder), waiting->write,
                         waiting->deadline);
        waiting->responder.reset();
        answerDone();
    }
}

void TranslationService::translateLegs(const QStringList &legs, const QString &text,
                                       QDeadlineTimer deadline, ApyDispatcher::Wanted wanted,
                                       ApyDispatcher::Done done)
{
    auto run = std::make_shared<LegRun>();
    run->legs = legs;
    run->deadline = deadline;
    run->wanted = std::move(wanted);
    run->done = std::move(done);
    warmLaterLegs(*run);
    runLeg(run, 0, text);
}

// APy starts a langpair's pipeline on its first call, which takes seconds on
// a busy machine; on a two-leg route the second start would wait for the
// first leg's answer, and both together can outlast the deadline on the first
// click after install. A word sent to the later legs now starts their
// pipelines while the first leg runs. Once a minute per langpair at most.
void TranslationService::warmLaterLegs(const LegRun &run)
{
    constexpr qint64 kWarmAgainMs = 60 * 1000;
    for (qsizetype i = 1; i < run.legs.size(); ++i) {
        QElapsedTimer &sent = legsWarmed_[run.legs.at(i)];
        if (sent.isValid() && sent.elapsed() < kWarmAgainMs)
            continue;
        sent.start();
        apy_.translate(
            run.legs.at(i), QStringLiteral("."), run.deadline, [] { return true; },
            [](const ApyClient::Result &) {});
    }
}

void TranslationService::runLeg(const std::shared_ptr<LegRun> &run, qsizetype index,
                                const QString &input)
{
    if (index == run->legs.size()) {
        // Block translation keeps the spaces around a text; a page shows none.
        run->done({true, input.trimmed(), {}, false});
        return;
    }
    // Long texts go in pieces cut at sentence ends, so none exceeds what APy
    // translates whole; the pieces' translations joined are the leg's.
    struct Gather {
        QStringList parts;
        qsizetype missing = 0;
        bool failed = false;
    };
    const QStringList pieces = CutIntoBlocks(input);
    auto gather = std::make_shared<Gather>();
    gather->parts.resize(pieces.size());
    gather->missing = pieces.size();
    if (pieces.isEmpty()) {
        runLeg(run, index + 1, input);
        return;
    }
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        apy_.translate(run->legs.at(index), pieces.at(i), run->deadline, run->wanted,
                       [this, run, index, gather, i](const ApyClient::Result &result) {
                           if (gather->failed)
                               return;
                           if (!result.ok) {
                               gather->failed = true;
                               run->done(result);
                               return;
                           }
                           gather->parts[i] = result.text;
                           if (--gather->missing == 0)
                               runLeg(run, index + 1, gather->parts.join(QString()));
                       });
    }
}

}  // namespace verz
