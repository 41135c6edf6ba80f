// "Coller", the two "Effacer" and the move-up arrow, seen from outside: the
// input box shows itself through what the translate command sends.
#include "e2e/program_fixture.h"
#include "e2e/skin_points.h"

namespace verz::e2e {
namespace {

using BareTextCommands = ProgramTest;

TEST_F(BareTextCommands, PasteClearAndMoveUp)
{
    ASSERT_NO_FATAL_FAILURE(launch());

    // Untouched, the placeholder itself is sent, its line break included.
    click(at::Command6);
    ASSERT_TRUE(waitForRequests(1));
    EXPECT_EQ(sentText(), QStringLiteral("Tapez ici votre texte.\r\n"));
    ASSERT_EQ(outputText(QStringLiteral("Bonjour tout le monde ")),
              QStringLiteral("Bonjour tout le monde "));

    // "Coller" twice appends the clipboard twice, after the first click has
    // emptied the box.
    click(at::Text1);
    ASSERT_TRUE(FillClipboard(QStringLiteral("deux mots")));
    click(at::Command4);
    click(at::Command4);
    click(at::Command6);
    ASSERT_TRUE(waitForRequests(2));
    EXPECT_EQ(sentText(), QStringLiteral("deux motsdeux mots"));

    // "Effacer" under the input box empties it.
    click(at::Command5);
    click(at::Command6);
    ASSERT_TRUE(waitForRequests(3));
    EXPECT_EQ(sentText(), QString());
    EXPECT_TRUE(standIn_.lastTarget().startsWith("/translate_t?text=&langpair="))
        << standIn_.lastTarget().toStdString();

    // "Effacer" under the output box, then one translation to move up.
    click(at::Command2);
    ASSERT_EQ(outputText(QString()), QString());
    standIn_.setPage(ResultPage("Hello there"));
    click(at::Command6);
    ASSERT_EQ(outputText(QStringLiteral("Hello there ")), QStringLiteral("Hello there "));

    // The arrow: the output goes up into the input, by way of the clipboard.
    ASSERT_TRUE(FillClipboard(QStringLiteral("replaced")));
    click(at::Image1);
    EXPECT_EQ(ReadClipboard(), QStringLiteral("Hello there "));
    standIn_.setPage(ResultPage("Salut"));
    click(at::Command6);
    // The output box was emptied: the new translation starts it afresh.
    EXPECT_EQ(outputText(QStringLiteral("Salut ")), QStringLiteral("Salut "));
    EXPECT_EQ(sentText(), QStringLiteral("Hello there"));

    ASSERT_NO_FATAL_FAILURE(quit());
}

}  // namespace
}  // namespace verz::e2e
