#include "PluginProcessor.h"

#include "PluginEditor.h"
#include "PitchClassSet.h"
#include "SharedScaleState.h"

#include <algorithm>
#include <cmath>

namespace
{
    const juce::String sourceID      { "SOURCE" };
    const juce::String correctionID  { "CORRECTION" };
    const juce::String interruptID   { "INTERRUPT" };
    const juce::String rootID        { "ROOT" };
    const juce::String scaleClassID  { "SCALE_CLASS" };
    const juce::Identifier stateType { "CorvaneParams" };

    constexpr int parameterVersionHint = 0;

    enum Correction { corrective = 0, filter = 1, stackChromatic = 2, stackWhite = 3 };
    enum Source { scaleSource = 0, chordSource = 1 };

    constexpr int pitchClasses = 12;
    constexpr int middleC = 60;
    constexpr int lowestMidiNote = 0;
    constexpr int highestMidiNote = 127;
    constexpr float velocityScale = 1.0f / 128.0f;
    constexpr int resoundNoteOnPosition = 1;
    constexpr int allSoundOffController = 120;
    constexpr int allNotesOffController = 123;

    constexpr std::array<int, pitchClasses> pcToWhiteKey { 0, -1, 1, -1, 2, 3, -1, 4, -1, 5, -1, 6 };

    using PitchClassSet::pitchClassOf;

    constexpr bool isSendable (int note) noexcept         { return note >= lowestMidiNote && note <= highestMidiNote; }
    constexpr int sendableOrSilent (int note) noexcept    { return isSendable (note) ? note : -1; }
    size_t channelNoteIndex (int channel, int note) noexcept
    {
        return (size_t) (juce::jlimit (1, 16, channel) - 1) * 128 + (size_t) juce::jlimit (0, 127, note);
    }

    /** The nearest note of pitch class target from note; a tritone moves down. */
    constexpr int shortestMove (int note, int target) noexcept
    {
        const auto delta = target - pitchClassOf (note);
        const auto up = ((delta % pitchClasses) + pitchClasses) % pitchClasses;
        const auto down = (delta - pitchClasses) % pitchClasses;
        return up < -down ? note + up : note + down;
    }

    constexpr int floorDiv (int a, int b) noexcept
    {
        return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
    }

    juce::MidiMessage withNoteNumber (juce::MidiMessage message, int note)
    {
        message.setNoteNumber (note);
        return message;
    }
}

//==============================================================================
void CorvaneAudioProcessor::HeldNoteSnapshots::publish (const std::vector<NoteMapping>& held) noexcept
{
    auto& slot = slots[(size_t) back];
    slot.count = (int) std::min (held.size(), slot.notes.size());

    for (size_t i = 0; i < (size_t) slot.count; ++i)
        slot.notes[i] = { pitchClassOf (held[i].inputNote),
                          held[i].outputNote < 0 ? -1 : pitchClassOf (held[i].outputNote) };

    back = middle.exchange (back | freshBit, std::memory_order_acq_rel) & ~freshBit;
}

std::vector<ActiveNote> CorvaneAudioProcessor::HeldNoteSnapshots::read() const
{
    const std::lock_guard<std::mutex> lock (readerLock);

    if ((middle.load (std::memory_order_acquire) & freshBit) != 0)
        front = middle.exchange (front, std::memory_order_acq_rel) & ~freshBit;

    const auto& slot = slots[(size_t) front];
    return { slot.notes.begin(), slot.notes.begin() + slot.count };
}

