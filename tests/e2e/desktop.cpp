#include "e2e/desktop.h"

#include "toolkit.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <memory>

namespace verz::e2e {

namespace {

QString Number(int value)
{
    return QString::number(value);
}

bool Xdotool(const QStringList &arguments)
{
    const test::ProcessOutcome result = test::RunProcess(QStringLiteral("xdotool"), arguments);
    return result.exitCode == 0;
}

std::unique_ptr<QProcess> &ClipboardOwner()
{
    static std::unique_ptr<QProcess> owner;
    return owner;
}

}  // namespace

void Pump(int ms)
{
    QTest::qWait(ms);
}

QRect WindowGeometry(const QString &windowId)
{
    const test::ProcessOutcome result =
        test::RunProcess(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"),
                                                     QStringLiteral("--shell"), windowId});
    if (result.exitCode != 0)
        return {};
    int x = 0, y = 0, width = 0, height = 0;
    for (const QByteArray &line : result.out.split('\n')) {
        const int equals = line.indexOf('=');
        if (equals < 0)
            continue;
        const QByteArray key = line.left(equals);
        const int value = line.mid(equals + 1).toInt();
        if (key == "X")
            x = value;
        else if (key == "Y")
            y = value;
        else if (key == "WIDTH")
            width = value;
        else if (key == "HEIGHT")
            height = value;
    }
    return QRect(x, y, width, height);
}

bool Click(QPoint at, int button)
{
    return Xdotool({QStringLiteral("mousemove"), Number(at.x()), Number(at.y()),
                    QStringLiteral("click"), Number(button)});
}

bool Drag(QPoint from, QPoint to, int button, const QStringList &modifiers)
{
    if (!modifiers.isEmpty() && !Xdotool(QStringList{QStringLiteral("keydown")} + modifiers))
        return false;
    if (!Xdotool({QStringLiteral("mousemove"), Number(from.x()), Number(from.y()),
                  QStringLiteral("mousedown"), Number(button)}))
        return false;
    // Small steps with the loop turning between them: a window manager takes
    // over the pointer only once the program has asked it to move the window.
    constexpr int steps = 8;
    bool moved = true;
    for (int step = 1; step <= steps; ++step) {
        Pump(30);
        const QPoint at = from + (to - from) * step / steps;
        moved = Xdotool({QStringLiteral("mousemove"), Number(at.x()), Number(at.y())}) && moved;
    }
    Pump(60);
    moved = Xdotool({QStringLiteral("mouseup"), Number(button)}) && moved;
    if (!modifiers.isEmpty())
        moved = Xdotool(QStringList{QStringLiteral("keyup")} + modifiers) && moved;
    return moved;
}

bool Key(const QString &keys)
{
    return Xdotool({QStringLiteral("key"), keys});
}

QString WindowAt(QPoint at)
{
    const test::ProcessOutcome result = test::RunProcess(
        QStringLiteral("xdotool"), {QStringLiteral("mousemove"), Number(at.x()), Number(at.y()),
                                    QStringLiteral("getmouselocation"), QStringLiteral("--shell")});
    static const QRegularExpression window(QStringLiteral("WINDOW=(\\d+)"));
    const QRegularExpressionMatch match = window.match(QString::fromUtf8(result.out));
    return match.hasMatch() ? match.captured(1) : QString();
}

QString RootWindow()
{
    const test::ProcessOutcome result =
        test::RunProcess(QStringLiteral("xwininfo"), {QStringLiteral("-root")});
    static const QRegularExpression id(QStringLiteral("Window id: 0x([0-9a-fA-F]+)"));
    const QRegularExpressionMatch match = id.match(QString::fromUtf8(result.out));
    return match.hasMatch() ? QString::number(match.captured(1).toULongLong(nullptr, 16))
                            : QString();
}

bool Type(const QString &text)
{
    return Xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("15"),
                    QStringLiteral("--"), text});
}

bool FillClipboard(const QString &text, const QString &selection)
{
    StopClipboardOwner();
    auto owner = std::make_unique<QProcess>();
    // In the foreground, so the owner is ours to end rather than a daemon.
    owner->start(QStringLiteral("xclip"), {QStringLiteral("-quiet"), QStringLiteral("-i"),
                                           QStringLiteral("-selection"), selection});
    if (!owner->waitForStarted(5000))
        return false;
    owner->write(text.toUtf8());
    owner->closeWriteChannel();
    ClipboardOwner() = std::move(owner);
    return QTest::qWaitFor([&] { return ReadClipboard(selection) == text; }, 5000);
}

void StopClipboardOwner()
{
    auto &owner = ClipboardOwner();
    if (!owner)
        return;
    if (owner->state() != QProcess::NotRunning) {
        owner->terminate();
        if (!owner->waitForFinished(2000)) {
            owner->kill();
            owner->waitForFinished(2000);
        }
    }
    owner.reset();
}

QString ReadClipboard(const QString &selection)
{
    const test::ProcessOutcome result = test::RunProcess(
        QStringLiteral("xclip"), {QStringLiteral("-o"), QStringLiteral("-selection"), selection});
    if (result.exitCode != 0)
        return {};
    return QString::fromUtf8(result.out);
}

QImage Screenshot()
{
    const test::ProcessOutcome result = test::RunProcess(
        QStringLiteral("import"),
        {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("png:-")});
    if (result.exitCode != 0)
        return {};
    return QImage::fromData(result.out, "PNG").convertToFormat(QImage::Format_RGB32);
}

QString WindowState(const QString &windowId)
{
    const test::ProcessOutcome result = test::RunProcess(
        QStringLiteral("xprop"), {QStringLiteral("-id"), windowId, QStringLiteral("WM_STATE")});
    static const QRegularExpression state(QStringLiteral("window state: (\\w+)"));
    const QRegularExpressionMatch match = state.match(QString::fromUtf8(result.out));
    return match.hasMatch() ? match.captured(1) : QString();
}

}  // namespace verz::e2e
