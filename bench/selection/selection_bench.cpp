// From the selection command to the translation on the screen, on the
// current X display against a loopback stand-in service that answers after
// a set delay (the service's own time):
//   - a running window: `Verzolan --selection` until Text2 shows one more line,
//     and until the command has ended (its own time), by the window reading
//     the selection (today's road) and by the command reading it and sending
//     the text (the road before, VERZOLAN_SELECTION_BY_COMMAND), interleaved;
//   - a cold start: no window, the same command until Text2 shows text, beside
//     a plain `Verzolan` until its window is painted (the window's start-up).
// Given an earlier build's program, its command is timed too, interleaved,
// against this build's running window. Prints each run's milliseconds and
// the medians.
//
//   bench_selection PROGRAM RUNS SERVICE_DELAY_MS [EARLIER_PROGRAM]
#include "stand_in_server.h"
#include "toolkit.h"

#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Where the window centres itself on the screen, and its boxes (pixels).
QPoint WindowOrigin(const QScreen &screen)
{
    const QRect area = screen.geometry();
    return {area.x() + (area.width() - 750) / 2, area.y() + (area.height() - 400) / 2};
}
const QRect kText2(25, 242, 381, 123);
const QPoint kBareSurface(560, 30);

QImage Grab(QScreen &screen, QRect area)
{
    return screen.grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
}

int DarkPixels(const QImage &image)
{
    int dark = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 96 ? 1 : 0;
    }
    return dark;
}

int ChangedPixels(const QImage &before, const QImage &now)
{
    int changed = 0;
    for (int y = 0; y < std::min(before.height(), now.height()); ++y) {
        for (int x = 0; x < std::min(before.width(), now.width()); ++x)
            changed += (qGray(before.pixel(x, y)) < 96) != (qGray(now.pixel(x, y)) < 96) ? 1 : 0;
    }
    return changed;
}

// A line of translated text, not the blinking caret (some 20 pixels).
constexpr int kTextPixels = 150;

// Pumps the event loop (this process serves the selection and the stand-in)
// until done() or 20 s; the milliseconds taken, or -1.
template <typename Done> double TimeUntil(const QElapsedTimer &clock, Done done)
{
    while (clock.elapsed() < 20000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        if (done())
            return static_cast<double>(clock.nsecsElapsed()) / 1e6;
    }
    return -1.0;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1.0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr,
                     "usage: bench_selection PROGRAM RUNS SERVICE_DELAY_MS [EARLIER_PROGRAM]\n");
        return 2;
    }
    const QString program = QString::fromLocal8Bit(argv[1]);
    const int runs = std::max(1, std::atoi(argv[2]));
    const QString earlier = argc == 5 ? QString::fromLocal8Bit(argv[4]) : QString();
    QTemporaryDir home;
    verz::test::UsePrivateHome(home.path());

    verz::test::StandInServer service;
    verz::test::StandInServer::Script script;
    script.body = QByteArrayLiteral("<div id=result_box dir=\"ltr\">Bonjour tout le monde</div>");
    script.delayMs = std::atoi(argv[3]);
    service.setScript(script);
    QSettings settings(home.filePath(QStringLiteral("config/Verzolan/Verzolan.conf")),
                       QSettings::IniFormat);
    settings.setValue(QStringLiteral("data/service"), service.host());
    settings.sync();

    QGuiApplication::clipboard()->setText(QStringLiteral("Good morning"), QClipboard::Selection);
    QScreen &screen = *QGuiApplication::primaryScreen();
    const QPoint origin = WindowOrigin(screen);
    const QRect text2 = kText2.translated(origin);
    const QStringList command = {QStringLiteral("--selection"), QStringLiteral("--pair"),
                                 QStringLiteral("en|fr")};

    std::vector<double> warm, cold, startup, byCommand, ownTime, ownTimeByCommand, warmEarlier,
        ownTimeEarlier;
    for (int run = 0; run < runs; ++run) {
        // The window's start-up: a plain launch until its face is painted.
        {
            QProcess window;
            QElapsedTimer clock;
            clock.start();
            window.start(program, {});
            startup.push_back(TimeUntil(clock, [&] {
                const QImage face = Grab(screen, QRect(origin + kBareSurface, QSize(1, 1)));
                return qBlue(face.pixel(0, 0)) > 100 && qRed(face.pixel(0, 0)) < 40;
            }));
            // The running window, warm: the command until Text2 changes, by
            // each road; and until the command ends.
            enum Road { Today, Old, Earlier };
            for (const Road road : {Today, Earlier, Old}) {
                if (road == Earlier && earlier.isEmpty())
                    continue;
                const bool oldRoad = road == Old;
                QTest::qWait(300);
                // Changed pixels, not more dark ones: a full box scrolls.
                const QImage before = Grab(screen, text2);
                QProcess send;
                QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
                if (oldRoad)
                    environment.insert(QStringLiteral("VERZOLAN_SELECTION_BY_COMMAND"),
                                       QStringLiteral("1"));
                send.setProcessEnvironment(environment);
                double ended = -1.0;
                QObject::connect(&send, &QProcess::finished,
                                 [&] { ended = static_cast<double>(clock.nsecsElapsed()) / 1e6; });
                clock.restart();
                send.start(road == Earlier ? earlier : program, command);
                (road == Old       ? byCommand
                 : road == Earlier ? warmEarlier
                                   : warm)
                    .push_back(TimeUntil(clock, [&] {
                        return ChangedPixels(before, Grab(screen, text2)) >= kTextPixels;
                    }));
                TimeUntil(clock, [&] { return ended >= 0; });
                (road == Old       ? ownTimeByCommand
                 : road == Earlier ? ownTimeEarlier
                                   : ownTime)
                    .push_back(ended);
            }
            window.kill();
            window.waitForFinished(5000);
        }
        QTest::qWait(300);
        // Cold: no window until the command opens one.
        {
            QProcess opened;
            QElapsedTimer clock;
            clock.start();
            opened.start(program, command);
            cold.push_back(
                TimeUntil(clock, [&] { return DarkPixels(Grab(screen, text2)) >= kTextPixels; }));
            opened.kill();
            opened.waitForFinished(5000);
        }
        QTest::qWait(300);
        std::printf("run %d: start-up %.1f ms, running window %.1f ms (before: %.1f ms), "
                    "cold %.1f ms\n",
                    run + 1, startup.back(), warm.back(), byCommand.back(), cold.back());
    }
    const double delay = script.delayMs;
    std::printf("service's own time (stand-in delay): %.0f ms\n", delay);
    std::printf("running window, command to translation visible: median %.1f ms "
                "(service + %.1f ms)\n",
                Median(warm), Median(warm) - delay);
    std::printf("  before, the command reading the selection:        median %.1f ms "
                "(service + %.1f ms)\n",
                Median(byCommand), Median(byCommand) - delay);
    std::printf("the command's own time, launch to exit: median %.1f ms (before: %.1f ms)\n",
                Median(ownTime), Median(ownTimeByCommand));
    if (!earlier.isEmpty())
        std::printf("the earlier build's command, same window: median %.1f ms (service + %.1f ms), "
                    "own time %.1f ms\n",
                    Median(warmEarlier), Median(warmEarlier) - delay, Median(ownTimeEarlier));
    std::printf("window start-up, launch to painted: median %.1f ms\n", Median(startup));
    std::printf("cold start, command to translation visible: median %.1f ms "
                "(start-up + service + %.1f ms)\n",
                Median(cold), Median(cold) - Median(startup) - delay);
    return 0;
}
