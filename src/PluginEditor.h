#pragma once

#include "PluginProcessor.h"
#include "CorvaneInterface.h"
#include "MappingVisualizer.h"
#include "SharedScaleState.h"

#include <functional>
#include <memory>

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
/** The plug-in's window: a header with the names and the Interrupt toggle, the
    scale map, the keyboard that shows where every key goes, a row of captioned
    lists bound to the parameters (with the chord display while the source is the
    published chord), and the credits.

    The window follows what changes without it (host automation, the scale
    publisher's record, the held notes) by polling every 33 ms. It installs three
    hooks on the processor and empties them again before it goes, so the processor
    never calls into a deleted window.

    Threads: message thread only, including the processor's hooks that it installs
    (they run on the thread that begins a gesture, which for this window's
    attachments is the message thread). getInterFont() may be called before any
    editor exists (the views use it); its typefaces are made once per process.
*/
class CorvaneAudioProcessorEditor final : public juce::AudioProcessorEditor,
                                          private juce::Timer
{
public:
    explicit CorvaneAudioProcessorEditor (CorvaneAudioProcessor&);
    ~CorvaneAudioProcessorEditor() override;

    //==============================================================================
    void paint (juce::Graphics&) override;
    void resized() override;

    /** The one source of Inter for the editor and its views: weight 0 gives the
        embedded Regular face, any other weight the Bold one, at the given height
        in pixels with the slightly tightened spacing the window uses. */
    static juce::Font getInterFont (float height, int weight);

    /** Names the published chord as the current scale spells it (an em dash when
        there is none) and hands the lists' scale to the scale map. */
    void updateDisplayLabels();

    /** Works out what the keyboard shows for the current settings: where each pitch
        class goes, which keys light up, in which colour and with which spelling. */
    void updateMappingVisualizer();

    static constexpr int windowWidth = 462;
    static constexpr int windowHeight = 500;

private:
    //==============================================================================
    void timerCallback() override;

    /** Labels and the keyboard again after anything the user or the host did. */
    void refresh();

    /** The colour of the current root (reduced for the classes of limited
        transposition) on the four captions and the toggle's tick. */
    void applyRootColour();
    juce::Colour rootColourFor() const;

    int readRootIndex() const;
    int readScaleClassIndex() const;

    /** The machine-wide record, or null when it cannot be had. Every read of the
        record goes through here. */
    SharedScaleData* getSharedRecord() const noexcept;

    void addLabel (juce::Label&, const juce::String& text, juce::Font, juce::Colour);
    void addList (juce::ComboBox&, const juce::StringArray& items, bool startOnFirstItem,
                  std::unique_ptr<juce::AudioProcessorValueTreeState::ComboBoxAttachment>&,
                  const juce::String& parameterID, std::function<void()> onChange);

    //==============================================================================
    const juce::Colour backgroundColour { 0xff0a0a0f };
    const juce::Colour captionColour { 0xff8888aa };
    const juce::Colour textColour { 0xffffffff };
    const juce::Colour footerColour { 0xff12121a };

    CorvaneInterface scaleMapView;
    MappingVisualizer mappingVisualizer;
    juce::Label brandLabel;
    juce::Label productLabel;
    juce::Label rootLabel;
    juce::ComboBox rootCombo;
    std::unique_ptr<juce::AudioProcessorValueTreeState::ComboBoxAttachment> rootAttachment;
    juce::Label scaleClassLabel;
    juce::ComboBox scaleClassCombo;
    std::unique_ptr<juce::AudioProcessorValueTreeState::ComboBoxAttachment> scaleClassAttachment;
    juce::Label chordCaptionLabel;
    juce::Label chordLabel;
    juce::Label sourceLabel;
    juce::ComboBox sourceCombo;
    std::unique_ptr<juce::AudioProcessorValueTreeState::ComboBoxAttachment> sourceAttachment;
    juce::Label correctionLabel;
    juce::ComboBox correctionCombo;
    std::unique_ptr<juce::AudioProcessorValueTreeState::ComboBoxAttachment> correctionAttachment;
    juce::Label versionLabel;
    juce::Label creditsLabel;
    juce::ToggleButton interruptButton;
    std::unique_ptr<juce::AudioProcessorValueTreeState::ButtonAttachment> interruptAttachment;
    InterLookAndFeel interLookAndFeel;
    juce::var scalesJson;
    int lastRoot = -1;
    int lastScaleClass = -1;
    juce::uint16 lastChordMask = 0;
    bool lastSharedStateAvailable = false;
    CorvaneAudioProcessor& audioProcessor;

    /** Set only by tests, to lay out and name chords as if the record could not be
        had (which cannot be arranged while the process holds it open). */
    bool sharedRecordWithheld = false;

    /** Shows the texts that the fixed layout cuts short (the chord's name, the build
        stamp) when the pointer rests on them. */
    juce::TooltipWindow tooltipWindow { this };

    friend struct EditorTestAccess;   // the tests drive the timer and read the children

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CorvaneAudioProcessorEditor)
};
