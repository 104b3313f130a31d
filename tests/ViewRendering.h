#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdlib>
#include <stdlib.h>

/** Helpers for the view tests: offscreen rendering and pixel comparison. */
namespace ViewRendering
{
    /** Paints the component and its children over an opaque background, as the
        editor's window would show it. */
    inline juce::Image render (juce::Component& component, juce::Colour background, float scale = 1.0f)
    {
        juce::Image image (juce::Image::ARGB,
                           juce::roundToInt ((float) component.getWidth() * scale),
                           juce::roundToInt ((float) component.getHeight() * scale),
                           true);
        juce::Graphics g (image);
        g.fillAll (background);
        g.addTransform (juce::AffineTransform::scale (scale));
        component.paintEntireComponent (g, true);
        return image;
    }

    inline bool isClose (juce::Colour a, juce::Colour b, int tolerance = 2)
    {
        return std::abs (a.getRed() - b.getRed()) <= tolerance
            && std::abs (a.getGreen() - b.getGreen()) <= tolerance
            && std::abs (a.getBlue() - b.getBlue()) <= tolerance
            && std::abs (a.getAlpha() - b.getAlpha()) <= tolerance;
    }

    /** Counts the pixels of an area that are close to the given colour. */
    inline int countPixels (const juce::Image& image, juce::Rectangle<int> area, juce::Colour colour, int tolerance = 2)
    {
        int count = 0;
        area = area.getIntersection (image.getBounds());

        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                if (isClose (image.getPixelAt (x, y), colour, tolerance))
                    ++count;

        return count;
    }

    /** The smallest rectangle holding every pixel of an area darker than the threshold
        (text drawn in black over light fills), or an empty one. */
    inline juce::Rectangle<int> findDark (const juce::Image& image, juce::Rectangle<int> area, float threshold = 0.35f)
    {
        juce::Rectangle<int> found;
        bool any = false;
        area = area.getIntersection (image.getBounds());

        for (int y = area.getY(); y < area.getBottom(); ++y)
        {
            for (int x = area.getX(); x < area.getRight(); ++x)
            {
                if (image.getPixelAt (x, y).getPerceivedBrightness() < threshold)
                {
                    const juce::Rectangle<int> pixel (x, y, 1, 1);
                    found = any ? found.getUnion (pixel) : pixel;
                    any = true;
                }
            }
        }

        return found;
    }

    inline bool imagesEqual (const juce::Image& a, const juce::Image& b)
    {
        if (a.getBounds() != b.getBounds())
            return false;

        for (int y = 0; y < a.getHeight(); ++y)
            for (int x = 0; x < a.getWidth(); ++x)
                if (a.getPixelAt (x, y) != b.getPixelAt (x, y))
                    return false;

        return true;
    }

    //==============================================================================
    /** Points HOME at a fresh folder for its lifetime, so that the desktop folder
        resolves inside it and nothing reaches the real one. */
    struct TemporaryHome
    {
        TemporaryHome()
        {
            if (const auto* old = std::getenv ("HOME"))
                previous = old;

            folder.getFile().createDirectory();
            ::setenv ("HOME", folder.getFile().getFullPathName().toRawUTF8(), 1);
        }

        ~TemporaryHome()
        {
            folder.getFile().deleteRecursively();

            if (previous.isNotEmpty())
                ::setenv ("HOME", previous.toRawUTF8(), 1);
            else
                ::unsetenv ("HOME");
        }

        juce::File desktop() const  { return folder.getFile().getChildFile ("Desktop"); }
        juce::File log() const      { return desktop().getChildFile ("aurelin_debug.txt"); }

        juce::String previous;
        juce::TemporaryFile folder;

        JUCE_DECLARE_NON_COPYABLE (TemporaryHome)
    };

    //==============================================================================
    /** Where rendered pictures go: $AURELIN_RENDER_DIR, or <build dir>/renders, the
        build folder being the nearest one above the test binary with a CMake cache. */
    inline juce::File renderFolder()
    {
        const auto fromEnvironment = juce::SystemStats::getEnvironmentVariable ("AURELIN_RENDER_DIR", {});

        if (fromEnvironment.isNotEmpty())
            return juce::File (fromEnvironment);

        const auto executable = juce::File::getSpecialLocation (juce::File::currentExecutableFile);

        for (auto folder = executable.getParentDirectory(); ! folder.isRoot(); folder = folder.getParentDirectory())
            if (folder.getChildFile ("CMakeCache.txt").existsAsFile())
                return folder.getChildFile ("renders");

        return executable.getParentDirectory().getChildFile ("renders");
    }

    /** Writes the component as NAME.png and, at twice the size, NAME@2x.png; returns
        the first file that could not be written, or an empty string. */
    inline juce::String savePictures (juce::Component& component, const juce::String& name, juce::Colour background)
    {
        const auto folder = renderFolder();

        if (! folder.createDirectory().wasOk())
            return folder.getFullPathName();

        for (const auto scale : { 1.0f, 2.0f })
        {
            const auto file = folder.getChildFile (name + (scale > 1.0f ? "@2x" : "") + ".png");
            file.deleteFile();

            juce::FileOutputStream stream (file);
            juce::PNGImageFormat png;

            if (! stream.openedOk() || ! png.writeImageToStream (render (component, background, scale), stream))
                return file.getFullPathName();
        }

        return {};
    }
}
