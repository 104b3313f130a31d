#include "HostCommands.h"
#include "PluginSession.h"
#include "RawVst3Module.h"

#include <iostream>

namespace
{
    constexpr auto labelWidth = 16;
    constexpr int maxTextLength = 1024;

    juce::String line (const juce::String& label, const juce::String& value)
    {
        return "  " + (label + ":").paddedRight (' ', labelWidth) + value + "\n";
    }

    juce::String yesNo (bool value)
    {
        return value ? "yes" : "no";
    }

    juce::String quoted (const juce::String& text)
    {
        return "\"" + text + "\"";
    }

    //==========================================================================
    juce::String describeIdentity (PluginSession& session)
    {
        auto& instance = session.getInstance();
        const auto& description = session.getDescription();
        juce::String text ("Plug-in, as a host sees it through VST3 hosting\n");

        text << line ("name", description.name)
             << line ("vendor", description.manufacturerName)
             << line ("version", description.version)
             << line ("category", description.category)
             << line ("format", description.pluginFormatName)
             << line ("instrument", yesNo (description.isInstrument))
             << line ("MIDI in", yesNo (instance.acceptsMidi()))
             << line ("MIDI out", yesNo (instance.producesMidi()))
             << line ("MIDI effect", yesNo (instance.isMidiEffect()))
             << line ("editor", yesNo (instance.hasEditor()))
             << line ("latency", juce::String (instance.getLatencySamples()) + " samples")
             << line ("tail", juce::String (instance.getTailLengthSeconds()) + " s")
             << line ("unique ID", "0x" + juce::String::toHexString (description.uniqueId).paddedLeft ('0', 8));

        return text;
    }

    juce::String describeBuses (juce::AudioPluginInstance& instance)
    {
        juce::String text ("Buses\n");

        for (const auto isInput : { true, false })
        {
            const auto kind = juce::String (isInput ? "input " : "output ");

            if (instance.getBusCount (isInput) == 0)
                text << "  " << kind << "none\n";

            for (int index = 0; index < instance.getBusCount (isInput); ++index)
            {
                const auto* bus = instance.getBus (isInput, index);
                const auto layout = bus->getDefaultLayout();

                text << "  " << kind << index << ": " << quoted (bus->getName()) << ", "
                     << layout.getDescription().toLowerCase() << " (" << layout.size() << " channels: "
                     << layout.getSpeakerArrangementAsString() << "), "
                     << (bus->isEnabledByDefault() ? "enabled" : "disabled") << " by default\n";
            }
        }

        return text;
    }

    /** Finds the VST3 component behind a hosted instance. */
    struct ComponentFinder final : public juce::ExtensionsVisitor
    {
        void visitVST3Client (const VST3Client& client) override
        {
            component = client.getIComponentPtr();
        }

        Steinberg::Vst::IComponent* component = nullptr;
    };

    /** The framework's hosting counts programs only through a program-change
        parameter, which a plug-in with a single program does not have; hosts and
        validators also read the program lists directly, so both are shown. */
    juce::String describePrograms (juce::AudioPluginInstance& instance)
    {
        juce::String text;
        text << "Programs through a program-change parameter: " << instance.getNumPrograms()
             << ", current " << instance.getCurrentProgram() << "\n";

        for (int index = 0; index < instance.getNumPrograms(); ++index)
            text << "  " << index << ": " << quoted (instance.getProgramName (index)) << "\n";

        ComponentFinder finder;
        instance.getExtensions (finder);

        if (finder.component != nullptr)
            text << RawVst3Module::describeProgramLists (*finder.component);

        return text;
    }

    juce::String describeParameter (const juce::AudioProcessorParameter& parameter)
    {
        const auto* hosted = dynamic_cast<const juce::HostedAudioProcessorParameter*> (&parameter);
        const auto hostId = hosted != nullptr ? hosted->getParameterID() : juce::String();
        const auto knownId = PluginSession::knownParameterIdFor (parameter);
        const auto texts = PluginSession::getValueTexts (parameter);

        juce::String text;
        text << "  " << parameter.getParameterIndex() << ": "
             << (knownId.isNotEmpty() ? knownId + " (host ID " + hostId + ")" : "host ID " + hostId)
             << " " << quoted (parameter.getName (maxTextLength))
             << ", default " << quoted (parameter.getText (parameter.getDefaultValue(), maxTextLength))
             << ", current " << quoted (parameter.getCurrentValueAsText());

        if (! texts.isEmpty())
            text << ", values " << quoted (texts.joinIntoString ("\" | \""));

        if (! parameter.isAutomatable())
            text << ", not automatable";

        return text + "\n";
    }

