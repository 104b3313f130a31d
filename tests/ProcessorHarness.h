#pragma once

#include "PluginProcessor.h"
#include "SharedScaleState.h"

#include <map>
#include <vector>

/** Holds the machine-wide scale record at its fresh state (nothing published yet)
    for the life of a test, and puts back whatever was there before. Its scale fields
    hold C diatonic, so a test that publishes only a chord keeps the scale the
    processors start with. */
class ScopedFreshSharedRecord
{
public:
    ScopedFreshSharedRecord()
    {
        if (auto* data = SharedScaleState::getInstance().data)
        {
            saved = *data;
            *data = {};
            data->scaleClass = 1;
            data->reservedWord = SharedScaleData::reservedWordOnCreation;
        }
    }

    ~ScopedFreshSharedRecord()
    {
        if (auto* data = SharedScaleState::getInstance().data)
            *data = saved;
    }

    static SharedScaleData* record()    { return SharedScaleState::getInstance().data; }

    /** Writes as a publisher does: the fields, then a new counter. */
    static void publishScale (int root, int scaleClass)
    {
        record()->root = root;
        record()->scaleClass = scaleClass;
        ++record()->sequence;
    }

    static void publishChord (juce::uint16 mask, int chordRoot = 0)
    {
        record()->chordMask = mask;
        record()->chordRoot = chordRoot;
        ++record()->sequence;
    }

private:
    SharedScaleData saved {};
};

/** One MIDI event, as the tests write what goes in and what should come out. */
struct Event
{
    enum Kind { on, off, controller };

    Kind kind;
    int note;           // or controller number
    int position = 0;
    int channel = 1;
    int velocity = 100; // or controller value

    juce::MidiMessage toMessage() const
    {
        switch (kind)
        {
            case on:          return juce::MidiMessage::noteOn (channel, note, (juce::uint8) velocity);
            case off:         return juce::MidiMessage::noteOff (channel, note, (juce::uint8) velocity);
            case controller:  return juce::MidiMessage::controllerEvent (channel, note, velocity);
        }

        return {};
    }

    static Event from (const juce::MidiMessage& m, int position)
    {
        if (m.isNoteOn())
            return { on, m.getNoteNumber(), position, m.getChannel(), m.getVelocity() };

        if (m.isNoteOff())
            return { off, m.getNoteNumber(), position, m.getChannel(), m.getVelocity() };

        return { controller, m.getControllerNumber(), position, m.getChannel(), m.getControllerValue() };
    }

    bool operator== (const Event& other) const
    {
        return kind == other.kind && note == other.note && position == other.position
            && channel == other.channel && velocity == other.velocity;
    }
};

inline std::ostream& operator<< (std::ostream& os, const Event& e)
{
    static const char* const names[] { "on", "off", "cc" };
    return os << names[e.kind] << " " << e.note << " @" << e.position << " ch" << e.channel << " v" << e.velocity;
}

/** Stands in for the synth after the plug-in: counts what sounds on each
    (channel, pitch), so a scenario can prove that nothing is left hanging. */
struct StandInSynth
{
    std::map<std::pair<int, int>, int> sounding;
    int strayNoteOffs = 0;

    void play (const std::vector<Event>& events)
    {
        for (const auto& e : events)
        {
            if (e.kind == Event::on)
                ++sounding[{ e.channel, e.note }];
            else if (e.kind == Event::off && sounding[{ e.channel, e.note }] > 0)
                --sounding[{ e.channel, e.note }];
            else if (e.kind == Event::off)
                ++strayNoteOffs;
        }
    }

    int numSounding() const
    {
        int total = 0;

        for (const auto& entry : sounding)
            total += entry.second;

        return total;
    }
};

/** A processor driven block by block, the way a host drives it. */
struct ProcessorHarness
{
    ProcessorHarness()
    {
        midi.ensureSize (4096);
    }

    void setChoice (const juce::String& id, int index)
    {
        auto* parameter = processor.parameters.getParameter (id);
        parameter->setValueNotifyingHost (parameter->convertTo0to1 ((float) index));
    }

    void setScale (int root, int scaleClass)
    {
        setChoice ("ROOT", root);
        setChoice ("SCALE_CLASS", scaleClass);
    }

    std::vector<Event> run (const std::vector<Event>& input, int numSamples = 512, bool bypassed = false)
    {
        audio.setSize (2, numSamples, false, false, true);
        midi.clear();

        for (const auto& e : input)
            midi.addEvent (e.toMessage(), e.position);

        if (bypassed)
            processor.processBlockBypassed (audio, midi);
        else
            processor.processBlock (audio, midi);

        std::vector<Event> output;

        for (const auto metadata : midi)
            output.push_back (Event::from (metadata.getMessage(), metadata.samplePosition));

        synth.play (output);
        return output;
    }

    CorvaneAudioProcessor processor;
    juce::AudioBuffer<float> audio { 2, 512 };
    juce::MidiBuffer midi;
    StandInSynth synth;
};
