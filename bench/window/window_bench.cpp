// Blocked event loop per MiB shown: pages whose translation is 1 MiB (or the
// KiB given as the first argument) are read into the output box one after the
// other until it holds 8 of them, on the offscreen platform; once with words,
// once with one word and no space at all. Each figure is the time the event
// loop could not run: the reading into the box plus the layout and paint that
// follow it. Last, the same translation is put into the input box, as moving
// it up does.
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

constexpr char kHead[] = "<html><body><div id=result_box dir=\"ltr\">";

QByteArray PageWithTranslation(qsizetype chars, const QByteArray &filler)
{
    QByteArray page(kHead);
    while (page.size() < chars)
        page.append(filler);
    return page.append("</div></body></html>\n");
}

double MillisecondsOf(const std::function<void()> &work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

// Reads `page` into the window's output box kPages times; the worst figure.
double ReadPages(verz::Verz &window, verz::TranslationRequest &request, const QString &scratch,
                 const QByteArray &page)
{
    const double mib = static_cast<double>(page.size()) / (1024.0 * 1024.0);
    std::printf("%-6s %12s %12s %10s\n", "page", "box (MiB)", "blocked ms", "ms/MiB");
    double worst = 0;
    for (int i = 1; i <= kPages; ++i) {
        QFile file(scratch);
        if (!file.open(QIODevice::WriteOnly) || file.write(page) != page.size())
            return -1;
        file.close();
        const double ms = MillisecondsOf([&] {
            request.ReadTranslation(window);
            window.repaint();
            QApplication::processEvents();
        });
        worst = std::max(worst, ms / mib);
        std::printf("%-6d %12.2f %12.1f %10.1f\n", i, mib * i, ms, ms / mib);
    }
    return worst;
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
    const qsizetype chars = argc > 1 ? QByteArray(argv[1]).toLongLong() * 1024 : kTranslationChars;
    if (chars <= 0)
        return 2;

    QTemporaryDir folder;
    const QString scratch = folder.filePath(QStringLiteral("Verz.txt"));
    verz::TranslationRequest request(QStringLiteral("127.0.0.1:1"), scratch);
    double worst = 0;
    double worstMoved = 0;
    for (const QByteArray &filler :
         {QByteArray("Il fait beau et nous partons demain matin. "), QByteArray("x")}) {
        const QByteArray page = PageWithTranslation(chars, filler);
        const double mib = static_cast<double>(page.size()) / (1024.0 * 1024.0);
        std::printf("\n%s: page of %.2f MiB, translation appended %d times\n",
                    filler.contains(' ') ? "words" : "no space", mib, kPages);
        std::printf("reading the page alone (no box): %.1f ms\n",
                    MillisecondsOf([&] { (void)verz::ExtractTranslation(page); }));
        verz::Verz window;
        QApplication::processEvents();
        const double pages = ReadPages(window, request, scratch, page);
        if (pages < 0)
            return 1;
        worst = std::max(worst, pages);
        const QString translation = verz::ExtractTranslation(page);
        const double moved = MillisecondsOf([&] {
            window.setText1(translation);
            window.repaint();
            QApplication::processEvents();
        });
        worstMoved = std::max(worstMoved, moved / mib);
        std::printf("put into the input box: %.1f ms, %.1f ms/MiB\n", moved, moved / mib);
    }
    std::printf("\nworst: %.1f ms of blocked event loop per MiB shown, %.1f per MiB moved up "
                "(aim: under 100)\n",
                worst, worstMoved);
    return 0;
}
