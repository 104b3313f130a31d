#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <optional>
#include <vector>

//==============================================================================
/** One MIDI event to send, at an absolute sample position from the start of play. */
struct TimedMidiEvent
{
    juce::int64 sample = 0;
    juce::MidiMessage message;
};

/** A parameter setting as given on the command line: the parameter by ID or name,
    and its value as a choice text, a choice index or a normalised number. */
struct ParameterSetting
{
    juce::String parameter;
    juce::String value;
};

/** Everything the command line asked for. Filled by parseHostCommandLine(), which
    checks the syntax and ranges; what needs the plug-in (parameter names, values,
    files) is checked by the commands. Message thread only, like the whole host.
*/
struct HostOptions
{
    static constexpr double defaultSampleRate = 48000.0;
    static constexpr int defaultBlockSize = 512;
    static constexpr int defaultWindowWaitMs = 1000;

    juce::String command;
    juce::File bundle;

    std::vector<ParameterSetting> settings;
    std::vector<TimedMidiEvent> events;     // from --note and --cc, in order of sample
    std::optional<juce::File> midiFile;

    double sampleRate = defaultSampleRate;
    int blockSize = defaultBlockSize;
    std::optional<juce::int64> length;

    bool bypassed = false;
    std::optional<juce::int64> bypassFrom;
    std::optional<juce::int64> bypassUntil;

    std::optional<juce::File> stateToRestore;
    std::optional<juce::File> stateToSave;
    std::optional<juce::File> screenshot;
    std::optional<int> waitMs;

    bool listAllParameters = false;
};

/** Orders events by sample; at one sample, note-offs go first so that a key
    released where another goes down is released before it. */
void sortTimedEvents (std::vector<TimedMidiEvent>& events);

/** The text that --help prints. */
juce::String getHostUsage();

/** Reads the arguments that follow the program name. Fails with one line that says
    what is wrong; `wantsHelp` is set when --help or -h was given. */
juce::Result parseHostCommandLine (const juce::StringArray& args, HostOptions& options, bool& wantsHelp);
