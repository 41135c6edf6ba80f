#pragma once

#include <QString>

namespace verz {

// The one folder the service writes files in: uploads, and our own APy's
// temporary files. Made on first use, mode 0700, under the system's temporary
// folder; each file in it belongs to one request and goes with it (uploads
// are unnamed files there where the system allows, gone even after a crash).
// PrivateScratchFolder() is empty when the folder cannot be made.
QString PrivateScratchFolder();
// Removes the folder and all in it (at the service's end, SIGTERM included).
void RemovePrivateScratch();

}  // namespace verz
