#pragma once

#include "selection/selection_bus.h"

#include <QString>

namespace verz {

struct CommandLine;

// Whether a display (X11 or Wayland) can be reached for --selection, before
// any GUI application is made; when not, says so on standard error (the
// command then ends with status 1).
bool SelectionDisplayReachable();

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
// The same for a text already in hand (pairRow -1: the window's choice).
SelectionHandOver HandTextToWindow(const QString &text, int pairRow);

// Under a QGuiApplication: text translated in the pair of pairRow (-1: the
// stored one) into a desktop notification, or on standard output where none
// is shown; cut says the text was cut to fit. The command's exit status.
int NotifyTranslation(const QString &text, int pairRow, bool cut);

// For a window started with takeOnceFocused: once it is focused, the
// selection to the receiver, or the nothing-selected message on standard error.
void TakeSelectionForNewWindow(const SelectionReceiver &receiver, int pairRow);

}  // namespace verz
