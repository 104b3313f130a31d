#pragma once

#include <cstdint>
#include <string>
#include <vector>

/** The little the host needs from X directly, kept apart from the framework's
    headers (X's macros clash with its names). Message thread only.
*/
namespace ScreenGrab
{
    /** Makes Xlib safe for the framework's threads and installs an error handler that
        lets the program carry on. A console program must do this itself, before any
        other X call: the framework does it only for a full application, and without
        it the first missing window-manager atom under Xvfb ends the process. Does
        nothing when the host is built without X. */
    void prepareXlib();

    /** True when an X display can be opened. */
    bool isDisplayAvailable();

    /** Reads the screen's pixels over a rectangle (clipped to the screen; what lies
        outside stays black) as 0xAARRGGBB, row by row, width × height of them. */
    bool grab (int x, int y, int width, int height, std::vector<std::uint32_t>& pixels, std::string& error);
}
