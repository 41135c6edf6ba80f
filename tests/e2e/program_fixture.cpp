#include "e2e/program_fixture.h"

#include "e2e/skin_points.h"
#include "toolkit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTest>

#include <array>
#include <cstdlib>
#include <iostream>

namespace verz::e2e {

namespace {

constexpr QRgb kNavy = qRgb(0, 0, 128);

QString Folder(const QTemporaryDir &root, const char16_t *name)
{
    const QString path = root.filePath(QString::fromUtf16(name));
    QDir().mkpath(path);
    return path;
}

}  // namespace

void ProgramTest::SetUp()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "needs an X display (run through with_xvfb.sh)";
    ASSERT_TRUE(root_.isValid());

    // A copy of the program of its own: its folder receives the scratch file,
    // and its base name "Verzolan" names the settings file.
    const QString bin = Folder(root_, u"bin");
    programPath_ = QDir(bin).filePath(QStringLiteral("Verzolan"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(VERZ_PROGRAM), programPath_));
    QFile::setPermissions(programPath_,
                          QFile::permissions(programPath_) | QFile::ExeOwner | QFile::ReadOwner);

    environment_ = QProcessEnvironment::systemEnvironment();
    for (const char *name :
         {"QT_QPA_PLATFORM", "QT_FONT_DPI", "QT_ENABLE_HIGHDPI_SCALING", "QT_SCALE_FACTOR"})
        environment_.remove(QString::fromLatin1(name));
    environment_.insert(QStringLiteral("HOME"), Folder(root_, u"home"));
    environment_.insert(QStringLiteral("XDG_CONFIG_HOME"), Folder(root_, u"config"));
    environment_.insert(QStringLiteral("XDG_CACHE_HOME"), Folder(root_, u"cache"));
    const QString runtime = Folder(root_, u"run");
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    environment_.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    // No session bus unless a scenario starts one: the desktop's own bus, or
    // one started for the display, would be shared with every other run.
    environment_.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                        QStringLiteral("unix:path=") +
                            QDir(runtime).filePath(QStringLiteral("no-bus")));

    QDir().mkpath(QFileInfo(settingsPath()).path());
    storeSetting(QStringLiteral("service"), standIn_.host());
    standIn_.setPage(ResultPage("Bonjour tout le monde"));
}

void ProgramTest::TearDown()
{
    if (program_) {
        if (program_->state() != QProcess::NotRunning) {
            program_->kill();
            program_->waitForFinished(3000);
        }
        if (HasFailure())
            std::cerr << "Program output:\n" << program_->readAll().toStdString() << '\n';
        program_.reset();
    }
    StopClipboardOwner();
    standIn_.closeConnections();
}

QString ProgramTest::settingsPath() const
{
    return root_.filePath(QStringLiteral("config/Verzolan/Verzolan.conf"));
}

void ProgramTest::storeSetting(const QString &key, const QString &value)
{
    QSettings store(settingsPath(), QSettings::IniFormat);
    store.setValue(QStringLiteral("data/") + key, value);
    store.sync();
}

QString ProgramTest::storedSetting(const QString &key) const
{
    const QSettings store(settingsPath(), QSettings::IniFormat);
    return store.value(QStringLiteral("data/") + key).toString();
}

bool ProgramTest::waitForStoredRow(const QString &row, int timeoutMs) const
{
    return QTest::qWaitFor([&] { return storedSetting(QStringLiteral("list")) == row; }, timeoutMs);
}

void ProgramTest::launch(const QStringList &arguments)
{
    program_ = std::make_unique<QProcess>();
    program_->setProcessEnvironment(environment_);
    program_->setProcessChannelMode(QProcess::MergedChannels);
    program_->setWorkingDirectory(root_.path());
    program_->start(programPath_, arguments);
    ASSERT_TRUE(program_->waitForStarted(5000)) << program_->errorString().toStdString();

    const test::ProcessOutcome found = test::RunProcess(
        QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--sync"),
                                    QStringLiteral("--all"), QStringLiteral("--onlyvisible"),
                                    QStringLiteral("--pid"), QString::number(program_->processId()),
                                    QStringLiteral("--name"), QStringLiteral("^Verzolan$")});
    ASSERT_TRUE(found.exitCode == 0) << "no window appeared";
    windowId_ = QString::fromLatin1(found.out.split('\n').value(0).trimmed());
    window_ = geometry();
    ASSERT_FALSE(window_.isEmpty());

    // Mapped is not yet painted: wait for the skin's navy face on the screen.
    const bool painted = QTest::qWaitFor(
        [&] {
            const QImage shot = windowShot();
            return !shot.isNull() && IsColour(shot.pixel(paintProbe_), kNavy, 2);
        },
        5000);
    ASSERT_TRUE(painted) << "the window was never painted";
}

