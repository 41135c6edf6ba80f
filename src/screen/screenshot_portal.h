#pragma once

#include "screen/area_overlay.h"

namespace verz {

// Where no program may read the screen (Wayland): the desktop's Screenshot
// portal, interactive, lets the user choose the area; its picture, read from
// the file the portal names (a local file, at most the pictures' byte limit),
// made ready for reading. Cancelled when the user declines; Failed, with the
// reason, when there is no portal, it fails, or no answer comes in timeoutMs.
PickedArea PickAreaThroughPortal(int timeoutMs);

}  // namespace verz
