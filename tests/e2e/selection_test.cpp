// Translating what another program selected: the command, the running
// window over a private session bus, the desktop notification, the X11 key;
// and the text of an area drawn on the screen, by the overlay or the portal.
#include "e2e/portal_stand_in.h"
#include "e2e/program_fixture.h"
#include "ocr/picture_maker.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

namespace verz::e2e {
namespace {

const QString kTranslation = QStringLiteral("Bonjour tout le monde ");

// A scenario with a session bus of its own, for the program and the tools.
class SelectionTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(ProgramTest::SetUp());
        if (IsSkipped())
            return;
        const test::ProcessOutcome bus = test::RunProcess(
            QStringLiteral("dbus-daemon"),
            {QStringLiteral("--session"), QStringLiteral("--fork"),
             QStringLiteral("--print-address=1"), QStringLiteral("--print-pid=1")});
        ASSERT_TRUE(bus.ended && bus.exitCode == 0) << bus.err.toStdString();
        const QList<QByteArray> lines = bus.out.split('\n');
        busAddress_ = QString::fromUtf8(lines.value(0).trimmed());
        busPid_ = lines.value(1).trimmed().toLongLong();
        ASSERT_FALSE(busAddress_.isEmpty());
        environment_.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress_);
        tools_ = environment_;
    }

    void TearDown() override
    {
        if (notifier_) {
            notifier_->kill();
            notifier_->waitForFinished(2000);
        }
        ProgramTest::TearDown();
        if (busPid_ > 0)
            test::RunProcess(QStringLiteral("kill"), {QString::number(busPid_)});
    }

    test::ProcessOutcome tool(const QString &program, const QStringList &arguments)
    {
        return test::RunProcess(program, arguments,
                                {.input = {}, .limitMs = 5000, .environment = tools_});
    }

    // Saved for a person to look at when VERZ_SHOT_DIR names a folder.
    static void keepShot(const char *name)
    {
        const QString folder = qEnvironmentVariable("VERZ_SHOT_DIR");
        if (!folder.isEmpty())
            Screenshot().save(
                QDir(folder).filePath(QString::fromLatin1(name) + QStringLiteral(".png")));
    }

    void startNotificationDaemon()
    {
        notifier_ = std::make_unique<QProcess>();
        notifier_->setProcessEnvironment(tools_);
        notifier_->start(QStringLiteral("dunst"), {});
        ASSERT_TRUE(notifier_->waitForStarted(5000));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return tool(QStringLiteral("dunstctl"), {QStringLiteral("count")}).exitCode == 0;
            },
            5000));
    }

    QString busAddress_;
    qint64 busPid_ = 0;
    QProcessEnvironment tools_;
    std::unique_ptr<QProcess> notifier_;
};

using SelectionWindow = SelectionTest;
using SelectionCommand = SelectionTest;

// A picture of text, as a screen shows it, in a window of its own at the
// screen's top left; the area test reads it back.
class ScreenArea : public SelectionTest {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(SelectionTest::SetUp());
        if (IsSkipped())
            return;
        picture_ = root_.filePath(QStringLiteral("area.png"));
        ASSERT_TRUE(test::MakePicture(kWritten, picture_,
                                      {.dpi = 96,
                                       .pointSize = 20,
                                       .noise = false,
                                       .tiltDegrees = 0,
                                       .font = QStringLiteral("Liberation-Sans")}));
        size_ = QImage(picture_).size();
    }

    void TearDown() override
    {
        if (viewer_) {
            viewer_->kill();
            viewer_->waitForFinished(2000);
        }
        SelectionTest::TearDown();
    }

    void showPicture()
    {
        viewer_ = std::make_unique<QProcess>();
        viewer_->setProcessEnvironment(tools_);
        viewer_->start(QStringLiteral("display"),
                       {QStringLiteral("-geometry"), QStringLiteral("+0+0"), picture_});
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return WindowAt(QPoint(size_.width() / 2, size_.height() / 2)) != RootWindow(); },
            10000));
    }

    // Whether the overlay is on the screen, polled until it is as wanted.
    bool overlayShown(bool wanted)
    {
        return QTest::qWaitFor(
            [&] {
                const test::ProcessOutcome found =
                    tool(QStringLiteral("xdotool"),
                         {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                          QStringLiteral("--name"), QStringLiteral("zone à traduire")});
                return found.out.trimmed().isEmpty() != wanted;
            },
            10000);
    }

    static inline const QString kWritten = QStringLiteral("Good morning my friend");
    QString picture_;
    QSize size_;
    std::unique_ptr<QProcess> viewer_;
};

