// Start-up, the pair choice and translations, end to end.
#include "e2e/program_fixture.h"
#include "e2e/skin_points.h"
#include "toolkit.h"

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <csignal>

namespace verz::e2e {
namespace {

using BareStart = ProgramTest;
using BareTranslate = ProgramTest;

TEST_F(BareStart, FirstRunStoresRowSixAndShowsFrenchToEnglish)
{
    ASSERT_TRUE(storedSetting(QStringLiteral("list")).isEmpty());
    ASSERT_NO_FATAL_FAILURE(launch());

    EXPECT_EQ(window_.size(), at::kWindow);
    // Centred on the 1280 x 1024 screen (nothing else places it here).
    EXPECT_EQ(window_.topLeft(), QPoint((1280 - 750) / 2, (1024 - 400) / 2));
    EXPECT_TRUE(waitForStoredRow(QStringLiteral("6")))
        << "stored: " << storedSetting(QStringLiteral("list")).toStdString();
    // The service entry written beside it survives the write-back.
    EXPECT_EQ(storedSetting(QStringLiteral("service")), standIn_.host());

    const QImage shot = windowShot();
    // The controls are painted where the table puts them, in its colours
    // (the outline itself is the window scenarios' business).
    struct Probe {
        QPoint at;
        QRgb colour;
        const char *what;
    };
    for (const Probe &probe : {
             Probe{{528, 200}, qRgb(255, 255, 192), "yellow outline Shape1(2)"},
             Probe{{12, 80}, qRgb(224, 224, 224), "grey outline Shape1(1)"},
             Probe{{13, 300}, qRgb(224, 224, 224), "grey outline Shape1(0)"},
             Probe{{51, 20}, qRgb(0, 0, 128), "caption Label7(0) over the border"},
             Probe{{200, 140}, qRgb(255, 255, 255), "inside the input box"},
             Probe{{715, 80}, qRgb(0, 0, 128), "beside the option buttons"},
             Probe{{270, 380}, qRgb(0, 0, 128), "skin between the boxes"},
         })
        EXPECT_TRUE(IsColour(shot.pixel(probe.at), probe.colour, 2))
            << probe.what << ": " << QColor(shot.pixel(probe.at)).name().toStdString();
    int mismatches = 0;
    EXPECT_EQ(ShownFlag(shot, at::ImageOrg, &mismatches), QStringLiteral("fr")) << mismatches;
    EXPECT_EQ(ShownFlag(shot, at::ImaVerz, &mismatches), QStringLiteral("en")) << mismatches;

    ASSERT_NO_FATAL_FAILURE(quit());
    EXPECT_FALSE(QFileInfo::exists(scratchPath()));
}

TEST_F(BareStart, ChosenPairIsRestoredAfterRestart)
{
    ASSERT_NO_FATAL_FAILURE(launch());
    click(at::Option1(10));  // "Allemand vers Anglais"
    ASSERT_TRUE(waitForStoredRow(QStringLiteral("10")));
    ASSERT_NO_FATAL_FAILURE(quit());

    ASSERT_NO_FATAL_FAILURE(launch());
    const QImage shot = windowShot();
    EXPECT_EQ(ShownFlag(shot, at::ImageOrg), QStringLiteral("de"));
    EXPECT_EQ(ShownFlag(shot, at::ImaVerz), QStringLiteral("en"));
    EXPECT_EQ(storedSetting(QStringLiteral("list")), QStringLiteral("10"));

    click(at::Command6);
    ASSERT_TRUE(waitForRequests(1));
    EXPECT_EQ(sentPair(), QStringLiteral("de|en"));
    ASSERT_NO_FATAL_FAILURE(quit());
}

TEST_F(BareTranslate, ChosenPairTranslatesAndAppendsLines)
{
    ASSERT_NO_FATAL_FAILURE(launch());
    click(at::Option1(0));  // "Anglais vers Français"
    ASSERT_TRUE(waitForStoredRow(QStringLiteral("0")));
    const QImage shot = windowShot();
    EXPECT_EQ(ShownFlag(shot, at::ImageOrg), QStringLiteral("en"));
    EXPECT_EQ(ShownFlag(shot, at::ImaVerz), QStringLiteral("fr"));

    click(at::Text1);  // the first click removes the placeholder
    ASSERT_TRUE(Type(QStringLiteral("  Good morning everybody ")));
    click(at::Command6);
    EXPECT_EQ(outputText(QStringLiteral("Bonjour tout le monde ")),
              QStringLiteral("Bonjour tout le monde "));
    ASSERT_EQ(standIn_.requests().size(), 1);
    const QByteArray target = standIn_.lastTarget();
    EXPECT_TRUE(target.startsWith("/translate_t?text=")) << target.toStdString();
    EXPECT_EQ(sentText(), QStringLiteral("Good morning everybody"));
    EXPECT_EQ(sentPair(), QStringLiteral("en|fr"));
    EXPECT_TRUE(QFileInfo::exists(scratchPath())) << "the page was not kept beside the program";

    // The second translation goes on a line of its own; the repaired accents
    // come through the clipboard intact.
    standIn_.setPage(ResultPage("Il était très gêné par la leçon"));
    click(at::Command6);
    // On the clipboard, line breaks are the desktop's line feeds.
    const QString both = QStringLiteral("Bonjour tout le monde \nIl était très gêné par la leçon ");
    EXPECT_EQ(outputText(both), both);
    EXPECT_EQ(standIn_.requests().size(), 2);

    // In the box they are CR LF: moved up into the input, both lines are sent
    // with the break between them (and, the fold option being on, unaccented).
    click(at::Image1);
    click(at::Command6);
    ASSERT_TRUE(waitForRequests(3));
    EXPECT_EQ(sentText(),
              QStringLiteral("Bonjour tout le monde \r\nIl etait tres gene par la lecon"));
    EXPECT_EQ(outputText(QStringLiteral("Il était très gêné par la leçon ")),
              QStringLiteral("Il était très gêné par la leçon "));

    ASSERT_NO_FATAL_FAILURE(quit());
    EXPECT_FALSE(QFileInfo::exists(scratchPath())) << "the scratch file outlived the program";
}

TEST_F(BareTranslate, LogoutTerminalAndKillCloseItLikeQuitter)
{
    // The scratch file holds the user's last text and its translation: none
    // of these may leave it (nor the lock that reserves its name) behind.
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        ASSERT_NO_FATAL_FAILURE(launch());
        click(at::Command6);
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(scratchPath()); }, 5000));
        ASSERT_EQ(::kill(static_cast<pid_t>(program_->processId()), signal), 0);
        ASSERT_TRUE(waitForExit(5000)) << "signal " << signal;
        EXPECT_EQ(program_->exitStatus(), QProcess::NormalExit) << "signal " << signal;
        EXPECT_EQ(program_->exitCode(), 0);
        EXPECT_EQ(QDir(QFileInfo(scratchPath()).path()).entryList(QDir::Files),
                  QStringList{QStringLiteral("Verzolan")})
            << "signal " << signal;
    }
}

