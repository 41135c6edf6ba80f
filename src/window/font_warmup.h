#pragma once

#include <future>

namespace verz {

// Loads the desktop's font configuration on a thread of its own. Reading the
// configuration files and font caches takes a good share of the window's
// start-up, and nothing needs it until the first control lays out its text:
// started before the application connects to the display, it is done by then.
// The future waits for the thread when it goes.
[[nodiscard]] std::future<void> StartLoadingFontConfiguration();

}  // namespace verz
