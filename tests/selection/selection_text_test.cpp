#include "cli/command_line.h"
#include "selection/global_shortcut.h"
#include "selection/selection_text.h"

#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace verz {
namespace {

// What the session bus cannot carry never reaches it, and nothing is cut
// without a notice that says so.
TEST(SelectionText, IsMadeSafeAndCutOnlyWithANotice)
{
    const QChar lone[] = {QChar(0xD800), u'a', QChar(0xDC00)};
    const TakenSelection cleaned =
        FitSelection(QStringLiteral("Bon") + QChar(u'\0') + QStringLiteral("jour ") +
                     QString(lone, 3) + QStringLiteral("🙂"));
    EXPECT_EQ(cleaned.text, QStringLiteral("Bonjour \uFFFDa\uFFFD🙂"));
    EXPECT_TRUE(cleaned.notice.isEmpty());

    const TakenSelection whole = FitSelection(QString(kMaxSelectionLength, u'x'));
    EXPECT_EQ(whole.text.size(), kMaxSelectionLength);
    EXPECT_TRUE(whole.notice.isEmpty());

    // Several megabytes, a surrogate pair across the limit: cut before it.
    QString huge(kMaxSelectionLength - 1, u'x');
    huge += QStringLiteral("🙂") + QString(3 * 1024 * 1024, u'y');
    const TakenSelection cut = FitSelection(huge);
    EXPECT_EQ(cut.text, QString(kMaxSelectionLength - 1, u'x'));
    EXPECT_TRUE(cut.notice.contains(QString::number(huge.size()))) << cut.notice.toStdString();
    EXPECT_TRUE(cut.notice.contains(QStringLiteral("premiers")));

    EXPECT_TRUE(IsEmptySelection(QStringLiteral(" \t\r\n ")));
    EXPECT_FALSE(IsEmptySelection(QStringLiteral(" a ")));
}

// Where the platform has no primary selection (here, offscreen), the clipboard.
TEST(SelectionText, FallsBackToTheClipboard)
{
    QClipboard &clipboard = *QGuiApplication::clipboard();
    ASSERT_FALSE(clipboard.supportsSelection());
    clipboard.setText(QStringLiteral("Good morning"), QClipboard::Clipboard);
    EXPECT_EQ(TakeSelection(clipboard).text, QStringLiteral("Good morning"));
    clipboard.clear(QClipboard::Clipboard);
    EXPECT_TRUE(IsEmptySelection(TakeSelection(clipboard).text));
}

// The pair a click would choose for the selection's language; the window's
// own (-1) when the detector is unsure.
TEST(SelectionText, PairFollowsTheDetectedLanguage)
{
    const auto row = [](const char *code) { return PairRowForCode(QLatin1String(code)); };
    EXPECT_EQ(DetectedSelectionRow(QStringLiteral("Meine Nachbarin gießt ihre Tomaten")),
              row("de|fr"));
    EXPECT_EQ(DetectedSelectionRow(QStringLiteral("Ma voisine arrose ses tomates")), row("fr|en"));
    EXPECT_EQ(DetectedSelectionRow(QStringLiteral("Mi vecina riega sus tomates todas las tardes")),
              row("es|en"));
    EXPECT_EQ(DetectedSelectionRow(QStringLiteral("Meine Nachbarin gießt ihre Tomaten"),
                                   QStringLiteral("en")),
              row("de|en"));
    EXPECT_EQ(DetectedSelectionRow(QStringLiteral("OK")), -1);
    EXPECT_EQ(DetectedSelectionRow(QStringLiteral("12:30")), -1);
}

// A damaged settings file's megabyte of "shortcut" is refused, and said shortened.
TEST(GlobalShortcutSetting, AValueFarTooLongIsNoKeyAndIsEchoedShortened)
{
    GlobalShortcut shortcut([] {});
    QString problem;
    EXPECT_FALSE(shortcut.grab(QString(1024 * 1024, u'Y'), &problem));
    EXPECT_LT(problem.size(), 200);
    EXPECT_TRUE(problem.contains(QStringLiteral("1048576 caractères"))) << problem.toStdString();
    problem.clear();
    EXPECT_TRUE(shortcut.grab(QStringLiteral("none"), &problem));
    EXPECT_TRUE(problem.isEmpty());
}

}  // namespace
}  // namespace verz
