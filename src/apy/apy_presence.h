#pragma once

#include "apy/apy_supervisor.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QList>
#include <QObject>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <vector>

namespace verz {

class ApyClient;
class ApyDispatcher;

// Whether APy is there, and where: the one owner of the servers the
// dispatcher sends to. APy is either our own child (kept running by the
// supervisor, put to sleep when unused and woken by the next request) or the
// servers given on the command line (asked for their pairs until one
// answers). Whoever needs APy while it is on its way waits through
// whenReady, the one wait there is.
class ApyPresence : public QObject {
    Q_OBJECT
public:
    struct Server {
        QUrl base;
        QByteArray accessKey{};  // what our own child wants in kApyKeyHeader; empty for others
    };
    struct Options {
        QList<QUrl> external;  // servers to use; none: run our own
        ApySupervisor::Options supervisor;
        int idleSeconds = 120;  // our own APy stops after this long unused
    };
    struct Health {
        bool ok = false;
        QByteArray text;  // one short line
    };
    // Reads a server's /listPairs answer; false when it is unusable, and the
    // server is then not used.
    using PairReader = std::function<bool(const QByteArray &listPairs)>;
    using Ready = std::function<void(bool arrived)>;

    ApyPresence(ApyDispatcher &dispatcher, PairReader readPairs, QObject *parent = nullptr);
    ~ApyPresence() override;

    // Brings APy: asks the external servers, or starts our own child. False
    // (with a message) when ours is not installed.
    bool start(Options options, QString *error);
    void stop();

    // By hand, as start does it: the first server (with its pair list), one
    // more with the same pairs, none and none coming (new waits fail at
    // once), or none yet but on its way.
    void use(const Server &server, const QByteArray &listPairs);
    void add(const Server &server);
    void clear();
    void expect();

    bool ready() const { return !servers_.isEmpty(); }
    // Not there yet but coming: a wait makes sense.
    bool expected() const { return expected_; }
    bool asleep() const { return asleep_; }
    const QList<Server> &servers() const { return servers_; }
    Health health() const;

    // then runs once on this object's thread: with true as soon as APy is
    // there (at once when it is), with false when it is not expected or has
    // not come within timeoutMs. Dropped uncalled when this object goes.
    void whenReady(int timeoutMs, Ready then);
    qsizetype waiting() const { return waiting_.size(); }

    // A request came: the idle time starts again and a sleeping APy wakes.
    void noteRequest();
    // An answer went: the idle time starts again.
    void noteAnswer();
    // While this says so, our own APy does not go to sleep.
    void setBusy(std::function<bool()> busy) { busy_ = std::move(busy); }

Q_SIGNALS:
    // The first server is in use: texts can go.
    void arrived();
    // Our own APy went away; a restart follows, and it is expected meanwhile.
    void lost();

private:
    struct Waiter {
        QDeadlineTimer deadline;
        Ready then;
    };
    void ask(ApyClient *probe);
    void onIdle();
    void answerWaiting();
    void expireWaiting();

    ApyDispatcher &dispatcher_;
    PairReader readPairs_;
    Options options_;
    QList<Server> servers_;
    ApySupervisor *supervisor_ = nullptr;
    std::vector<Waiter> waiting_;
    QTimer waitEnd_;  // at the first waiter's deadline
    QTimer idle_;
    std::function<bool()> busy_;
    bool expected_ = false;
    bool asleep_ = false;
};

}  // namespace verz
