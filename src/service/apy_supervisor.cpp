#include "service/apy_supervisor.h"

#include "service/apy_client.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTcpServer>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace verz {

namespace {

// APy binds every interface; this start-up line runs it unchanged but bound
// to loopback only, so nothing beyond this machine can reach it.
const char kLoopbackBoot[] = "import logging, sys, tornado.tcpserver as t\n"
                             "logging.getLogger('tornado.access').setLevel(logging.WARNING)\n"
                             "_bind = t.TCPServer.bind\n"
                             "def bind(self, port, address=None, *args, **kwargs):\n"
                             "    return _bind(self, port, '127.0.0.1', *args, **kwargs)\n"
                             "t.TCPServer.bind = bind\n"
                             "from apertium_apy.apy import main\n"
                             "sys.argv = ['apertium-apy'] + sys.argv[1:]\n"
                             "sys.exit(main())\n";

int FreeLoopbackPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

}  // namespace

ApySupervisor::ApySupervisor(Options options, QObject *parent)
    : QObject(parent), options_(std::move(options)), probe_(new ApyClient(this))
{
    pollTimer_.setInterval(100);
    connect(&pollTimer_, &QTimer::timeout, this, &ApySupervisor::poll);
    restartTimer_.setSingleShot(true);
    connect(&restartTimer_, &QTimer::timeout, this, &ApySupervisor::launch);
}

ApySupervisor::~ApySupervisor()
{
    stop();
}

bool ApySupervisor::ApyInstalled()
{
    return !QStandardPaths::findExecutable(QStringLiteral("apertium-apy")).isEmpty();
}

void ApySupervisor::start()
{
    stopping_ = false;
    launch();
}

void ApySupervisor::launch()
{
    if (stopping_)
        return;
    const int port = FreeLoopbackPort();
    baseUrl_ = QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port));
    probe_->setBaseUrl(baseUrl_);
    ready_ = false;

    process_ = new QProcess(this);
    process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_->setStandardOutputFile(QProcess::nullDevice());
    // Its own process group, so stopping it also stops its pipelines and any
    // worker processes; and it goes when we go, even if we are killed.
    process_->setChildProcessModifier([] {
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    });
    QStringList arguments{QStringLiteral("-p"), QString::number(port),
                          QStringLiteral("-j"), QString::number(options_.processes),
                          QStringLiteral("-i"), QString::number(options_.pipesPerPair),
                          QStringLiteral("-u"), QString::number(options_.usersPerPipe),
                          QStringLiteral("-n"), QStringLiteral("1"),
                          QStringLiteral("-t"), QString::number(options_.apyTimeoutSeconds),
                          options_.modesPath};
    const QString python = QStringLiteral("/usr/bin/python3");
    if (QFileInfo(python).isExecutable()) {
        arguments.prepend(QString::fromLatin1(kLoopbackBoot));
        arguments.prepend(QStringLiteral("-c"));
        process_->start(python, arguments);
    } else {
        process_->start(QStringLiteral("apertium-apy"), arguments);
    }
    pid_ = process_->processId();
    connect(process_, &QProcess::finished, this, &ApySupervisor::onFinished);
    connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            onFinished();
    });
    pollTimer_.start();
}

void ApySupervisor::poll()
{
    if (polling_ || !process_)
        return;
    polling_ = true;
    probe_->listPairs(1000, [this](bool ok, const QByteArray &body) {
        polling_ = false;
        if (!ok || ready_ || stopping_)
            return;
        pollTimer_.stop();
        ready_ = true;
        failures_ = 0;
        Q_EMIT ready(baseUrl_, body);
    });
}

void ApySupervisor::onFinished()
{
    if (!process_)
        return;
    pollTimer_.stop();
    killGroup();
    process_->deleteLater();
    process_ = nullptr;
    pid_ = 0;
    const bool wasReady = ready_;
    ready_ = false;
    if (wasReady)
        Q_EMIT lost();
    if (stopping_)
        return;
    // Quick the first time, slower when it keeps failing.
    ++failures_;
    restartTimer_.start(std::min(200 * failures_ * failures_, 5000));
}

void ApySupervisor::killGroup()
{
    if (!process_)
        return;
    if (pid_ > 0)
        ::kill(-pid_t(pid_), SIGTERM);
}

void ApySupervisor::stop()
{
    stopping_ = true;
    pollTimer_.stop();
    restartTimer_.stop();
    if (!process_)
        return;
    QProcess *process = process_;
    process_ = nullptr;
    process->disconnect(this);
    const qint64 pid = pid_;
    pid_ = 0;
    if (pid > 0) {
        ::kill(-pid_t(pid), SIGTERM);
        if (!process->waitForFinished(3000))
            ::kill(-pid_t(pid), SIGKILL);
        process->waitForFinished(1000);
        // Stragglers in the group (pipelines mid-write) go too.
        ::kill(-pid_t(pid), SIGKILL);
    }
    delete process;
    ready_ = false;
}

}  // namespace verz
