#include "x11_session.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTcpServer>
#include <QThread>

namespace verz::x11 {
namespace {

// Long enough for the program and the server to take one event in turn.
constexpr int kStepPauseMs = 60;

void Pause(int ms)
{
    QThread::msleep(static_cast<unsigned long>(ms));
}

// A loopback port nobody listens on: bound, read, released.
quint16 ClosedLoopbackPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    const quint16 port = server.serverPort();
    server.close();
    return port;
}

QMap<QString, int> ShellValues(const QString &text)
{
    QMap<QString, int> values;
    for (const QString &line : text.split(u'\n', Qt::SkipEmptyParts)) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0)
            values.insert(line.left(eq), line.mid(eq + 1).toInt());
    }
    return values;
}

}  // namespace

QString RunTool(const QString &program, const QStringList &args, int timeoutMs)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::SeparateChannels);
    tool.start(program, args);
    if (!tool.waitForFinished(timeoutMs)) {
        tool.kill();
        tool.waitForFinished();
        return {};
    }
    return QString::fromUtf8(tool.readAllStandardOutput());
}

QString Xdotool(const QStringList &args)
{
    return RunTool(QStringLiteral("xdotool"), args);
}

bool WindowManagerRunning()
{
    return RunTool(QStringLiteral("xprop"),
                   {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
        .contains(QStringLiteral("window id"));
}

QString RootWindowId()
{
    const QString info = RunTool(QStringLiteral("xwininfo"), {QStringLiteral("-root")});
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Window id: 0x([0-9a-fA-F]+)")).match(info);
    return m.hasMatch() ? QString::number(m.captured(1).toULongLong(nullptr, 16)) : QString();
}

QString WindowUnderPointer(QPoint screenPos)
{
    Xdotool({QStringLiteral("mousemove"), QString::number(screenPos.x()),
             QString::number(screenPos.y())});
    const QString where = Xdotool({QStringLiteral("getmouselocation"), QStringLiteral("--shell")});
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("WINDOW=(\\d+)")).match(where);
    return m.hasMatch() ? m.captured(1) : QString();
}

QImage Screenshot()
{
    QProcess import;
    import.start(QStringLiteral("import"), {QStringLiteral("-silent"), QStringLiteral("-window"),
                                            QStringLiteral("root"), QStringLiteral("png:-")});
    if (!import.waitForFinished(5000)) {
        import.kill();
        import.waitForFinished();
        return {};
    }
    return QImage::fromData(import.readAllStandardOutput(), "PNG")
        .convertToFormat(QImage::Format_RGB32);
}

void DragWith(int button, QPoint screenPos, QPoint delta, const QStringList &modifiers)
{
    const QString b = QString::number(button);
    Xdotool({QStringLiteral("mousemove"), QString::number(screenPos.x()),
             QString::number(screenPos.y())});
    if (!modifiers.isEmpty())
        Xdotool(QStringList{QStringLiteral("keydown")} + modifiers);
    Xdotool({QStringLiteral("mousedown"), b});
    Pause(3 * kStepPauseMs);  // the press must reach the program before the pointer moves
    constexpr int kSteps = 4;
    for (int i = 1; i <= kSteps; ++i) {
        const QPoint at = screenPos + delta * i / kSteps;
        Xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())});
        Pause(kStepPauseMs);
    }
    Pause(kStepPauseMs);
    Xdotool({QStringLiteral("mouseup"), b});
    if (!modifiers.isEmpty())
        Xdotool(QStringList{QStringLiteral("keyup")} + modifiers);
    Pause(kStepPauseMs);
}

RunningProgram::RunningProgram(const QMap<QString, QString> &extraEnv)
{
    const QString program = qEnvironmentVariable("VERZ_PROGRAM");
    if (program.isEmpty()) {
        failure_ = QStringLiteral("VERZ_PROGRAM is not set");
        return;
    }
    const QString config = home_.path() + QStringLiteral("/config");
    QDir().mkpath(config + QStringLiteral("/Verzolan"));
    QFile settings(config + QStringLiteral("/Verzolan/Verzolan.conf"));
    settings.open(QIODevice::WriteOnly);
    settings.write("[data]\nservice=127.0.0.1:" + QByteArray::number(ClosedLoopbackPort()) + "\n");
    settings.close();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name :
         {"QT_QPA_PLATFORM", "QT_FONT_DPI", "QT_ENABLE_HIGHDPI_SCALING", "QT_SCALE_FACTOR",
          "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("HOME"), home_.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home_.path() + QStringLiteral("/cache"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home_.path());
    for (auto it = extraEnv.begin(); it != extraEnv.end(); ++it)
        env.insert(it.key(), it.value());
    process_.setProcessEnvironment(env);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(program, {});
    if (!process_.waitForStarted(5000)) {
        failure_ = QStringLiteral("could not start ") + program;
        return;
    }

    QProcess search;
    search.start(QStringLiteral("xdotool"),
                 {QStringLiteral("search"), QStringLiteral("--sync"),
                  QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                  QStringLiteral("^Verzolan$")});
    if (!search.waitForFinished(10000)) {
        search.kill();
        search.waitForFinished();
        failure_ = QStringLiteral("no window named Verzolan appeared");
        return;
    }
    const QString id =
        QString::fromUtf8(search.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts).value(0);

    // Mapped is not yet painted: wait until the face colour shows on the bare
    // surface between the text area and the option column.
    const QDeadlineTimer deadline(5000);
    windowId_ = id;
    while (!deadline.hasExpired()) {
        const QImage shot = windowShot();
        if (!shot.isNull() && shot.size() == QSize(750, 400) &&
            QColor(shot.pixel(530, 200)) == QColor(0, 0, 128))
            return;
        Pause(kStepPauseMs);
    }
    windowId_.clear();
    failure_ = QStringLiteral("the window did not show its face at 750 x 400 in time");
}

RunningProgram::~RunningProgram()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.terminate();
    if (!process_.waitForFinished(2000)) {
        process_.kill();
        process_.waitForFinished(2000);
    }
}

bool RunningProgram::running()
{
    if (process_.state() == QProcess::NotRunning)
        return false;
    process_.waitForFinished(kStepPauseMs);
    return process_.state() == QProcess::Running;
}

QRect RunningProgram::geometry() const
{
    if (windowId_.isEmpty())
        return {};
    const QMap<QString, int> v = ShellValues(
        Xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), windowId_}));
    return {v.value(QStringLiteral("X")), v.value(QStringLiteral("Y")),
            v.value(QStringLiteral("WIDTH")), v.value(QStringLiteral("HEIGHT"))};
}

QPoint RunningProgram::waitForPosition(QPoint want, int timeoutMs) const
{
    const QDeadlineTimer deadline(timeoutMs);
    QPoint now = geometry().topLeft();
    while (now != want && !deadline.hasExpired()) {
        Pause(kStepPauseMs / 2);
        now = geometry().topLeft();
    }
    return now;
}

QImage RunningProgram::windowShot() const
{
    const QRect where = geometry();
    if (where.isEmpty())
        return {};
    return Screenshot().copy(where);
}

}  // namespace verz::x11
