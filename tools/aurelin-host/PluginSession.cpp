#include "PluginSession.h"

#include "RawVst3Module.h"

namespace
{
    /** The parameter IDs of our plug-in, in the order it declares them. */
    const juce::StringArray& getKnownParameterIds()
    {
        static const juce::StringArray ids { "SOURCE", "CORRECTION", "INTERRUPT", "ROOT", "SCALE_CLASS" };
        return ids;
    }

    constexpr int maxTextLength = 1024;
    constexpr int maxListedSteps = 1000;    // more steps than this is a continuous control in all but name
    constexpr const char* midiControllerPrefix = "MIDI CC ";
    constexpr const char* hostStateTag = "VST3PluginState";

    juce::String parameterName (const juce::AudioProcessorParameter& parameter)
    {
        return parameter.getName (maxTextLength);
    }
}

//==============================================================================
std::unique_ptr<PluginSession> PluginSession::load (const juce::File& bundle, double sampleRate, int blockSize, juce::String& error)
{
    if (! bundle.exists())
    {
        error = "no such bundle: " + bundle.getFullPathName();
        return {};
    }

    if (! bundle.isDirectory() || ! bundle.hasFileExtension (".vst3"))
    {
        error = bundle.getFullPathName() + " is not a VST3 bundle (a folder named NAME.vst3)";
        return {};
    }

    // Open the module once by hand first: the framework's loader says only that it
    // found nothing, where dlopen and the entry points can say why.
    {
        RawVst3Module module;

        if (auto opened = module.open (bundle); opened.failed())
        {
            error = opened.getErrorMessage();
            return {};
        }
    }

    std::unique_ptr<PluginSession> session (new PluginSession());
    juce::OwnedArray<juce::PluginDescription> types;
    session->format.findAllTypesForFile (types, bundle.getFullPathName());

    if (types.isEmpty())
    {
        error = "cannot load " + bundle.getFullPathName() + ": its factory offers no plug-in that a VST3 host can use";
        return {};
    }

    session->description = *types.getFirst();
    juce::String creationError;
    session->instance = session->format.createInstanceFromDescription (session->description, sampleRate, blockSize, creationError);

    if (session->instance == nullptr)
    {
        error = "cannot create an instance of " + session->description.name + ": "
                + (creationError.isNotEmpty() ? creationError : juce::String ("the module refused"));
        return {};
    }

    return session;
}

std::unique_ptr<PluginSession> PluginSession::open (const HostOptions& options, juce::String& error)
{
    auto session = load (options.bundle, options.sampleRate, options.blockSize, error);

    if (session == nullptr)
        return {};

    auto result = options.stateToRestore.has_value() ? session->restoreState (*options.stateToRestore)
                                                     : juce::Result::ok();

    if (result.wasOk())
        result = session->applySettings (options.settings);

    if (result.failed())
    {
        error = result.getErrorMessage();
        return {};
    }

    return session;
}

PluginSession::~PluginSession()
{
    if (instance != nullptr)
        instance->releaseResources();
}

//==============================================================================
juce::Array<juce::AudioProcessorParameter*> PluginSession::getPluginParameters() const
{
    juce::Array<juce::AudioProcessorParameter*> result;
    const auto* bypass = instance->getBypassParameter();
    const auto controllers = getMidiControllerParameters();

    for (auto* parameter : instance->getParameters())
        if (parameter != bypass && ! controllers.contains (parameter))
            result.add (parameter);

    return result;
}

juce::Array<juce::AudioProcessorParameter*> PluginSession::getMidiControllerParameters() const
{
    juce::Array<juce::AudioProcessorParameter*> result;

    for (auto* parameter : instance->getParameters())
        if (! parameter->isAutomatable() && parameterName (*parameter).startsWith (midiControllerPrefix))
            result.add (parameter);

    return result;
}

juce::uint32 PluginSession::hostParameterIdFor (const juce::String& parameterId)
{
    // The framework's VST3 side hashes the ID string and clears the top bit, since
    // some hosts cannot cope with IDs that read as negative numbers.
    constexpr juce::uint32 topBit = 0x80000000u;
    return ((juce::uint32) parameterId.hashCode()) & ~topBit;
}

juce::String PluginSession::knownParameterIdFor (const juce::AudioProcessorParameter& parameter)
{
    const auto* withId = dynamic_cast<const juce::HostedAudioProcessorParameter*> (&parameter);

    if (withId == nullptr)
        return {};

    for (const auto& id : getKnownParameterIds())
        if (juce::String (hostParameterIdFor (id)) == withId->getParameterID())
            return id;

    return {};
}

juce::StringArray PluginSession::getValueTexts (const juce::AudioProcessorParameter& parameter)
{
    const auto numSteps = parameter.getNumSteps();

    if (! (parameter.isDiscrete() || parameter.isBoolean()) || numSteps < 2 || numSteps > maxListedSteps)
        return {};

    juce::StringArray texts;

    for (int step = 0; step < numSteps; ++step)
        texts.add (parameter.getText ((float) step / (float) (numSteps - 1), maxTextLength));

    return texts;
}

