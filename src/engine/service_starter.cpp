#include "engine/service_starter.h"

#include "platform/app_info.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTimer>

#include <csignal>
#include <optional>
#include <utility>
#include <vector>

namespace verz {

namespace {

// Gone, or ended and waiting to be reaped by whoever adopted it.
bool ProcessEnded(qint64 pid)
{
    if (::kill(pid_t(pid), 0) != 0)
        return true;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close >= 0 && line.mid(close + 2, 1) == "Z";
}

}  // namespace

// One launched service, probed until its port accepts connections.
struct ServiceStarter::Attempt : QObject {
    QTcpSocket probe;
    QTimer tick;
    QTimer limit;
    qint64 pid = 0;
    bool lastTry = false;
    std::vector<Done> waiting;
};

ServiceStarter::ServiceStarter(QStringList candidates, quint16 port, QString logPath)
    : candidates_(std::move(candidates)), port_(port), logPath_(std::move(logPath))
{
}

ServiceStarter::~ServiceStarter()
{
    // Whoever still waits hears nothing: the window that asked is closing.
    if (attempt_)
        QObject::disconnect(&attempt_->probe, nullptr, attempt_.get(), nullptr);
}

std::unique_ptr<ServiceStarter> ServiceStarter::ForDefaultService()
{
    const QString name = QStringLiteral("verzolan-service");
    QStringList candidates{QDir(ApplicationFolder()).filePath(name)};
    const QString installed = QDir(QStringLiteral(VERZ_INSTALL_BINDIR)).filePath(name);
    if (!candidates.contains(installed))
        candidates.append(installed);
    const QString logFolder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    QDir().mkpath(logFolder);
    return std::make_unique<ServiceStarter>(
        candidates, 8787, QDir(logFolder).filePath(QStringLiteral("verzolan-service.log")));
}

void ServiceStarter::start(Done done)
{
    if (attempt_) {
        attempt_->waiting.push_back(std::move(done));
        return;
    }
    attempt_ = std::make_unique<Attempt>();
    Attempt &attempt = *attempt_;
    attempt.waiting.push_back(std::move(done));
    attempt.tick.setSingleShot(true);
    attempt.limit.setSingleShot(true);
    QObject::connect(&attempt.limit, &QTimer::timeout, &attempt, [this] { finish(false); });
    attempt.limit.start(kStartLimitMs);

    bool launched = false;
    for (const QString &candidate : std::as_const(candidates_)) {
        const QFileInfo file(candidate);
        if (!file.isFile() || !file.isExecutable())
            continue;
        QProcess service;
        service.setProgram(file.absoluteFilePath());
        service.setArguments({QStringLiteral("--port"), QString::number(port_),
                              QStringLiteral("--idle-exit"), QString::number(kIdleExitSeconds)});
        service.setStandardInputFile(QProcess::nullDevice());
        const QString log = logPath_.isEmpty() ? QProcess::nullDevice() : logPath_;
        service.setStandardOutputFile(log, QIODevice::Append);
        service.setStandardErrorFile(log, QIODevice::Append);
        // Detached: a new session, re-parented away from the window.
        launched = service.startDetached(&attempt.pid);
        launches_ += launched ? 1 : 0;
        break;
    }
    if (!launched) {
        QTimer::singleShot(0, &attempt, [this] { finish(false); });
        return;
    }
    QObject::connect(&attempt.probe, &QTcpSocket::connected, &attempt, [this] { finish(true); });
    QObject::connect(&attempt.probe, &QTcpSocket::errorOccurred, &attempt, [this, &attempt] {
        attempt.probe.abort();
        // Ended with nothing listening: one more look, since the winner of a
        // race for the port may be another window's service.
        if (attempt.lastTry) {
            finish(false);
            return;
        }
        attempt.lastTry = ProcessEnded(attempt.pid);
        attempt.tick.start(50);
    });
    QObject::connect(&attempt.tick, &QTimer::timeout, &attempt, [this, &attempt] {
        attempt.probe.connectToHost(QStringLiteral("127.0.0.1"), port_);
    });
    attempt.tick.start(0);
}

void ServiceStarter::finish(bool listening)
{
    // Called from the attempt's own signals: it goes once they have returned.
    Attempt *ended = attempt_.release();
    ended->deleteLater();
    ended->tick.stop();
    ended->limit.stop();
    QObject::disconnect(&ended->probe, nullptr, ended, nullptr);
    const std::vector<Done> waiting = std::move(ended->waiting);
    for (const Done &done : waiting)
        done(listening);
}

bool ServiceStarter::startAndWait(const QDeadlineTimer &deadline)
{
    cancelled_ = false;
    struct Wait {
        std::optional<bool> listening;
        QEventLoop *loop = nullptr;
    };
    const auto wait = std::make_shared<Wait>();
    start([wait](bool listening) {
        wait->listening = listening;
        if (wait->loop)
            wait->loop->quit();
    });
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(std::max<qint64>(1, deadline.remainingTime()));
    wait->loop = &loop;
    stopWaiting_ = [&loop] { loop.quit(); };
    if (!cancelled_ && !wait->listening)
        loop.exec();
    stopWaiting_ = nullptr;
    wait->loop = nullptr;
    return wait->listening.value_or(false) && !cancelled_;
}

void ServiceStarter::cancel()
{
    cancelled_ = true;
    if (stopWaiting_)
        stopWaiting_();
}

}  // namespace verz
