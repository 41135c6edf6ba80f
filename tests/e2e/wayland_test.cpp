// The program in a Wayland session: weston, natively and through XWayland.
// The outline shown by alpha and its input region, a drag, minimising and
// the way back, the selection read without the focus, the two keys through
// a stand-in of the desktop's portals (the screen's reads the area its
// Screenshot portal gives).
#include "e2e/portal_stand_in.h"
#include "e2e/program_fixture.h"
#include "e2e/skin_points.h"
#include "ocr/picture_maker.h"
#include "toolkit.h"

#include <QColor>
#include <QDir>
#include <QTest>

#include <iostream>

namespace verz::e2e {
namespace {

constexpr QRgb kNavy = qRgb(0, 0, 128);
constexpr QRgb kKeyRed = qRgb(255, 0, 0);
// Where the pointer rests between gestures: over weston's panel, which no
// window covers, so it hides nothing of the window in a screenshot.
constexpr QPoint kRest(600, 12);

bool IsNavy(QRgb pixel)
{
    return IsColour(pixel, kNavy, 2);
}

QRect NavyBox(const QImage &image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (IsNavy(row[x]))
                box |= QRect(x, y, 1, 1);
    }
    return box;
}

// The window's place on the screen, found from the skin's navy face (the
// compositor places windows where it likes, and says nowhere where).
QRect FindWindow(const QImage &shot)
{
    static const QRect skinNavy = NavyBox(
        QImage(QStringLiteral(VERZ_ASSETS_DIR "/skin.bmp")).convertToFormat(QImage::Format_RGB32));
    const QRect navy = NavyBox(shot);
    if (navy.size() != skinNavy.size())
        return {};
    return QRect(navy.topLeft() - skinNavy.topLeft(), at::kWindow);
}

class WaylandTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(ProgramTest::SetUp());
        if (IsSkipped())
            return;
        const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
        xwayland_ = qEnvironmentVariable("VERZ_XWAYLAND_DISPLAY");
        if (wayland.isEmpty() || xwayland_.isEmpty())
            GTEST_SKIP() << "needs weston (run through with_weston.sh)";
        const test::ProcessOutcome bus = test::RunProcess(
            QStringLiteral("dbus-daemon"),
            {QStringLiteral("--session"), QStringLiteral("--fork"),
             QStringLiteral("--print-address=1"), QStringLiteral("--print-pid=1")});
        ASSERT_TRUE(bus.ended && bus.exitCode == 0) << bus.err.toStdString();
        const QList<QByteArray> lines = bus.out.split('\n');
        busAddress_ = QString::fromUtf8(lines.value(0).trimmed());
        busPid_ = lines.value(1).trimmed().toLongLong();
        // The program keeps its own runtime folder: the compositor's socket
        // is named by its whole path.
        const QString socket = QDir(qEnvironmentVariable("XDG_RUNTIME_DIR")).filePath(wayland);
        environment_.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress_);
        environment_.insert(QStringLiteral("WAYLAND_DISPLAY"), socket);
        environment_.insert(QStringLiteral("DISPLAY"), xwayland_);
        tools_ = environment_;
        environment_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
        // The desktop behind the window, once weston has painted it (black
        // until its shell has drawn the background) and it holds still.
        rest();
        QImage previous;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                desktop_ = Screenshot();
                const bool still = !desktop_.isNull() && desktop_ == previous &&
                                   qGray(desktop_.pixel(1000, 800)) > 16;
                previous = desktop_;
                return still;
            },
            10000));
        ASSERT_TRUE(FindWindow(desktop_).isEmpty()) << "a window of an earlier test is left";
    }

    void TearDown() override
    {
        stopOwners();
        ProgramTest::TearDown();
        // A window still mapped would spoil the next test's empty desktop.
        static_cast<void>(QTest::qWaitFor([] { return FindWindow(Screenshot()).isEmpty(); }, 5000));
        if (busPid_ > 0)
            test::RunProcess(QStringLiteral("kill"), {QString::number(busPid_)});
    }

    static void rest()
    {
        test::RunProcess(
            QStringLiteral("xdotool"),
            {QStringLiteral("mousemove"), QString::number(kRest.x()), QString::number(kRest.y())});
    }

    // Starts the program and waits for its painted window on weston's output.
    void launchOnWeston(const QStringList &arguments = {})
    {
        program_ = std::make_unique<QProcess>();
        program_->setProcessEnvironment(environment_);
        program_->setProcessChannelMode(QProcess::MergedChannels);
        program_->start(programPath_, arguments);
        ASSERT_TRUE(program_->waitForStarted(5000));
        ASSERT_TRUE(waitForWindow()) << "no window appeared";
    }

    bool waitForWindow()
    {
        return QTest::qWaitFor(
            [&] {
                rest();
                window_ = FindWindow(Screenshot());
                return !window_.isEmpty();
            },
            10000);
    }

    // The program's output so far (its standard error is merged in).
    QString programOutput() { return QString::fromUtf8(output_ += program_->readAll()); }

    // Every cut-away pixel shows the desktop as it was without the window;
    // the edge just inside is the skin's. The corners are printed.
    int wrongOutlinePixels(const char *road)
    {
        rest();
        const QImage shot = Screenshot().copy(window_);
        const QImage behind = desktop_.copy(window_);
        int wrong = 0;
        for (int y = 0; y < shot.height(); ++y) {
            const int left = OutlineLeft(y);
            for (int x = 0; x < shot.width(); ++x) {
                const bool cut = x < left || x >= 750 - left;
                const bool edge = !cut && (x == left || x == 749 - left);
                const QRgb seen = shot.pixel(x, y);
                if ((cut && seen != behind.pixel(x, y)) || (edge && IsColour(seen, kKeyRed, 8)))
                    ++wrong;
            }
        }
        std::cout << road << ": corners (0,0) " << QColor(shot.pixel(0, 0)).name().toStdString()
                  << ", (749,0) " << QColor(shot.pixel(749, 0)).name().toStdString() << ", (0,399) "
                  << QColor(shot.pixel(0, 399)).name().toStdString() << ", (749,399) "
                  << QColor(shot.pixel(749, 399)).name().toStdString() << ", left edge (0,200) "
                  << QColor(shot.pixel(0, 200)).name().toStdString()
                  << "; the desktop behind (0,0) "
                  << QColor(behind.pixel(0, 0)).name().toStdString() << "; " << wrong
                  << " pixels wrong\n";
        return wrong;
    }

    // Owns an X selection of XWayland, or Wayland's clipboard, until stopped.
    void own(const QString &program, const QStringList &arguments, const QString &text)
    {
        auto owner = std::make_unique<QProcess>();
        owner->setProcessEnvironment(tools_);
        owner->start(program, arguments);
        ASSERT_TRUE(owner->waitForStarted(5000));
        owner->write(text.toUtf8());
        owner->closeWriteChannel();
        owners_.push_back(std::move(owner));
    }
    void ownX11(const QString &selection, const QString &text)
    {
        own(QStringLiteral("xclip"),
            {QStringLiteral("-quiet"), QStringLiteral("-i"), QStringLiteral("-selection"),
             selection},
            text);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return tool(QStringLiteral("xclip"),
                            {QStringLiteral("-o"), QStringLiteral("-selection"), selection})
                           .out == text.toUtf8();
            },
            5000));
    }
    void stopOwners()
    {
        for (auto &owner : owners_) {
            owner->kill();
            owner->waitForFinished(2000);
        }
        owners_.clear();
    }

    test::ProcessOutcome tool(const QString &program, const QStringList &arguments)
    {
        return test::RunProcess(program, arguments,
                                {.input = {}, .limitMs = 5000, .environment = tools_});
    }

    // The stand-in's last request's text, once count requests came.
    QString translated(int count)
    {
        return waitForRequests(count, 8000) ? sentText() : QStringLiteral("(no request)");
    }

    QString xwayland_;
    QString busAddress_;
    qint64 busPid_ = 0;
    QProcessEnvironment tools_;
    QImage desktop_;
    QByteArray output_;
    std::vector<std::unique_ptr<QProcess>> owners_;
};

