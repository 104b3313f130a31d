#pragma once

#include <juce_graphics/juce_graphics.h>

/** The embedded Inter faces, for the views that the editor holds and that must not
    depend on the editor's own header. The same fonts as
    CorvaneAudioProcessorEditor::getInterFont, which is defined beside this.

    Threads: message thread only.
*/
namespace InterFont
{
    /** Weight 0 gives Inter Regular, any other weight Inter Bold, at height pixels. */
    juce::Font get (float height, int weight);
}
