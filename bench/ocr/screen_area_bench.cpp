// From the rectangle drawn on the screen to its translation in the running
// window, on the current X display against a loopback stand-in service that
// answers at once: `Verzolan --ocr-screen --pair en|fr` is started, the
// overlay awaited, the rectangle drawn over a picture of text with xdotool,
// and the clock started as the button is released; then until the window
// asks the service (the text is in Text1 and « Lancer la traduction »
// clicked) and until Text2 shows the translation. Peak memory: the command's
// largest resident set, its reading child's included (GNU time's %M, which
// takes the largest of a process and the children it waited for), and the
// window's (VmHWM). Prints each run and the medians.
//
//   bench_screen_area PROGRAM RUNS
#include "ocr/bounded_ocr.h"
#include "picture_maker.h"
#include "screen/screen_area.h"
#include "stand_in_server.h"
#include "toolkit.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const QRect kText2(25, 242, 381, 123);
const QPoint kBareSurface(560, 30);
// A line of translated text, not the blinking caret (some 20 pixels).
constexpr int kTextPixels = 150;
constexpr qint64 kLimitMs = 30000;

QImage Grab(QScreen &screen, QRect area)
{
    return screen.grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
}

// Text2 scrolls once full: a new line shows as pixels changed, not added.
int ChangedPixels(const QImage &before, const QImage &now)
{
    int changed = 0;
    for (int y = 0; y < std::min(before.height(), now.height()); ++y)
        for (int x = 0; x < std::min(before.width(), now.width()); ++x)
            changed += before.pixel(x, y) != now.pixel(x, y) ? 1 : 0;
    return changed;
}

int DarkPixels(const QImage &image)
{
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 96 ? 1 : 0;
    return dark;
}

// Pumps the event loop (the stand-in answers from it) until done() or the
// limit; the milliseconds taken, or -1. It rests between looks: a busy loop
// would take a core from the reading it measures.
template <typename Done> double TimeUntil(const QElapsedTimer &clock, Done done)
{
    while (clock.elapsed() < kLimitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        QThread::msleep(2);
        if (done())
            return static_cast<double>(clock.nsecsElapsed()) / 1e6;
    }
    return -1.0;
}

bool Xdotool(const QStringList &arguments)
{
    return verz::test::RunProcess(QStringLiteral("xdotool"), arguments).exitCode == 0;
}

bool OverlayShown()
{
    return !verz::test::RunProcess(QStringLiteral("xdotool"),
                                   {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                    QStringLiteral("--name"), QStringLiteral("zone à traduire")})
                .out.trimmed()
                .isEmpty();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1.0 : values[values.size() / 2];
}

