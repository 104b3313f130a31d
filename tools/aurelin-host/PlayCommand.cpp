#include "HostCommands.h"
#include "PluginSession.h"

#include <cmath>
#include <iostream>
#include <limits>
#include <map>

namespace
{
    /** A level on every input channel, so that a plug-in that should silence its
        audio shows whether it does. */
    constexpr float inputLevel = 0.5f;

    //==========================================================================
    juce::String describeMessage (const juce::MidiMessage& message)
    {
        const auto channel = "ch " + juce::String (message.getChannel()).paddedRight (' ', 3);

        if (message.isNoteOn (true) || message.isNoteOff (false))
            return juce::String (message.isNoteOn (true) ? "note-on " : "note-off") + "  " + channel
                   + "note " + juce::String (message.getNoteNumber()).paddedRight (' ', 4)
                   + "vel " + juce::String (message.getVelocity());

        if (message.isController())
            return "cc        " + channel + "#" + juce::String (message.getControllerNumber()) + " = "
                   + juce::String (message.getControllerValue());

        if (message.isPitchWheel())
            return "pitch     " + channel + "value " + juce::String (message.getPitchWheelValue());

        if (message.isAftertouch())
            return "poly-at   " + channel + "note " + juce::String (message.getNoteNumber()).paddedRight (' ', 4)
                   + "value " + juce::String (message.getAfterTouchValue());

        if (message.isChannelPressure())
            return "pressure  " + channel + "value " + juce::String (message.getChannelPressureValue());

        if (message.isProgramChange())
            return "program   " + channel + "#" + juce::String (message.getProgramChangeNumber());

        return message.getDescription();
    }

    /** One event per line, in columns: direction, block, position in the block,
        sample from the start, and the event. */
    juce::String eventLine (const char* direction, int block, int position, juce::int64 sample, const juce::MidiMessage& message)
    {
        constexpr int directionWidth = 5, blockWidth = 11, positionWidth = 10, sampleWidth = 16;

        return juce::String (direction).paddedRight (' ', directionWidth)
               + ("block " + juce::String (block)).paddedRight (' ', blockWidth)
               + ("pos " + juce::String (position)).paddedRight (' ', positionWidth)
               + ("sample " + juce::String (sample)).paddedRight (' ', sampleWidth)
               + describeMessage (message);
    }

    //==========================================================================
    /** Counts sounding notes per channel and note number, the way a synth at the end
        of the chain would hear them. */
    class SoundingNotes final
    {
    public:
        SoundingNotes() = default;

        void handle (const juce::MidiMessage& message)
        {
            const auto key = std::make_pair (message.getChannel(), message.getNoteNumber());

            if (message.isNoteOn (false))
                ++counts[key];
            else if (message.isNoteOff (true) && counts[key] > 0)
                --counts[key];
        }

        juce::String describe() const
        {
            juce::StringArray notes;

            for (const auto& [key, count] : counts)
                if (count > 0)
                    notes.add ("ch " + juce::String (key.first) + " note " + juce::String (key.second)
                               + (count > 1 ? " (x" + juce::String (count) + ")" : juce::String()));

            return notes.isEmpty() ? juce::String ("none") : notes.joinIntoString (", ");
        }

    private:
        std::map<std::pair<int, int>, int> counts;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SoundingNotes)
    };

    //==========================================================================
    juce::Result readMidiFile (const juce::File& file, double sampleRate, std::vector<TimedMidiEvent>& events)
    {
        juce::FileInputStream stream (file);

        if (! file.existsAsFile() || ! stream.openedOk())
            return juce::Result::fail ("cannot read MIDI file " + file.getFullPathName());

        juce::MidiFile midiFile;

        if (! midiFile.readFrom (stream, true))
            return juce::Result::fail ("cannot read MIDI file " + file.getFullPathName() + ": not a standard MIDI file");

        // Uses the file's tempo map, and 120 beats per minute where it has none.
        midiFile.convertTimestampTicksToSeconds();

        for (int track = 0; track < midiFile.getNumTracks(); ++track)
            for (const auto* holder : *midiFile.getTrack (track))
                if (! holder->message.isMetaEvent())
                    events.push_back ({ (juce::int64) std::llround (holder->message.getTimeStamp() * sampleRate), holder->message });

        return juce::Result::ok();
    }

    bool isBlockBypassed (const HostOptions& options, juce::int64 blockStart)
    {
        if (options.bypassed)
            return true;

        if (! options.bypassFrom.has_value() && ! options.bypassUntil.has_value())
            return false;

        return blockStart >= options.bypassFrom.value_or (0)
            && blockStart < options.bypassUntil.value_or (std::numeric_limits<juce::int64>::max());
    }

}

