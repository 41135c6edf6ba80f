#pragma once

#include "accents/accent_restorers.h"
#include "service/apy_dispatcher.h"
#include "service/dictionary_shelf.h"
#include "service/route_table.h"
#include "service/translate_query.h"
#include "service/translation_cache.h"

#include <QAbstractSocket>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>

#include <memory>
#include <optional>

namespace verz {

class GatedTcpServer;
class HttpResponder;
struct HttpRequest;

// The page service: answers GET /translate_t with the result page, and GET /
// with the home page for the browser, asking APy for the translation along
// the route the pair needs.
class TranslationService : public QObject {
    Q_OBJECT
public:
    struct Options {
        // From a request's arrival to its answer, both legs and a wait for APy
        // to start included: a cold two-leg route takes seconds on a busy
        // machine, and the program gives up after 15.
        int apyTimeoutMs = 12000;
        qsizetype cacheEntries = 4096;
        int headTimeoutMs = 5000;   // a request head not whole by then: 408
        int idleTimeoutMs = 15000;  // a keep-alive connection with no request is closed
        int maxConnections = 512;   // past it an idle one makes way, or the new one gets 503
        // The free dictionaries that answer the pairs with German.
        QString dictionaryFolder = QStringLiteral("/usr/share/dictd");
    };

    explicit TranslationService(Options options, QObject *parent = nullptr);
    ~TranslationService() override;

    // Port 0 picks a free one. False when the address cannot be bound.
    bool listen(const QHostAddress &address, quint16 port);
    // Serves on a socket that is already bound and listening (handed over at start).
    bool adoptListeningSocket(qintptr descriptor);
    quint16 port() const;
    QAbstractSocket::SocketError listenError() const;

    // Where APy answers and which pairs it has; until then every request is 503.
    // The key is the one our own APy child wants (empty for others).
    void setApy(const QUrl &baseUrl, const RouteTable &routes, const QByteArray &accessKey = {});
    // One more APy with the same pairs; requests go to the least loaded.
    void addApy(const QUrl &baseUrl, const QByteArray &accessKey = {});
    void clearApy();
    bool apyAvailable() const { return apy_.hasEngines(); }
    int apyCallsInFlight() const { return apy_.callsInFlight(); }
    const RouteTable &routes() const { return routes_; }
    // APy is on its way: requests wait for setApy (each at most the APy timeout)
    // instead of being refused, so the one that woke the service is answered.
    void awaitApy();
    bool apyAwaited() const { return awaitingApy_; }
    // Requests taken whose answer has not been written yet.
    int answersOwed() const { return answersOwed_; }

Q_SIGNALS:
    // Any request at all, before it is judged.
    void requestArrived();
    // An answer that had to wait (for APy or for the engine) has been written.
    void requestAnswered();

private:
    void handle(const HttpRequest &request, HttpResponder &&responder);
    void handleHome(const HttpRequest &request, HttpResponder &&responder);
    // Writes the answer through write once the translation is known: at once
    // when APy need not be asked, later otherwise. ok=false: the engine failed,
    // error holds the plain answer for the program.
    using AnswerWriter = std::function<void(HttpResponder &, const ApyClient::Result &)>;
    // deadline: the request's own, when it waited for APy; else one starts now.
    void translateFor(const TranslateQuery &query, HttpResponder &&responder,
                      const AnswerWriter &write,
                      std::optional<QDeadlineTimer> deadline = std::nullopt);
    void waitForApy(const TranslateQuery &query, HttpResponder &&responder,
                    const AnswerWriter &write);
    void answerWaiting();
    QString dictionaryAnswerFor(const TranslateQuery &query);
    void answerDone();
    struct WaitingRequest {
        TranslateQuery query;
        std::shared_ptr<HttpResponder> responder;
        AnswerWriter write;
        QDeadlineTimer deadline;  // started at its arrival
    };
    void translateLegs(const QStringList &legs, const QString &text, QDeadlineTimer deadline,
                       ApyDispatcher::Wanted wanted, ApyDispatcher::Done done);
    struct LegRun {
        QStringList legs;
        QDeadlineTimer deadline;  // one for the whole route, so two legs together stay within it
        ApyDispatcher::Wanted wanted;
        ApyDispatcher::Done done;
    };
    void runLeg(const std::shared_ptr<LegRun> &run, qsizetype index, const QString &input);
    void warmLaterLegs(const LegRun &run);

    Options options_;
    GatedTcpServer *http_;
    ApyDispatcher apy_;
    RouteTable routes_;
    AccentRestorers accents_;
    DictionaryShelf dictionaries_;
    TranslationCache cache_;
    QList<std::shared_ptr<WaitingRequest>> waiting_;
    QHash<QString, QElapsedTimer> legsWarmed_;  // by langpair: when a warm-up was last sent
    bool awaitingApy_ = false;
    int answersOwed_ = 0;
};

}  // namespace verz
