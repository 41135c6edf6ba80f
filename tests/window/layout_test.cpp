// The window as it stands after start-up at 96 dpi.
#include "window_fixture.h"

#include "widgets/control_widgets.h"
#include "window/control_table.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include <utility>
#include <vector>

namespace verz::test {
namespace {

class LayoutTest : public WindowTest {};

TEST_F(LayoutTest, WindowIsTheFramelessSkinCentredOnTheScreen)
{
    auto window = open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Verzolan"));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(window->isWindow());
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_EQ(window->size(), QSize(750, 400));
    EXPECT_FLOAT_EQ(window->DeltaPix(), 1.0f);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(window->geometry().center(), screen.center());
    EXPECT_TRUE(window->isVisible());
}

// Where each control sits is the design table's, held control by control
// by the 120 dpi suite; what a wrong figure in the table would break is held
// here: a control outside its container, or one clickable control over another.
TEST_F(LayoutTest, ControlsLieInTheirContainersAndNoClickableOneCoversAnother)
{
    auto window = open();
    QWidget *panel = find(*window, QStringLiteral("FraConfig"));
    EXPECT_TRUE(window->rect().contains(panel->geometry()));  // moved there at start-up
    for (const auto &[table, container] :
         {std::pair{FormControlTable(), static_cast<QWidget *>(window.get())},
          std::pair{PanelControlTable(), panel}}) {
        for (const ControlEntry &entry : table) {
            const Control *control = window->control(QString::fromUtf16(entry.name), entry.index);
            ASSERT_NE(control, nullptr) << QString::fromUtf16(entry.name).toStdString();
            EXPECT_EQ(control->widget()->parentWidget(), container) << entry.index;
        }
    }
    const auto clickable = [](const Control &c) {
        switch (c.kind()) {
        case ControlKind::CommandButton:
        case ControlKind::TextBox:
        case ControlKind::OptionButton:
        case ControlKind::CheckBox:
            return true;
        default:
            return c.name() == u"Image1";
        }
    };
    std::vector<const Control *> shown;
    for (const Control *c : window->controls()) {
        const QWidget *widget = c->widget();
        if (widget->isHidden() || c->name() == u"FraConfig")
            continue;
        EXPECT_TRUE(widget->parentWidget()->rect().contains(widget->geometry()))
            << c->objectName().toStdString();
        if (c->selfSizing()) {
            EXPECT_EQ(widget->size(), widget->sizeHint()) << c->objectName().toStdString();
        }
        if (clickable(*c))
            shown.push_back(c);
    }
    EXPECT_GE(shown.size(), 10u);
    // The option buttons of one array touch by design; different controls never do.
    for (std::size_t i = 0; i < shown.size(); ++i) {
        for (std::size_t j = i + 1; j < shown.size(); ++j) {
            const QWidget *a = shown[i]->widget();
            const QWidget *b = shown[j]->widget();
            if (shown[i]->name() != shown[j]->name() && a->parentWidget() == b->parentWidget()) {
                EXPECT_FALSE(a->geometry().intersects(b->geometry()))
                    << shown[i]->objectName().toStdString() << " over "
                    << shown[j]->objectName().toStdString();
            }
        }
    }
}

TEST_F(LayoutTest, TextsColoursAndFontsAsDesigned)
{
    auto window = open();
    auto *text1 = find<QPlainTextEdit>(*window, QStringLiteral("Text1"));
    auto *text2 = find<QPlainTextEdit>(*window, QStringLiteral("Text2"));
    EXPECT_EQ(window->text1(), QStringLiteral("Tapez ici votre texte.\r\n"));
    EXPECT_EQ(window->text1().size(), 24);
    EXPECT_EQ(window->text1Tag(), QStringLiteral("S"));
    EXPECT_EQ(window->text2(), QString());
    EXPECT_EQ(text1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(text2->font().family(), QStringLiteral("Arial"));
    EXPECT_DOUBLE_EQ(text2->font().pointSizeF(), 21.75);
    EXPECT_EQ(text2->palette().color(QPalette::Text), QColor(0, 0, 128));
    EXPECT_TRUE(find<QCheckBox>(*window, QStringLiteral("Check1"))->isChecked());

    auto *option = find<QRadioButton>(*window, QStringLiteral("Option1_0"));
    EXPECT_EQ(option->palette().color(option->backgroundRole()), QColor(0, 0, 128));
    EXPECT_EQ(option->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    EXPECT_DOUBLE_EQ(option->font().pointSizeF(), 9.75);

    for (int i = 0; i < 4; ++i) {
        auto *caption = find<QLabel>(*window, QStringLiteral("Label7_%1").arg(i));
        EXPECT_TRUE(caption->autoFillBackground());
        EXPECT_EQ(caption->palette().color(caption->backgroundRole()), QColor(0, 0, 128));
    }
    EXPECT_EQ(find<QLabel>(*window, QStringLiteral("Label7_0"))->text(),
              QStringLiteral("Texte à traduire"));
    EXPECT_FALSE(find<QLabel>(*window, QStringLiteral("Label8"))->autoFillBackground());

    auto *notice = find<QLabel>(*window, QStringLiteral("Labc_1"));
    EXPECT_EQ(notice->text().size(), 94);
    EXPECT_EQ(notice->font().family(), QStringLiteral("Comic Sans MS"));
    EXPECT_TRUE(notice->alignment().testFlag(Qt::AlignHCenter));
    auto *mail = find<QLabel>(*window, QStringLiteral("Label3"));
    EXPECT_TRUE(mail->font().bold());
    EXPECT_TRUE(mail->font().underline());
    EXPECT_EQ(mail->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(mail->cursor().shape(), Qt::PointingHandCursor);

    EXPECT_EQ(find(*window, QStringLiteral("Label6"))->toolTip(), QStringLiteral("A propos"));
    EXPECT_EQ(find(*window, QStringLiteral("Label2"))->toolTip(), QStringLiteral("Réduire"));
    EXPECT_EQ(find(*window, QStringLiteral("Label1"))->toolTip(), QStringLiteral("Quitter"));
    EXPECT_EQ(find(*window, QStringLiteral("Command3"))->toolTip(),
              QStringLiteral("Dans le presse purée."));

    auto *yellow = find<ShapeOutline>(*window, QStringLiteral("Shape1_2"));
    EXPECT_EQ(yellow->borderColour(), QColor(255, 255, 192));
    EXPECT_TRUE(yellow->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_FALSE(find<QPushButton>(*window, QStringLiteral("Command6"))->icon().isNull());
    EXPECT_TRUE(find<ImageBox>(*window, QStringLiteral("ImageOrg"))->stretch());
    EXPECT_FALSE(find<ImageBox>(*window, QStringLiteral("Image2_0"))->stretch());
    EXPECT_EQ(find<ImageBox>(*window, QStringLiteral("Image3"))->picture().size(), QSize(400, 63));
}

TEST_F(LayoutTest, DataControlsNeverShowNorTakeTheFocus)
{
    auto window = open();
    for (const char16_t *name : {u"Combo1", u"List1", u"Picture1", u"FraConfig"}) {
        QWidget *widget = find(*window, QString::fromUtf16(name));
        EXPECT_FALSE(widget->isVisible()) << QString::fromUtf16(name).toStdString();
    }
    for (const char16_t *name : {u"Combo1", u"List1", u"Picture1"})
        EXPECT_EQ(find(*window, QString::fromUtf16(name))->focusPolicy(), Qt::NoFocus);
}

TEST_F(LayoutTest, StackingPutsPanelFrontmostAndCaptionsOverBorders)
{
    auto window = open();
    auto stackPosition = [&](const QString &name) {
        QWidget *widget = find(*window, name);
        return widget->parentWidget()->children().indexOf(widget);  // later = in front
    };
    const qsizetype panel = stackPosition(QStringLiteral("FraConfig"));
    for (Control *control : window->controls()) {
        if (control->widget()->parentWidget() == window.get() && control->name() != u"FraConfig") {
            EXPECT_LT(stackPosition(control->objectName()), panel) << control->name().toStdString();
        }
    }
    EXPECT_GT(stackPosition(QStringLiteral("Label7_0")), stackPosition(QStringLiteral("Shape1_1")));
    EXPECT_GT(stackPosition(QStringLiteral("Label7_1")), stackPosition(QStringLiteral("Shape1_0")));
    EXPECT_GT(stackPosition(QStringLiteral("Labc_0")), stackPosition(QStringLiteral("Image3")));
    EXPECT_GT(stackPosition(QStringLiteral("Text1")), stackPosition(QStringLiteral("Label7_3")));
    // What the user sees at a point where caption and border cross.
    QWidget *atCaption = window->childAt(QPoint(60, 20));
    ASSERT_NE(atCaption, nullptr);
    EXPECT_EQ(atCaption->objectName(), QStringLiteral("Label7_0"));
}

TEST_F(LayoutTest, TabOrderStartsInTheOutputBox)
{
    auto window = open();
    window->activateWindow();
    EXPECT_EQ(window->focusWidget(), find(*window, QStringLiteral("Text2")));

    QStringList order;
    QWidget *at = find(*window, QStringLiteral("Text2"));
    for (int step = 0; step < 400; ++step) {
        if (at->isVisibleTo(window.get()) && at->focusPolicy() & Qt::TabFocus &&
            !order.contains(at->objectName()) && window->isAncestorOf(at))
            order << at->objectName();
        at = at->nextInFocusChain();
    }
    const QStringList expected{
        QStringLiteral("Text2"),    QStringLiteral("Command5"),  QStringLiteral("Command4"),
        QStringLiteral("Text1"),    QStringLiteral("Command2"),  QStringLiteral("Command3"),
        QStringLiteral("Command6"), QStringLiteral("Option1_0"),
    };
    ASSERT_GE(order.size(), expected.size()) << order.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(order.mid(0, expected.size()), expected);
    EXPECT_EQ(order.last(), QStringLiteral("Check1"));
    EXPECT_FALSE(order.contains(QStringLiteral("Command8")));  // the panel is hidden
}

TEST_F(LayoutTest, ControlCollectionHoldsEveryControlOnceWithTheCreatedButtons)
{
    auto window = open();
    const auto &all = window->controls();
    EXPECT_EQ(all.size(), 39u + 15u);  // the design's controls and the created buttons
    QStringList names;
    for (const Control *c : all)
        names << c->objectName();
    EXPECT_EQ(names.removeDuplicates(), 0);
    // The created buttons follow Option1(0), in index order.
    const qsizetype first = names.indexOf(QStringLiteral("Option1_0"));
    for (int i = 1; i < 16; ++i)
        EXPECT_EQ(names.indexOf(QStringLiteral("Option1_%1").arg(i)), first + i);
    EXPECT_FALSE(window->control(QStringLiteral("Image1"))->hasFont());
    EXPECT_FALSE(window->control(QStringLiteral("Picture1"))->property(ControlProperty::FontSize));
    EXPECT_EQ(window->control(QStringLiteral("Label8"))->property(ControlProperty::FontSize),
              12.0f);
}

}  // namespace
}  // namespace verz::test
