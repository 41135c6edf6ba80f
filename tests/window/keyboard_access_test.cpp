// The window without a mouse and for a screen reader: what assistive
// technology is told, the keys, where the focus goes and the ring that shows it.
#include "stand_in_server.h"
#include "widgets/accessible_controls.h"
#include "widgets/control_widgets.h"
#include "widgets/focus_ring.h"
#include "window_fixture.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace verz::test {
namespace {

class KeyboardAccessTest : public WindowTest {
protected:
    std::unique_ptr<Verz> openActive()
    {
        auto window = open();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return window;
    }
    static QString focused(const Verz &window)
    {
        return window.focusWidget() != nullptr ? window.focusWidget()->objectName() : QString();
    }
    static QAccessibleInterface *accessible(const Verz &window, const QString &name)
    {
        return QAccessible::queryAccessibleInterface(find(window, name));
    }
};

TEST_F(KeyboardAccessTest, ControlsAreNamedInFrenchWithTheirRolesAndActions)
{
    auto window = open();
    struct Expected {
        const char16_t *object;
        QAccessible::Role role;
        const char16_t *name;
    };
    const Expected expected[] = {
        {u"Text1", QAccessible::EditableText, u"Texte à traduire"},
        {u"Text2", QAccessible::EditableText, u"Traduction"},
        {u"Command6", QAccessible::Button, u"Lancer la traduction"},
        {u"Command5", QAccessible::Button, u"Effacer le texte à traduire"},
        {u"Command2", QAccessible::Button, u"Effacer la traduction"},
        {u"Command4", QAccessible::Button, u"Coller"},
        {u"Label6", QAccessible::Button, u"A propos"},
        {u"Label2", QAccessible::Button, u"Réduire"},
        {u"Label1", QAccessible::Button, u"Quitter"},
        {u"Image1", QAccessible::Button, u"Basculer"},
        {u"Label4", QAccessible::Link, u"Visiter le site de l'auteur..."},
        {u"Label3", QAccessible::Link, u"Envoyer un coucou à l'auteur..."},
        {u"Image3", QAccessible::Link, u"Site du service de traduction"},
        {u"Option1_6", QAccessible::RadioButton, u"Français vers Anglais"},
    };
    for (const Expected &want : expected) {
        const QString object = QString::fromUtf16(want.object);
        QAccessibleInterface *iface = accessible(*window, object);
        ASSERT_NE(iface, nullptr) << object.toStdString();
        EXPECT_EQ(iface->role(), want.role) << object.toStdString();
        EXPECT_EQ(iface->text(QAccessible::Name), QString::fromUtf16(want.name))
            << object.toStdString();
    }
    EXPECT_EQ(accessible(*window, QStringLiteral("Image1"))->text(QAccessible::Description),
              QStringLiteral("Monter le texte traduit"));
    // The boxes and the button are labelled by their captions.
    for (const auto &[object, caption] :
         {std::pair{u"Text1", u"Label7_0"}, std::pair{u"Text2", u"Label7_1"},
          std::pair{u"Command6", u"Label7_2"}}) {
        const auto labels =
            accessible(*window, QString::fromUtf16(object))->relations(QAccessible::Label);
        ASSERT_EQ(labels.size(), 1) << QString::fromUtf16(object).toStdString();
        EXPECT_EQ(labels.first().first->object(), find(*window, QString::fromUtf16(caption)));
    }
    // The window's tree leaves out the data holders and the outlines.
    QAccessibleInterface *form = QAccessible::queryAccessibleInterface(window.get());
    QStringList children;
    for (int i = 0; i < form->childCount(); ++i)
        children << form->child(i)->object()->objectName();
    for (const char *quiet : {"Combo1", "List1", "Picture1", "Shape1_0", "ImageOrg", "FocusRing"})
        EXPECT_FALSE(children.contains(QLatin1String(quiet))) << quiet;
    EXPECT_TRUE(children.contains(QStringLiteral("Text1")));
    EXPECT_EQ(form->indexOfChild(accessible(*window, QStringLiteral("Text1"))),
              children.indexOf(QStringLiteral("Text1")));

    // The press action clicks a hot spot, as the mouse does.
    QAccessibleActionInterface *about =
        accessible(*window, QStringLiteral("Label6"))->actionInterface();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->actionNames().contains(QAccessibleActionInterface::pressAction()));
    about->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return find(*window, QStringLiteral("FraConfig"))->isVisible(); }, 5000));
}