//==============================================================================
CorvaneAudioProcessor::CorvaneAudioProcessor()
    : AudioProcessor (BusesProperties().withInput  ("Input",  juce::AudioChannelSet::stereo(), true)
                                       .withOutput ("Output", juce::AudioChannelSet::stereo(), true)),
      parameters (*this, nullptr, stateType, createParameterLayout()),
      scalesData (ScaleUtils::getScalesJson())
{
    // Every (root, class) pair the parameters can name, looked up once here so the
    // audio thread only ever picks one.
    for (int root = 0; root < ScaleUtils::numRoots; ++root)
    {
        for (int cls = 0; cls < ScaleUtils::numScaleClasses; ++cls)
        {
            auto& prepared = preparedScales[(size_t) (cls * ScaleUtils::numRoots + root)];
            prepared.pitchMap = ScaleUtils::findScale (root, (ScaleUtils::ScaleClass) cls, scalesData);

            if (auto* map = prepared.pitchMap.getArray())
            {
                prepared.numEntries = std::min (map->size(), pitchClasses);

                for (int k = 0; k < prepared.numEntries; ++k)
                    prepared.entries[(size_t) k] = (int) map->getReference (k);
            }
        }
    }

    sourceParameter     = dynamic_cast<juce::AudioParameterChoice*> (parameters.getParameter (sourceID));
    correctionParameter = dynamic_cast<juce::AudioParameterChoice*> (parameters.getParameter (correctionID));
    interruptParameter  = parameters.getParameter (interruptID);
    rootParameter       = parameters.getParameter (rootID);
    scaleClassParameter = parameters.getParameter (scaleClassID);
    rawRoot             = parameters.getRawParameterValue (rootID);
    rawScaleClass       = parameters.getRawParameterValue (scaleClassID);

    heldNotes.reserve ((size_t) heldNoteCapacity);
    retriggerQueue.reserve ((size_t) heldNoteCapacity);

    // Room for a full re-sounding (a note-off and a note-on per held note) on top of a
    // dense block of incoming events; a MIDI event takes at most 16 bytes here.
    constexpr int bytesPerEvent = 16;
    outputMidi.ensureSize ((size_t) (4 * heldNoteCapacity * bytesPerEvent));

    for (auto* parameter : { rootParameter, scaleClassParameter,
                             static_cast<juce::RangedAudioParameter*> (sourceParameter),
                             static_cast<juce::RangedAudioParameter*> (correctionParameter) })
        parameter->addListener (this);
}

CorvaneAudioProcessor::~CorvaneAudioProcessor()
{
    for (auto* parameter : { rootParameter, scaleClassParameter,
                             static_cast<juce::RangedAudioParameter*> (sourceParameter),
                             static_cast<juce::RangedAudioParameter*> (correctionParameter) })
        parameter->removeListener (this);
}

//==============================================================================
juce::AudioProcessorValueTreeState::ParameterLayout CorvaneAudioProcessor::createParameterLayout()
{
    using Choice = juce::AudioParameterChoice;
    using ID = juce::ParameterID;

    juce::StringArray classNames;

    for (int cls = 0; cls < ScaleUtils::numScaleClasses; ++cls)
        classNames.add (ScaleUtils::classDisplayName ((ScaleUtils::ScaleClass) cls));

    juce::AudioProcessorValueTreeState::ParameterLayout layout;
    layout.add (std::make_unique<Choice> (ID { sourceID, parameterVersionHint }, "Source",
                                          juce::StringArray { "Scale", "Chord" }, 0));
    layout.add (std::make_unique<Choice> (ID { correctionID, parameterVersionHint }, "Correction",
                                          juce::StringArray { "Corrective", "Filter", "Stack (Chrom)", "Stack (White)" }, 0));
    layout.add (std::make_unique<juce::AudioParameterBool> (ID { interruptID, parameterVersionHint }, "Interrupt", true));
    layout.add (std::make_unique<Choice> (ID { rootID, parameterVersionHint }, "Root",
                                          juce::StringArray { "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B" }, 0));
    layout.add (std::make_unique<Choice> (ID { scaleClassID, parameterVersionHint }, "Scale Class", classNames, 1));
    return layout;
}

//==============================================================================
const juce::String CorvaneAudioProcessor::getName() const   { return "Aurelin"; }

void CorvaneAudioProcessor::prepareToPlay (double, int)
{
    // Opening the shared record means system calls; do it here rather than in the
    // first audio block.
    SharedScaleState::getInstance();
}

