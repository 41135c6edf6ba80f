#pragma once

#include "selection/selection_bus.h"

#include <memory>

class QProcess;

namespace verz {

class GlobalShortcut;
class PortalShortcut;

// Where a running window hears of selections: the session bus and its two
// global keys, grabbed on X11, asked of the desktop's portal elsewhere (a
// line on standard error when one cannot be had): the selection's, and the
// screen's, which runs Verzolan --ocr-screen (one at a time) and takes the
// text it prints, as a selection. bringer brings the window to the front, for activation
// and for taking a selection only the focus may read.
// Set for the --ocr-screen this window runs: the command prints the pair's
// row on a line and then the text read, for its caller alone, instead of
// looking for a window on the bus (without a bus it would open a second one).
inline constexpr char kAreaForCallerVariable[] = "VERZOLAN_AREA_FOR_CALLER";

class SelectionSources {
public:
    SelectionSources(const SelectionReceiver &receiver, const FrontBringer &bringer);
    ~SelectionSources();
    SelectionSources(const SelectionSources &) = delete;
    SelectionSources &operator=(const SelectionSources &) = delete;

private:
    SelectionEndpoint endpoint_;
    void readScreenArea();
    void takeScreenText();

    SelectionReceiver receiver_;

    std::unique_ptr<GlobalShortcut> shortcut_;
    std::unique_ptr<GlobalShortcut> ocrShortcut_;
    std::unique_ptr<PortalShortcut> portal_;
    std::unique_ptr<QProcess> screenReader_;
};

}  // namespace verz
