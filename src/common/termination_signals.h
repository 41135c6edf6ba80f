#pragma once

#include <functional>

namespace verz {

// Turns SIGTERM, SIGINT and SIGHUP (a logout, a terminal closed, kill) into a
// call of onSignal on the thread that runs the Qt event loop, so that a
// process can close as it would on its own. Call once, after the
// application object exists; the handler receives the signal number. A second
// signal while the first is handled is passed on as well.
void HandleTerminationSignals(std::function<void(int signal)> onSignal);

}  // namespace verz
