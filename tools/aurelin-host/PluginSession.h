#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include "HostOptions.h"

#include <memory>

//==============================================================================
/** One instance of a VST3 plug-in, created through the framework's VST3 hosting as
    a DAW creates it, with what the host's commands need around it: finding
    parameters by ID or name, turning value texts into values, reading and writing
    saved state.

    Message thread only: it creates, drives and destroys the instance there, which
    is also where this host runs its blocks.
*/
class PluginSession final
{
public:
    /** Checks the bundle (with a clear reason when it cannot be used) and creates an
        instance prepared for the given rate and block size. */
    static std::unique_ptr<PluginSession> load (const juce::File& bundle, double sampleRate, int blockSize, juce::String& error);

    /** load(), then the state of --state, then every --set, in that order. */
    static std::unique_ptr<PluginSession> open (const HostOptions& options, juce::String& error);

    ~PluginSession();

    juce::AudioPluginInstance& getInstance() noexcept             { return *instance; }
    const juce::PluginDescription& getDescription() const noexcept { return description; }

    //==============================================================================
    /** The plug-in's own parameters, leaving out the bypass and the hidden MIDI CC
        parameters that the plug-in side of the framework adds. */
    juce::Array<juce::AudioProcessorParameter*> getPluginParameters() const;

    /** The hidden parameters through which a VST3 host passes MIDI controllers. */
    juce::Array<juce::AudioProcessorParameter*> getMidiControllerParameters() const;

    /** The parameter ID that a plug-in built on the framework gives its host for a
        parameter ID string, and back again for the IDs this plug-in uses. */
    static juce::uint32 hostParameterIdFor (const juce::String& parameterId);
    static juce::String knownParameterIdFor (const juce::AudioProcessorParameter& parameter);

    /** A choice list for a stepped parameter: the text of every step. Empty for a
        continuous parameter. */
    static juce::StringArray getValueTexts (const juce::AudioProcessorParameter& parameter);

    /** Finds a parameter by ID string, the host's numeric ID or its name, and sets it
        from a value text, a step index or a normalised value. */
    juce::Result applySetting (const ParameterSetting& setting);
    juce::Result applySettings (const std::vector<ParameterSetting>& settings);

    /** "Name = value" for every plug-in parameter, on one line, as the plug-in itself
        has them: read from its saved state where it can be, since the framework's
        hosting does not follow changes that the plug-in makes while it plays (for
        example when it follows the shared scale record). */
    juce::String describeParameterValues() const;

    //==============================================================================
    /** The state that the plug-in's component writes, unwrapped from the host's
        state: the plug-in's own bytes, then what the framework's wrapper appends. */
    juce::MemoryBlock readComponentState() const;

    /** The host-side state: what a DAW keeps for the plug-in in its project. */
    juce::Result restoreState (const juce::File& file);
    juce::Result saveState (const juce::File& file);

private:
    PluginSession() = default;

    juce::AudioProcessorParameter* findParameter (const juce::String& key) const;

    /** The plug-in's own state as XML. */
    std::unique_ptr<juce::XmlElement> readPluginStateXml() const;

    juce::VST3PluginFormat format;
    std::unique_ptr<juce::AudioPluginInstance> instance;
    juce::PluginDescription description;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PluginSession)
};
