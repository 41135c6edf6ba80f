#pragma once

#include <array>
#include <cstddef>
#include <variant>

class QCheckBox;
class QComboBox;
class QFrame;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace verz {

class ClickLabel;
class ImageBox;
class PictureBox;
class ShapeOutline;

// The window's widgets, one typed pointer per control and one array per
// control array, filled by the factory as it builds each table entry. The
// names are the controls' own.
struct FormWidgets {
    static constexpr std::size_t kPairButtons = 16;  // one Option1 element per pair row

    QFrame *FraConfig = nullptr;
    std::array<QRadioButton *, kPairButtons> Option1{};
    QListWidget *List1 = nullptr;
    QPushButton *Command6 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command2 = nullptr;
    QComboBox *Combo1 = nullptr;
    QPlainTextEdit *Text1 = nullptr;
    QPushButton *Command4 = nullptr;
    QPushButton *Command5 = nullptr;
    QPlainTextEdit *Text2 = nullptr;
    PictureBox *Picture1 = nullptr;
    QCheckBox *Check1 = nullptr;
    std::array<ClickLabel *, 4> Label7{};
    ImageBox *ImaVerz = nullptr;
    ImageBox *ImageOrg = nullptr;
    ClickLabel *Label6 = nullptr;
    ImageBox *Image1 = nullptr;
    ClickLabel *Label2 = nullptr;
    std::array<ShapeOutline *, 3> Shape1{};
    ClickLabel *Label1 = nullptr;
    QToolButton *Command8 = nullptr;
    ClickLabel *Label8 = nullptr;
    std::array<ClickLabel *, 2> Labc{};
    ImageBox *Image3 = nullptr;
    std::array<ImageBox *, 6> Image2{};
    ClickLabel *Label4 = nullptr;
    ClickLabel *Label3 = nullptr;
};

// Where the widget of one table entry goes: a single control's member, or the
// array of a control array (the entry's index picks the element). The member's
// type is the widget class the factory must build, so a table entry whose kind
// and slot disagree is caught when the widget is stored.
template <class W> using SingleSlot = W *FormWidgets::*;
template <class W, std::size_t N> using ArraySlot = std::array<W *, N> FormWidgets::*;

using WidgetSlot =
    std::variant<SingleSlot<QFrame>, SingleSlot<QListWidget>, SingleSlot<QPushButton>,
                 SingleSlot<QComboBox>, SingleSlot<QPlainTextEdit>, SingleSlot<PictureBox>,
                 SingleSlot<QCheckBox>, SingleSlot<ImageBox>, SingleSlot<ClickLabel>,
                 SingleSlot<QToolButton>, ArraySlot<QRadioButton, FormWidgets::kPairButtons>,
                 ArraySlot<ClickLabel, 4>, ArraySlot<ShapeOutline, 3>, ArraySlot<ClickLabel, 2>,
                 ArraySlot<ImageBox, 6>>;

}  // namespace verz