//==============================================================================
juce::Result runPlayCommand (const HostOptions& options)
{
    auto events = options.events;

    if (options.midiFile.has_value())
    {
        if (auto read = readMidiFile (*options.midiFile, options.sampleRate, events); read.failed())
            return read;

        sortTimedEvents (events);
    }

    juce::String error;
    auto session = PluginSession::open (options, error);

    if (session == nullptr)
        return juce::Result::fail (error);

    auto& instance = session->getInstance();
    const auto blockSize = options.blockSize;
    const auto lastEvent = events.empty() ? (juce::int64) 0 : events.back().sample;
    const auto totalSamples = juce::jmax (options.length.value_or (1), lastEvent + 1);
    const auto numBlocks = (int) ((totalSamples + blockSize - 1) / blockSize);

    instance.setNonRealtime (false);
    instance.prepareToPlay (options.sampleRate, blockSize);

    const auto& description = session->getDescription();
    auto lastValues = session->describeParameterValues();

    std::cout << description.name << " " << description.version << " by " << description.manufacturerName << ": "
              << options.sampleRate << " Hz, blocks of " << blockSize << " samples, " << numBlocks << " blocks\n"
              << "parameters: " << lastValues << "\n";

    juce::AudioBuffer<float> audio (juce::jmax (1, instance.getTotalNumInputChannels(), instance.getTotalNumOutputChannels()), blockSize);
    juce::MidiBuffer midi;
    SoundingNotes keysDown, sounding;
    auto wasBypassed = false;
    auto outputPeak = 0.0f;
    size_t nextEvent = 0;

    for (int block = 0; block < numBlocks; ++block)
    {
        const auto blockStart = (juce::int64) block * blockSize;
        const auto bypassed = isBlockBypassed (options, blockStart);

        if (bypassed != wasBypassed)
            std::cout << "bypass " << (bypassed ? "on" : "off") << " from block " << block << "\n";

        wasBypassed = bypassed;
        midi.clear();

        for (int channel = 0; channel < audio.getNumChannels(); ++channel)
            audio.clear (channel, 0, blockSize);

        for (int channel = 0; channel < instance.getTotalNumInputChannels(); ++channel)
            juce::FloatVectorOperations::fill (audio.getWritePointer (channel), inputLevel, blockSize);

        for (; nextEvent < events.size() && events[nextEvent].sample < blockStart + blockSize; ++nextEvent)
        {
            const auto& event = events[nextEvent];
            const auto position = (int) (event.sample - blockStart);
            midi.addEvent (event.message, position);
            keysDown.handle (event.message);
            std::cout << eventLine ("in", block, position, event.sample, event.message) << "\n";
        }

        if (bypassed)
            instance.processBlockBypassed (audio, midi);
        else
            instance.processBlock (audio, midi);

        for (int channel = 0; channel < instance.getTotalNumOutputChannels(); ++channel)
            outputPeak = juce::jmax (outputPeak, audio.getMagnitude (channel, 0, blockSize));

        for (const auto metadata : midi)
        {
            const auto message = metadata.getMessage();
            sounding.handle (message);
            std::cout << eventLine ("out", block, metadata.samplePosition, blockStart + metadata.samplePosition, message) << "\n";
        }

        // Reading the values back costs a full save of the state, so they are checked
        // after the first block (where a published scale is taken over) and, when the
        // run waits between blocks to let the scale record change, after every block.
        const auto checkValues = block == 0 || block == numBlocks - 1 || options.waitMs.has_value();

        if (auto values = checkValues ? session->describeParameterValues() : lastValues; values != lastValues)
        {
            std::cout << "after block " << block << ", parameters: " << values << "\n";
            lastValues = values;
        }

        std::cout << std::flush;

        if (options.waitMs.has_value() && *options.waitMs > 0)
            juce::Thread::sleep (*options.waitMs);
    }

    std::cout << "parameters at the end: " << session->describeParameterValues() << "\n"
              << "audio out: " << (outputPeak == 0.0f ? juce::String ("silent") : "peak " + juce::String (outputPeak))
              << " (input level " << inputLevel << ")\n"
              << "keys down at the end: " << keysDown.describe() << "\n"
              << "sounding at the end: " << sounding.describe() << std::endl;

    instance.releaseResources();

    if (options.stateToSave.has_value())
    {
        if (auto saved = session->saveState (*options.stateToSave); saved.failed())
            return saved;

        std::cout << "state saved to " << options.stateToSave->getFullPathName() << std::endl;
    }

    return juce::Result::ok();
}
