#pragma once
// The service's executable, nginx in front with the packaged example, and a
// plain one-shot GET: what the office test and its benchmark both run.
#include "service/service_harness.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <csignal>
#include <functional>
#include <sys/types.h>

namespace verz::test {

// The real executable over the APy stand-in, on a port of its own.
struct ServiceProcess {
    QProcess process;
    quint16 port = 0;

    bool start(const QUrl &apy, const QStringList &extra = {},
               const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
    {
        port = FreePort();
        process.setProcessEnvironment(environment);
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start(QStringLiteral(VERZ_SERVICE_BINARY),
                      QStringList{QStringLiteral("--port"), QString::number(port),
                                  QStringLiteral("--apy"), apy.toString(),
                                  QStringLiteral("--cache-entries"), QStringLiteral("0")} +
                          extra);
        return process.waitForStarted(5000) && WaitUntil([&] {
                   RawClient client(port);
                   return client.socket().waitForConnected(100) &&
                          client.exchange(RawClient::Get("/healthz")).status == 200;
               });
    }
    void signal(int number) const { ::kill(pid_t(process.processId()), number); }
    ~ServiceProcess()
    {
        process.kill();
        process.waitForFinished(3000);
    }
};

// One request on a connection of its own, to any address; the answer's body.
inline QByteArray Get(quint16 port, const QByteArray &target, int *status = nullptr,
                      const QHostAddress &address = QHostAddress::LocalHost)
{
    QTcpSocket socket;
    socket.connectToHost(address, port);
    if (!socket.waitForConnected(2000))
        return {};
    bool done = false;
    QByteArray received;
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] { received += socket.readAll(); });
    QObject::connect(&socket, &QTcpSocket::disconnected, [&] { done = true; });
    socket.write("GET " + target + " HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n");
    WaitUntil([&] { return done; }, 10000);
    if (status)
        *status = received.mid(9, 3).toInt();
    return received.mid(received.indexOf("\r\n\r\n") + 4);
}

// nginx with the packaged example, its addresses replaced by the test's.
class Nginx {
public:
    static QString Executable()
    {
        return QStandardPaths::findExecutable(
            QStringLiteral("nginx"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    }

    // edit: a change to the example's text (the benchmark lifts the rate limit).
    bool start(const QTemporaryDir &dir, const QList<quint16> &upstreams,
               const std::function<void(QByteArray &)> &edit = {})
    {
        QFile example(QStringLiteral(VERZ_NGINX_EXAMPLE));
        if (!example.open(QIODevice::ReadOnly))
            return false;
        QByteArray conf = example.readAll();
        port = FreePort();
        conf.replace("listen 80;", "listen 127.0.0.1:" + QByteArray::number(port) + ';');
        conf.replace("server 192.0.2.11:8787",
                     "server 127.0.0.1:" + QByteArray::number(upstreams.at(0)));
        conf.replace("server 192.0.2.12:8787",
                     "server 127.0.0.1:" + QByteArray::number(upstreams.at(1)));
        if (edit)
            edit(conf);
        const QByteArray prefix = QFile::encodeName(dir.path());
        QDir(dir.path()).mkpath(QStringLiteral("logs"));
        QFile site(dir.filePath(QStringLiteral("verzolan.conf")));
        QFile main(dir.filePath(QStringLiteral("nginx.conf")));
        if (!site.open(QIODevice::WriteOnly) || !main.open(QIODevice::WriteOnly))
            return false;
        site.write(conf);
        site.close();
        main.write("daemon off;\nworker_processes 1;\npid " + prefix + "/nginx.pid;\nerror_log " +
                   prefix + "/logs/error.log;\nevents { worker_connections 256; }\nhttp {\n" +
                   "access_log off;\nclient_body_temp_path " + prefix + "/body;\nproxy_temp_path " +
                   prefix + "/proxy;\ninclude " + prefix + "/verzolan.conf;\n}\n");
        main.close();
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.start(Executable(),
                      {QStringLiteral("-p"), dir.path(), QStringLiteral("-c"), main.fileName(),
                       QStringLiteral("-e"), dir.filePath(QStringLiteral("logs/error.log"))});
        return process.waitForStarted(5000) && WaitUntil([&] {
                   RawClient client(port);
                   return client.socket().waitForConnected(100);
               });
    }
    ~Nginx()
    {
        process.terminate();
        if (!process.waitForFinished(3000))
            process.kill();
        process.waitForFinished(1000);
    }
    QProcess process;
    quint16 port = 0;
};

}  // namespace verz::test