TEST_F(KeyboardAccessTest, ReturnTranslatesAndTheFocusStaysOnTheButtonSoSpaceNeverChangesThePair)
{
    StandInServer server;
    server.setPage(QByteArrayLiteral("<div id=result_box dir=\"ltr\">Hello world</div>"));
    store(QStringLiteral("service"), server.host());
    auto window = openActive();
    auto *translate = find<QPushButton>(*window, QStringLiteral("Command6"));
    translate->setFocus();
    QTest::keyClick(translate, Qt::Key_Return);
    EXPECT_EQ(server.requests().size(), 1);
    EXPECT_EQ(window->text2(), QStringLiteral("Hello world "));
    EXPECT_EQ(focused(*window), QStringLiteral("Command6"));
    // The keypad's Enter too; a held key translates once.
    QTest::keyClick(translate, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(server.requests().size(), 2);
    QTest::sendKeyEvent(QTest::KeyAction::Press, translate, Qt::Key_Return, QString(),
                        Qt::NoModifier);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(translate, &repeat);
    EXPECT_EQ(server.requests().size(), 3);

    // Keys pressed while the translation runs go nowhere: the pair stays.
    StandInServer::Script hang;
    hang.hang = true;
    server.setScript(hang);
    const int row = window->comboListIndex();
    QString focusDuring;
    std::function<void()> pressSpace = [&] {
        if (server.requests().size() < 4) {
            QTimer::singleShot(5, window.get(), pressSpace);
            return;
        }
        focusDuring = focused(*window);
        QTest::keyClick(window->focusWidget(), Qt::Key_Space);
        QTest::keyClick(window->focusWidget(), Qt::Key_Down);
        window->close();
    };
    QTimer::singleShot(0, window.get(), pressSpace);
    QTest::keyClick(translate, Qt::Key_Space);
    EXPECT_EQ(focusDuring, QStringLiteral("Command6"));
    EXPECT_EQ(window->comboListIndex(), row);
}

TEST_F(KeyboardAccessTest, CtrlReturnInTheInputTranslatesWhileReturnBreaksTheLine)
{
    StandInServer server;
    server.setPage(QByteArrayLiteral("<div id=result_box dir=\"ltr\">Salut</div>"));
    store(QStringLiteral("service"), server.host());
    auto window = openActive();
    auto *input = find<QPlainTextEdit>(*window, QStringLiteral("Text1"));
    input->setFocus();
    window->setText1(QStringLiteral("Bonjour"));
    input->moveCursor(QTextCursor::End);
    QTest::keyClick(input, Qt::Key_Return);
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_EQ(window->text1(), QStringLiteral("Bonjour\r\n"));
    QTest::keyClick(input, Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(StandInServer::queryValue(server.lastTarget(), "text"),
              QStringLiteral("Bonjour\r\n"));
    EXPECT_EQ(window->text2(), QStringLiteral("Salut "));
    EXPECT_EQ(focused(*window), QStringLiteral("Text1"));
    // Tab leaves the box rather than typing into it.
    QTest::keyClick(input, Qt::Key_Tab);
    EXPECT_EQ(focused(*window), QStringLiteral("Command2"));
}

TEST_F(KeyboardAccessTest, F1OpensThePanelWhichHoldsTheFocusUntilEscape)
{
    auto window = openActive();
    auto *panel = find<QFrame>(*window, QStringLiteral("FraConfig"));
    find(*window, QStringLiteral("Command4"))->setFocus();
    QTest::keyClick(window->focusWidget(), Qt::Key_F1);
    ASSERT_TRUE(panel->isVisible());
    EXPECT_EQ(focused(*window), QStringLiteral("Command8"));
    QStringList visited;
    for (int step = 0; step < 5; ++step) {
        QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
        visited << focused(*window);
    }
    EXPECT_EQ(visited, (QStringList{QStringLiteral("Label3"), QStringLiteral("Label4"),
                                    QStringLiteral("Labc_0"), QStringLiteral("Command8"),
                                    QStringLiteral("Label3")}));
    QTest::keyClick(window->focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QTest::keyClick(window->focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(focused(*window), QStringLiteral("Labc_0"));
    QTest::keyClick(window->focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(focused(*window), QStringLiteral("Command4"));

    // Return on OK closes it as a click does; F1 again opens and closes it.
    QTest::keyClick(window->focusWidget(), Qt::Key_F1);
    QTest::keyClick(window->focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(focused(*window), QStringLiteral("Command4"));
    QTest::keyClick(window->focusWidget(), Qt::Key_F1);
    QTest::keyClick(window->focusWidget(), Qt::Key_F1);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(focused(*window), QStringLiteral("Command4"));
}

TEST_F(KeyboardAccessTest, CtrlMMinimisesAndCtrlQQuits)
{
    auto window = openActive();
    int ended = -1;
    VerzTestSeam::setProgramEnder(*window, [&](int status) { ended = status; });
    QTest::keyClick(window->focusWidget(), Qt::Key_M, Qt::ControlModifier);
    EXPECT_TRUE(window->windowState().testFlag(Qt::WindowMinimized));
    window->setWindowState(Qt::WindowNoState);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window->focusWidget(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(ended, 0);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(KeyboardAccessTest, TheTranslationAndNotConnectedAreHandedToTheReaderOnce)
{
    StandInServer server;
    server.setPage(QByteArrayLiteral("<div id=result_box dir=\"ltr\">Hello world</div>"));
    store(QStringLiteral("service"), server.host());
    auto window = open();
    auto *notice = find<SpokenNotice>(*window, QStringLiteral("SpokenNotice"));
    ASSERT_NE(notice, nullptr);
    EXPECT_FALSE(notice->isVisible());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(notice)->role(), QAccessible::Notification);
    VerzTestSeam::Command6_Click(*window);
    EXPECT_TRUE(notice->isVisible());
    EXPECT_EQ(notice->lastSaid(), QStringLiteral("Hello world"));
    store(QStringLiteral("service"), QStringLiteral("127.0.0.1:1"));
    auto offline = open();
    VerzTestSeam::Command6_Click(*offline);
    EXPECT_EQ(find<SpokenNotice>(*offline, QStringLiteral("SpokenNotice"))->lastSaid(),
              QStringLiteral("Non Connecté"));
    // A page's worth of text is cut at a space before it is read out.
    notice->say(QString(3000, QLatin1Char('a')).replace(700, 1, QLatin1Char(' ')));
    EXPECT_EQ(notice->lastSaid().size(), 700);
}

TEST_F(KeyboardAccessTest, TheRingFollowsTheFocusAroundEveryControl)
{
    auto window = openActive();
    auto *ring = find<FocusRing>(*window, QStringLiteral("FocusRing"));
    ASSERT_NE(ring, nullptr);
    constexpr int margin = FocusRing::kMargin;
    for (const char *name : {"Text2", "Command5", "Check1", "Option1_6", "Command6"}) {
        QWidget *control = find(*window, QLatin1String(name));
        control->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return ring->isVisible(); }, 2000)) << name;
        EXPECT_EQ(ring->parentWidget(), control->parentWidget()) << name;
        EXPECT_EQ(ring->geometry(), control->geometry().adjusted(-margin, -margin, margin, margin))
            << name;
        // In front of its neighbours, a band around the control only.
        EXPECT_GT(ring->parentWidget()->children().indexOf(ring),
                  ring->parentWidget()->children().indexOf(control));
        EXPECT_TRUE(ring->mask().contains(QPoint(0, 0)));
        EXPECT_FALSE(ring->mask().contains(QPoint(margin, margin)));
        const QImage shot = ring->grab().toImage();
        EXPECT_EQ(shot.pixel(0, ring->height() / 2) | 0xFF000000u, FocusRing::kEdgeColour) << name;
        EXPECT_EQ(shot.pixel(FocusRing::kEdge, ring->height() / 2) | 0xFF000000u,
                  FocusRing::kColour)
            << name;
    }
}

}  // namespace
}  // namespace verz::test
