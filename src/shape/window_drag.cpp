#include "shape/window_drag.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace verz {

void WindowDrag::StartWindowDrag(QWidget &window, QPoint globalPointer)
{
    manual_ = false;
    // The system move ends on the release of the left button only (the X11
    // request names button 1), so a move begun with another button would
    // stay stuck to the pointer after that button is up: those follow by hand.
    const bool leftAlone = QGuiApplication::mouseButtons() == Qt::LeftButton;
    QWindow *handle = window.windowHandle();
    if (leftAlone && handle != nullptr && handle->startSystemMove())
        return;
    manual_ = true;
    grabOffset_ = globalPointer - window.frameGeometry().topLeft();
}

void WindowDrag::follow(QWidget &window, QPoint globalPointer)
{
    if (manual_)
        window.move(globalPointer - grabOffset_);
}

void WindowDrag::end()
{
    manual_ = false;
}

}  // namespace verz
