#pragma once

#include <QPoint>

class QWidget;

namespace verz {

// Moves a borderless window while a mouse button is held on its surface.
// The window system does the move of a left-button drag where it can; where
// it refuses (no window manager), and for the other buttons, the window
// follows the pointer itself until the button is up.
class WindowDrag {
public:
    // Called from the window's mouse-press on its bare surface.
    void StartWindowDrag(QWidget &window, QPoint globalPointer);
    // Called from the window's mouse-move and mouse-release.
    void follow(QWidget &window, QPoint globalPointer);
    void end();

    bool followingByHand() const { return manual_; }

private:
    bool manual_ = false;
    QPoint grabOffset_;
};

}  // namespace verz
