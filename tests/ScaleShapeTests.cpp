#include "ScaleShape.h"
#include "ViewRendering.h"

#include <gtest/gtest.h>

using ScaleUtils::ScaleClass;

namespace
{
    const juce::Colour figureColour (0xffff0000);
    const juce::Colour background (0xff000000);

    juce::Image renderShape (int root, int cls, int size, bool isCentre, juce::Colour fill = figureColour,
                             juce::Colour behind = background)
    {
        ScaleShape shape;
        shape.setBounds (0, 0, size, size);
        shape.setScale ((ScaleUtils::NoteName) root, (ScaleClass) cls, fill);
        shape.isCentre = isCentre;
        return ViewRendering::render (shape, behind);
    }
}

//==============================================================================
TEST (ScaleShape, BarsFillWholePixelRectangles)
{
    struct Case { ScaleClass cls; int size; juce::Rectangle<int> expected; };

    const Case cases[]
    {
        { ScaleUtils::Acoustic,  44, { 0, 7, 44, 30 } },
        { ScaleUtils::WholeTone, 44, { 7, 0, 30, 44 } },
        { ScaleUtils::Acoustic,  69, { 0, 10, 69, 48 } },
        // 90 × 0.7 is 63 in single precision but 62.99… in double.
        { ScaleUtils::Acoustic,  90, { 0, 13, 90, 63 } },
        { ScaleUtils::WholeTone, 90, { 13, 0, 63, 90 } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String ((int) c.cls) + " at " + juce::String (c.size));
        EXPECT_EQ (ScaleShape::getBarBounds (c.cls, c.size, c.size), c.expected);
        EXPECT_TRUE (ScaleShape::createPolygon (c.cls, c.size, c.size).isEmpty());

        // The painted bar covers exactly those pixels: sample just inside and just
        // outside each edge, along a line clear of the texts.
        const auto image = renderShape (0, c.cls, c.size, false);
        const auto& r = c.expected;
        const auto alongX = c.cls == ScaleUtils::Acoustic ? 1 : r.getX() + 1;
        const auto alongY = c.cls == ScaleUtils::Acoustic ? r.getY() + 1 : c.size - 2;

        EXPECT_EQ (image.getPixelAt (alongX, r.getY()), figureColour);
        EXPECT_EQ (image.getPixelAt (alongX, r.getBottom() - 1), figureColour);
        EXPECT_EQ (image.getPixelAt (r.getX(), alongY), figureColour);
        EXPECT_EQ (image.getPixelAt (r.getRight() - 1, alongY), figureColour);

        if (r.getY() > 0)
        {
            EXPECT_EQ (image.getPixelAt (alongX, r.getY() - 1), background);
            EXPECT_EQ (image.getPixelAt (alongX, r.getBottom()), background);
        }

        if (r.getX() > 0)
        {
            EXPECT_EQ (image.getPixelAt (r.getX() - 1, alongY), background);
            EXPECT_EQ (image.getPixelAt (r.getRight(), alongY), background);
        }
    }
}

TEST (ScaleShape, EachClassHasItsFigure)
{
    // Points of a 100 × 100 shape, clear of the texts and a few pixels from any edge.
    struct Case { ScaleClass cls; juce::Point<int> point; bool filled; };

    const Case cases[]
    {
        // hexagon, vertex at the top, flat sides left and right
        { ScaleUtils::Diatonic, { 50, 3 }, true },   { ScaleUtils::Diatonic, { 50, 97 }, true },
        { ScaleUtils::Diatonic, { 10, 50 }, true },  { ScaleUtils::Diatonic, { 3, 50 }, false },
        { ScaleUtils::Diatonic, { 5, 5 }, false },
        // parallelogram rising to the right: (0, 100), (0, 30), (100, 0), (100, 70)
        { ScaleUtils::HarmonicMajor, { 3, 95 }, true },   { ScaleUtils::HarmonicMajor, { 3, 10 }, false },
        { ScaleUtils::HarmonicMajor, { 97, 5 }, true },   { ScaleUtils::HarmonicMajor, { 97, 90 }, false },
        // its mirror image
        { ScaleUtils::HarmonicMinor, { 97, 95 }, true },  { ScaleUtils::HarmonicMinor, { 97, 10 }, false },
        { ScaleUtils::HarmonicMinor, { 3, 5 }, true },    { ScaleUtils::HarmonicMinor, { 3, 90 }, false },
        // twelve sides: vertices at the top, bottom, left and right, nearly round
        { ScaleUtils::Octatonic, { 2, 50 }, true },  { ScaleUtils::Octatonic, { 50, 97 }, true },
        { ScaleUtils::Octatonic, { 20, 20 }, true }, { ScaleUtils::Octatonic, { 8, 8 }, false },
        // triangle pointing left, vertical side at x = 75
        { ScaleUtils::Hexatonic, { 5, 50 }, true },  { ScaleUtils::Hexatonic, { 70, 50 }, true },
        { ScaleUtils::Hexatonic, { 80, 50 }, false }, { ScaleUtils::Hexatonic, { 70, 15 }, true },
        { ScaleUtils::Hexatonic, { 30, 15 }, false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String ((int) c.cls) + " at " + c.point.toString());
        const auto image = renderShape (0, c.cls, 100, true);
        EXPECT_EQ (image.getPixelAt (c.point.x, c.point.y) == figureColour, c.filled);
    }
}