double WindowPeakMib(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

}  // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_screen_area PROGRAM RUNS\n");
        return 2;
    }
    const QString program = QString::fromLocal8Bit(argv[1]);
    const int runs = std::max(1, std::atoi(argv[2]));
    QTemporaryDir home;
    verz::test::UsePrivateHome(home.path());
    verz::test::StandInServer service;
    verz::test::StandInServer::Script script;
    script.body = QByteArrayLiteral("<div id=result_box dir=\"ltr\">Bonjour tout le monde</div>");
    service.setScript(script);
    QSettings settings(home.filePath(QStringLiteral("config/Verzolan/Verzolan.conf")),
                       QSettings::IniFormat);
    settings.setValue(QStringLiteral("data/service"), service.host());
    settings.sync();

    // Two lines of 20-point text at the screen's density, at its top left.
    const QString picture = home.filePath(QStringLiteral("area.png"));
    verz::test::PictureStyle style;
    style.dpi = 96;
    style.pointSize = 20;
    style.font = QStringLiteral("Liberation-Sans");
    if (!verz::test::MakePicture(QStringLiteral("The weather is nice today.\nWe walk to the old "
                                                "bridge after lunch."),
                                 picture, style)) {
        std::fprintf(stderr, "convert failed\n");
        return 1;
    }
    const QSize size = QImage(picture).size();
    QProcess viewer;
    viewer.start(QStringLiteral("display"),
                 {QStringLiteral("-geometry"), QStringLiteral("+0+0"), picture});
    QScreen &screen = *QGuiApplication::primaryScreen();
    const QRect area = screen.geometry();
    const QPoint origin(area.x() + (area.width() - 750) / 2, area.y() + (area.height() - 400) / 2);
    QProcess window;
    window.start(program, {});
    QElapsedTimer clock;
    clock.start();
    TimeUntil(clock, [&] {
        const QImage face = Grab(screen, QRect(origin + kBareSurface, QSize(1, 1)));
        return qBlue(face.pixel(0, 0)) > 100 && qRed(face.pixel(0, 0)) < 40;
    });
    TimeUntil(clock, [&] { return DarkPixels(Grab(screen, QRect(QPoint(0, 0), size))) > 200; });

    // The reading alone, of the same area as the command cuts it.
    std::vector<double> reading;
    for (int run = 0; run < runs; ++run) {
        const QByteArray png = verz::AreaPicture(Grab(screen, QRect(QPoint(0, 0), size)),
                                                 QRect(QPoint(2, 2), size - QSize(4, 4)));
        clock.restart();
        verz::ReadTextInPicture(png, QStringLiteral("eng"));
        reading.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }

    std::vector<double> overlay, asked, shown, commandMib;
    for (int run = 0; run < runs; ++run) {
        const QImage before = Grab(screen, kText2.translated(origin));
        const qsizetype requests = service.requests().size();
        QProcess command;
        command.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        clock.restart();
        command.start(QStringLiteral("/usr/bin/time"),
                      {QStringLiteral("-f"), QStringLiteral("%M"), program,
                       QStringLiteral("--ocr-screen"), QStringLiteral("--pair"),
                       QStringLiteral("en|fr")});
        overlay.push_back(TimeUntil(clock, OverlayShown));
        Xdotool({QStringLiteral("mousemove"), QStringLiteral("2"), QStringLiteral("2"),
                 QStringLiteral("mousedown"), QStringLiteral("1"), QStringLiteral("mousemove"),
                 QString::number(size.width() / 2), QString::number(size.height() / 2),
                 QStringLiteral("mousemove"), QString::number(size.width() - 3),
                 QString::number(size.height() - 3)});
        clock.restart();
        Xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
        asked.push_back(TimeUntil(clock, [&] { return service.requests().size() > requests; }));
        shown.push_back(TimeUntil(clock, [&] {
            return ChangedPixels(before, Grab(screen, kText2.translated(origin))) >= kTextPixels;
        }));
        TimeUntil(clock, [&] { return command.state() == QProcess::NotRunning; });
        const QList<QByteArray> err = command.readAllStandardError().trimmed().split('\n');
        commandMib.push_back(err.last().toDouble() / 1024.0);
        std::printf("run %d: overlay up %.1f ms after the command's start; release to Text1 sent "
                    "%.1f ms, to translation shown %.1f ms; command peak %.1f MiB\n",
                    run + 1, overlay.back(), asked.back(), shown.back(), commandMib.back());
        std::fflush(stdout);
        QTest::qWait(300);
    }
    std::printf("release to the text read in Text1 (request sent): median %.1f ms\n",
                Median(asked));
    std::printf("release to the translation shown in Text2:        median %.1f ms\n",
                Median(shown));
    std::printf("  of which the reading alone (in process):         median %.1f ms\n",
                Median(reading));
    std::printf("command start to overlay shown:                    median %.1f ms\n",
                Median(overlay));
    std::printf("peak resident, command with its reading child: median %.1f MiB; "
                "window (VmHWM) %.1f MiB\n",
                Median(commandMib), WindowPeakMib(window.processId()));
    window.kill();
    window.waitForFinished(5000);
    viewer.kill();
    viewer.waitForFinished(5000);
    return 0;
}
