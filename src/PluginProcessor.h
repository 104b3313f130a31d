#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include "ScaleUtils.h"

#include <array>
#include <atomic>
#include <bitset>
#include <functional>
#include <mutex>
#include <vector>

class SharedScaleState;

/** One held note: the key that was pressed and the note that sounds for it. */
struct NoteMapping
{
    int inputNote;      // note number of the incoming note-on, 0-127
    int outputNote;     // note number sounding for it; negative while the note is silent
    int channel;        // 1-16
    float velocity;     // 7-bit velocity / 128
};

/** The editor's view of one held note. */
struct ActiveNote
{
    int inputPitchClass;
    int outputPitchClass;   // -1 while the note is silent
};

//==============================================================================
/** The plug-in: moves every incoming note into the active pitch classes of the
    current scale or chord, remembers what it sent so each key releases what it
    sounded, and follows the machine-wide scale record.

    Threads: construction, destruction, editor creation, programs and bus queries on
    the message thread; processBlock() and processBlockBypassed() on the audio thread,
    where nothing allocates, blocks or touches a file; getActiveNotes() on the message
    thread, concurrently with the audio thread; state save and restore on any thread.
*/
class CorvaneAudioProcessor final : public juce::AudioProcessor,
                                    public juce::AudioProcessorParameter::Listener
{
public:
    //==============================================================================
    CorvaneAudioProcessor();
    ~CorvaneAudioProcessor() override;

    //==============================================================================
    const juce::String getName() const override;

    void prepareToPlay (double sampleRate, int samplesPerBlock) override;
    void releaseResources() override;

    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    void processBlockBypassed (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    using AudioProcessor::processBlock;
    using AudioProcessor::processBlockBypassed;

    double getTailLengthSeconds() const override;
    bool acceptsMidi() const override;
    bool producesMidi() const override;
    bool isMidiEffect() const override;

    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override;

    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;

    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    //==============================================================================
    void parameterValueChanged (int parameterIndex, float newValue) override;
    void parameterGestureChanged (int parameterIndex, bool gestureIsStarting) override;

    //==============================================================================
    /** The note number to send for an incoming note, or a negative number to drop it.
        The stacking and corrective moves may give numbers above 127; callers that
        send MIDI treat those as dropped too. */
    int getRemappedMidiNote (int note) const;

    /** Bit k set for every active pitch class k. */
    juce::uint16 getPitchClassMask() const;

    /** The running index of a white key counted from note 0, or -1 for a black key. */
    int getWhiteKeyIndex (int note) const;

    /** A consistent snapshot of the held notes, in the order their keys went down. */
    std::vector<ActiveNote> getActiveNotes() const;

    static juce::AudioProcessorValueTreeState::ParameterLayout createParameterLayout();

    //==============================================================================
    /** Run when a change gesture starts on ROOT, on SCALE_CLASS, or on SOURCE or
        CORRECTION. Installed by the editor, which empties them before it goes. */
    std::function<void()> onRootGestureStart;
    std::function<void()> onScaleClassGestureStart;
    std::function<void()> onModeGestureStart;

    juce::AudioProcessorValueTreeState parameters;

    /** Room for every key on every channel before the held-note lists must grow. */
    static constexpr int heldNoteCapacity = 16 * 128;

private:
    //==============================================================================
    struct PreparedScale
    {
        juce::var pitchMap;
        std::array<int, 12> entries {};
        int numEntries = 0;
    };

    /** The held notes as last published by the audio thread: a triple buffer, so
        neither side ever waits for the other. */
    class HeldNoteSnapshots
    {
    public:
        void publish (const std::vector<NoteMapping>& held) noexcept;
        std::vector<ActiveNote> read() const;

    private:
        struct Slot
        {
            std::array<ActiveNote, heldNoteCapacity> notes;
            int count = 0;
        };

        static constexpr int freshBit = 4;

        std::array<Slot, 3> slots {};
        mutable std::atomic<int> middle { 1 };
        int back = 0;               // audio thread only
        mutable int front = 2;      // readers only, under readerLock
        mutable std::mutex readerLock;
    };

    int readChoiceIndex (const juce::AudioParameterChoice* parameter) const noexcept;
    int readRootIndex() const noexcept;
    int readScaleClassIndex() const noexcept;
    bool isInterruptOn() const noexcept;

    void followSharedRecord (const SharedScaleState& shared);
    bool updateCurrentScale();
    int resoundHeldNotes (juce::MidiBuffer& output, int numSamples);
    void remapIncomingEvents (const juce::MidiBuffer& input, juce::MidiBuffer& output, int resoundPosition);
    void passThroughBypassed (const juce::MidiBuffer& input, juce::MidiBuffer& output);
    void recordNote (const juce::MidiMessage& noteOn, int outputNote);
    bool releaseNote (const juce::MidiMessage& noteOff, int samplePosition, int earliestPosition, juce::MidiBuffer& output);
    void passOtherEvent (const juce::MidiMessage& message, int samplePosition, juce::MidiBuffer& output);
    void forgetChannel (int channel) noexcept;
    void finishBlock (juce::MidiBuffer& midiMessages);

    //==============================================================================
    juce::var scalesData;
    juce::var currentPitchMap;
    std::vector<NoteMapping> heldNotes;
    std::vector<NoteMapping> retriggerQueue;
    int lastRoot = -1;
    int lastScaleClass = -1;
    juce::uint16 lastChordMask = 0;
    juce::uint64 lastSharedSequence = 0;
    juce::uint16 chordMask = 0;

    std::array<PreparedScale, ScaleUtils::numRoots * ScaleUtils::numScaleClasses> preparedScales;
    const PreparedScale* currentScale = nullptr;

    juce::AudioParameterChoice* sourceParameter = nullptr;
    juce::AudioParameterChoice* correctionParameter = nullptr;
    juce::RangedAudioParameter* interruptParameter = nullptr;
    juce::RangedAudioParameter* rootParameter = nullptr;
    juce::RangedAudioParameter* scaleClassParameter = nullptr;
    std::atomic<float>* rawRoot = nullptr;
    std::atomic<float>* rawScaleClass = nullptr;

    juce::MidiBuffer outputMidi;
    std::bitset<16 * 128> resoundedThisBlock;
    bool anyResoundedThisBlock = false;
    bool heldNotesChanged = true;
    HeldNoteSnapshots heldNoteSnapshots;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CorvaneAudioProcessor)
};
