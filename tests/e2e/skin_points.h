#pragma once

#include <QPoint>
#include <QRect>

namespace verz::e2e {

// Where the skin shows each control, in window pixels: the design twips of
// the control table divided by 15. A person aims at the middle of a control.
constexpr int kTwipsPerPixel = 15;

constexpr QRect FromTwips(int left, int top, int width, int height)
{
    return QRect(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
                 height / kTwipsPerPixel);
}

constexpr QPoint Centre(QRect box)
{
    return QPoint(box.x() + box.width() / 2, box.y() + box.height() / 2);
}

namespace at {
constexpr QSize kWindow(750, 400);

constexpr QRect Text1 = FromTwips(405, 585, 5715, 1845);
constexpr QRect Text2 = FromTwips(375, 3630, 5715, 1845);
constexpr QRect Command6 = FromTwips(2820, 2655, 795, 750);   // translate
constexpr QRect Command3 = FromTwips(6210, 4995, 1200, 480);  // "Copier"
constexpr QRect Command2 = FromTwips(6210, 4440, 1200, 480);  // "Effacer" under Text2
constexpr QRect Command4 = FromTwips(6210, 1950, 1200, 480);  // "Coller"
constexpr QRect Command5 = FromTwips(6210, 1395, 1200, 480);  // "Effacer" under Text1
constexpr QRect Check1 = FromTwips(420, 2820, 2085, 195);     // "Ignorer les diacritiques"
constexpr QRect Image1 = FromTwips(5520, 2700, 480, 480);     // move-up arrow
constexpr QRect ImageOrg = FromTwips(6600, 690, 480, 480);
constexpr QRect ImaVerz = FromTwips(6600, 3660, 480, 480);
constexpr QRect Label6 = FromTwips(9315, 165, 645, 555);   // "A propos"
constexpr QRect Label2 = FromTwips(9915, 165, 645, 555);   // "Réduire"
constexpr QRect Label1 = FromTwips(10455, 165, 645, 555);  // "Quitter"

// Option1(row): 280 twips apart below Option1(0); aim at the start of the
// caption, which is part of the button's click area.
constexpr QPoint Option1(int row)
{
    return QPoint(8100 / kTwipsPerPixel + 24, (1044 + 280 * row + 285 / 2) / kTwipsPerPixel);
}

// Command8 "OK" lies inside FraConfig, which start-up moves to Left 120, Top 90.
constexpr QPoint kFraConfig(120 / kTwipsPerPixel, 90 / kTwipsPerPixel);
constexpr QRect Command8 = FromTwips(3398, 4500, 1305, 990).translated(kFraConfig);

// Points of Text1 that the shown about panel covers with bare navy (no picture
// or text of the panel lies there), and that are plain white otherwise.
constexpr QPoint kPanelProbes[] = {QPoint(35, 150), QPoint(200, 128), QPoint(350, 128)};

// Bare skin, no control on it: where a drag of the window starts.
constexpr QPoint kBareSurface(560, 30);
}  // namespace at

// Left edge of the visible run on row y of the skin (the right edge mirrors
// it); 750 for the three rows that are cut away entirely.
inline int OutlineLeft(int y)
{
    if (y >= 397)
        return 750;
    static constexpr int kLeftByDistance[] = {10, 7, 6, 5, 4, 3, 2, 2, 2};
    const int fromEdge = y < 396 - y ? y : 396 - y;
    return fromEdge < 9 ? kLeftByDistance[fromEdge] : 1;
}

}  // namespace verz::e2e