TEST_F(SelectionWindow, CommandAndKeyTranslateInTheRunningWindow)
{
    ASSERT_NO_FATAL_FAILURE(launch());
    // Only spaces selected, the clipboard empty: a message, the window untouched.
    ASSERT_TRUE(FillClipboard(QStringLiteral("   "), QStringLiteral("primary")));
    const test::ProcessOutcome empty = runProgram({QStringLiteral("--selection")});
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_TRUE(QString::fromUtf8(empty.err).contains(QStringLiteral("Rien n’est sélectionné")))
        << empty.err.toStdString();
    Pump(300);
    EXPECT_TRUE(standIn_.requests().isEmpty());
    keepShot("selection_empty");

    ASSERT_TRUE(FillClipboard(QStringLiteral("Good morning"), QStringLiteral("primary")));
    const test::ProcessOutcome sent = runProgram(
        {QStringLiteral("--selection"), QStringLiteral("--pair"), QStringLiteral("en|fr")});
    ASSERT_TRUE(sent.ended) << sent.err.toStdString();
    EXPECT_EQ(sent.exitCode, 0) << sent.err.toStdString();
    ASSERT_TRUE(waitForRequests(1));
    EXPECT_EQ(sentText(), QStringLiteral("Good morning"));
    EXPECT_EQ(sentPair(), QStringLiteral("en|fr"));
    EXPECT_TRUE(waitForStoredRow(QStringLiteral("0")));
    keepShot("selection_running_window");
    EXPECT_EQ(outputText(kTranslation), kTranslation);

    // Another program's call with a bad pair: refused, nothing sent.
    const test::ProcessOutcome refused = tool(
        QStringLiteral("dbus-send"),
        {QStringLiteral("--session"), QStringLiteral("--print-reply"),
         QStringLiteral("--dest=org.verzolan.verzolan"), QStringLiteral("/org/verzolan/verzolan"),
         QStringLiteral("org.verzolan.verzolan.Selection.Translate"), QStringLiteral("string:Hi"),
         QStringLiteral("string:en|xx")});
    EXPECT_NE(refused.exitCode, 0);
    EXPECT_TRUE(refused.err.contains("InvalidArgs")) << refused.err.toStdString();

    // The key, pressed in no window of ours; the pair stays the chosen one.
    ASSERT_TRUE(FillClipboard(QStringLiteral("Good evening"), QStringLiteral("primary")));
    ASSERT_TRUE(Key(QStringLiteral("ctrl+alt+y")));
    ASSERT_TRUE(waitForRequests(2));
    EXPECT_EQ(sentText(), QStringLiteral("Good evening"));
    EXPECT_EQ(sentPair(), QStringLiteral("en|fr"));
    EXPECT_EQ(standIn_.requests().size(), 2);
    EXPECT_EQ(outputText(kTranslation + QStringLiteral("\n") + kTranslation),
              kTranslation + QStringLiteral("\n") + kTranslation);
    keepShot("selection_shortcut");

    // "auto" through the running window: the pair follows the text's language.
    ASSERT_TRUE(FillClipboard(QStringLiteral("Meine Nachbarin gießt ihre Tomaten"),
                              QStringLiteral("primary")));
    const test::ProcessOutcome detected = runProgram(
        {QStringLiteral("--selection"), QStringLiteral("--pair"), QStringLiteral("auto")});
    EXPECT_EQ(detected.exitCode, 0) << detected.err.toStdString();
    ASSERT_TRUE(waitForRequests(3));
    EXPECT_EQ(sentPair(), QStringLiteral("de|fr"));

    ASSERT_NO_FATAL_FAILURE(quit());
}

TEST_F(SelectionWindow, CommandStartsAWindowWhenNoneRuns)
{
    ASSERT_TRUE(FillClipboard(QStringLiteral("Good morning"), QStringLiteral("primary")));
    ASSERT_NO_FATAL_FAILURE(
        launch({QStringLiteral("--selection"), QStringLiteral("--pair"), QStringLiteral("en|fr")}));
    ASSERT_TRUE(waitForRequests(1));
    EXPECT_EQ(sentText(), QStringLiteral("Good morning"));
    EXPECT_EQ(sentPair(), QStringLiteral("en|fr"));
    EXPECT_EQ(outputText(kTranslation), kTranslation);
    EXPECT_EQ(storedSetting(QStringLiteral("list")), QStringLiteral("0"));
    keepShot("selection_no_window");
    // The window this command opened once its bus call had found none, under
    // an application made after the first had gone, answers the next command;
    // a text cut to fit says so on the command's side, where the user ran it.
    ASSERT_TRUE(
        FillClipboard(QStringLiteral("Good evening ").repeated(1400), QStringLiteral("primary")));
    const test::ProcessOutcome next = runProgram({QStringLiteral("--selection")});
    EXPECT_EQ(next.exitCode, 0) << next.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(next.err).contains(QStringLiteral("seuls les 16384 premiers")))
        << next.err.toStdString();
    ASSERT_TRUE(waitForRequests(2));
    EXPECT_TRUE(sentText().startsWith(QStringLiteral("Good evening Good evening")));
    ASSERT_NO_FATAL_FAILURE(quit());

    // A session without a bus: a window all the same.
    environment_.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                        QStringLiteral("unix:path=") + root_.filePath(QStringLiteral("no-bus")));
    ASSERT_TRUE(FillClipboard(QStringLiteral("Good morning"), QStringLiteral("primary")));
    ASSERT_NO_FATAL_FAILURE(launch({QStringLiteral("--selection")}));
    ASSERT_TRUE(waitForRequests(3));
    EXPECT_EQ(sentText(), QStringLiteral("Good morning"));
    ASSERT_NO_FATAL_FAILURE(quit());
}

