#ifndef AURELIN_PLUGINEDITOR_H_INCLUDED
#define AURELIN_PLUGINEDITOR_H_INCLUDED

#include "PluginProcessor.h"
#include "CorvaneInterface.h"
#include "MappingVisualizer.h"

//==============================================================================
/** The look-and-feel of the editor's choice lists: their text, the label inside
    each list and their pop-up menus are set in the embedded Inter Regular at
    height 14. Everything else, colours included, is LookAndFeel_V4's.

    Each instance makes its own typeface from the embedded data and releases it
    with itself.

    Threads: message thread only.
*/
class InterLookAndFeel final : public juce::LookAndFeel_V4
{
public:
    InterLookAndFeel();
    ~InterLookAndFeel() override;

    juce::Font getPopupMenuFont() override;
    juce::Font getComboBoxFont (juce::ComboBox&) override;
    juce::Font getLabelFont (juce::Label&) override;

private:
    juce::Font makeFont() const;

    juce::Typeface::Ptr typeface;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (InterLookAndFeel)
};

//==============================================================================
/** The plug-in's window.

    Threads: message thread only. getInterFont() may be called before any editor
    exists (the views use it); its typefaces are made once per process.
*/
class CorvaneAudioProcessorEditor final : public juce::AudioProcessorEditor,
                                          private juce::Timer
{
public:
    explicit CorvaneAudioProcessorEditor (CorvaneAudioProcessor&);
    ~CorvaneAudioProcessorEditor() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    /** The one source of Inter for the editor and its views: weight 0 gives the
        embedded Regular face, any other weight the Bold one, at the given height
        in pixels with the slightly tightened spacing the window uses. */
    static juce::Font getInterFont (float height, int weight);

private:
    void timerCallback() override;

    CorvaneAudioProcessor& audioProcessor;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CorvaneAudioProcessorEditor)
};

// The keyboard view draws with getInterFont while the editor holds the view by
// value, so each header needs the other: this marks the editor as complete, and
// the include below brings the view's drawing code in at this point whichever of
// the two headers a file includes first.
#define AURELIN_PLUGINEDITOR_DECLARED 1
#include "MappingVisualizer.h"

#endif // AURELIN_PLUGINEDITOR_H_INCLUDED
