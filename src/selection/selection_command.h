#pragma once

#include "selection/selection_bus.h"

#include <QString>

#include <memory>

namespace verz {

struct CommandLine;
class GlobalShortcut;
class PortalShortcut;

// Verzolan --selection --notify: no window; the translation of the selected
// text in a desktop notification, or on standard output where no
// notification service answers. Runs under its own QGuiApplication.
int NotifySelectionMain(int argc, char **argv, const CommandLine &line);

// Verzolan --selection without --notify, once a GUI application exists: takes
// the selection and hands it to a running window. What is left to do:
struct SelectionHandOver {
    bool windowNeeded = false;  // no window answered: start one with text
    int exitStatus = 0;         // otherwise, the command's status
    QString text;
    int pairRow = -1;
    // No text could be read without the focus (Wayland): the new window
    // takes the selection itself once focused.
    bool takeOnceFocused = false;
};
SelectionHandOver HandSelectionToWindow(const CommandLine &line);

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

// For a window started with takeOnceFocused: once it is focused, the
// selection to the receiver, or the nothing-selected message on standard error.
void TakeSelectionForNewWindow(const SelectionReceiver &receiver, int pairRow);

}  // namespace verz
