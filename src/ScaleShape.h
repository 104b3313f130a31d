#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "ScaleUtils.h"

//==============================================================================
/** One catalogue scale drawn as a filled figure: the form tells the class, the
    fill tells the root, and two texts name the root (or the transposition) and
    the class.

    The shape draws everything from its bounds and its four values each time it
    paints, and takes no mouse input of its own: its owner listens to its clicks.

    Threads: message thread only.
*/
class ScaleShape final : public juce::Component
{
public:
    ScaleShape();
    ~ScaleShape() override;

    //==============================================================================
    void paint (juce::Graphics&) override;
    void resized() override;

    //==============================================================================
    /** Stores the scale to draw and repaints. For the octatonic, hexatonic and
        whole-tone classes the root only selects the transposition. */
    void setScale (ScaleUtils::NoteName newRoot, ScaleUtils::ScaleClass newScaleClass, juce::Colour newColour);

    ScaleUtils::NoteName getRoot() const noexcept               { return root; }
    ScaleUtils::ScaleClass getScaleClass() const noexcept       { return scaleClass; }
    juce::Colour getColour() const noexcept                     { return colour; }

    /** The whole-pixel rectangle filled for the two bar classes (acoustic and whole
        tone) in a box of the given size; empty for every other class. */
    static juce::Rectangle<int> getBarBounds (ScaleUtils::ScaleClass, int width, int height);

    /** The outline filled for the polygon classes, in the box's own coordinates;
        empty for the bars and for a class outside the seven. */
    static juce::Path createPolygon (ScaleUtils::ScaleClass, int width, int height);

    /** True for the large shape of the current scale, which writes its class name
        in full; neighbours abbreviate the long names. Assigning it does not repaint. */
    bool isCentre = true;

private:
    //==============================================================================
    void paintClassName (juce::Graphics&, int halfHeight) const;

    ScaleUtils::NoteName root = ScaleUtils::C;
    ScaleUtils::ScaleClass scaleClass = ScaleUtils::Acoustic;
    juce::Colour colour;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ScaleShape)
};
