#include "apy/apy_supervisor.h"

#include "apy/apy_client.h"
#include "apy/apy_log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTcpServer>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace verz {

namespace {

// The process is stopped (a signal, a debugger): it answers nobody until
// someone lets it run on.
// The state letter of /proc/<pid>/stat ('?' when it cannot be read).
char ProcessState(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return '?';
    const QByteArray line = stat.read(4096);
    // "pid (name) S ...": the name may hold spaces and parentheses.
    const qsizetype close = line.lastIndexOf(')');
    return close >= 0 && close + 2 < line.size() ? line.at(close + 2) : '?';
}

bool ProcessStopped(qint64 pid)
{
    const char state = ProcessState(pid);
    return state == 'T' || state == 't';
}

// As the subreaper we inherit the processes APy's children leave behind
// (each boxed document converter leaves one, as does the box's start-up
// check); nobody else will wait for them, and unreaped they would pile up as
// zombies for as long as the service runs. Only those already ended are
// taken, and never our APy itself, which its QProcess waits for (the
// service starts no other process).
void ReapOrphans(qint64 apy)
{
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile file(tasks.filePath(task + QStringLiteral("/children")));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &word : file.read(64 * 1024).split(' ')) {
            const qint64 child = word.trimmed().toLongLong();
            if (child > 0 && child != apy && ProcessState(child) == 'Z')
                ::waitpid(pid_t(child), nullptr, WNOHANG);
        }
    }
}

// APy started unchanged but guarded: see the script itself.
QByteArray GuardedBoot()
{
    QFile script(QStringLiteral(":/apy/apy_guard.py"));
    return script.open(QIODevice::ReadOnly) ? script.readAll() : QByteArray();
}

// APy refuses to start without a UTF-8 locale, and a service manager (or
// systemd-socket-activate) may start us with none at all.
QProcessEnvironment ApyEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QString locale;
    for (const char *name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        locale = environment.value(QString::fromLatin1(name));
        if (!locale.isEmpty())
            break;
    }
    if (!locale.contains(QStringLiteral("UTF-8"), Qt::CaseInsensitive) &&
        !locale.contains(QStringLiteral("utf8"), Qt::CaseInsensitive))
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    return environment;
}

// The pipelines APy started outlive it by a moment when the group is killed;
// as the subreaper we inherit them, and waiting for them here is what keeps
// them from lingering as zombies of whoever else would adopt them.
void ReapGroup(qint64 group, int waitMs)
{
    QDeadlineTimer deadline(waitMs);
    for (;;) {
        const pid_t reaped = ::waitpid(-pid_t(group), nullptr, WNOHANG);
        if (reaped < 0)
            return;  // none of the group is our child any more
        if (reaped == 0) {
            if (deadline.hasExpired())
                return;
            QThread::msleep(10);
        }
    }
}

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
    // A refused probe costs nothing, and every tick between APy listening
    // and our noticing it is waited by the first click.
    pollTimer_.setInterval(25);
    connect(&pollTimer_, &QTimer::timeout, this, &ApySupervisor::poll);
    watchTimer_.setInterval(options_.watchIntervalMs);
    connect(&watchTimer_, &QTimer::timeout, this, &ApySupervisor::watch);
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
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    stopping_ = false;
    launch();
}

void ApySupervisor::launch()
{
    if (stopping_)
        return;
    const int port = FreeLoopbackPort();
    baseUrl_ = QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port));
    accessKey_ = QByteArray::number(QRandomGenerator::system()->generate64(), 36) +
                 QByteArray::number(QRandomGenerator::system()->generate64(), 36);
    probe_->setBaseUrl(baseUrl_);
    probe_->setAccessKey(accessKey_);
    ready_ = false;
    misses_ = 0;

    process_ = new QProcess(this);
    process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_->setStandardOutputFile(QProcess::nullDevice());
    QProcessEnvironment environment = ApyEnvironment();
    environment.insert(QStringLiteral("VERZ_APY_KEY"), QString::fromLatin1(accessKey_));
    // A document's converter unpacks it there, and so does APy with uploads.
    if (!options_.tempFolder.isEmpty())
        environment.insert(QStringLiteral("TMPDIR"), options_.tempFolder);
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
                          QStringLiteral("-t"), QString::number(options_.apyTimeoutSeconds),
                          options_.modesPath};
    // No -n: a floor of pipelines per pair would keep every pair used once alive.
    if (options_.pipelineIdleSeconds > 0)
        arguments.insert(arguments.size() - 1,
                         QStringLiteral("-m=%1").arg(options_.pipelineIdleSeconds));
    environment.insert(QStringLiteral("VERZ_CONVERTER_SECONDS"),
                       QString::number(options_.converterSeconds));
    process_->setProcessEnvironment(environment);
    const QString python = QStringLiteral("/usr/bin/python3");
    const QByteArray boot = GuardedBoot();
    if (QFileInfo(python).isExecutable() && !boot.isEmpty()) {
        arguments.prepend(QString::fromUtf8(boot));
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
    sinceLaunch_.start();
    pollTimer_.start();
}

void ApySupervisor::poll()
{
    if (polling_ || !process_)
        return;
    if (sinceLaunch_.elapsed() > options_.startLimitMs) {
        qCWarning(lcApy, "APy did not come up, starting it again");
        pollTimer_.stop();
        ::kill(-pid_t(pid_), SIGKILL);
        return;
    }
    polling_ = true;
    probe_->listPairs(1000, [this](bool ok, const QByteArray &body) {
        polling_ = false;
        if (!ok || ready_ || stopping_ || !process_)
            return;
        pollTimer_.stop();
        ready_ = true;
        failures_ = 0;
        misses_ = 0;
        watchTimer_.start();
        Q_EMIT ready(baseUrl_, body);
    });
}

void ApySupervisor::watch()
{
    if (!process_ || !ready_)
        return;
    ReapOrphans(pid_);
    if (watching_)
        return;
    watching_ = true;
    const qint64 watched = pid_;
    probe_->listPairs(options_.watchDeadlineMs, [this, watched](bool ok, const QByteArray &) {
        watching_ = false;
        if (!process_ || watched != pid_ || stopping_)
            return;
        if (ok) {
            misses_ = 0;
            return;
        }
        if (misses_++ == 0)
            missingSince_.start();
        if (misses_ < options_.watchMisses)
            return;
        // A running APy that misses is most often busy starting pipelines (a
        // fork for each program of a mode, several modes at once when a
        // window warms its pairs, on a loaded machine): it stalls for
        // seconds, then answers. Only a stopped one is frozen at once.
        if (!ProcessStopped(pid_) && missingSince_.elapsed() < options_.busyLimitMs)
            return;
        // A stopped or wedged APy keeps its port and never exits by itself.
        // SIGKILL, since a stopped process holds SIGTERM until it runs on;
        // its exit then brings the usual restart.
        qCWarning(lcApy, "APy stopped answering, starting it again");
        watchTimer_.stop();
        ::kill(-pid_t(pid_), SIGKILL);
    });
}

void ApySupervisor::onFinished()
{
    if (!process_)
        return;
    pollTimer_.stop();
    watchTimer_.stop();
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
    if (pid_ > 0) {
        ::kill(-pid_t(pid_), SIGTERM);
        const qint64 group = pid_;
        QTimer::singleShot(1000, this, [group] { ReapGroup(group, 0); });
    }
}

void ApySupervisor::stop()
{
    stopping_ = true;
    pollTimer_.stop();
    watchTimer_.stop();
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
        ReapGroup(pid, 2000);
    }
    delete process;
    ReapOrphans(0);
    ready_ = false;
}

}  // namespace verz
