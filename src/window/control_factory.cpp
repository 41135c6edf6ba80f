#include "window/control_factory.h"

#include "window/box_text.h"
#include "window/control_widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace verz {

namespace {
QString textOf(const char16_t *text)
{
    return text == nullptr ? QString() : QString::fromUtf16(text);
}

void paintBackground(QWidget &widget, std::uint32_t back)
{
    if (back == kDefaultColour)
        return;
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, ColourFromBgr(back));
    // Option buttons and check boxes fill with the button role; a frame must
    // not set it, or the buttons inside it would inherit the navy.
    if (qobject_cast<QAbstractButton *>(&widget) != nullptr)
        palette.setColor(QPalette::Button, ColourFromBgr(back));
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

void setForeground(QWidget &widget, std::uint32_t fore, QPalette::ColorRole role)
{
    if (fore == kDefaultColour)
        return;
    QPalette palette = widget.palette();
    palette.setColor(role, ColourFromBgr(fore));
    widget.setPalette(palette);
}

Qt::Alignment labelAlignment(Alignment alignment)
{
    // Label text starts at the top of the box and runs down.
    return Qt::AlignTop | (alignment == Alignment::Centre ? Qt::AlignHCenter : Qt::AlignLeft);
}

QWidget *createLabel(const ControlSpec &spec, QWidget *parent)
{
    auto *label = new ClickLabel(textOf(spec.text), parent);
    label->setAlignment(labelAlignment(spec.alignment));
    label->setWordWrap(!spec.autoSize);
    label->setTextFormat(Qt::PlainText);
    label->setMargin(0);
    label->setIndent(0);
    if (spec.transparent) {
        label->setAutoFillBackground(false);
    } else {
        paintBackground(*label, spec.back);
        label->setAutoFillBackground(true);
    }
    setForeground(*label, spec.fore, QPalette::WindowText);
    return label;
}

QWidget *createCommandButton(const ControlSpec &spec, QWidget *parent)
{
    const QString text = textOf(spec.text);
    if (spec.graphical && !text.isEmpty()) {
        // Picture above the caption.
        auto *button = new QToolButton(parent);
        button->setText(text);
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setIconSize(QSize(32, 32));
        button->setFocusPolicy(Qt::StrongFocus);
        return button;
    }
    auto *button = new QPushButton(text, parent);
    button->setAutoDefault(false);
    if (spec.graphical)
        button->setIconSize(QSize(32, 32));
    return button;
}

QWidget *createWidget(const ControlSpec &spec, QWidget *parent)
{
    switch (spec.kind) {
    case ControlKind::Frame: {
        auto *frame = new QFrame(parent);
        frame->setFrameShape(QFrame::NoFrame);
        paintBackground(*frame, spec.back);
        return frame;
    }
    case ControlKind::OptionButton: {
        auto *option = new QRadioButton(textOf(spec.text), parent);
        paintBackground(*option, spec.back);
        setForeground(*option, spec.fore, QPalette::WindowText);
        return option;
    }
    case ControlKind::ListBox: {
        auto *list = new QListWidget(parent);
        list->setFocusPolicy(Qt::NoFocus);
        return list;
    }
    case ControlKind::CommandButton:
        return createCommandButton(spec, parent);
    case ControlKind::ComboBox: {
        auto *combo = new QComboBox(parent);
        combo->setEditable(false);
        combo->setFocusPolicy(Qt::NoFocus);
        return combo;
    }
    case ControlKind::TextBox: {
        auto *box = new QPlainTextEdit(parent);
        box->setVerticalScrollBarPolicy(spec.verticalScrollBar ? Qt::ScrollBarAlwaysOn
                                                               : Qt::ScrollBarAsNeeded);
        setForeground(*box, spec.fore, QPalette::Text);
        SetBoxText(*box, textOf(spec.text));
        box->setProperty("Tag", textOf(spec.tag));
        return box;
    }
    case ControlKind::PictureBox: {
        auto *picture = new PictureBox(parent);
        picture->setFocusPolicy(Qt::NoFocus);
        return picture;
    }
    case ControlKind::CheckBox: {
        auto *check = new QCheckBox(textOf(spec.text), parent);
        check->setChecked(spec.checked);
        paintBackground(*check, spec.back);
        setForeground(*check, spec.fore, QPalette::WindowText);
        return check;
    }
    case ControlKind::Label:
        return createLabel(spec, parent);
    case ControlKind::Image: {
        auto *image = new ImageBox(parent);
        image->setStretch(spec.stretch);
        if (spec.picture != nullptr)
            image->setPicture(QPixmap(QString::fromUtf16(spec.picture)));
        return image;
    }
    case ControlKind::Shape: {
        auto *shape = new ShapeOutline(parent);
        shape->setBorderColour(ColourFromBgr(spec.fore));
        return shape;
    }
    }
    return new QWidget(parent);
}
}  // namespace

QColor ColourFromBgr(std::uint32_t bgr)
{
    return QColor(static_cast<int>(bgr & 0xFFu), static_cast<int>((bgr >> 8) & 0xFFu),
                  static_cast<int>((bgr >> 16) & 0xFFu));
}

QFont FontFor(const FontSpec &spec)
{
    // The default face is a narrow sans serif: the short captions on the skin
    // are measured for one, and a wider face would wrap them.
    QFont font(spec.face == nullptr ? QStringLiteral("Arial") : QString::fromUtf16(spec.face));
    font.setPointSizeF(spec.size);
    font.setBold(spec.bold);
    font.setUnderline(spec.underline);
    return font;
}

QWidget *CreateControlWidget(const ControlSpec &spec, QWidget *parent)
{
    QWidget *widget = createWidget(spec, parent);
    const bool hasFont = spec.kind != ControlKind::Image && spec.kind != ControlKind::Shape &&
                         spec.kind != ControlKind::PictureBox;
    if (hasFont)
        widget->setFont(FontFor(spec.font));
    if (spec.tooltip != nullptr)
        widget->setToolTip(QString::fromUtf16(spec.tooltip));
    if (spec.linkCursor)
        widget->setCursor(Qt::PointingHandCursor);
    if (!spec.visible)
        widget->setVisible(false);
    return widget;
}

}  // namespace verz
