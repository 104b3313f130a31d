#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "ScaleShape.h"
#include "ScaleUtils.h"

#include <functional>

//==============================================================================
/** The scale map: the current scale as a large figure in the middle, its
    neighbours from the catalogue as small figures on a circle around it. A click
    on a neighbour makes it the current scale and reports it through
    onScaleSelected.

    The view keeps its own parsed copy of the catalogue. It has no background: the
    editor's shows between the figures.

    Threads: message thread only (construction, setScaleName, layout, painting,
    mouse handling and the callback).
*/
class CorvaneInterface final : public juce::Component
{
public:
    CorvaneInterface();
    ~CorvaneInterface() override;

    //==============================================================================
    void mouseUp (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;
    void resized() override;

    //==============================================================================
    /** Rebuilds the view around the catalogue scale of this root and class. A pair
        the catalogue lacks only updates the remembered root and class; the figures
        stay as they are. */
    void setScaleName (ScaleUtils::NoteName root, ScaleUtils::ScaleClass scaleClass);

    /** Called after a click on a neighbour has made it current, with the root and
        class the neighbour was drawn with (the transposition index for the
        octatonic, hexatonic and whole-tone classes). */
    std::function<void (ScaleUtils::NoteName, ScaleUtils::ScaleClass)> onScaleSelected;

    //==============================================================================
    ScaleUtils::NoteName getCurrentRoot() const noexcept                { return currentRoot; }
    ScaleUtils::ScaleClass getCurrentScaleClass() const noexcept        { return currentScaleClass; }

    const ScaleShape& getCentreShape() const noexcept                   { return centreShape; }
    int getNumAdjacentShapes() const noexcept                           { return adjacentShapes.size(); }
    ScaleShape* getAdjacentShape (int index) const noexcept             { return adjacentShapes[index]; }

    /** The fill of a figure: the root's colour for the rooted classes, the grey of
        the transposition for the others. */
    static juce::Colour getShapeColour (int root, ScaleUtils::ScaleClass);

private:
    //==============================================================================
    ScaleUtils::NoteName currentRoot = ScaleUtils::C;
    ScaleUtils::ScaleClass currentScaleClass = ScaleUtils::Acoustic;
    juce::var scalesJson;
    ScaleShape centreShape;
    juce::OwnedArray<ScaleShape> adjacentShapes;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CorvaneInterface)
};
