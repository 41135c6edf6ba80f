#include "shape/window_drag.h"

#include <QWidget>
#include <QWindow>

namespace verz {

void WindowDrag::StartWindowDrag(QWidget &window, QPoint globalPointer)
{
    manual_ = false;
    QWindow *handle = window.windowHandle();
    if (handle != nullptr && handle->startSystemMove())
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