TEST_F(BareTranslate, AccentedCapitalsGoInThroughThePaste)
{
    ASSERT_NO_FATAL_FAILURE(launch());
    click(at::Text1);
    ASSERT_TRUE(FillClipboard(QStringLiteral("Élève À Ça été")));
    click(at::Command4);  // "Coller"
    click(at::Command6);
    ASSERT_TRUE(waitForRequests(1));
    // "Ignorer les diacritiques" is checked at start: lower-case accents are
    // folded in what is sent, capitals are not.
    EXPECT_EQ(sentText(), QStringLiteral("Éleve À Ça ete"));
    EXPECT_EQ(sentPair(), QStringLiteral("fr|en"));

    // Unchecked, the text goes as typed.
    click(at::Check1);
    click(at::Command6);
    ASSERT_TRUE(waitForRequests(2));
    EXPECT_EQ(sentText(), QStringLiteral("Élève À Ça été"));
    ASSERT_NO_FATAL_FAILURE(quit());
}

TEST_F(BareTranslate, TypedAccentsReachTheService)
{
    // A French keyboard types the lower-case accents it has keys for (capitals and
    // dead-key letters such as "ô" need the paste: xdotool's spare-keycode remap races
    // with the window reading the keymap).
    ASSERT_TRUE(test::RunProcess(QStringLiteral("setxkbmap"),
                                 {QStringLiteral("-layout"), QStringLiteral("fr")})
                    .ended);
    struct Layout {
        ~Layout()
        {
            test::RunProcess(QStringLiteral("setxkbmap"),
                             {QStringLiteral("-layout"), QStringLiteral("us")});
        }
    } restore;

    ASSERT_NO_FATAL_FAILURE(launch());
    click(at::Check1);  // send the accents as they are
    click(at::Text1);
    ASSERT_TRUE(Type(QStringLiteral("où ça, élève ? très bien, déjà là")));
    click(at::Command6);
    ASSERT_TRUE(waitForRequests(1));
    EXPECT_EQ(sentText(), QStringLiteral("où ça, élève ? très bien, déjà là"));
    ASSERT_NO_FATAL_FAILURE(quit());
}

}  // namespace
}  // namespace verz::e2e
