#pragma once

#include "accents/accent_restorer.h"
#include "apy/apy_dispatcher.h"
#include "apy/apy_presence.h"
#include "dict/dictionary_shelf.h"
#include "pages/translate_query.h"
#include "service/route_run.h"
#include "service/route_table.h"
#include "service/translation_cache.h"

#include "libre/libre_engine.h"

#include <QDeadlineTimer>
#include <QList>
#include <QObject>
#include <QPair>
#include <QSet>

#include <functional>
#include <memory>
#include <optional>

namespace verz {

// The way from a query to its translation, with no socket in it: the pairs
// with German from the dictionaries, the others along their route through
// APy, accents restored first, answers cached; a query that comes while APy
// is starting waits for it. Whoever asks writes the answer.
class Translator : public QObject {
    Q_OBJECT
public:
    struct Options {
        // From a request's arrival to its answer, both legs and a wait for APy
        // to start included: a cold two-leg route takes seconds on a busy
        // machine, and the program gives up after 15.
        int apyTimeoutMs = 12000;
        qsizetype cacheEntries = 4096;
        // The free dictionaries that answer the pairs with German.
        QString dictionaryFolder = QStringLiteral("/usr/share/dictd");
        // A LibreTranslate server asked first for its pairs; none: nothing leaves the machine.
        std::optional<LibreEngine::Options> libre{};
        qint64 pipelineIdleMs = 120000;  // APy ends a pipeline unused this long
    };
    struct Result {
        bool ok = false;
        QString text;   // the translation when ok
        QString error;  // why not, in the answer's words, when not ok
        // What answered, as the home page names it in small print
        // ("Apertium", "dictionnaires", "LibreTranslate"); empty for nothing.
        QString answeredBy{};
    };
    using Done = std::function<void(const Result &)>;
    // False once nobody waits for the answer any more: APy is spared the text.
    using Wanted = std::function<bool()>;

    explicit Translator(Options options, QObject *parent = nullptr);
    ~Translator() override;

    // done runs exactly once, at once or later, on this thread. deadline: the
    // request's own when it has one already; by default APy's time starts
    // once the accents are restored.
    void translate(const TranslateQuery &query, Wanted wanted, Done done,
                   std::optional<QDeadlineTimer> deadline = std::nullopt);

    // Gets the pair ready for a text that is about to come: APy's pipelines
    // along its route start (once APy is there, for the last pair asked while
    // it starts), or the dictionary with German opens. Translates nothing;
    // cheap to repeat.
    void warm(const QString &source, const QString &target);

    // Whether APy is there and where; its pair list gives the routes. While
    // it is expected, queries wait for it (each at most the APy timeout)
    // instead of failing, so the one that woke the service is answered.
    ApyPresence &apy() { return apy_; }
    const ApyPresence &apy() const { return apy_; }

    // How long a request waits for APy to come up (the service's --timeout).
    int apyTimeoutMs() const { return options_.apyTimeoutMs; }
    // Accents restored as for a text of that language before translation.
    QString restoreAccents(const QString &language, const QString &text)
    {
        return accents_.restore(language, text);
    }
    int apyCallsInFlight() const { return dispatcher_.callsInFlight(); }
    const RouteTable &routes() const { return routes_; }
    // The APy legs a pair takes (two-letter codes); none when APy has no way.
    Route routeFor(const QString &source, const QString &target) const;
    // The LibreTranslate server in front, when one was given.
    LibreEngine *libre() { return libre_; }
    // Queries taken whose done has not run yet.
    int answersOwed() const { return answersOwed_; }
    quint64 textsCut() const { return routeRun_.textsCut(); }
    // Texts that had to wait for APy or one of their route's pipelines to
    // start: what warm-ups are there to spare the user.
    quint64 coldStarts() const { return coldStarts_; }
    const TranslationCache &cache() const { return cache_; }
    ApyDispatcher &apyDispatcher() { return dispatcher_; }
    const ApyDispatcher &apyDispatcher() const { return dispatcher_; }

Q_SIGNALS:
    // A query that had to wait (for APy to start or to answer) is done.
    void queryAnswered();
    // A translation was asked for, pair as "en|fr".
    void translationAsked(const QString &pair);

private:
    void askLibre(const TranslateQuery &query, const Wanted &wanted, Done done,
                  QDeadlineTimer deadline);
    void translateHere(const TranslateQuery &query, Wanted wanted, Done done,
                       std::optional<QDeadlineTimer> deadline);
    bool answersFromDictionary(const TranslateQuery &query) const;
    void waitForApy(const TranslateQuery &query, Wanted wanted, Done done);
    bool takePairList(const QByteArray &listPairs);
    void onApyArrived();
    QString dictionaryAnswerFor(const TranslateQuery &query);
    void answerDone();
    void countColdStart(const QString &routeKey);

    Options options_;
    ApyDispatcher dispatcher_;
    RouteRun routeRun_;
    RouteTable routes_;
    AccentRestorers accents_;
    DictionaryShelf dictionaries_;
    LibreEngine *libre_ = nullptr;
    TranslationCache cache_;
    // The pair last asked for while APy starts: the one a user chose last.
    // Earlier ones are not started with it, lest their pipelines slow the
    // start of the one the click will need.
    std::optional<QPair<QString, QString>> warmWhenApyComes_;
    QSet<QString> coldRoutesLogged_;  // since APy started
    quint64 coldStarts_ = 0;
    int answersOwed_ = 0;
    // Last: the queries waiting for APy are given up before what they use goes.
    ApyPresence apy_;
};

}  // namespace verz
