#pragma once

#include "selection/selection_bus.h"

#include <memory>

namespace verz {

class GlobalShortcut;
class PortalShortcut;

// Where a running window hears of selections: the session bus and its
// global key, grabbed on X11, asked of the desktop's portal elsewhere (a line
// on standard error when it cannot be had). bringer brings the window to the
// front, for activation and for taking a selection only the focus may read.
class SelectionSources {
public:
    SelectionSources(const SelectionReceiver &receiver, const FrontBringer &bringer);
    ~SelectionSources();
    SelectionSources(const SelectionSources &) = delete;
    SelectionSources &operator=(const SelectionSources &) = delete;

private:
    SelectionEndpoint endpoint_;
    std::unique_ptr<GlobalShortcut> shortcut_;
    std::unique_ptr<PortalShortcut> portal_;
};

}  // namespace verz
