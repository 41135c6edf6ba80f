#pragma once

#include "window/form_widgets.h"

#include <cstdint>
#include <span>

namespace verz {

enum class ControlKind {
    Frame,
    OptionButton,
    ListBox,
    CommandButton,
    ComboBox,
    TextBox,
    PictureBox,
    CheckBox,
    Label,
    Image,
    Shape,
};

// Controls that own a window of their own; they always lie in front of the
// ones painted on their container.
bool IsWindowedKind(ControlKind kind);

enum class Container { Form, FraConfig };
enum class Alignment { Left, Centre };

// Colours as 0x00BBGGRR, red in the low byte.
inline constexpr std::uint32_t kDefaultColour = 0xFF000000u;
inline constexpr std::uint32_t kNavy = 0x00800000u;
inline constexpr std::uint32_t kWhite = 0x00FFFFFFu;

// A null face means the window's default user-interface font: Arial, 8 points.
struct FontEntry {
    const char16_t *face = nullptr;
    float size = 8.0f;
    bool bold = false;
    bool underline = false;
};

struct ControlEntry {
    ControlKind kind;
    const char16_t *name;
    WidgetSlot slot;  // the member of FormWidgets that receives the widget
    int index = -1;   // element of a control array, -1 for a single control
    Container container = Container::Form;
    float left = 0;  // twips, from the container's top-left
    float top = 0;
    float width = 0;
    float height = 0;
    const char16_t *text = nullptr;
    std::uint32_t back = kDefaultColour;
    std::uint32_t fore = kDefaultColour;  // text, or a shape's border
    FontEntry font = {};
    bool visible = true;
    bool transparent = false;  // labels: only the text is drawn
    Alignment alignment = Alignment::Left;
    bool autoSize = false;  // labels that size themselves to their text
    bool multiLine = false;
    bool verticalScrollBar = false;
    const char16_t *tag = nullptr;
    bool checked = false;
    bool stretch = false;               // images: scale the picture to the box
    bool graphical = false;             // buttons: the face shows a picture
    const char16_t *picture = nullptr;  // resource path
    const char16_t *tooltip = nullptr;
    int tabIndex = -1;
    bool linkCursor = false;  // the pointing hand over a link
};

// Both tables list the windowed group first, each group front to back.
std::span<const ControlEntry> FormControlTable();
std::span<const ControlEntry> PanelControlTable();

}  // namespace verz
