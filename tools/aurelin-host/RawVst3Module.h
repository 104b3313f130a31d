#pragma once

#include <juce_core/juce_core.h>

namespace Steinberg::Vst
{
    class IComponent;
}

//==============================================================================
/** A VST3 module opened directly, the way a host first meets it: dlopen the binary
    inside the bundle, call its ModuleEntry, ask GetPluginFactory for the factory
    and its class list, and call ModuleExit before letting go of it. No framework
    layer in between, so what it reports is exactly what the module publishes.

    Message thread only (a module's entry and exit functions expect one thread).
*/
class RawVst3Module final
{
public:
    RawVst3Module() = default;
    ~RawVst3Module();

    /** The shared object a bundle must hold for this machine:
        BUNDLE/Contents/<machine>-linux/<bundle name>.so */
    static juce::File getBinaryPath (const juce::File& bundle);

    /** Loads the binary, calls ModuleEntry when the module has one, and checks that
        GetPluginFactory is there. Fails with a message that says what went wrong. */
    juce::Result open (const juce::File& bundle);

    /** The factory and every class, as text; needs a successful open(). */
    juce::String describeFactory() const;

    /** The program lists that a plug-in's component publishes through IUnitInfo, as
        hosts and validators read them: every list with every program's name. */
    static juce::String describeProgramLists (Steinberg::Vst::IComponent& component);

    /** Calls ModuleExit (when ModuleEntry was called) and unloads the binary;
        returns a line saying how the exit went, or nothing when nothing was open. */
    juce::String close();

private:
    void* handle = nullptr;
    bool entered = false;
    juce::String entryReport;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RawVst3Module)
};
