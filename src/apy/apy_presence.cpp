#include "apy/apy_presence.h"

#include "apy/apy_client.h"
#include "apy/apy_dispatcher.h"
#include "apy/apy_log.h"

#include <algorithm>
#include <utility>

namespace verz {

namespace {

// A server that does not answer its pair list is asked again this often.
constexpr int kProbeAgainMs = 1000;
constexpr int kProbeTimeoutMs = 2000;

}  // namespace

ApyPresence::ApyPresence(ApyDispatcher &dispatcher, PairReader readPairs, QObject *parent)
    : QObject(parent), dispatcher_(dispatcher), readPairs_(std::move(readPairs))
{
    waitEnd_.setSingleShot(true);
    connect(&waitEnd_, &QTimer::timeout, this, &ApyPresence::expireWaiting);
    idle_.setSingleShot(true);
    connect(&idle_, &QTimer::timeout, this, &ApyPresence::onIdle);
}

ApyPresence::~ApyPresence()
{
    // The waits go uncalled: what they would answer goes with their owners.
    waiting_.clear();
    stop();
}

bool ApyPresence::start(Options options, QString *error)
{
    options_ = std::move(options);
    // The first request (the one that had the service started, often) waits
    // for APy instead of being refused while it starts.
    expect();
    if (!options_.external.isEmpty()) {
        for (const QUrl &url : options_.external) {
            auto *probe = new ApyClient(this);
            probe->setBaseUrl(url);
            ask(probe);
        }
        return true;
    }
    if (!ApySupervisor::ApyInstalled()) {
        *error = QStringLiteral(
            "apertium-apy is not installed (apt-get install apertium-apy), or pass --apy URL");
        return false;
    }
    supervisor_ = new ApySupervisor(options_.supervisor, this);
    connect(supervisor_, &ApySupervisor::ready, this,
            [this](const QUrl &base, const QByteArray &listPairs) {
                use({base, supervisor_->accessKey()}, listPairs);
            });
    connect(supervisor_, &ApySupervisor::lost, this, [this] {
        qCWarning(lcApy, "APy stopped, starting it again");
        // Restarting is starting: who comes meanwhile waits, as at the first start.
        expect();
        Q_EMIT lost();
    });
    supervisor_->start();
    idle_.start(options_.idleSeconds * 1000);
    return true;
}

void ApyPresence::stop()
{
    if (supervisor_)
        supervisor_->stop();
}

void ApyPresence::ask(ApyClient *probe)
{
    probe->listPairs(kProbeTimeoutMs, [this, probe](bool ok, const QByteArray &body) {
        if (!ok) {
            QTimer::singleShot(kProbeAgainMs, probe, [this, probe] { ask(probe); });
            return;
        }
        // Once in use, an APy that fails is skipped and tried again by the
        // dispatcher itself; the probe's work is done.
        if (ready()) {
            add({probe->baseUrl(), {}});
            qCInfo(lcApy, "APy at %s in use as well", qUtf8Printable(probe->baseUrl().toString()));
        } else {
            use({probe->baseUrl(), {}}, body);
        }
        probe->deleteLater();
    });
}

void ApyPresence::use(const Server &server, const QByteArray &listPairs)
{
    if (!readPairs_(listPairs)) {
        qCWarning(lcApy, "the pair list of APy at %s is unreadable",
                  qUtf8Printable(server.base.toString()));
        return;
    }
    dispatcher_.clearServers();
    dispatcher_.addServer(server.base, server.accessKey);
    servers_ = {server};
    expected_ = false;
    qCInfo(lcApy, "APy at %s in use", qUtf8Printable(server.base.toString()));
    Q_EMIT arrived();
    answerWaiting();
}

void ApyPresence::add(const Server &server)
{
    dispatcher_.addServer(server.base, server.accessKey);
    servers_.append(server);
}

void ApyPresence::clear()
{
    dispatcher_.clearServers();
    servers_.clear();
    // Who waits already waits on: our own APy comes back, or the wait ends.
    expected_ = false;
}

void ApyPresence::expect()
{
    dispatcher_.clearServers();
    servers_.clear();
    expected_ = true;
}

ApyPresence::Health ApyPresence::health() const
{
    // Our own APy starting again after a few failures in a row is not going to.
    constexpr int kFailuresInARow = 3;
    if (dispatcher_.usableServers() > 0)
        return {true, QByteArrayLiteral("ok: APy answering")};
    if (supervisor_ && asleep_)
        return {true, QByteArrayLiteral("ok: APy asleep, starts on the next translation")};
    if (supervisor_ && supervisor_->failuresInARow() < kFailuresInARow)
        return {true, QByteArrayLiteral("ok: APy starting")};
    return {false, QByteArrayLiteral("APy not answering")};
}

void ApyPresence::whenReady(int timeoutMs, Ready then)
{
    if (ready() || !expected_) {
        then(ready());
        return;
    }
    waiting_.push_back({QDeadlineTimer(timeoutMs), std::move(then)});
    expireWaiting();
}

void ApyPresence::answerWaiting()
{
    waitEnd_.stop();
    const std::vector<Waiter> ready = std::exchange(waiting_, {});
    for (const Waiter &waiter : ready)
        waiter.then(true);
}

void ApyPresence::expireWaiting()
{
    const auto past = std::stable_partition(
        waiting_.begin(), waiting_.end(), [](const Waiter &w) { return !w.deadline.hasExpired(); });
    const std::vector<Waiter> late(std::make_move_iterator(past),
                                   std::make_move_iterator(waiting_.end()));
    waiting_.erase(past, waiting_.end());
    qint64 next = -1;
    for (const Waiter &waiter : waiting_) {
        const qint64 left = waiter.deadline.remainingTime();
        next = next < 0 ? left : std::min(next, left);
    }
    if (next >= 0)
        waitEnd_.start(int(next));
    else
        waitEnd_.stop();
    for (const Waiter &waiter : late)
        waiter.then(false);
}

void ApyPresence::noteRequest()
{
    noteAnswer();
    if (supervisor_ && asleep_) {
        idle_.start();
        asleep_ = false;
        qCInfo(lcApy, "starting APy again");
        supervisor_->start();
    }
}

void ApyPresence::noteAnswer()
{
    // Idle time counts from the last request or answer, whichever came later.
    if (supervisor_ && !asleep_)
        idle_.start();
}

void ApyPresence::onIdle()
{
    if (!supervisor_ || asleep_)
        return;
    if (busy_ && busy_()) {
        idle_.start();
        return;
    }
    // APy shuts an idle pipeline only when another request comes; when none
    // comes, stopping APy itself is what gives the memory back.
    qCInfo(lcApy, "no request for %d s, stopping APy until the next", options_.idleSeconds);
    supervisor_->stop();
    expect();
    asleep_ = true;
}

}  // namespace verz