using WaylandNative = WaylandTest;
using WaylandX11 = WaylandTest;

TEST_F(WaylandNative, OutlineDragMinimiseAndLaunchAgain)
{
    ASSERT_NO_FATAL_FAILURE(launchOnWeston());
    EXPECT_EQ(wrongOutlinePixels("native"), 0);

    // A drag from a cut-away corner is the desktop's; from the bare skin, ours.
    const QRect before = window_;
    ASSERT_TRUE(Drag(onScreen(QPoint(2, 2)), onScreen(QPoint(62, 42))));
    ASSERT_TRUE(waitForWindow());
    EXPECT_EQ(window_.topLeft(), before.topLeft());
    ASSERT_TRUE(Drag(onScreen(at::kBareSurface), onScreen(at::kBareSurface) + QPoint(-60, 40)));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return waitForWindow() && window_.topLeft() == before.topLeft() + QPoint(-60, 40); },
        5000))
        << "from " << before.x() << ',' << before.y() << " to " << window_.x() << ','
        << window_.y();

    // "Réduire" asks weston, which has no task bar; a second launch brings
    // the window back and ends.
    click(at::Label2);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            rest();
            return FindWindow(Screenshot()).isEmpty();
        },
        5000));
    const test::ProcessOutcome again = runProgram({});
    EXPECT_TRUE(again.ended && again.exitCode == 0) << again.err.toStdString();
    ASSERT_TRUE(waitForWindow()) << "the window did not come back";
    EXPECT_EQ(wrongOutlinePixels("native, back"), 0);
    ASSERT_NO_FATAL_FAILURE(quit());
}

