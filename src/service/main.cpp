#include "common/termination_signals.h"
#include "service/private_scratch.h"
#include "service/service_app.h"
#include "service/service_log.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include <csignal>
#include <cstdio>

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

    // A termination signal ends the event loop, so APy is stopped on the way out.
    verz::HandleTerminationSignals([](int) { QCoreApplication::quit(); });
    std::signal(SIGPIPE, SIG_IGN);

    verz::ServiceApp service(*settings);
    QObject::connect(&service, &verz::ServiceApp::idleTimeReached, &app, &QCoreApplication::quit);
    if (!service.start(&error)) {
        qCCritical(verz::lcService, "%s", qUtf8Printable(error));
        return service.exitCode();
    }
    const int code = app.exec();
    service.stop();
    // Qt keeps the single-shot timers still pending (children of the event
    // dispatcher) until the application object goes, after the service; the
    // callbacks they hold may owe answers that report to the service. Drop
    // them now, while all of it still lives.
    if (QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance()) {
        const QObjectList pending = dispatcher->children();
        qDeleteAll(pending);
    }
    // After APy has stopped, so nothing of its is written there any more.
    verz::RemovePrivateScratch();
    return code;
}
