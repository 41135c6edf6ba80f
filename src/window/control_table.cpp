#include "window/control_table.h"

#include <array>

namespace verz {

namespace {
using K = ControlKind;

constexpr FontEntry kArial975{.face = u"Arial", .size = 9.75f};
constexpr FontEntry kArial2175{.face = u"Arial", .size = 21.75f};
constexpr FontEntry kArial12Bold{.face = u"Arial", .size = 12.0f, .bold = true};
constexpr FontEntry kArial12Link{.face = u"Arial", .size = 12.0f, .bold = true, .underline = true};
constexpr FontEntry kArial9{.face = u"Arial", .size = 9.0f};
constexpr FontEntry kComic12{.face = u"Comic Sans MS", .size = 12.0f};

constexpr std::uint32_t kPaleYellow = 0x00C0FFFFu;  // RGB(255,255,192)
constexpr std::uint32_t kLightGrey = 0x00E0E0E0u;   // RGB(224,224,224)
constexpr std::uint32_t kGrey = 0x00808080u;        // RGB(128,128,128)
constexpr std::uint32_t kBlue = 0x00FF0000u;        // RGB(0,0,255)

// One entry per control, laid out like the design tables.
// clang-format off
constexpr std::array kFormControls{
    // Windowed group, front to back.
    ControlEntry{.kind = K::Frame, .name = u"FraConfig", .slot = &FormWidgets::FraConfig,
                .left = 12000, .top = 90, .width = 7800, .height = 5610,
                .back = kNavy, .visible = false, .tabIndex = 13},
    ControlEntry{.kind = K::OptionButton, .name = u"Option1", .slot = &FormWidgets::Option1,
                .index = 0,
                .left = 8100, .top = 1044, .width = 2730, .height = 285,
                .text = u"Option1", .back = kNavy, .fore = kWhite, .font = kArial975,
                .tabIndex = 10},
    ControlEntry{.kind = K::ListBox, .name = u"List1", .slot = &FormWidgets::List1,
                .left = 11565, .top = 5940, .width = 615, .height = 300,
                .font = kArial975, .visible = false, .tabIndex = 9},
    ControlEntry{.kind = K::CommandButton, .name = u"Command6", .slot = &FormWidgets::Command6,
                .left = 2820, .top = 2655, .width = 795, .height = 750,
                .font = kArial975, .graphical = true, .tabIndex = 8},
    ControlEntry{.kind = K::CommandButton, .name = u"Command3", .slot = &FormWidgets::Command3,
                .left = 6210, .top = 4995, .width = 1200, .height = 480,
                .text = u"Copier", .font = kArial975,
                .tooltip = u"Dans le presse purée.", .tabIndex = 7},
    ControlEntry{.kind = K::CommandButton, .name = u"Command2", .slot = &FormWidgets::Command2,
                .left = 6210, .top = 4440, .width = 1200, .height = 480,
                .text = u"Effacer", .font = kArial975, .tabIndex = 6},
    ControlEntry{.kind = K::ComboBox, .name = u"Combo1", .slot = &FormWidgets::Combo1,
                .left = 11460, .top = 5430, .width = 5415, .height = 360,
                .font = kArial975, .visible = false, .tabIndex = 5},
    ControlEntry{.kind = K::TextBox, .name = u"Text1", .slot = &FormWidgets::Text1,
                .left = 405, .top = 585, .width = 5715, .height = 1845,
                .text = u"Tapez ici votre texte.\r\n", .font = kArial2175,
                .multiLine = true, .verticalScrollBar = true, .tag = u"S", .tabIndex = 4},
    ControlEntry{.kind = K::CommandButton, .name = u"Command4", .slot = &FormWidgets::Command4,
                .left = 6210, .top = 1950, .width = 1200, .height = 480,
                .text = u"Coller", .font = kArial975,
                .tooltip = u"le contenu du presse papier", .tabIndex = 3},
    ControlEntry{.kind = K::CommandButton, .name = u"Command5", .slot = &FormWidgets::Command5,
                .left = 6210, .top = 1395, .width = 1200, .height = 480,
                .text = u"Effacer", .font = kArial975, .tabIndex = 2},
    ControlEntry{.kind = K::TextBox, .name = u"Text2", .slot = &FormWidgets::Text2,
                .left = 375, .top = 3630, .width = 5715, .height = 1845,
                .text = u"", .fore = kNavy, .font = kArial2175,
                .multiLine = true, .verticalScrollBar = true, .tabIndex = 1},
    ControlEntry{.kind = K::PictureBox, .name = u"Picture1", .slot = &FormWidgets::Picture1,
                .left = 8670, .top = 6930, .width = 5775, .height = 3420,
                .visible = false, .tabIndex = 0},
    ControlEntry{.kind = K::CheckBox, .name = u"Check1", .slot = &FormWidgets::Check1,
                .left = 420, .top = 2820, .width = 2085, .height = 195,
                .text = u"Ignorer les diacritiques", .back = kNavy, .fore = kWhite,
                .checked = true,
                .tooltip = u"Parce que parfois leur présence provoque des choses étranges. "
                           u"(accents, tirets, trémas, cédilles, etc.)",
                .tabIndex = 26},
    // Painted group, front to back.
    ControlEntry{.kind = K::Label, .name = u"Label7", .slot = &FormWidgets::Label7, .index = 3,
                .left = 6135, .top = 2730, .width = 1020, .height = 480,
                .text = u"Monter le texte traduit", .back = kNavy, .fore = kWhite},
    ControlEntry{.kind = K::Label, .name = u"Label7", .slot = &FormWidgets::Label7, .index = 2,
                .left = 3435, .top = 2775, .width = 1185, .height = 540,
                .text = u"Lancer la traduction", .back = kNavy, .fore = kWhite,
                .alignment = Alignment::Centre},
    ControlEntry{.kind = K::Label, .name = u"Label7", .slot = &FormWidgets::Label7, .index = 1,
                .left = 765, .top = 3360, .width = 1035, .height = 165,
                .text = u"Traduction", .back = kNavy, .fore = kWhite,
                .alignment = Alignment::Centre},
    ControlEntry{.kind = K::Label, .name = u"Label7", .slot = &FormWidgets::Label7, .index = 0,
                .left = 765, .top = 225, .width = 1185, .height = 165,
                .text = u"Texte à traduire", .back = kNavy, .fore = kWhite,
                .alignment = Alignment::Centre},
    ControlEntry{.kind = K::Image, .name = u"ImaVerz", .slot = &FormWidgets::ImaVerz,
                .left = 6600, .top = 3660, .width = 480, .height = 480, .stretch = true},
    ControlEntry{.kind = K::Image, .name = u"ImageOrg", .slot = &FormWidgets::ImageOrg,
                .left = 6600, .top = 690, .width = 480, .height = 480, .stretch = true},
    ControlEntry{.kind = K::Label, .name = u"Label6", .slot = &FormWidgets::Label6,
                .left = 9315, .top = 165, .width = 645, .height = 555,
                .transparent = true, .tooltip = u"A propos"},
    ControlEntry{.kind = K::Image, .name = u"Image1", .slot = &FormWidgets::Image1,
                .left = 5520, .top = 2700, .width = 480, .height = 480,
                .picture = u":/assets/up_arrow.bmp", .tooltip = u"Basculer"},
    ControlEntry{.kind = K::Label, .name = u"Label2", .slot = &FormWidgets::Label2,
                .left = 9915, .top = 165, .width = 645, .height = 555,
                .transparent = true, .tooltip = u"Réduire"},
    ControlEntry{.kind = K::Shape, .name = u"Shape1", .slot = &FormWidgets::Shape1, .index = 2,
                .left = 7920, .top = 930, .width = 3015, .height = 4680, .fore = kPaleYellow},
    ControlEntry{.kind = K::Shape, .name = u"Shape1", .slot = &FormWidgets::Shape1, .index = 1,
                .left = 180, .top = 300, .width = 7575, .height = 2265, .fore = kLightGrey},
    ControlEntry{.kind = K::Shape, .name = u"Shape1", .slot = &FormWidgets::Shape1, .index = 0,
                .left = 195, .top = 3465, .width = 7575, .height = 2220, .fore = kLightGrey},
    ControlEntry{.kind = K::Label, .name = u"Label1", .slot = &FormWidgets::Label1,
                .left = 10455, .top = 165, .width = 645, .height = 555,
                .transparent = true, .tooltip = u"Quitter"},
};

constexpr auto kPanel = Container::FraConfig;

constexpr std::array kPanelControls{
    // Windowed group.
    ControlEntry{.kind = K::CommandButton, .name = u"Command8", .slot = &FormWidgets::Command8,
                .container = kPanel,
                .left = 3398, .top = 4500, .width = 1305, .height = 990,
                .text = u"OK", .graphical = true, .tabIndex = 14},
    // Painted group, front to back.
    ControlEntry{.kind = K::Label, .name = u"Label8", .slot = &FormWidgets::Label8,
                .container = kPanel,
                .left = 300, .top = 4830, .width = 1995, .height = 300,
                .text = u"Version 2", .fore = kWhite, .font = kArial12Bold,
                .transparent = true, .tabIndex = 25},
    ControlEntry{.kind = K::Label, .name = u"Labc", .slot = &FormWidgets::Labc,
                .index = 0, .container = kPanel,
                .left = 3720, .top = 2085, .width = 3345, .height = 810,
                .text = u"S'occupe des traductions (Donc si la qualité de ladite n'est pas "
                        u"pile poil top, c'est eux qu'faut voir...)",
                .fore = kGrey, .font = kArial9, .transparent = true, .tabIndex = 20,
                .linkCursor = true},
    ControlEntry{.kind = K::Image, .name = u"Image3", .slot = &FormWidgets::Image3,
                .container = kPanel,
                .left = 1050, .top = 1980, .width = 6000, .height = 945,
                .picture = u":/assets/service_logo.gif", .linkCursor = true},
    ControlEntry{.kind = K::Image, .name = u"Image2", .slot = &FormWidgets::Image2,
                .index = 0, .container = kPanel,
                .left = 1875, .top = 180, .width = 480, .height = 480,
                .picture = u":/assets/flag_fr.ico"},
    ControlEntry{.kind = K::Image, .name = u"Image2", .slot = &FormWidgets::Image2,
                .index = 1, .container = kPanel,
                .left = 2640, .top = 180, .width = 480, .height = 480,
                .picture = u":/assets/flag_en.ico"},
    ControlEntry{.kind = K::Image, .name = u"Image2", .slot = &FormWidgets::Image2,
                .index = 2, .container = kPanel,
                .left = 3405, .top = 180, .width = 480, .height = 480,
                .picture = u":/assets/flag_es.ico"},
    ControlEntry{.kind = K::Image, .name = u"Image2", .slot = &FormWidgets::Image2,
                .index = 3, .container = kPanel,
                .left = 4170, .top = 180, .width = 480, .height = 480,
                .picture = u":/assets/flag_de.ico"},
    ControlEntry{.kind = K::Image, .name = u"Image2", .slot = &FormWidgets::Image2,
                .index = 4, .container = kPanel,
                .left = 4935, .top = 180, .width = 480, .height = 480,
                .picture = u":/assets/flag_pt.ico"},
    ControlEntry{.kind = K::Image, .name = u"Image2", .slot = &FormWidgets::Image2,
                .index = 5, .container = kPanel,
                .left = 5700, .top = 180, .width = 480, .height = 480,
                .picture = u":/assets/flag_it.ico"},
    ControlEntry{.kind = K::Label, .name = u"Label4", .slot = &FormWidgets::Label4,
                .container = kPanel,
                .left = 2610, .top = 3315, .width = 2880, .height = 285,
                .text = u"Visiter le site de l'auteur...", .fore = kBlue, .font = kArial12Link,
                .transparent = true, .autoSize = true, .tabIndex = 17, .linkCursor = true},
    ControlEntry{.kind = K::Label, .name = u"Label3", .slot = &FormWidgets::Label3,
                .container = kPanel,
                .left = 2280, .top = 3780, .width = 3540, .height = 285,
                .text = u"Envoyer un coucou à l'auteur...", .fore = kBlue, .font = kArial12Link,
                .transparent = true, .autoSize = true, .tabIndex = 16, .linkCursor = true},
    ControlEntry{.kind = K::Label, .name = u"Labc", .slot = &FormWidgets::Labc,
                .index = 1, .container = kPanel,
                .left = 638, .top = 900, .width = 6825, .height = 780,
                .text = u"Ce logiciel peut être transmis à qui vous voulez, gratuitement et "
                        u"librement, sans rien exiger.",
                .fore = kWhite, .font = kComic12, .transparent = true,
                .alignment = Alignment::Centre, .tabIndex = 15, .linkCursor = true},
};
// clang-format on
}  // namespace

bool IsWindowedKind(ControlKind kind)
{
    switch (kind) {
    case K::Label:
    case K::Image:
    case K::Shape:
        return false;
    default:
        return true;
    }
}

std::span<const ControlEntry> FormControlTable()
{
    return kFormControls;
}

std::span<const ControlEntry> PanelControlTable()
{
    return kPanelControls;
}

}  // namespace verz