TEST_F(WaylandNative, SelectionByCommandAndByThePortalKey)
{
    PortalStandIn portal(busAddress_);
    ASSERT_TRUE(portal.ready());
    ASSERT_NO_FATAL_FAILURE(launchOnWeston());
    ASSERT_TRUE(QTest::qWaitFor([&] { return portal.calls().size() >= 2; }, 5000))
        << portal.calls().join(u' ').toStdString();
    EXPECT_EQ(portal.calls(),
              (QStringList{QStringLiteral("CreateSession"), QStringLiteral("BindShortcuts")}));
    EXPECT_EQ(portal.bound(),
              (QStringList{QStringLiteral("traduire-selection=CTRL+ALT+y (Traduire la sélection)"),
                           QStringLiteral("traduire-zone=CTRL+ALT+o (Traduire une zone de "
                                          "l’écran)")}));

    // The primary selection of an X program, read through XWayland.
    const QStringList command = {QStringLiteral("--selection"), QStringLiteral("--pair"),
                                 QStringLiteral("en|fr")};
    ASSERT_NO_FATAL_FAILURE(ownX11(QStringLiteral("primary"), QStringLiteral("Good morning")));
    const test::ProcessOutcome sent = runProgram(command);
    EXPECT_EQ(sent.exitCode, 0) << sent.err.toStdString();
    EXPECT_EQ(translated(1), QStringLiteral("Good morning"));

    // The key the portal bound: the same road.
    stopOwners();
    ASSERT_NO_FATAL_FAILURE(ownX11(QStringLiteral("primary"), QStringLiteral("Good evening")));
    portal.activate();
    EXPECT_EQ(translated(2), QStringLiteral("Good evening"));

    // The screen's key: the area the Screenshot portal gives, read, in Text1.
    const QString area = root_.filePath(QStringLiteral("area.png"));
    ASSERT_TRUE(test::MakePicture(QStringLiteral("Good afternoon"), area,
                                  {.dpi = 96,
                                   .pointSize = 20,
                                   .noise = false,
                                   .tiltDegrees = 0,
                                   .font = QStringLiteral("Liberation-Sans")}));
    portal.setScreenshot(area);
    portal.activate(QStringLiteral("traduire-zone"));
    EXPECT_EQ(translated(3).simplified(), QStringLiteral("Good afternoon"));

    // A Wayland program's clipboard (weston has no primary selection), as
    // weston hands it on to XWayland while its owner runs...
    stopOwners();
    own(QStringLiteral("wl-copy"), {QStringLiteral("--foreground")}, QStringLiteral("Good night"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return tool(QStringLiteral("wl-paste"), {QStringLiteral("-n")}).out == "Good night";
        },
        5000));
    const test::ProcessOutcome copied = runProgram(command);
    EXPECT_EQ(copied.exitCode, 0) << copied.err.toStdString();
    EXPECT_EQ(translated(4), QStringLiteral("Good night"));
    // ...and as only Wayland has it once the owner has gone (weston keeps a
    // copy): the window takes it once focused.
    stopOwners();
    EXPECT_TRUE(tool(QStringLiteral("xclip"), {QStringLiteral("-o"), QStringLiteral("-selection"),
                                               QStringLiteral("clipboard")})
                    .out.isEmpty());
    const test::ProcessOutcome kept = runProgram(command);
    EXPECT_EQ(kept.exitCode, 0) << kept.err.toStdString();
    EXPECT_EQ(translated(5), QStringLiteral("Good night"));

    // Only spaces anywhere: today's message.
    own(QStringLiteral("wl-copy"), {QStringLiteral("--foreground")}, QStringLiteral("   "));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return tool(QStringLiteral("wl-paste"), {QStringLiteral("-n")}).out == "   "; },
        5000));
    const test::ProcessOutcome nothing = runProgram(command);
    EXPECT_EQ(nothing.exitCode, 1);
    EXPECT_TRUE(QString::fromUtf8(nothing.err).contains(QStringLiteral("Rien n’est sélectionné")))
        << nothing.err.toStdString();
    EXPECT_EQ(standIn_.requests().size(), 5);
    ASSERT_NO_FATAL_FAILURE(quit());
}