void CorvaneAudioProcessor::releaseResources()              {}

double CorvaneAudioProcessor::getTailLengthSeconds() const  { return 0.0; }
bool CorvaneAudioProcessor::acceptsMidi() const             { return true; }
bool CorvaneAudioProcessor::producesMidi() const            { return true; }
bool CorvaneAudioProcessor::isMidiEffect() const            { return false; }

juce::AudioProcessorEditor* CorvaneAudioProcessor::createEditor()   { return new CorvaneAudioProcessorEditor (*this); }
bool CorvaneAudioProcessor::hasEditor() const                       { return true; }

int CorvaneAudioProcessor::getNumPrograms()                                 { return 1; }
int CorvaneAudioProcessor::getCurrentProgram()                              { return 0; }
void CorvaneAudioProcessor::setCurrentProgram (int)                         {}
void CorvaneAudioProcessor::changeProgramName (int, const juce::String&)    {}

// Hosts list the one program by this name; a nameless entry shows as a blank preset.
const juce::String CorvaneAudioProcessor::getProgramName (int)              { return "Default"; }

bool CorvaneAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto output = layouts.getMainOutputChannelSet();

    if (output != juce::AudioChannelSet::mono() && output != juce::AudioChannelSet::stereo())
        return false;

    return layouts.getMainInputChannelSet() == output;
}

//==============================================================================
void CorvaneAudioProcessor::parameterValueChanged (int, float) {}

void CorvaneAudioProcessor::parameterGestureChanged (int parameterIndex, bool gestureIsStarting)
{
    if (! gestureIsStarting)
        return;

    const auto indexOf = [this] (const juce::String& id)
    {
        auto* parameter = parameters.getParameter (id);
        return parameter != nullptr ? parameter->getParameterIndex() : -1;
    };

    std::function<void()>* hook = nullptr;

    if (parameterIndex == indexOf (rootID))
        hook = &onRootGestureStart;
    else if (parameterIndex == indexOf (scaleClassID))
        hook = &onScaleClassGestureStart;
    else if (parameterIndex == indexOf (sourceID) || parameterIndex == indexOf (correctionID))
        hook = &onModeGestureStart;
    else
        return;

    if (*hook)
        (*hook)();
}

//==============================================================================
int CorvaneAudioProcessor::readChoiceIndex (const juce::AudioParameterChoice* parameter) const noexcept
{
    return parameter != nullptr ? parameter->getIndex() : 0;
}

// The raw values are the parameters' plain values (a choice's index), kept
// atomically by the parameter tree: the cheapest read there is on the audio thread.
int CorvaneAudioProcessor::readRootIndex() const noexcept
{
    return juce::roundToInt (rawRoot->load (std::memory_order_relaxed));
}

int CorvaneAudioProcessor::readScaleClassIndex() const noexcept
{
    return juce::roundToInt (rawScaleClass->load (std::memory_order_relaxed));
}

// The normalised value, not the raw one: the tree rounds a raw on/off value, which
// would turn exactly 0.5 on.
bool CorvaneAudioProcessor::isInterruptOn() const noexcept
{
    return interruptParameter->getValue() > 0.5f;
}

//==============================================================================
juce::uint16 CorvaneAudioProcessor::getPitchClassMask() const
{
    if (readChoiceIndex (sourceParameter) == chordSource && chordMask != 0)
        return chordMask;

    juce::uint16 mask = 0;

    if (currentScale != nullptr)
        for (int k = 0; k < currentScale->numEntries; ++k)
            if (currentScale->entries[(size_t) k] == k)
                mask = (juce::uint16) (mask | (1u << k));

    return mask;
}

int CorvaneAudioProcessor::getWhiteKeyIndex (int note) const
{
    const auto position = pcToWhiteKey[(size_t) pitchClassOf (note)];

    if (position < 0)
        return -1;

    return floorDiv (note, pitchClasses) * 7 + position;
}

