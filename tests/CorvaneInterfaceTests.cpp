#include "CorvaneInterface.h"
#include "ViewRendering.h"

#include <gtest/gtest.h>

using ScaleUtils::NoteName;
using ScaleUtils::ScaleClass;

namespace
{
    struct Selection
    {
        int root, cls;
        bool operator== (const Selection& other) const { return root == other.root && cls == other.cls; }
    };

    /** The scale map at its size in the window, showing the given scale. */
    struct ScaleMap
    {
        explicit ScaleMap (int root, int cls)
        {
            view.setBounds (0, 0, 462, 198);
            view.setScaleName ((NoteName) root, (ScaleClass) cls);
            view.onScaleSelected = [this] (NoteName r, ScaleClass c) { selections.push_back ({ (int) r, (int) c }); };
        }

        std::vector<Selection> neighbours() const
        {
            std::vector<Selection> result;

            for (int i = 0; i < view.getNumAdjacentShapes(); ++i)
                result.push_back ({ (int) view.getAdjacentShape (i)->getRoot(), (int) view.getAdjacentShape (i)->getScaleClass() });

            return result;
        }

        std::vector<juce::Rectangle<int>> neighbourBounds() const
        {
            std::vector<juce::Rectangle<int>> result;

            for (int i = 0; i < view.getNumAdjacentShapes(); ++i)
                result.push_back (view.getAdjacentShape (i)->getBounds());

            return result;
        }

        /** Delivers a mouse release as the view receives it from a child it listens to. */
        void releaseOn (juce::Component& target)
        {
            const juce::MouseEvent e (juce::Desktop::getInstance().getMainMouseSource(), {}, {}, 0.0f, 0.0f, 0.0f,
                                      0.0f, 0.0f, &target, &target, juce::Time::getCurrentTime(), {},
                                      juce::Time::getCurrentTime(), 1, false);
            view.mouseUp (e);
        }

        CorvaneInterface view;
        std::vector<Selection> selections;
    };

    std::vector<juce::Rectangle<int>> squares (std::initializer_list<juce::Point<int>> origins, int size)
    {
        std::vector<juce::Rectangle<int>> result;

        for (const auto& p : origins)
            result.push_back ({ p.x, p.y, size, size });

        return result;
    }
}

//==============================================================================
TEST (CorvaneInterface, FiguresLieOnACircleAroundTheCentre)
{
    const ScaleMap diatonic (0, ScaleUtils::Diatonic);
    EXPECT_EQ (diatonic.view.getCentreShape().getBounds(), juce::Rectangle<int> (196, 64, 69, 69));
    EXPECT_EQ (diatonic.neighbourBounds(),
               squares ({ { 209, 149 }, { 147, 113 }, { 147, 41 }, { 209, 5 }, { 272, 41 }, { 272, 113 } }, 44));

    const ScaleMap octatonic (0, ScaleUtils::Octatonic);
    EXPECT_EQ (octatonic.view.getCentreShape().getBounds(), juce::Rectangle<int> (196, 64, 69, 69));
    EXPECT_EQ (octatonic.neighbourBounds(),
               squares ({ { 209, 149 }, { 173, 140 }, { 147, 113 }, { 137, 77 }, { 147, 41 }, { 173, 15 },
                          { 209, 5 }, { 245, 15 }, { 272, 41 }, { 281, 77 }, { 272, 113 }, { 245, 140 } }, 44));

    // From 500 pixels on, the ring's radius is 0.38 of the size rather than the
    // figures' margin: 228 here, so the first figure's top is 300 + 228 − 66.
    ScaleMap large (0, ScaleUtils::Diatonic);
    large.view.setBounds (0, 0, 600, 600);
    EXPECT_EQ (large.view.getAdjacentShape (0)->getBounds(), juce::Rectangle<int> (234, 462, 132, 132));
    EXPECT_EQ (large.view.getAdjacentShape (3)->getBounds(), juce::Rectangle<int> (234, 6, 132, 132));
}

TEST (CorvaneInterface, NeighboursFollowTheCatalogueOrderWithTheirColours)
{
    const ScaleMap map (0, ScaleUtils::Diatonic);

    EXPECT_EQ (map.view.getCentreShape().getColour(), juce::Colour (0xffff496d));
    EXPECT_TRUE (map.view.getCentreShape().isCentre);

    // G diatonic, A harmonic minor, F acoustic, F diatonic, C harmonic major, G acoustic
    const std::vector<Selection> expected { { 7, 1 }, { 9, 3 }, { 5, 0 }, { 5, 1 }, { 0, 2 }, { 7, 0 } };
    EXPECT_EQ (map.neighbours(), expected);

    for (int i = 0; i < map.view.getNumAdjacentShapes(); ++i)
    {
        const auto* shape = map.view.getAdjacentShape (i);
        EXPECT_FALSE (shape->isCentre);
        EXPECT_EQ (shape->getColour(), juce::Colour (ScaleUtils::ROOT_COLOURS[(size_t) expected[(size_t) i].root]));
    }
}