TEST_F(SelectionWindow, ASelectionThatComesDuringATranslationWaitsItsTurn)
{
    test::StandInServer::Script slow;
    slow.echoText = true;
    slow.delayMs = 1500;
    standIn_.setScript(slow);
    ASSERT_NO_FATAL_FAILURE(launch());
    const QStringList command = {QStringLiteral("--selection"), QStringLiteral("--pair"),
                                 QStringLiteral("en|fr")};
    ASSERT_TRUE(FillClipboard(QStringLiteral("first text"), QStringLiteral("primary")));
    EXPECT_EQ(runProgram(command).exitCode, 0);
    ASSERT_TRUE(waitForRequests(1));
    ASSERT_TRUE(FillClipboard(QStringLiteral("second text"), QStringLiteral("primary")));
    EXPECT_EQ(runProgram(command).exitCode, 0);
    ASSERT_TRUE(waitForRequests(2, 10000));
    EXPECT_EQ(sentText(0), QStringLiteral("first text"));
    EXPECT_EQ(sentText(1), QStringLiteral("second text"));
    const QString both = QStringLiteral("first text \nsecond text ");
    EXPECT_EQ(outputText(both, 10000), both);
    ASSERT_NO_FATAL_FAILURE(quit());
}

TEST_F(SelectionCommand, NotifiesWithACopyAction)
{
    ASSERT_NO_FATAL_FAILURE(startNotificationDaemon());
    ASSERT_TRUE(FillClipboard(QStringLiteral("Good morning"), QStringLiteral("primary")));
    const QStringList command = {QStringLiteral("--selection"), QStringLiteral("--pair"),
                                 QStringLiteral("en|fr"), QStringLiteral("--notify")};
    auto shown = [&] {
        return QTest::qWaitFor(
            [&] {
                return tool(QStringLiteral("dunstctl"),
                            {QStringLiteral("count"), QStringLiteral("displayed")})
                           .out.trimmed() == "1";
            },
            10000);
    };
    // Read and closed: the daemon's history holds what it showed.
    QProcess read;
    read.setProcessEnvironment(environment_);
    read.start(programPath_, command);
    ASSERT_TRUE(shown());
    keepShot("selection_notify");
    ASSERT_EQ(tool(QStringLiteral("dunstctl"), {QStringLiteral("close")}).exitCode, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return read.state() == QProcess::NotRunning; }, 5000));
    EXPECT_EQ(read.exitCode(), 0);
    const QString history =
        QString::fromUtf8(tool(QStringLiteral("dunstctl"), {QStringLiteral("history")}).out);
    EXPECT_TRUE(history.contains(QStringLiteral("Anglais vers Français"))) << history.toStdString();
    EXPECT_TRUE(history.contains(kTranslation.trimmed())) << history.toStdString();

    // « Copier », as a click on the bubble runs it: the translation is on the
    // clipboard until another program takes the clipboard over.
    QProcess copied;
    copied.setProcessEnvironment(environment_);
    copied.start(programPath_, command);
    ASSERT_TRUE(shown());
    ASSERT_EQ(
        tool(QStringLiteral("dunstctl"), {QStringLiteral("action"), QStringLiteral("0")}).exitCode,
        0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ReadClipboard() == kTranslation.trimmed(); }, 5000))
        << ReadClipboard().toStdString();
    ASSERT_TRUE(FillClipboard(QStringLiteral("ailleurs")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return copied.state() == QProcess::NotRunning; }, 5000));
    EXPECT_EQ(copied.exitCode(), 0);
    EXPECT_EQ(standIn_.requests().size(), 2);
}