TEST_F(WaylandNative, ARefusingPortalLeavesTheWindowWorking)
{
    PortalStandIn portal(busAddress_);
    ASSERT_TRUE(portal.ready());
    portal.setRefusing(true);
    ASSERT_NO_FATAL_FAILURE(launchOnWeston());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return programOutput().contains(QStringLiteral("pas de raccourci global")); }, 5000))
        << programOutput().toStdString();
    EXPECT_EQ(programOutput().count(QStringLiteral("raccourci")), 1);
    ASSERT_NO_FATAL_FAILURE(ownX11(QStringLiteral("primary"), QStringLiteral("Good morning")));
    EXPECT_EQ(runProgram({QStringLiteral("--selection")}).exitCode, 0);
    EXPECT_EQ(translated(1), QStringLiteral("Good morning"));
    ASSERT_NO_FATAL_FAILURE(quit());
}

TEST_F(WaylandX11, OutlineAndSelectionThroughXWayland)
{
    environment_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment_.remove(QStringLiteral("WAYLAND_DISPLAY"));
    ASSERT_NO_FATAL_FAILURE(launchOnWeston());
    const int wrong = wrongOutlinePixels("XWayland");
    RecordProperty("xwayland_wrong_outline_pixels", wrong);
    ASSERT_NO_FATAL_FAILURE(ownX11(QStringLiteral("primary"), QStringLiteral("Good morning")));
    const test::ProcessOutcome sent = runProgram({QStringLiteral("--selection")});
    EXPECT_EQ(sent.exitCode, 0) << sent.err.toStdString();
    EXPECT_EQ(translated(1), QStringLiteral("Good morning"));
    ASSERT_NO_FATAL_FAILURE(quit());
}

}  // namespace
}  // namespace verz::e2e
