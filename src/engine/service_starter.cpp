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
#include <utility>

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

ServiceStarter::ServiceStarter(QStringList candidates, quint16 port, QString logPath)
    : candidates_(std::move(candidates)), port_(port), logPath_(std::move(logPath))
{
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

bool ServiceStarter::startAndWait(const QDeadlineTimer &deadline)
{
    cancelled_ = false;
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
        qint64 pid = 0;
        if (!service.startDetached(&pid))
            return false;
        return waitForListener(pid, deadline);
    }
    return false;
}

bool ServiceStarter::waitForListener(qint64 pid, const QDeadlineTimer &deadline)
{
    QEventLoop loop;
    waiting_ = &loop;
    QTcpSocket probe;
    QTimer tick;
    tick.setSingleShot(true);
    bool listening = false;
    bool lastTry = false;
    QObject::connect(&probe, &QTcpSocket::connected, &loop, [&] {
        listening = true;
        loop.quit();
    });
    QObject::connect(&probe, &QTcpSocket::errorOccurred, &loop, [&] {
        probe.abort();
        // Ended with nothing listening: one more look, since the winner of a
        // race for the port may be another window's service.
        if (lastTry || deadline.hasExpired()) {
            loop.quit();
            return;
        }
        lastTry = ProcessEnded(pid);
        tick.start(50);
    });
    QObject::connect(&tick, &QTimer::timeout, &loop,
                     [&] { probe.connectToHost(QStringLiteral("127.0.0.1"), port_); });
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(std::max<qint64>(1, deadline.remainingTime()));
    tick.start(0);
    if (!cancelled_)
        loop.exec();
    waiting_ = nullptr;
    return listening && !cancelled_;
}

void ServiceStarter::cancel()
{
    cancelled_ = true;
    if (waiting_)
        waiting_->quit();
}

}  // namespace verz