int CorvaneAudioProcessor::getRemappedMidiNote (int note) const
{
    const auto correction = readChoiceIndex (correctionParameter);
    const auto pitchClass = pitchClassOf (note);
    PitchClassSet::List list {};

    if (correction == stackWhite)
    {
        const auto white = getWhiteKeyIndex (note);

        if (white < 0)
            return -1;

        const auto length = PitchClassSet::ascending (getPitchClassMask(), list);

        if (length == 0)
            return note;

        return (white / length) * pitchClasses + list[(size_t) (white % length)];
    }

    if (correction == stackChromatic)
    {
        const auto length = PitchClassSet::ascending (getPitchClassMask(), list);

        if (length == 0)
            return note;

        const auto d = note - middleC;
        const auto step = ((d % length) + length) % length;
        return middleC + pitchClasses * floorDiv (d, length) + list[(size_t) step];
    }

    if (correction == filter)
        return PitchClassSet::contains (getPitchClassMask(), pitchClass) ? note : -1;

    // A chord tone is its own nearest chord tone, and stays where it is.
    if (readChoiceIndex (sourceParameter) == chordSource && chordMask != 0)
        return shortestMove (note, PitchClassSet::nearest (chordMask, pitchClass));

    // A pitch class the map does not cover stays where it is.
    const auto target = (currentScale != nullptr && pitchClass < currentScale->numEntries)
                            ? currentScale->entries[(size_t) pitchClass]
                            : pitchClass;
    return shortestMove (note, target);
}

//==============================================================================
void CorvaneAudioProcessor::followSharedRecord (const SharedScaleState& shared)
{
    if (shared.data == nullptr || shared.data->sequence == lastSharedSequence)
        return;

    chordMask = shared.data->chordMask;
    lastSharedSequence = shared.data->sequence;

    rootParameter->setValueNotifyingHost ((float) shared.data->root / 11.0f);
    scaleClassParameter->setValueNotifyingHost ((float) shared.data->scaleClass / 6.0f);
}

bool CorvaneAudioProcessor::updateCurrentScale()
{
    const auto root = readRootIndex();
    const auto cls = readScaleClassIndex();

    if (root == lastRoot && cls == lastScaleClass)
        return false;

    lastRoot = root;
    lastScaleClass = cls;

    if (juce::isPositiveAndBelow (root, ScaleUtils::numRoots) && juce::isPositiveAndBelow (cls, ScaleUtils::numScaleClasses))
    {
        currentScale = &preparedScales[(size_t) (cls * ScaleUtils::numRoots + root)];
        currentPitchMap = currentScale->pitchMap;
    }
    else
    {
        currentScale = nullptr;
        currentPitchMap = juce::var();
    }

    return true;
}

int CorvaneAudioProcessor::resoundHeldNotes (juce::MidiBuffer& output, int numSamples)
{
    retriggerQueue.clear();

    for (auto& held : heldNotes)
    {
        const auto newNote = sendableOrSilent (getRemappedMidiNote (held.inputNote));

        if (newNote != held.outputNote)
        {
            retriggerQueue.push_back ({ held.outputNote, newNote, held.channel, held.velocity });
            held.outputNote = newNote;
            heldNotesChanged = true;

            if (newNote >= 0)
            {
                resoundedThisBlock.set (channelNoteIndex (held.channel, held.inputNote));
                anyResoundedThisBlock = true;
            }
        }
    }

    // The new note goes one sample after the old one's release, but never past the
    // end of a very short block.
    const auto noteOnPosition = juce::jmax (0, juce::jmin (resoundNoteOnPosition, numSamples - 1));

    for (const auto& queued : retriggerQueue)
    {
        const auto channel = juce::jlimit (1, 16, queued.channel);

        if (queued.inputNote >= 0)
            output.addEvent (juce::MidiMessage::noteOff (channel, queued.inputNote, (juce::uint8) 0), 0);

        if (queued.outputNote >= 0)
        {
            const auto velocity = juce::jlimit (0, 127, juce::roundToInt (queued.velocity * 127.0f));
            output.addEvent (juce::MidiMessage::noteOn (channel, queued.outputNote, (juce::uint8) velocity), noteOnPosition);
        }
    }

    retriggerQueue.clear();
    return noteOnPosition;
}

