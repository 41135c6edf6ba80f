#include "window/font_warmup.h"

#include <fontconfig/fontconfig.h>

namespace verz {

std::future<void> StartLoadingFontConfiguration()
{
    // The configuration becomes fontconfig's current one, which Qt's font
    // database then finds loaded. Fontconfig installs it atomically, so Qt
    // asking first only costs the thread's work, never a wrong font.
    return std::async(std::launch::async, [] { FcInit(); });
}

}  // namespace verz
