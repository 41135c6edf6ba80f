// The real window started at 120 dots per inch with Qt's own scaling off
// (the test's environment): every control rescaled by 0.8 lands on the pixels
// it has at 96.
#include "window_fixture.h"

#include "window/control_table.h"

#include <QFontInfo>
#include <QFrame>

#include <cmath>

namespace verz::test {
namespace {

constexpr float kFactor = 12.0f / 15.0f;

int DesignPixels(float twips)
{
    return static_cast<int>(std::lround(twips / 15.0));
}

QRect DesignPixels(float left, float top, float width, float height)
{
    return {DesignPixels(left), DesignPixels(top), DesignPixels(width), DesignPixels(height)};
}

class RescaledVerz : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        window_ = open([this](const QString &step) { steps_.push_back(step); });
        ASSERT_EQ(window_->logicalDpiX(), 120) << "run on a 120 dpi screen that Qt does not scale";
    }

    Control &control(const QString &name, int index = -1) const
    {
        Control *c = window_->control(name, index);
        EXPECT_NE(c, nullptr) << name.toStdString() << " " << index;
        return *c;
    }

    std::unique_ptr<Verz> window_;
    QStringList steps_;
};

TEST_F(RescaledVerz, RescalesOnceAfterThePairListAndBeforeTheOutline)
{
    EXPECT_EQ(window_->DeltaPix(), kFactor);
    const QStringList relevant{QStringLiteral("DeltaPix"), QStringLiteral("FillPairList"),
                               QStringLiteral("ResizeControls"), QStringLiteral("ShapeWindow")};
    QStringList seen;
    for (const QString &step : steps_) {
        if (relevant.contains(step))
            seen.push_back(step);
    }
    EXPECT_EQ(seen, relevant);
    EXPECT_EQ(window_->size(), QSize(750, 400));
}

TEST_F(RescaledVerz, EveryControlKeepsItsPixelsAt96)
{
    int checked = 0;
    const auto check = [&](const ControlEntry &entry, float top) {
        const Control &c = control(QString::fromUtf16(entry.name), entry.index);
        if (c.selfSizing() || c.name() == u"Picture1" || c.name() == u"FraConfig")
            return;  // sized by their text, by the skin, or moved at start-up: below
        // The twips are scaled in single precision, unrounded...
        EXPECT_EQ(c.left(), entry.left * kFactor) << c.objectName().toStdString();
        EXPECT_EQ(c.top(), top * kFactor) << c.objectName().toStdString();
        EXPECT_EQ(c.width(), entry.width * kFactor) << c.objectName().toStdString();
        EXPECT_EQ(c.height(), entry.height * kFactor) << c.objectName().toStdString();
        // ...and land on the pixels of the design at 15 twips per pixel.
        EXPECT_EQ(c.widget()->geometry(), DesignPixels(entry.left, top, entry.width, entry.height))
            << c.objectName().toStdString();
        ++checked;
    };
    for (const ControlEntry &entry : FormControlTable()) {
        if (QStringView(entry.name) == u"Option1") {
            for (int i = 0; i < 16; ++i) {
                ControlEntry element = entry;
                element.index = i;
                check(element, entry.top + 280.0f * static_cast<float>(i));
            }
        } else {
            check(entry, entry.top);
        }
    }
    for (const ControlEntry &entry : PanelControlTable())
        check(entry, entry.top);
    EXPECT_GE(checked, 40);
}

TEST_F(RescaledVerz, ScalesTheExampleLabelAndKeepsFontsFractional)
{
    const Control &label8 = control(QStringLiteral("Label8"));
    EXPECT_FLOAT_EQ(label8.left(), 240);
    EXPECT_FLOAT_EQ(label8.top(), 3864);
    EXPECT_FLOAT_EQ(label8.width(), 1596);
    EXPECT_FLOAT_EQ(label8.height(), 240);
    EXPECT_NEAR(label8.widget()->font().pointSizeF(), 9.6, 1e-4);
    EXPECT_EQ(QFontInfo(label8.widget()->font()).pixelSize(), 16);  // 12 points at 96 dpi

    // Arial 21.75, 9.75 and the 8-point default keep their pixel heights too.
    EXPECT_NEAR(control(QStringLiteral("Text1")).widget()->font().pointSizeF(), 17.4, 1e-4);
    EXPECT_NEAR(control(QStringLiteral("Option1"), 3).widget()->font().pointSizeF(), 7.8, 1e-4);
    EXPECT_NEAR(control(QStringLiteral("Check1")).widget()->font().pointSizeF(), 6.4, 1e-4);
    EXPECT_EQ(QFontInfo(control(QStringLiteral("Text1")).widget()->font()).pixelSize(), 29);
    EXPECT_EQ(QFontInfo(control(QStringLiteral("Option1"), 3).widget()->font()).pixelSize(), 13);
}

TEST_F(RescaledVerz, SelfSizingLabelsTakeTheSizeOfTheirTextInTheScaledFont)
{
    for (const QString &name : {QStringLiteral("Label3"), QStringLiteral("Label4")}) {
        const Control &label = control(name);
        const QWidget &widget = *label.widget();
        EXPECT_NEAR(widget.font().pointSizeF(), 9.6, 1e-4) << name.toStdString();
        EXPECT_EQ(QFontInfo(widget.font()).pixelSize(), 16) << name.toStdString();
        EXPECT_EQ(widget.size(), widget.sizeHint()) << name.toStdString();
        EXPECT_EQ(label.width(), 12.0f * static_cast<float>(widget.sizeHint().width()))
            << name.toStdString();
        EXPECT_EQ(label.height(), 12.0f * static_cast<float>(widget.sizeHint().height()))
            << name.toStdString();
    }
    // Their left and top edges were scaled before the font step.
    EXPECT_EQ(control(QStringLiteral("Label3")).widget()->pos(), QPoint(152, 252));
    EXPECT_EQ(control(QStringLiteral("Label4")).widget()->pos(), QPoint(174, 221));
}

TEST_F(RescaledVerz, PanelAndItsChildrenKeepTheirProportions)
{
    const Control &panel = control(QStringLiteral("FraConfig"));
    EXPECT_EQ(panel.left(), 120 * kFactor);
    EXPECT_EQ(panel.widget()->geometry(), QRect(8, 6, 520, 374));
    for (const QString &name :
         {QStringLiteral("Command8"), QStringLiteral("Label8"), QStringLiteral("Image3")})
        EXPECT_EQ(control(name).widget()->parentWidget(), panel.widget()) << name.toStdString();
    EXPECT_EQ(control(QStringLiteral("Command8")).widget()->geometry(), QRect(227, 300, 87, 66));
    EXPECT_EQ(control(QStringLiteral("Image2"), 5).widget()->geometry(), QRect(380, 12, 32, 32));
}

TEST_F(RescaledVerz, PictureBoxIsScaledThenSizedToTheSkin)
{
    const Control &picture1 = control(QStringLiteral("Picture1"));
    EXPECT_EQ(picture1.left(), 0);
    EXPECT_EQ(picture1.top(), 0);
    EXPECT_EQ(picture1.widget()->geometry(), QRect(0, 0, 750, 400));
    EXPECT_FALSE(picture1.widget()->isVisible());
    EXPECT_EQ(window_->size(), QSize(750, 400));
}

}  // namespace
}  // namespace verz::test