bool CorvaneAudioProcessor::releaseNote (const juce::MidiMessage& noteOff, int samplePosition,
                                         int earliestPosition, juce::MidiBuffer& output)
{
    const auto note = noteOff.getNoteNumber();
    const auto channel = noteOff.getChannel();

    const auto held = std::find_if (heldNotes.begin(), heldNotes.end(), [&] (const NoteMapping& m)
                                    { return m.inputNote == note && m.channel == channel; });

    if (held == heldNotes.end())
        return false;

    const auto outputNote = held->outputNote;
    heldNotes.erase (held);
    heldNotesChanged = true;

    if (outputNote < 0)
        return true;

    // A key released in the very block that re-sounded it must land after that
    // note-on, or the re-sounded note would be left hanging.
    const auto position = anyResoundedThisBlock && resoundedThisBlock.test (channelNoteIndex (channel, note))
                            ? juce::jmax (samplePosition, earliestPosition)
                            : samplePosition;

    output.addEvent (withNoteNumber (noteOff, outputNote), position);
    return true;
}

void CorvaneAudioProcessor::passOtherEvent (const juce::MidiMessage& message, int samplePosition, juce::MidiBuffer& output)
{
    output.addEvent (message, samplePosition);

    // A panic must clear what the host may have lost track of; otherwise a later
    // re-sounding would bring back notes that nothing will ever release.
    if (message.isControllerOfType (allNotesOffController) || message.isControllerOfType (allSoundOffController))
        forgetChannel (message.getChannel());
}

void CorvaneAudioProcessor::recordNote (const juce::MidiMessage& noteOn, int outputNote)
{
    heldNotes.push_back ({ noteOn.getNoteNumber(), outputNote, noteOn.getChannel(),
                           (float) noteOn.getVelocity() * velocityScale });
    heldNotesChanged = true;
}

void CorvaneAudioProcessor::forgetChannel (int channel) noexcept
{
    const auto sizeBefore = heldNotes.size();
    heldNotes.erase (std::remove_if (heldNotes.begin(), heldNotes.end(),
                                     [channel] (const NoteMapping& m) { return m.channel == channel; }),
                     heldNotes.end());
    heldNotesChanged = heldNotesChanged || heldNotes.size() != sizeBefore;
}

void CorvaneAudioProcessor::remapIncomingEvents (const juce::MidiBuffer& input, juce::MidiBuffer& output, int resoundPosition)
{
    for (const auto metadata : input)
    {
        const auto message = metadata.getMessage();
        const auto position = metadata.samplePosition;

        if (message.isNoteOn())
        {
            const auto newNote = getRemappedMidiNote (message.getNoteNumber());

            if (! isSendable (newNote))
                continue;

            recordNote (message, newNote);
            output.addEvent (withNoteNumber (message, newNote), position);
        }
        else if (message.isNoteOff())
        {
            releaseNote (message, position, resoundPosition, output);
        }
        else
        {
            passOtherEvent (message, position, output);
        }
    }
}

void CorvaneAudioProcessor::passThroughBypassed (const juce::MidiBuffer& input, juce::MidiBuffer& output)
{
    for (const auto metadata : input)
    {
        const auto message = metadata.getMessage();
        const auto position = metadata.samplePosition;

        if (message.isNoteOn())
        {
            // Still recorded, so the release after bypass ends sends the right note-off.
            recordNote (message, message.getNoteNumber());
            output.addEvent (message, position);
        }
        else if (message.isNoteOff())
        {
            if (! releaseNote (message, position, position, output))
                output.addEvent (message, position);
        }
        else
        {
            passOtherEvent (message, position, output);
        }
    }
}

