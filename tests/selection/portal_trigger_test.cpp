// The key the window wishes for, written as the desktop's portal reads it.
#include "selection/portal_shortcut.h"

#include <gtest/gtest.h>

namespace verz {
namespace {

TEST(PortalTrigger, WritesTheSettingsKeyAsTheDesktopReadsIt)
{
    EXPECT_EQ(PortalTrigger(QStringLiteral("Ctrl+Alt+Y")), QStringLiteral("CTRL+ALT+y"));
    EXPECT_EQ(PortalTrigger(QStringLiteral("Ctrl+Shift+F9")), QStringLiteral("CTRL+SHIFT+F9"));
    EXPECT_EQ(PortalTrigger(QStringLiteral("Meta+Space")), QStringLiteral("LOGO+space"));
    EXPECT_EQ(PortalTrigger(QStringLiteral("Alt+7")), QStringLiteral("ALT+7"));
    // What it cannot name is left to the desktop, which then asks the user.
    for (const char *unnamed : {"", "Ctrl+Alt+Ü", "Ctrl+A, Ctrl+B", "n'importe quoi"})
        EXPECT_EQ(PortalTrigger(QString::fromUtf8(unnamed)), QString()) << unnamed;
}

}  // namespace
}  // namespace verz
