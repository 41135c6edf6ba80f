// One user's first click, timed: the program opened with a pair stored and
// nothing on the service's port, the text typed, the translate button clicked
// four seconds after the window shows; the time from that click to the page
// being kept (the scratch file written, the moment before Text2 gets the
// text). Run by first_click.sh, once per pair and mode, each time in a fresh
// network and process namespace under its own Xvfb.
//
//   bench_first_click PROGRAM ROW TEXT cold|warm
#include "e2e/desktop.h"
#include "e2e/skin_points.h"
#include "toolkit.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

using namespace verz::e2e;

namespace {

constexpr int kClickAfterShownMs = 4000;
constexpr int kGiveUpMs = 20000;

QString Folder(const QTemporaryDir &root, const char *name)
{
    const QString path = root.filePath(QString::fromLatin1(name));
    QDir().mkpath(path);
    return path;
}

}  // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: bench_first_click PROGRAM ROW TEXT cold|warm\n");
        return 2;
    }
    const QString program = args.at(1);
    const QString row = args.at(2);
    const QString text = args.at(3);
    const bool cold = args.at(4) == u"cold";

    // The program's own folder, with the service beside it as the package has it.
    QTemporaryDir root;
    const QString bin = Folder(root, "bin");
    const QString copy = QDir(bin).filePath(QStringLiteral("Verzolan"));
    QFile::copy(program, copy);
    QFile::setPermissions(copy, QFile::permissions(copy) | QFile::ExeOwner);
    QFile::link(QFileInfo(QFileInfo(program).dir().filePath(QStringLiteral("verzolan-service")))
                    .absoluteFilePath(),
                QDir(bin).filePath(QStringLiteral("verzolan-service")));
    const QString scratch = QDir(bin).filePath(QStringLiteral("Verz.txt"));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.insert(QStringLiteral("HOME"), Folder(root, "home"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), Folder(root, "config"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), Folder(root, "cache"));
    if (cold)
        environment.insert(QStringLiteral("VERZOLAN_NO_WARM_UP"), QStringLiteral("1"));
    {
        QDir().mkpath(root.filePath(QStringLiteral("config/Verzolan")));
        QSettings store(root.filePath(QStringLiteral("config/Verzolan/Verzolan.conf")),
                        QSettings::IniFormat);
        store.setValue(QStringLiteral("data/list"), row);
    }

    QProcess window;
    window.setProcessEnvironment(environment);
    window.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    window.start(copy, {});
    if (!window.waitForStarted(5000))
        return 1;
    const verz::test::ProcessOutcome found = verz::test::RunProcess(
        QStringLiteral("xdotool"),
        {QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
         QStringLiteral("--pid"), QString::number(window.processId()), QStringLiteral("--name"),
         QStringLiteral("^Verzolan$")},
        {.input = {}, .limitMs = 10000, .environment = {}});
    QElapsedTimer sinceShown;
    sinceShown.start();
    const QRect where =
        WindowGeometry(QString::fromLatin1(found.out.split('\n').value(0).trimmed()));
    if (!found.ended || where.isEmpty()) {
        std::fprintf(stderr, "no window\n");
        return 1;
    }
    const auto onScreen = [&](QRect control) { return where.topLeft() + Centre(control); };
    Click(onScreen(at::Text1));
    Type(text);
    Pump(int(std::max<qint64>(0, kClickAfterShownMs - sinceShown.elapsed())));

    // From before the click: the click itself (an xdotool run) can take
    // longer than a warm answer, which started behind it would show as 0 ms.
    QElapsedTimer clock;
    clock.start();
    Click(onScreen(at::Command6));
    while (!QFile::exists(scratch) && clock.elapsed() < kGiveUpMs)
        QThread::msleep(2);
    const qint64 ms = clock.elapsed();
    Click(onScreen(at::Command3));  // "Copier"
    const QString shown = ReadClipboard().trimmed();
    std::printf("%-5s %-5s %6lld ms  %s\n", qUtf8Printable(row), cold ? "cold" : "warm",
                static_cast<long long>(ms), qUtf8Printable(shown));
    window.kill();
    window.waitForFinished(3000);
    StopClipboardOwner();
    return QFile::exists(scratch) || !shown.isEmpty() ? 0 : 1;
}
