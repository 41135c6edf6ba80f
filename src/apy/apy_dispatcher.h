#pragma once

#include "apy/apy_client.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace verz {

// Sends texts to one or more APy servers, one leg at a time.
//
// APy's cost is mostly per call, so texts for one langpair that arrive while
// that langpair's calls are all busy wait, and the next free call takes them
// all together, each its own block; a text that finds a call free goes at
// once. A call goes to the least loaded server that has not failed lately; a
// call that fails on the server's side is tried again (on another server, or
// on the same one after a rest) while its texts' deadlines allow. A text
// whose requester has gone is dropped before it is sent.
class ApyDispatcher : public QObject {
    Q_OBJECT
public:
    struct Options {
        int callsPerPair = 2;  // per server and langpair: APy's pipelines per pair
        int restMs = 1000;     // a server that failed is left alone this long
        // A langpair whose pipeline APy restarts is asked again this soon: the
        // call then waits for the new pipeline, within the texts' deadlines.
        int pipelineRestartMs = 250;
        qsizetype maxQuery = kMaxBlockQuery;
    };
    using Done = std::function<void(const ApyClient::Result &)>;
    using Wanted = std::function<bool()>;

    explicit ApyDispatcher(QObject *parent = nullptr) : ApyDispatcher(Options{}, parent) {}
    explicit ApyDispatcher(Options options, QObject *parent = nullptr);
    ~ApyDispatcher() override;

    void addServer(const QUrl &base, const QByteArray &accessKey = {});
    // Calls under way finish on their own; their texts then go to the next server added.
    void clearServers();
    bool hasServers() const;
    int callsInFlight() const;
    // Servers not retired and not resting after a failure.
    int usableServers() const;
    // Texts waiting for a free call.
    qsizetype queuedTexts() const;

    // One text, of BlockCost within maxQuery (cut longer ones with
    // CutIntoBlocks). done runs exactly once: with the translation, or when
    // the deadline passes, or (with ok=false) once wanted() says no.
    void translate(const QString &langpair, const QString &text, QDeadlineTimer deadline,
                   Wanted wanted, Done done);

Q_SIGNALS:
    // One call to APy has ended, carrying that many texts.
    void callEnded(int texts, bool ok);

private:
    struct Server {
        ApyClient *client = nullptr;
        int calls = 0;
        QHash<QString, int> callsByPair;
        qint64 restUntilMs = 0;
        bool retired = false;
    };
    struct Job {
        QString text;
        QDeadlineTimer deadline;
        Wanted wanted;
        Done done;
        bool alone = false;  // its batch did not split: it goes by itself
    };
    using JobPtr = std::shared_ptr<Job>;
    using Batch = std::vector<JobPtr>;

    void pump(const QString &langpair);
    void pumpAll();
    int pickServer(const QString &langpair) const;
    bool dropIfStale(const JobPtr &job);
    void send(int serverId, const QString &langpair, Batch batch);
    void finished(int serverId, const QString &langpair, const Batch &batch,
                  const ApyClient::Result &result, const QStringList &translations);
    void requeueFront(const QString &langpair, const Batch &batch);
    void forgetIfIdle(std::map<int, Server>::iterator server);

    Options options_;
    std::map<int, Server> servers_;
    int nextServerId_ = 0;
    QHash<QString, std::deque<JobPtr>> queues_;
    QHash<QString, qint64> pausedUntilMs_;  // langpairs whose pipeline APy restarts
    QTimer wake_;  // while texts wait: retries after a rest, drops the stale
    QElapsedTimer clock_;
};

}  // namespace verz