TEST (ScaleShape, UnknownClassDrawsOnlyItsTexts)
{
    const auto image = renderShape (0, 7, 69, true, figureColour, juce::Colours::white);

    EXPECT_EQ (ViewRendering::countPixels (image, image.getBounds(), figureColour, 40), 0);
    EXPECT_FALSE (ViewRendering::findDark (image, image.getBounds()).isEmpty());
}

//==============================================================================
TEST (ScaleShape, LimitedTranspositionLabelFollowsTheTransposition)
{
    const auto shape = [] (int root, int cls) { return renderShape (root, cls, 69, true, juce::Colours::white); };

    EXPECT_TRUE (ViewRendering::imagesEqual (shape (4, ScaleUtils::Octatonic), shape (1, ScaleUtils::Octatonic)));
    EXPECT_FALSE (ViewRendering::imagesEqual (shape (4, ScaleUtils::Octatonic), shape (0, ScaleUtils::Octatonic)));
    EXPECT_TRUE (ViewRendering::imagesEqual (shape (6, ScaleUtils::Hexatonic), shape (2, ScaleUtils::Hexatonic)));
    EXPECT_TRUE (ViewRendering::imagesEqual (shape (11, ScaleUtils::WholeTone), shape (1, ScaleUtils::WholeTone)));

    // Rooted classes show the root itself.
    EXPECT_FALSE (ViewRendering::imagesEqual (shape (4, ScaleUtils::Diatonic), shape (1, ScaleUtils::Diatonic)));
}

TEST (ScaleShape, NeighbourHarmonicSplitsAndLeansTheSecondWord)
{
    // White figure on white: only the black texts are dark. The second word sits at
    // the top of the box (4, 29, 36, 10) of a 44-pixel neighbour.
    const juce::Rectangle<int> secondWordBox (0, 30, 44, 9);

    const auto minor = ViewRendering::findDark (renderShape (0, ScaleUtils::HarmonicMinor, 44, false,
                                                             juce::Colours::white, juce::Colours::white),
                                                secondWordBox);
    const auto major = ViewRendering::findDark (renderShape (0, ScaleUtils::HarmonicMajor, 44, false,
                                                             juce::Colours::white, juce::Colours::white),
                                                secondWordBox);

    ASSERT_FALSE (minor.isEmpty());
    ASSERT_FALSE (major.isEmpty());
    // Both words are about 24 pixels wide: "minor" ends near the box's right edge
    // (x 40), "major" starts near its left edge (x 4).
    EXPECT_GE (minor.getRight(), 35);
    EXPECT_LE (major.getX(), 8);
    EXPECT_GE (minor.getX(), major.getX() + 8);
    EXPECT_GE (minor.getRight(), major.getRight() + 8);
}

TEST (ScaleShape, WholeToneNeighbourAlwaysTakesTwoLines)
{
    // At 69 pixels "whole tone" fits on one line below the label (baseline 43); a
    // neighbour of the same size still breaks it into "whole" and "tone".
    const juce::Rectangle<int> belowLabel (0, 36, 69, 33);

    const auto centre = ViewRendering::findDark (renderShape (0, ScaleUtils::WholeTone, 69, true,
                                                              juce::Colours::white, juce::Colours::white),
                                                 belowLabel);
    const auto neighbour = ViewRendering::findDark (renderShape (0, ScaleUtils::WholeTone, 69, false,
                                                                 juce::Colours::white, juce::Colours::white),
                                                    belowLabel);

    ASSERT_FALSE (centre.isEmpty());
    ASSERT_FALSE (neighbour.isEmpty());
    EXPECT_LE (centre.getBottom(), 45);
    EXPECT_GE (neighbour.getBottom(), 50);
}
