// Blocked event loop per MiB shown: pages whose translation is 1 MiB are read
// into the output box one after the other until it holds 8 MiB, on the
// offscreen platform. Each figure is the time the event loop could not run:
// the reading into the box plus the layout and paint that follow it.
#include "engine/page_reader.h"
#include "engine/translation_request.h"
#include "platform/settings_store.h"
#include "window/verz.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr qsizetype kTranslationChars = 1024 * 1024;
constexpr int kPages = 8;

QByteArray PageWithTranslation(qsizetype chars)
{
    QByteArray page("<html><body><div id=result_box dir=\"ltr\">");
    const QByteArray sentence("Il fait beau et nous partons demain matin. ");
    while (page.size() < chars)
        page.append(sentence);
    return page.append("</div></body></html>\n");
}

double MillisecondsOf(const std::function<void()> &work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QApplication app(argc, argv);
    verz::SaveSetting(QStringLiteral("bench_window"), QStringLiteral("data"),
                      QStringLiteral("service"), QStringLiteral("127.0.0.1:1"));

    verz::Verz window;
    QApplication::processEvents();
    QTemporaryDir folder;
    const QString scratch = folder.filePath(QStringLiteral("Verz.txt"));
    verz::TranslationRequest request(QStringLiteral("127.0.0.1:1"), scratch);
    const QByteArray page = PageWithTranslation(kTranslationChars);
    const double mib = static_cast<double>(page.size()) / (1024.0 * 1024.0);

    std::printf("page of %.2f MiB, translation appended %d times\n", mib, kPages);
    std::printf("reading the page alone (no box): %.1f ms\n",
                MillisecondsOf([&] { (void)verz::ExtractTranslation(page); }));
    std::printf("%-6s %12s %12s %10s\n", "page", "box (MiB)", "blocked ms", "ms/MiB");
    double worst = 0;
    for (int i = 1; i <= kPages; ++i) {
        QFile file(scratch);
        if (!file.open(QIODevice::WriteOnly) || file.write(page) != page.size())
            return 1;
        file.close();
        const double ms = MillisecondsOf([&] {
            request.ReadTranslation(window);
            window.repaint();
            QApplication::processEvents();
        });
        worst = std::max(worst, ms / mib);
        std::printf("%-6d %12.2f %12.1f %10.1f\n", i, mib * i, ms, ms / mib);
    }
    std::printf("worst: %.1f ms of blocked event loop per MiB shown (aim: under 100)\n", worst);
    return 0;
}
