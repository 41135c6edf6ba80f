#include "service/service_app.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void OnTerminate(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("verzolan-service"));

    QString error;
    const std::optional<verz::ServiceSettings> settings =
        verz::ParseServiceArguments(app.arguments(), &error);
    if (!settings) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(error));
        return app.arguments().contains(QStringLiteral("--help")) ? 0 : 2;
    }

    // SIGTERM and SIGINT end the event loop, so APy is stopped on the way out.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) == 0) {
        auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
        std::signal(SIGTERM, OnTerminate);
        std::signal(SIGINT, OnTerminate);
    }
    std::signal(SIGPIPE, SIG_IGN);

    verz::ServiceApp service(*settings);
    QObject::connect(&service, &verz::ServiceApp::idleTimeReached, &app, &QCoreApplication::quit);
    if (!service.start(&error)) {
        std::fprintf(stderr, "verzolan-service: %s\n", qUtf8Printable(error));
        return service.exitCode();
    }
    const int code = app.exec();
    service.stop();
    return code;
}