void CorvaneAudioProcessor::finishBlock (juce::MidiBuffer& midiMessages)
{
    // Copy rather than swap: swapping would hand our reserve to the host's buffer and
    // leave us the host's small one to grow again on the next busy block.
    midiMessages.clear();
    midiMessages.addEvents (outputMidi, 0, -1, 0);
    outputMidi.clear();

    if (heldNotesChanged)
    {
        heldNoteSnapshots.publish (heldNotes);
        heldNotesChanged = false;
    }
}

void CorvaneAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midiMessages)
{
    buffer.clear();
    outputMidi.clear();

    if (anyResoundedThisBlock)
    {
        resoundedThisBlock.reset();
        anyResoundedThisBlock = false;
    }

    followSharedRecord (SharedScaleState::getInstance());

    bool changed = false;

    if (chordMask != lastChordMask)
    {
        lastChordMask = chordMask;
        changed = true;
    }

    changed = updateCurrentScale() || changed;

    auto resoundPosition = 0;

    if (changed && isInterruptOn())
        resoundPosition = resoundHeldNotes (outputMidi, buffer.getNumSamples());

    remapIncomingEvents (midiMessages, outputMidi, resoundPosition);
    finishBlock (midiMessages);
}

void CorvaneAudioProcessor::processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midiMessages)
{
    buffer.clear();
    outputMidi.clear();
    passThroughBypassed (midiMessages, outputMidi);
    finishBlock (midiMessages);
}

std::vector<ActiveNote> CorvaneAudioProcessor::getActiveNotes() const
{
    return heldNoteSnapshots.read();
}

//==============================================================================
namespace
{
    /** The framework's unwrapping of XML from a memory block (magic number, length,
        text), except that text which is not valid UTF-8 is refused: the XML parser
        reads past the end of a string that ends inside a multi-byte sequence. */
    std::unique_ptr<juce::XmlElement> readStateXml (const void* data, int sizeInBytes)
    {
        constexpr juce::uint32 magicXmlNumber = 0x21324356;
        constexpr int headerSize = 8;

        if (data == nullptr || sizeInBytes <= headerSize)
            return {};

        const auto* bytes = static_cast<const char*> (data);

        if (juce::ByteOrder::littleEndianInt (bytes) != magicXmlNumber)
            return {};

        const auto length = (int) juce::ByteOrder::littleEndianInt (bytes + 4);

        if (length <= 0)
            return {};

        const auto textSize = juce::jmin (sizeInBytes - headerSize, length);

        if (! juce::CharPointer_UTF8::isValidString (bytes + headerSize, textSize))
            return {};

        return juce::parseXML (juce::String::fromUTF8 (bytes + headerSize, textSize));
    }
}

void CorvaneAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    const auto state = parameters.copyState();

    if (const auto xml = state.createXml())
        copyXmlToBinary (*xml, destData);
}

void CorvaneAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    if (data == nullptr || sizeInBytes <= 0)
        return;

    const auto xml = readStateXml (data, sizeInBytes);

    if (xml == nullptr || ! xml->getTagName().equalsIgnoreCase (stateType.toString()))
        return;

    // Stray text between the elements has no place in a parameter tree.
    xml->deleteAllTextElements();

    // Check every value first, so a damaged block changes nothing rather than some
    // of the settings.
    auto tree = juce::ValueTree::fromXml (*xml);

    if (! tree.isValid())
        return;

    for (int i = tree.getNumChildren(); --i >= 0;)
    {
        const auto child = tree.getChild (i);
        auto* parameter = parameters.getParameter (child.getProperty ("id").toString());

        if (parameter == nullptr)
        {
            tree.removeChild (i, nullptr);
            continue;
        }

        const auto value = child.getProperty ("value");
        const auto text = value.toString().trim();

        if (value.isVoid() || ! (value.isDouble() || value.isInt() || value.isInt64()
                                 || (text.isNotEmpty() && text.containsOnly ("0123456789.-+eE")
                                     && std::isfinite (text.getDoubleValue()))))
            return;
    }

    parameters.replaceState (tree);
}

//==============================================================================
// The framework's plug-in wrapper creates every instance through this.
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new CorvaneAudioProcessor();
}
