#pragma once

#include "window/verz.h"

#include <functional>
#include <utility>

namespace verz {

// The handlers the window tests raise directly, as the window's own events
// (a key, a click the test cannot aim) would, and the end of the program,
// which the tests replace so that "Quitter" leaves them running.
struct VerzTestSeam {
    static void Command6_Click(Verz &window) { window.Command6_Click(); }
    static void Command8_Click(Verz &window) { window.Command8_Click(); }
    static void Image1_Click(Verz &window) { window.Image1_Click(); }
    static void Text1_Click(Verz &window) { window.Text1_Click(); }
    static void Label2_Click(Verz &window) { window.Label2_Click(); }
    static void Label6_Click(Verz &window) { window.Label6_Click(); }
    static void setProgramEnder(Verz &window, std::function<void(int status)> ender)
    {
        window.programEnder_ = std::move(ender);
    }
};

}  // namespace verz