TEST (CorvaneInterface, LimitedTranspositionCentreKeepsItsRootAndTakesItsGrey)
{
    const ScaleMap map (5, ScaleUtils::Octatonic);
    const auto& centre = map.view.getCentreShape();

    EXPECT_EQ ((int) centre.getRoot(), 5);
    EXPECT_EQ (centre.getColour(), juce::Colour (0xff858585));
    EXPECT_EQ (map.view.getNumAdjacentShapes(), 12);

    // octatonic_3's neighbours: d acoustic first, a harmonic minor last
    EXPECT_EQ (map.neighbours().front(), (Selection { 2, 0 }));
    EXPECT_EQ (map.neighbours().back(), (Selection { 9, 3 }));
}

TEST (CorvaneInterface, ColourRuleByClass)
{
    struct Case { int root; ScaleClass cls; juce::uint32 argb; };

    const Case cases[]
    {
        { 7, ScaleUtils::Acoustic, 0xffff73cb },     { 11, ScaleUtils::HarmonicMinor, 0xff03a6d0 },
        { 0, ScaleUtils::Octatonic, 0xffc8c8c8 },    { 4, ScaleUtils::Octatonic, 0xffa7a7a7 },
        { 3, ScaleUtils::Hexatonic, 0xffc8c8c8 },    { 6, ScaleUtils::Hexatonic, 0xff646464 },
        { 0, ScaleUtils::WholeTone, 0xffc8c8c8 },    { 9, ScaleUtils::WholeTone, 0xff969696 },
    };

    for (const auto& c : cases)
        EXPECT_EQ (CorvaneInterface::getShapeColour (c.root, c.cls), juce::Colour (c.argb)) << c.root << " " << (int) c.cls;
}

//==============================================================================
TEST (CorvaneInterface, ClickOnANeighbourRebuildsAndReportsOnce)
{
    ScaleMap map (0, ScaleUtils::HarmonicMajor);
    auto* hexatonic = map.view.getAdjacentShape (5);
    ASSERT_EQ (hexatonic->getScaleClass(), ScaleUtils::Hexatonic);

    map.releaseOn (*hexatonic);

    EXPECT_EQ (map.selections, (std::vector<Selection> { { 3, 5 } }));

    const auto& centre = map.view.getCentreShape();
    EXPECT_EQ (centre.getScaleClass(), ScaleUtils::Hexatonic);
    EXPECT_EQ ((int) centre.getRoot(), 3);
    EXPECT_EQ (centre.getColour(), juce::Colour (0xffc8c8c8));
    EXPECT_EQ (map.view.getCurrentScaleClass(), ScaleUtils::Hexatonic);

    // hexatonic_4: c, e, g♯ harmonic minor, then c, e, g♯ harmonic major
    const std::vector<Selection> expected { { 0, 3 }, { 4, 3 }, { 8, 3 }, { 0, 2 }, { 4, 2 }, { 8, 2 } };
    EXPECT_EQ (map.neighbours(), expected);

    // the old figures are gone from the view, not just from the list
    EXPECT_EQ (map.view.getNumChildComponents(), 7);
}

TEST (CorvaneInterface, PressOnBackgroundOrCentreDoesNothing)
{
    ScaleMap map (0, ScaleUtils::Diatonic);
    const auto* firstBefore = map.view.getAdjacentShape (0);

    map.releaseOn (map.view);
    map.releaseOn (const_cast<ScaleShape&> (map.view.getCentreShape()));

    EXPECT_TRUE (map.selections.empty());
    EXPECT_EQ (map.view.getAdjacentShape (0), firstBefore);
    EXPECT_EQ (map.view.getCurrentScaleClass(), ScaleUtils::Diatonic);
}

TEST (CorvaneInterface, PairTheCatalogueLacksChangesNoFigure)
{
    ScaleMap map (0, ScaleUtils::Diatonic);
    const auto* firstBefore = map.view.getAdjacentShape (0);

    struct Case { int root, cls; };
    for (const auto& c : { Case { 0, 7 }, Case { 0, -1 }, Case { 12, 1 }, Case { -1, 0 } })
    {
        map.view.setScaleName ((NoteName) c.root, (ScaleClass) c.cls);

        EXPECT_EQ ((int) map.view.getCurrentRoot(), c.root);
        EXPECT_EQ ((int) map.view.getCurrentScaleClass(), c.cls);
        EXPECT_EQ (map.view.getAdjacentShape (0), firstBefore);
        EXPECT_EQ (map.view.getCentreShape().getScaleClass(), ScaleUtils::Diatonic);
        EXPECT_EQ (map.view.getCentreShape().getColour(), juce::Colour (0xffff496d));
    }
}

//==============================================================================
TEST (CorvaneInterface, PaintsFiguresOverTheWindowBackground)
{
    const juce::Colour windowBackground (0xff0a0a0f);
    ScaleMap map (0, ScaleUtils::Diatonic);
    const auto image = ViewRendering::render (map.view, windowBackground);

    // left of the centre hexagon's label, inside its flat side at x 200.6
    EXPECT_EQ (image.getPixelAt (206, 98), juce::Colour (0xffff496d));
    // the first neighbour, G diatonic, straight below
    EXPECT_EQ (image.getPixelAt (215, 171), juce::Colour (0xffff73cb));
    // the view itself paints nothing between the figures
    EXPECT_EQ (image.getPixelAt (100, 100), windowBackground);
    EXPECT_EQ (image.getPixelAt (200, 140), windowBackground);
}
