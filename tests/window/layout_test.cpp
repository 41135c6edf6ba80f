// The window as it stands after start-up at 96 dpi, against figures measured once.
#include "window_fixture.h"

#include "window/control_table.h"
#include "window/control_widgets.h"

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

#include <string_view>

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

// Pixel places measured once at 96 dpi, in the design's order; panel
// controls are placed within the panel. The two links size to their text.
TEST_F(LayoutTest, EveryControlSitsWhereTheDesignPutsIt)
{
    struct Placed {
        const char *name;
        int x, y, width, height;
        bool inPanel = false;
    };
    const Placed placed[] = {
        {"FraConfig", 8, 6, 520, 374},        {"Option1_0", 540, 70, 182, 19},
        {"List1", 771, 396, 41, 20},          {"Command6", 188, 177, 53, 50},
        {"Command3", 414, 333, 80, 32},       {"Command2", 414, 296, 80, 32},
        {"Combo1", 764, 362, 361, 24},        {"Text1", 27, 39, 381, 123},
        {"Command4", 414, 130, 80, 32},       {"Command5", 414, 93, 80, 32},
        {"Text2", 25, 242, 381, 123},         {"Picture1", 0, 0, 750, 400},
        {"Check1", 28, 188, 139, 13},         {"Label7_3", 409, 182, 68, 32},
        {"Label7_2", 229, 185, 79, 36},       {"Label7_1", 51, 224, 69, 11},
        {"Label7_0", 51, 15, 79, 11},         {"ImaVerz", 440, 244, 32, 32},
        {"ImageOrg", 440, 46, 32, 32},        {"Label6", 621, 11, 43, 37},
        {"Image1", 368, 180, 32, 32},         {"Label2", 661, 11, 43, 37},
        {"Shape1_2", 528, 62, 201, 312},      {"Shape1_1", 12, 20, 505, 151},
        {"Shape1_0", 13, 231, 505, 148},      {"Label1", 697, 11, 43, 37},
        {"Command8", 227, 300, 87, 66, true}, {"Label8", 20, 322, 133, 20, true},
        {"Labc_0", 248, 139, 223, 54, true},  {"Image3", 70, 132, 400, 63, true},
        {"Image2_0", 125, 12, 32, 32, true},  {"Image2_1", 176, 12, 32, 32, true},
        {"Image2_2", 227, 12, 32, 32, true},  {"Image2_3", 278, 12, 32, 32, true},
        {"Image2_4", 329, 12, 32, 32, true},  {"Image2_5", 380, 12, 32, 32, true},
        {"Label4", 174, 221, 196, 18, true},  {"Label3", 152, 252, 236, 18, true},
        {"Labc_1", 43, 60, 455, 52, true}};
    auto window = open();
    QWidget *panel = find(*window, QStringLiteral("FraConfig"));
    for (const Placed &p : placed) {
        SCOPED_TRACE(p.name);
        QWidget *widget = find(*window, QString::fromLatin1(p.name));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->parentWidget(), p.inPanel ? panel : window.get());
        if (p.name == std::string_view("Label3") || p.name == std::string_view("Label4")) {
            EXPECT_EQ(widget->pos(), QPoint(p.x, p.y));
            EXPECT_EQ(widget->size(), widget->sizeHint());
            EXPECT_NEAR(widget->width(), p.width, 8);
        } else {
            EXPECT_EQ(widget->geometry(), QRect(p.x, p.y, p.width, p.height));
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
