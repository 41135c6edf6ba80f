#include "window/control_factory.h"

#include "widgets/control_widgets.h"
#include "window/box_text.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QImageReader>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <variant>

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

QWidget *createLabel(const ControlEntry &entry, QWidget *parent)
{
    auto *label = new ClickLabel(textOf(entry.text), parent);
    label->setAlignment(labelAlignment(entry.alignment));
    label->setWordWrap(!entry.autoSize);
    label->setTextFormat(Qt::PlainText);
    label->setMargin(0);
    label->setIndent(0);
    if (entry.transparent) {
        label->setAutoFillBackground(false);
    } else {
        paintBackground(*label, entry.back);
        label->setAutoFillBackground(true);
    }
    setForeground(*label, entry.fore, QPalette::WindowText);
    return label;
}

QWidget *createCommandButton(const ControlEntry &entry, QWidget *parent)
{
    const QString text = textOf(entry.text);
    if (entry.graphical && !text.isEmpty()) {
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
    if (entry.graphical)
        button->setIconSize(QSize(32, 32));
    return button;
}

QWidget *createWidget(const ControlEntry &entry, QWidget *parent)
{
    switch (entry.kind) {
    case ControlKind::Frame: {
        auto *frame = new ContainerFrame(parent);
        frame->setFrameShape(QFrame::NoFrame);
        paintBackground(*frame, entry.back);
        return frame;
    }
    case ControlKind::OptionButton: {
        auto *option = new QRadioButton(textOf(entry.text), parent);
        paintBackground(*option, entry.back);
        setForeground(*option, entry.fore, QPalette::WindowText);
        return option;
    }
    case ControlKind::ListBox: {
        auto *list = new QListWidget(parent);
        list->setFocusPolicy(Qt::NoFocus);
        return list;
    }
    case ControlKind::CommandButton:
        return createCommandButton(entry, parent);
    case ControlKind::ComboBox: {
        auto *combo = new QComboBox(parent);
        combo->setEditable(false);
        combo->setFocusPolicy(Qt::NoFocus);
        return combo;
    }
    case ControlKind::TextBox: {
        auto *box = new TextBoxEdit(parent);
        box->setVerticalScrollBarPolicy(entry.verticalScrollBar ? Qt::ScrollBarAlwaysOn
                                                                : Qt::ScrollBarAsNeeded);
        setForeground(*box, entry.fore, QPalette::Text);
        SetBoxText(*box, textOf(entry.text));
        box->setProperty("Tag", textOf(entry.tag));
        return box;
    }
    case ControlKind::PictureBox: {
        auto *picture = new PictureBox(parent);
        picture->setFocusPolicy(Qt::NoFocus);
        return picture;
    }
    case ControlKind::CheckBox: {
        auto *check = new QCheckBox(textOf(entry.text), parent);
        check->setChecked(entry.checked);
        paintBackground(*check, entry.back);
        setForeground(*check, entry.fore, QPalette::WindowText);
        return check;
    }
    case ControlKind::Label:
        return createLabel(entry, parent);
    case ControlKind::Image: {
        auto *image = new ImageBox(parent);
        image->setStretch(entry.stretch);
        if (entry.picture != nullptr)
            image->setPicture(QPixmap::fromImage(ReadPicture(QString::fromUtf16(entry.picture))));
        return image;
    }
    case ControlKind::Shape: {
        auto *shape = new ShapeOutline(parent);
        shape->setBorderColour(ColourFromBgr(entry.fore));
        return shape;
    }
    }
    return new QWidget(parent);
}

template <class W> bool store(FormWidgets &widgets, SingleSlot<W> slot, int, QWidget *widget)
{
    W *typed = qobject_cast<W *>(widget);
    widgets.*slot = typed;
    return typed != nullptr;
}

template <class W, std::size_t N>
bool store(FormWidgets &widgets, ArraySlot<W, N> slot, int index, QWidget *widget)
{
    if (index < 0 || static_cast<std::size_t>(index) >= N)
        return false;
    W *typed = qobject_cast<W *>(widget);
    (widgets.*slot)[static_cast<std::size_t>(index)] = typed;
    return typed != nullptr;
}
}  // namespace

QColor ColourFromBgr(std::uint32_t bgr)
{
    return QColor(static_cast<int>(bgr & 0xFFu), static_cast<int>((bgr >> 8) & 0xFFu),
                  static_cast<int>((bgr >> 16) & 0xFFu));
}

QImage ReadPicture(const QString &path)
{
    QImageReader reader(path, QFileInfo(path).suffix().toLower().toLatin1());
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QFont FontFor(const FontEntry &entry)
{
    // The default face is a narrow sans serif: the short captions on the skin
    // are measured for one, and a wider face would wrap them.
    QFont font(entry.face == nullptr ? QStringLiteral("Arial") : QString::fromUtf16(entry.face));
    font.setPointSizeF(entry.size);
    font.setBold(entry.bold);
    font.setUnderline(entry.underline);
    return font;
}

QWidget *CreateControlWidget(const ControlEntry &entry, int index, QWidget *parent,
                             FormWidgets &widgets)
{
    QWidget *widget = createWidget(entry, parent);
    const bool stored =
        std::visit([&](auto slot) { return store(widgets, slot, index, widget); }, entry.slot);
    // Only a table whose kind and slot disagree gets here: a fault of the design
    // table, found on the first start of a build.
    if (!stored)
        qFatal("control table: %s(%d) does not fit its slot",
               qPrintable(QString::fromUtf16(entry.name)), index);
    const bool hasFont = entry.kind != ControlKind::Image && entry.kind != ControlKind::Shape &&
                         entry.kind != ControlKind::PictureBox;
    if (hasFont)
        widget->setFont(FontFor(entry.font));
    if (entry.tooltip != nullptr)
        widget->setToolTip(QString::fromUtf16(entry.tooltip));
    if (entry.linkCursor)
        widget->setCursor(Qt::PointingHandCursor);
    if (!entry.visible)
        widget->setVisible(false);
    return widget;
}

}  // namespace verz