test::ProcessOutcome ProgramTest::runProgram(const QStringList &arguments, int timeoutMs)
{
    return test::RunProcess(programPath_, arguments,
                            {.input = {}, .limitMs = timeoutMs, .environment = environment_});
}

void ProgramTest::launchWithHangingRequest()
{
    test::StandInServer::Script hang;
    hang.hang = true;
    standIn_.setScript(hang);
    ASSERT_NO_FATAL_FAILURE(launch());
    click(at::Command6);
    ASSERT_TRUE(waitForRequests(1));
}

bool ProgramTest::running() const
{
    return program_ && program_->state() != QProcess::NotRunning;
}

bool ProgramTest::waitForExit(int timeoutMs)
{
    return QTest::qWaitFor([&] { return !running(); }, timeoutMs);
}

void ProgramTest::quit()
{
    click(at::Label1);
    ASSERT_TRUE(waitForExit(5000)) << "\"Quitter\" left the program running";
    EXPECT_EQ(program_->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program_->exitCode(), 0);
}

void ProgramTest::click(QPoint inWindow, int button)
{
    ASSERT_TRUE(Click(onScreen(inWindow), button));
}

QImage ProgramTest::windowShot() const
{
    const QImage shot = Screenshot();
    return shot.isNull() ? shot : shot.copy(window_);
}

QString ProgramTest::outputText(const QString &expected, int timeoutMs)
{
    QString text;
    static_cast<void>(QTest::qWaitFor(
        [&] {
            if (!Click(onScreen(Centre(at::Command3))))
                return false;
            text = ReadClipboard();
            return text == expected;
        },
        timeoutMs));
    return text;
}

bool ProgramTest::waitForRequests(int count, int timeoutMs)
{
    return QTest::qWaitFor([&] { return standIn_.requests().size() >= count; }, timeoutMs);
}

QString ProgramTest::sentText(int request) const
{
    const auto &all = standIn_.requests();
    const auto &target = all.at(request < 0 ? all.size() - 1 : request).target;
    return test::StandInServer::queryValue(target, "text");
}

QString ProgramTest::sentPair(int request) const
{
    const auto &all = standIn_.requests();
    const auto &target = all.at(request < 0 ? all.size() - 1 : request).target;
    return test::StandInServer::queryValue(target, "langpair");
}

QString ProgramTest::scratchPath() const
{
    return QDir(QFileInfo(programPath_).path()).filePath(QStringLiteral("Verz.txt"));
}

QByteArray ResultPage(const QByteArray &translationUtf8)
{
    return QByteArrayLiteral("<html><body><div id=result_box dir=\"ltr\">") + translationUtf8 +
           QByteArrayLiteral("</div></body></html>");
}

bool IsColour(QRgb pixel, QRgb expected, int tolerance)
{
    return std::abs(qRed(pixel) - qRed(expected)) <= tolerance &&
           std::abs(qGreen(pixel) - qGreen(expected)) <= tolerance &&
           std::abs(qBlue(pixel) - qBlue(expected)) <= tolerance;
}

QString ShownFlag(const QImage &windowShot, QRect box, int *mismatches)
{
    static const std::array<const char *, 6> codes = {"fr", "en", "es", "de", "pt", "it"};
    QString best;
    int fewest = box.width() * box.height() + 1;
    for (const char *code : codes) {
        const QImage flag =
            QImage(QStringLiteral(VERZ_ASSETS_DIR "/flag_%1.ico").arg(QLatin1String(code)))
                .convertToFormat(QImage::Format_ARGB32)
                .scaled(box.size());
        if (flag.isNull())
            continue;
        int differing = 0;
        for (int y = 0; y < box.height(); ++y) {
            for (int x = 0; x < box.width(); ++x) {
                const QRgb want = flag.pixel(x, y);
                // Where the icon is see-through, the navy face shows.
                const QRgb expected = qAlpha(want) < 128 ? kNavy : want;
                if (!IsColour(windowShot.pixel(box.x() + x, box.y() + y), expected, 24))
                    ++differing;
            }
        }
        if (differing < fewest) {
            fewest = differing;
            best = QString::fromLatin1(code);
        }
    }
    if (mismatches)
        *mismatches = fewest;
    // More than a tenth of the box wrong is no flag of ours at all.
    return fewest * 10 <= box.width() * box.height() ? best : QString();
}

}  // namespace verz::e2e
