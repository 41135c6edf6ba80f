#include "toolkit.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>
#include <QTimer>

namespace verz::test {

bool WaitUntil(const std::function<bool()> &done, int limitMs)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    tick.start(1);
    QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

quint16 FreePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

ProcessOutcome FinishProcess(QProcess &process, int limitMs)
{
    ProcessOutcome outcome;
    WaitUntil([&] { return process.state() == QProcess::NotRunning; }, limitMs);
    outcome.ended =
        process.state() == QProcess::NotRunning && process.error() != QProcess::FailedToStart;
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(2000);
    } else if (process.exitStatus() == QProcess::NormalExit) {
        outcome.exitCode = process.exitCode();
    }
    outcome.out = process.readAllStandardOutput();
    outcome.err = process.readAllStandardError();
    return outcome;
}

ProcessOutcome RunProcess(const QString &program, const QStringList &arguments,
                          const ProcessOptions &options)
{
    QProcess process;
    if (options.environment)
        process.setProcessEnvironment(*options.environment);
    process.start(program, arguments);
    if (!process.waitForStarted(options.limitMs))
        return {};
    process.write(options.input);
    process.closeWriteChannel();
    return FinishProcess(process, options.limitMs);
}

void UsePrivateHome(const QString &root)
{
    qputenv("HOME", root.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (root + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (root + QStringLiteral("/cache")).toLocal8Bit());
}

}  // namespace verz::test
