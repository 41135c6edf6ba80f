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

    // The about panel, hidden until Label6 shows it.
    QFrame *FraConfig = nullptr;
    // The pair buttons, one a row of the catalogue.
    std::array<QRadioButton *, kPairButtons> Option1{};
    // Hidden: the pair codes, row for row with Combo1.
    QListWidget *List1 = nullptr;
    // Translates Text1 into Text2 (its caption says « Lancer la traduction »).
    QPushButton *Command6 = nullptr;
    // « Copier »: Text2 to the clipboard.
    QPushButton *Command3 = nullptr;
    // « Effacer » beside Text2: empties it.
    QPushButton *Command2 = nullptr;
    // Hidden: the pair names; its row is the chosen pair.
    QComboBox *Combo1 = nullptr;
    // The text to translate.
    QPlainTextEdit *Text1 = nullptr;
    // « Coller »: the clipboard added at the end of Text1.
    QPushButton *Command4 = nullptr;
    // « Effacer » beside Text1: empties it.
    QPushButton *Command5 = nullptr;
    // The translation.
    QPlainTextEdit *Text2 = nullptr;
    // Hidden: holds the skin the outline is cut from.
    PictureBox *Picture1 = nullptr;
    // « Ignorer les diacritiques »: folds the accents before sending.
    QCheckBox *Check1 = nullptr;
    // The captions over the boxes and buttons.
    std::array<ClickLabel *, 4> Label7{};
    // The target language's flag, beside Text2.
    ImageBox *ImaVerz = nullptr;
    // The source language's flag, beside Text1.
    ImageBox *ImageOrg = nullptr;
    // Hot spot « A propos »: shows or hides the panel.
    ClickLabel *Label6 = nullptr;
    // « Basculer »: moves the translation up into Text1.
    ImageBox *Image1 = nullptr;
    // Hot spot « Réduire »: minimises the window.
    ClickLabel *Label2 = nullptr;
    // The borders around the two boxes and the pair buttons.
    std::array<ShapeOutline *, 3> Shape1{};
    // Hot spot « Quitter »: ends the program.
    ClickLabel *Label1 = nullptr;
    // The panel's « OK »: hides it.
    QToolButton *Command8 = nullptr;
    // The panel's version text.
    ClickLabel *Label8 = nullptr;
    // The panel's notices; a click opens the service's page.
    std::array<ClickLabel *, 2> Labc{};
    // The service's logo in the panel; a click opens its page.
    ImageBox *Image3 = nullptr;
    // The six flags the pair's flags are taken from.
    std::array<ImageBox *, 6> Image2{};
    // Link to the author's site.
    ClickLabel *Label4 = nullptr;
    // Link that writes the author a mail.
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