    juce::String describeParameters (PluginSession& session, bool listControllers)
    {
        auto& instance = session.getInstance();
        const auto own = session.getPluginParameters();
        const auto controllers = session.getMidiControllerParameters();
        const auto* bypass = instance.getBypassParameter();

        juce::String text;
        text << "Parameters: " << instance.getParameters().size() << " in all: " << own.size() << " of the plug-in, "
             << (bypass != nullptr ? "1 bypass, " : "no bypass, ")
             << controllers.size() << " hidden MIDI CC\n";

        for (const auto* parameter : own)
            text << describeParameter (*parameter);

        if (bypass != nullptr)
            text << "  bypass " << describeParameter (*bypass).trimStart();

        if (controllers.isEmpty())
            return text;

        if (listControllers)
        {
            for (const auto* parameter : controllers)
                text << describeParameter (*parameter);
        }
        else
        {
            text << "  MIDI CC: " << controllers.size() << " hidden parameters through which a host sends controllers, "
                 << quoted (controllers.getFirst()->getName (maxTextLength)) << " to "
                 << quoted (controllers.getLast()->getName (maxTextLength))
                 << " (--all-parameters lists them)\n";
        }

        return text;
    }

    /** The part of the host's state that the plug-in itself wrote (the component
        state), taken apart: our own block of bytes, then what the framework adds. */
    juce::String describeSavedState (PluginSession& session)
    {
        constexpr size_t headerSize = 8;
        constexpr size_t magicSize = 4;

        juce::MemoryBlock hostState;
        session.getInstance().getStateInformation (hostState);
        const auto state = session.readComponentState();

        if (state.isEmpty())
            return "Saved state: none\n";

        juce::String text;
        text << "Saved state: " << hostState.getSize() << " bytes for the host, of which the component's "
             << state.getSize() << " bytes\n";

        if (state.getSize() <= headerSize)
            return text;

        const auto* bytes = static_cast<const char*> (state.getData());
        const auto magic = juce::String::fromUTF8 (bytes, (int) magicSize);
        const auto length = (size_t) juce::ByteOrder::littleEndianInt (bytes + magicSize);
        const auto available = juce::jmin (length, state.getSize() - headerSize);
        const auto xmlText = juce::String::fromUTF8 (bytes + headerSize, (int) ::strnlen (bytes + headerSize, available));
        const auto consumed = headerSize + available + 1;

        text << "  magic " << quoted (magic) << ", text of " << length << " bytes, then "
             << (state.getSize() > consumed ? state.getSize() - consumed : 0) << " bytes the framework appends\n"
             << "  " << xmlText << "\n";

        return text;
    }
}

//==============================================================================
juce::Result runInfoCommand (const HostOptions& options)
{
    juce::String error;
    auto session = PluginSession::open (options, error);

    if (session == nullptr)
        return juce::Result::fail (error);

    auto& instance = session->getInstance();

    std::cout << describeIdentity (*session) << "\n"
              << describeBuses (instance) << "\n"
              << describePrograms (instance) << "\n"
              << describeParameters (*session, options.listAllParameters) << "\n"
              << describeSavedState (*session) << std::endl;

    // The framework holds the module open for the instance, so this second look
    // shares it; ModuleEntry and ModuleExit count their calls.
    RawVst3Module module;

    if (auto opened = module.open (options.bundle); opened.failed())
        return opened;

    std::cout << "Factory, read from " << RawVst3Module::getBinaryPath (options.bundle).getFullPathName()
              << " through the VST3 module interface\n"
              << module.describeFactory();

    const auto exitReport = module.close();
    std::cout << "  " << juce::String ("module exit:").paddedRight (' ', labelWidth) << exitReport << std::endl;

    return juce::Result::ok();
}
