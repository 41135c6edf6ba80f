#include "service/apy_dispatcher.h"

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

void ApyDispatcher::addEngine(const QUrl &base, const QByteArray &accessKey)
{
    Engine engine;
    engine.client = new ApyClient(this);
    engine.client->setBaseUrl(base);
    engine.client->setAccessKey(accessKey);
    engines_.emplace(nextEngineId_++, std::move(engine));
    pumpAll();
}

void ApyDispatcher::clearEngines()
{
    for (auto it = engines_.begin(); it != engines_.end();) {
        auto current = it++;
        current->second.retired = true;
        forgetIfIdle(current);
    }
}

bool ApyDispatcher::hasEngines() const
{
    return std::any_of(engines_.begin(), engines_.end(),
                       [](const auto &entry) { return !entry.second.retired; });
}

int ApyDispatcher::callsInFlight() const
{
    int calls = 0;
    for (const auto &entry : engines_)
        calls += entry.second.calls;
    return calls;
}

void ApyDispatcher::forgetIfIdle(std::map<int, Engine>::iterator engine)
{
    if (!engine->second.retired || engine->second.calls > 0)
        return;
    engine->second.client->deleteLater();
    engines_.erase(engine);
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

int ApyDispatcher::usableEngines() const
{
    const qint64 now = clock_.elapsed();
    return int(std::count_if(engines_.begin(), engines_.end(), [now](const auto &entry) {
        return !entry.second.retired && entry.second.restUntilMs <= now;
    }));
}

int ApyDispatcher::pickEngine(const QString &langpair) const
{
    const qint64 now = clock_.elapsed();
    int best = -1, bestCalls = 0;
    for (const auto &[id, engine] : engines_) {
        if (engine.retired || engine.restUntilMs > now ||
            engine.callsByPair.value(langpair) >= options_.callsPerPair)
            continue;
        if (best < 0 || engine.calls < bestCalls) {
            best = id;
            bestCalls = engine.calls;
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
        const int engine = pickEngine(langpair);
        if (engine < 0)
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
        send(engine, langpair, std::move(batch));
    }
    if (queue.empty())
        queues_.erase(found);
    else if (!wake_.isActive())
        wake_.start();
}

void ApyDispatcher::send(int engineId, const QString &langpair, Batch batch)
{
    Engine &engine = engines_.at(engineId);
    ++engine.calls;
    ++engine.callsByPair[langpair];
    qint64 left = RemainingMs(batch.front()->deadline);
    for (const JobPtr &job : batch)
        left = std::min(left, RemainingMs(job->deadline));
    // With another engine to turn to, one that hangs may take only half the time left.
    if (usableEngines() > 1)
        left = std::max<qint64>(left / 2, 1);
    QStringList texts;
    for (const JobPtr &job : batch)
        texts.append(job->text);
    engine.client->translate(
        langpair, BlocksQuery(texts), int(std::max<qint64>(left, 1)),
        [this, engineId, langpair, batch = std::move(batch)](const ApyClient::Result &result) {
            finished(engineId, langpair, batch, result);
        });
}

void ApyDispatcher::requeueFront(const QString &langpair, const Batch &batch)
{
    std::deque<JobPtr> &queue = queues_[langpair];
    for (auto job = batch.rbegin(); job != batch.rend(); ++job)
        queue.push_front(*job);
}

void ApyDispatcher::finished(int engineId, const QString &langpair, const Batch &batch,
                             const ApyClient::Result &result)
{
    if (auto engine = engines_.find(engineId); engine != engines_.end()) {
        --engine->second.calls;
        --engine->second.callsByPair[langpair];
        if (!result.ok && result.engineFault)
            engine->second.restUntilMs = clock_.elapsed() + options_.restMs;
        forgetIfIdle(engine);
    }
    if (result.ok) {
        if (const std::optional<QStringList> parts =
                SplitBlocks(result.text, qsizetype(batch.size()))) {
            for (size_t i = 0; i < batch.size(); ++i)
                batch[i]->done({true, parts->at(qsizetype(i)), {}, false});
        } else if (batch.size() == 1) {
            batch.front()->done(
                {false, {}, QStringLiteral("APy's answer is not one block"), false});
        } else {
            // The blocks ran together: each text goes again by itself.
            for (const JobPtr &job : batch)
                job->alone = true;
            requeueFront(langpair, batch);
        }
    } else if (result.engineFault) {
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
