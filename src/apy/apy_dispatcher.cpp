#include "apy/apy_dispatcher.h"

#include <algorithm>

namespace verz {

namespace {

qint64 RemainingMs(const QDeadlineTimer &deadline)
{
    return deadline.isForever() ? 3600 * 1000 : deadline.remainingTime();
}

}  // namespace

ApyDispatcher::ApyDispatcher(Options options, QObject *parent) : QObject(parent), options_(options)
{
    clock_.start();
    wake_.setInterval(50);
    connect(&wake_, &QTimer::timeout, this, &ApyDispatcher::pumpAll);
}

ApyDispatcher::~ApyDispatcher() = default;

void ApyDispatcher::addServer(const QUrl &base, const QByteArray &accessKey)
{
    Server server;
    server.client = new ApyClient(this);
    server.client->setBaseUrl(base);
    server.client->setAccessKey(accessKey);
    servers_.emplace(nextServerId_++, std::move(server));
    pumpAll();
}

void ApyDispatcher::clearServers()
{
    for (auto it = servers_.begin(); it != servers_.end();) {
        auto current = it++;
        current->second.retired = true;
        forgetIfIdle(current);
    }
}

bool ApyDispatcher::hasServers() const
{
    return std::any_of(servers_.begin(), servers_.end(),
                       [](const auto &entry) { return !entry.second.retired; });
}

int ApyDispatcher::callsInFlight() const
{
    int calls = 0;
    for (const auto &entry : servers_)
        calls += entry.second.calls;
    return calls;
}

qsizetype ApyDispatcher::queuedTexts() const
{
    qsizetype texts = 0;
    for (const std::deque<JobPtr> &queue : queues_)
        texts += qsizetype(queue.size());
    return texts;
}

void ApyDispatcher::forgetIfIdle(std::map<int, Server>::iterator server)
{
    if (!server->second.retired || server->second.calls > 0)
        return;
    server->second.client->deleteLater();
    servers_.erase(server);
}

void ApyDispatcher::translate(const QString &langpair, const QString &text, QDeadlineTimer deadline,
                              Wanted wanted, Done done)
{
    auto job = std::make_shared<Job>();
    job->text = text;
    job->deadline = deadline;
    job->wanted = std::move(wanted);
    job->done = std::move(done);
    queues_[langpair].push_back(std::move(job));
    pump(langpair);
}

bool ApyDispatcher::dropIfStale(const JobPtr &job)
{
    const bool gone = job->wanted && !job->wanted();
    if (!gone && !job->deadline.hasExpired())
        return false;
    // Later, so that a caller never sees its callback run inside translate().
    QTimer::singleShot(0, this, [job, gone] {
        job->done({false,
                   {},
                   gone ? QStringLiteral("the requester has gone")
                        : QStringLiteral("no APy answered in time"),
                   false});
    });
    return true;
}

int ApyDispatcher::usableServers() const
{
    const qint64 now = clock_.elapsed();
    return int(std::count_if(servers_.begin(), servers_.end(), [now](const auto &entry) {
        return !entry.second.retired && entry.second.restUntilMs <= now;
    }));
}

int ApyDispatcher::pickServer(const QString &langpair) const
{
    const qint64 now = clock_.elapsed();
    if (pausedUntilMs_.value(langpair) > now)
        return -1;
    int best = -1, bestCalls = 0;
    for (const auto &[id, server] : servers_) {
        if (server.retired || server.restUntilMs > now ||
            server.callsByPair.value(langpair) >= options_.callsPerPair)
            continue;
        if (best < 0 || server.calls < bestCalls) {
            best = id;
            bestCalls = server.calls;
        }
    }
    return best;
}

void ApyDispatcher::pumpAll()
{
    const QStringList langpairs = queues_.keys();
    for (const QString &langpair : langpairs)
        pump(langpair);
    if (queues_.isEmpty())
        wake_.stop();
}

void ApyDispatcher::pump(const QString &langpair)
{
    auto found = queues_.find(langpair);
    if (found == queues_.end())
        return;
    std::deque<JobPtr> &queue = found.value();
    while (!queue.empty()) {
        if (dropIfStale(queue.front())) {
            queue.pop_front();
            continue;
        }
        const int server = pickServer(langpair);
        if (server < 0)
            break;
        Batch batch{queue.front()};
        queue.pop_front();
        qsizetype cost = BlockCost(batch.front()->text);
        while (!batch.front()->alone && !queue.empty()) {
            const JobPtr &next = queue.front();
            if (dropIfStale(next)) {
                queue.pop_front();
                continue;
            }
            const qsizetype more = BlockCost(next->text);
            if (next->alone || cost + more > options_.maxQuery)
                break;
            cost += more;
            batch.push_back(next);
            queue.pop_front();
        }
        send(server, langpair, std::move(batch));
    }
    if (queue.empty())
        queues_.erase(found);
    else if (!wake_.isActive())
        wake_.start();
}

void ApyDispatcher::send(int serverId, const QString &langpair, Batch batch)
{
    Server &server = servers_.at(serverId);
    ++server.calls;
    ++server.callsByPair[langpair];
    qint64 left = RemainingMs(batch.front()->deadline);
    for (const JobPtr &job : batch)
        left = std::min(left, RemainingMs(job->deadline));
    // With another server to turn to, one that hangs may take only half the time left.
    if (usableServers() > 1)
        left = std::max<qint64>(left / 2, 1);
    QStringList texts;
    for (const JobPtr &job : batch)
        texts.append(job->text);
    server.client->translate(langpair, texts, int(std::max<qint64>(left, 1)),
                             [this, serverId, langpair, batch = std::move(batch)](
                                 const ApyClient::Result &result, const QStringList &translations) {
                                 finished(serverId, langpair, batch, result, translations);
                             });
}

void ApyDispatcher::requeueFront(const QString &langpair, const Batch &batch)
{
    std::deque<JobPtr> &queue = queues_[langpair];
    for (auto job = batch.rbegin(); job != batch.rend(); ++job)
        queue.push_front(*job);
}

void ApyDispatcher::finished(int serverId, const QString &langpair, const Batch &batch,
                             const ApyClient::Result &result, const QStringList &translations)
{
    Q_EMIT callEnded(int(batch.size()), result.ok);
    if (auto server = servers_.find(serverId); server != servers_.end()) {
        --server->second.calls;
        --server->second.callsByPair[langpair];
        if (!result.ok && result.pipelineRestarting)
            pausedUntilMs_[langpair] = clock_.elapsed() + options_.pipelineRestartMs;
        else if (!result.ok && result.apyFault)
            server->second.restUntilMs = clock_.elapsed() + options_.restMs;
        forgetIfIdle(server);
    }
    if (result.ok) {
        for (size_t i = 0; i < batch.size(); ++i)
            batch[i]->done({true, translations.at(qsizetype(i)), {}, false});
    } else if (result.blocksRunTogether && batch.size() > 1) {
        // Each text goes again by itself.
        for (const JobPtr &job : batch)
            job->alone = true;
        requeueFront(langpair, batch);
    } else if (result.apyFault) {
        Batch again;
        for (const JobPtr &job : batch) {
            if (job->deadline.hasExpired())
                job->done(result);
            else
                again.push_back(job);
        }
        requeueFront(langpair, again);
    } else {
        for (const JobPtr &job : batch)
            job->done(result);
    }
    pump(langpair);
}

}  // namespace verz
