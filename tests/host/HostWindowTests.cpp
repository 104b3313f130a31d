#include "HostTestSupport.h"

#include <gtest/gtest.h>

using namespace HostTest;

TEST (HostWindow, ScreenshotShowsTheEditorAsItsOwnWindowPaintsIt)
{
    if (! VirtualDisplay::isAvailable())
        GTEST_SKIP() << "no Xvfb on this machine";

    const VirtualDisplay display;
    ASSERT_TRUE (display.getName().isNotEmpty()) << "Xvfb would not start";

    const TempFolder temp;
    const auto picture = temp.file ("editor.png");
    const auto run = runHost ({ "window", getBundle().getFullPathName(), "--screenshot", picture.getFullPathName(),
                                "--wait-ms", "1500" },
                              display.getName());
    ASSERT_EQ (run.exitCode, 0) << run.err;

    const auto image = juce::ImageFileFormat::loadFrom (picture);
    ASSERT_TRUE (image.isValid());
    EXPECT_EQ (image.getWidth(), 462);
    EXPECT_EQ (image.getHeight(), 500);

    // A grab of the host's own component instead of the screen comes out black,
    // because the editor draws into a window of its own.
    auto painted = false;

    for (int y = 0; y < image.getHeight() && ! painted; y += 4)
        for (int x = 0; x < image.getWidth() && ! painted; x += 4)
            painted = (image.getPixelAt (x, y).getARGB() & 0x00ffffffu) != 0;

    EXPECT_TRUE (painted) << "the screenshot is all black";
}