TEST_F(SelectionCommand, WithoutANotificationServicePrintsTheTranslation)
{
    // No bus at all: the private one would start Debian's dunst on demand.
    environment_.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                        QStringLiteral("unix:path=") + root_.filePath(QStringLiteral("no-bus")));
    ASSERT_TRUE(FillClipboard(QStringLiteral("Good morning"), QStringLiteral("primary")));
    const test::ProcessOutcome printed =
        runProgram({QStringLiteral("--selection"), QStringLiteral("--pair"),
                    QStringLiteral("en|fr"), QStringLiteral("--notify")});
    ASSERT_TRUE(printed.ended);
    EXPECT_EQ(printed.exitCode, 0);
    EXPECT_EQ(QString::fromUtf8(printed.out), kTranslation.trimmed() + u'\n');
    EXPECT_TRUE(QString::fromUtf8(printed.err).contains(QStringLiteral("sortie standard")))
        << printed.err.toStdString();
}

TEST_F(ScreenArea, TheKeyReadsAnAreaIntoTheWindowAndEscapeCancels)
{
    ASSERT_NO_FATAL_FAILURE(showPicture());
    // No session bus: the text still comes back to this window, none other opens.
    environment_.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                        QStringLiteral("unix:path=") + root_.filePath(QStringLiteral("no-bus")));
    ASSERT_NO_FATAL_FAILURE(launch());
    // The key in no window of ours: the overlay, the rectangle drawn over the
    // picture, its text in Text1 with the pair of its language.
    ASSERT_TRUE(Key(QStringLiteral("ctrl+alt+o")));
    ASSERT_TRUE(overlayShown(true));
    keepShot("screen_area_overlay");
    ASSERT_TRUE(Drag(QPoint(2, 2), QPoint(size_.width() - 3, size_.height() - 3)));
    ASSERT_TRUE(waitForRequests(1, 30000));
    EXPECT_EQ(sentText().simplified(), kWritten);
    EXPECT_EQ(sentPair(), QStringLiteral("en|fr"));
    EXPECT_EQ(outputText(kTranslation), kTranslation);
    EXPECT_TRUE(overlayShown(false));
    const test::ProcessOutcome windows =
        tool(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                         QStringLiteral("--name"), QStringLiteral("^Verzolan$")});
    EXPECT_EQ(windows.out.trimmed().split('\n').size(), 1) << windows.out.toStdString();

    // The command, cancelled: a French line, nothing read, no overlay left.
    QProcess command;
    command.setProcessEnvironment(environment_);
    command.start(programPath_, {QStringLiteral("--ocr-screen")});
    ASSERT_TRUE(overlayShown(true));
    // Pressed again until heard: the overlay may be shown a moment before it
    // holds the keyboard.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            Key(QStringLiteral("Escape"));
            return QTest::qWaitFor([&] { return command.state() == QProcess::NotRunning; }, 300);
        },
        10000));
    const test::ProcessOutcome cancelled = test::FinishProcess(command, 10000);
    EXPECT_EQ(cancelled.exitCode, 1);
    EXPECT_TRUE(QString::fromUtf8(cancelled.err).contains(QStringLiteral("zone annulée")))
        << cancelled.err.toStdString();
    EXPECT_TRUE(overlayShown(false));
    EXPECT_EQ(standIn_.requests().size(), 1);
    ASSERT_NO_FATAL_FAILURE(quit());
}

// Where the program may not read the screen, the desktop's Screenshot
// portal gives the area (its stand-in here, on the test's bus).
TEST_F(ScreenArea, ThePortalsPictureGoesToTheWindowAndItsRefusalCancels)
{
    PortalStandIn portal(busAddress_);
    ASSERT_TRUE(portal.ready());
    portal.setScreenshot(picture_);
    ASSERT_NO_FATAL_FAILURE(launch());
    QProcessEnvironment noScreen = environment_;
    noScreen.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const QStringList command = {QStringLiteral("--ocr-screen"), QStringLiteral("--pair"),
                                 QStringLiteral("en|fr")};
    const test::ProcessOutcome read = test::RunProcess(
        programPath_, command, {.input = {}, .limitMs = 30000, .environment = noScreen});
    EXPECT_EQ(read.exitCode, 0) << read.err.toStdString();
    ASSERT_TRUE(waitForRequests(1));
    EXPECT_EQ(sentText().simplified(), kWritten);
    EXPECT_EQ(portal.calls(), QStringList{QStringLiteral("Screenshot interactive=true")});
    // The capture the portal saved for it is gone; nothing else is touched.
    EXPECT_FALSE(QFileInfo::exists(portal.lastCapture())) << portal.lastCapture().toStdString();
    EXPECT_TRUE(QFileInfo::exists(picture_));

    portal.setRefusing(true);
    const test::ProcessOutcome refused = test::RunProcess(
        programPath_, command, {.input = {}, .limitMs = 30000, .environment = noScreen});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(QString::fromUtf8(refused.err).contains(QStringLiteral("zone annulée")))
        << refused.err.toStdString();
    EXPECT_EQ(standIn_.requests().size(), 1);
    ASSERT_NO_FATAL_FAILURE(quit());
}

}  // namespace
}  // namespace verz::e2e
