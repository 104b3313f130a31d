#include "ScreenGrab.h"

#if AURELIN_HOST_HAS_X11
 #include <X11/Xlib.h>
 #include <X11/Xutil.h>

 #include <algorithm>
 #include <memory>
#endif

namespace ScreenGrab
{
#if AURELIN_HOST_HAS_X11
    namespace
    {
        int ignoreXError (Display*, XErrorEvent*)
        {
            return 0;
        }

        struct DisplayCloser
        {
            void operator() (Display* display) const { XCloseDisplay (display); }
        };

        struct ImageDestroyer
        {
            void operator() (XImage* image) const { XDestroyImage (image); }
        };

        /** Scales one colour channel of a pixel, as its mask picks it out, to 0..255. */
        std::uint32_t channelValue (unsigned long pixel, unsigned long mask)
        {
            if (mask == 0)
                return 0;

            auto shift = 0;

            while (((mask >> shift) & 1) == 0)
                ++shift;

            const auto maximum = mask >> shift;
            const auto value = (pixel & mask) >> shift;
            return (std::uint32_t) ((value * 255 + maximum / 2) / maximum);
        }
    }

    void prepareXlib()
    {
        XInitThreads();
        XSetErrorHandler (ignoreXError);
    }

    bool isDisplayAvailable()
    {
        std::unique_ptr<Display, DisplayCloser> display (XOpenDisplay (nullptr));
        return display != nullptr;
    }

    bool grab (int x, int y, int width, int height, std::vector<std::uint32_t>& pixels, std::string& error)
    {
        constexpr std::uint32_t opaque = 0xff000000u;

        pixels.assign ((size_t) std::max (0, width) * (size_t) std::max (0, height), opaque);
        std::unique_ptr<Display, DisplayCloser> display (XOpenDisplay (nullptr));

        if (display == nullptr)
        {
            error = "cannot open the X display";
            return false;
        }

        const auto root = DefaultRootWindow (display.get());
        XWindowAttributes rootAttributes {};

        if (XGetWindowAttributes (display.get(), root, &rootAttributes) == 0)
        {
            error = "cannot read the size of the screen";
            return false;
        }

        const auto left = std::max (0, x), top = std::max (0, y);
        const auto right = std::min (rootAttributes.width, x + width);
        const auto bottom = std::min (rootAttributes.height, y + height);

        if (right <= left || bottom <= top)
        {
            error = "the window lies outside the screen";
            return false;
        }

        std::unique_ptr<XImage, ImageDestroyer> image (XGetImage (display.get(), root, left, top,
                                                                  (unsigned int) (right - left), (unsigned int) (bottom - top),
                                                                  AllPlanes, ZPixmap));
        if (image == nullptr)
        {
            error = "cannot read the screen's pixels";
            return false;
        }

        for (int row = top; row < bottom; ++row)
        {
            for (int column = left; column < right; ++column)
            {
                const auto pixel = XGetPixel (image.get(), column - left, row - top);
                pixels[(size_t) (row - y) * (size_t) width + (size_t) (column - x)]
                    = opaque | (channelValue (pixel, image->red_mask) << 16)
                             | (channelValue (pixel, image->green_mask) << 8)
                             | channelValue (pixel, image->blue_mask);
            }
        }

        return true;
    }
#else
    void prepareXlib() {}

    bool isDisplayAvailable()
    {
        return false;
    }

    bool grab (int, int, int, int, std::vector<std::uint32_t>&, std::string& error)
    {
        error = "this aurelin-host was built without X11";
        return false;
    }
#endif
}
