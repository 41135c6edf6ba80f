#pragma once

#include "selection/selection_command.h"

namespace verz {

struct CommandLine;

// Verzolan --ocr-screen [--pair CODE|auto] [--notify], under a QApplication:
// the user picks an area of the screen (the overlay on X11, the desktop's
// Screenshot portal elsewhere) and its text is read there; with --notify it
// is translated into a notification, otherwise handed to the running window
// as a selection is. What is left to do, as for --selection: a window to
// start with the text when none runs, or the exit status (0 shown, 1
// cancelled, no screen or the window refused, 2 a picture the reader
// refused, 3 no text). A language no pair starts from keeps the window's pair.
SelectionHandOver ScreenTextCommand(const CommandLine &line);

}  // namespace verz
