// The service on a free loopback port over the recorded-APy stand-in, for the
// browser tests. Prints "port N" once listening; the line "stop-engine" on
// standard input stops the stand-in, as if APy had died; end of input quits.
#include "service/recorded_apy.h"
#include "service/route_table.h"
#include "service/service_harness.h"
#include "service/text_endpoints.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cstdio>
#include <memory>
#include <unistd.h>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    auto apy = std::make_unique<verz::test::FakeApy>(verz::test::kRecordedListPairs);
    verz::TextEndpoints::Options options;
    options.translator.cacheEntries = 0;  // a stopped APy must show even for a text seen before
    options.translator.apyTimeoutMs = 2000;
    options.translator.dictionaryFolder =
        QStringLiteral("/nonexistent/dictd");  // not the installed ones
    verz::TextEndpoints service(options);
    if (apy->port == 0 || !service.listen(QHostAddress::LocalHost, 0)) {
        std::fprintf(stderr, "stand-in: cannot listen\n");
        return 1;
    }
    service.translator().apy().use({apy->url()}, verz::test::kRecordedListPairs);
    std::printf("port %d\n", int(service.port()));
    std::fflush(stdout);

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray line;
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[256];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0) {
            input.setEnabled(false);
            QCoreApplication::quit();
            return;
        }
        line.append(buffer, got);
        qsizetype end;
        while ((end = line.indexOf('\n')) >= 0) {
            if (line.left(end).trimmed() == "stop-engine") {
                apy.reset();
                std::printf("stopped\n");
                std::fflush(stdout);
            }
            line.remove(0, end + 1);
        }
    });
    return app.exec();
}