juce::AudioProcessorParameter* PluginSession::findParameter (const juce::String& key) const
{
    const auto& parameters = instance->getParameters();

    for (auto* parameter : parameters)
        if (knownParameterIdFor (*parameter).equalsIgnoreCase (key))
            return parameter;

    for (auto* parameter : parameters)
        if (auto* withId = dynamic_cast<juce::HostedAudioProcessorParameter*> (parameter))
            if (withId->getParameterID() == key)
                return parameter;

    for (auto* parameter : parameters)
        if (parameterName (*parameter).equalsIgnoreCase (key))
            return parameter;

    return nullptr;
}

juce::Result PluginSession::applySetting (const ParameterSetting& setting)
{
    auto* parameter = findParameter (setting.parameter);

    if (parameter == nullptr)
        return juce::Result::fail ("unknown parameter \"" + setting.parameter + "\" (give one of "
                                   + getKnownParameterIds().joinIntoString (", ") + ", or a parameter's name)");

    const auto name = parameterName (*parameter);
    const auto texts = getValueTexts (*parameter);
    const auto wanted = setting.value.trim().unquoted();
    float normalised = 0.0f;

    if (! texts.isEmpty())
    {
        auto step = texts.indexOf (wanted, true);

        if (step < 0 && wanted.isNotEmpty() && wanted.containsOnly ("0123456789") && wanted.length() < 6)
            step = wanted.getIntValue() < texts.size() ? wanted.getIntValue() : -1;

        if (step < 0)
            return juce::Result::fail ("unknown value \"" + wanted + "\" for " + name + " (give one of \""
                                       + texts.joinIntoString ("\", \"") + "\", or a choice index)");

        normalised = (float) step / (float) (texts.size() - 1);
    }
    else
    {
        const auto value = wanted.getFloatValue();

        if (wanted.isEmpty() || ! wanted.containsOnly ("0123456789.") || value < 0.0f || value > 1.0f)
            return juce::Result::fail ("bad value \"" + wanted + "\" for " + name + " (give a normalised value from 0 to 1)");

        normalised = value;
    }

    parameter->setValueNotifyingHost (normalised);
    return juce::Result::ok();
}

juce::Result PluginSession::applySettings (const std::vector<ParameterSetting>& settings)
{
    for (const auto& setting : settings)
        if (auto result = applySetting (setting); result.failed())
            return result;

    return juce::Result::ok();
}

juce::MemoryBlock PluginSession::readComponentState() const
{
    juce::MemoryBlock hostState, componentState;
    instance->getStateInformation (hostState);

    const auto xml = juce::AudioProcessor::getXmlFromBinary (hostState.getData(), (int) hostState.getSize());
    const auto* component = xml != nullptr ? xml->getChildByName ("IComponent") : nullptr;

    if (component == nullptr || ! componentState.fromBase64Encoding (component->getAllSubText()))
        return {};

    return componentState;
}

std::unique_ptr<juce::XmlElement> PluginSession::readPluginStateXml() const
{
    const auto state = readComponentState();
    return juce::AudioProcessor::getXmlFromBinary (state.getData(), (int) state.getSize());
}

juce::String PluginSession::describeParameterValues() const
{
    const auto state = readPluginStateXml();
    juce::StringArray values;

    for (const auto* parameter : getPluginParameters())
    {
        auto text = parameter->getCurrentValueAsText();
        const auto id = knownParameterIdFor (*parameter);
        const auto* stored = state != nullptr && id.isNotEmpty() ? state->getChildByAttribute ("id", id) : nullptr;
        const auto texts = getValueTexts (*parameter);

        // A stepped parameter stores its step index.
        if (stored != nullptr && stored->hasAttribute ("value") && ! texts.isEmpty())
            text = texts[juce::jlimit (0, texts.size() - 1, juce::roundToInt (stored->getDoubleAttribute ("value")))];

        values.add (parameterName (*parameter) + " = " + text);
    }

    return values.joinIntoString (", ");
}

//==============================================================================
juce::Result PluginSession::restoreState (const juce::File& file)
{
    juce::MemoryBlock state;

    if (! file.existsAsFile() || ! file.loadFileAsData (state))
        return juce::Result::fail ("cannot read state file " + file.getFullPathName());

    const auto xml = juce::AudioProcessor::getXmlFromBinary (state.getData(), (int) state.getSize());

    if (xml == nullptr || ! xml->hasTagName (hostStateTag))
        return juce::Result::fail (file.getFullPathName() + " is not a state file written by aurelin-host --save-state");

    instance->setStateInformation (state.getData(), (int) state.getSize());
    return juce::Result::ok();
}

juce::Result PluginSession::saveState (const juce::File& file)
{
    juce::MemoryBlock state;
    instance->getStateInformation (state);

    if (state.isEmpty())
        return juce::Result::fail ("the plug-in gave no state to save");

    if (! file.getParentDirectory().isDirectory())
        return juce::Result::fail ("cannot write state file " + file.getFullPathName() + ": there is no such folder");

    if (! file.replaceWithData (state.getData(), state.getSize()))
        return juce::Result::fail ("cannot write state file " + file.getFullPathName());

    return juce::Result::ok();
}
