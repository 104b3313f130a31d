// Replaces the global allocation functions of this test binary so a guard can count
// every heap allocation made on its own thread while the audio path runs.

#include "ProcessorHarness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

namespace
{
    thread_local bool countingAllocations = false;
    thread_local int allocationsCounted = 0;

    void* allocate (std::size_t size)
    {
        if (countingAllocations)
            ++allocationsCounted;

        if (auto* p = std::malloc (size == 0 ? 1 : size))
            return p;

        throw std::bad_alloc();
    }

    void* allocateAligned (std::size_t size, std::align_val_t alignment)
    {
        if (countingAllocations)
            ++allocationsCounted;

        const auto align = static_cast<std::size_t> (alignment);

        if (auto* p = std::aligned_alloc (align, (size + align - 1) / align * align))
            return p;

        throw std::bad_alloc();
    }

    /** Counts the allocations made on this thread while it lives. */
    struct ScopedAllocationCounter
    {
        ScopedAllocationCounter()   { allocationsCounted = 0; countingAllocations = true; }
        ~ScopedAllocationCounter()  { countingAllocations = false; }
        int count() const           { return allocationsCounted; }
    };
}

void* operator new (std::size_t size)                                   { return allocate (size); }
void* operator new[] (std::size_t size)                                 { return allocate (size); }
void* operator new (std::size_t size, const std::nothrow_t&) noexcept   { try { return allocate (size); } catch (...) { return nullptr; } }
void* operator new[] (std::size_t size, const std::nothrow_t&) noexcept { try { return allocate (size); } catch (...) { return nullptr; } }
void* operator new (std::size_t size, std::align_val_t a)               { return allocateAligned (size, a); }
void* operator new[] (std::size_t size, std::align_val_t a)             { return allocateAligned (size, a); }
void operator delete (void* p) noexcept                                 { std::free (p); }
void operator delete[] (void* p) noexcept                               { std::free (p); }
void operator delete (void* p, std::size_t) noexcept                    { std::free (p); }
void operator delete[] (void* p, std::size_t) noexcept                  { std::free (p); }
void operator delete (void* p, std::align_val_t) noexcept               { std::free (p); }
void operator delete[] (void* p, std::align_val_t) noexcept             { std::free (p); }
void operator delete (void* p, std::size_t, std::align_val_t) noexcept  { std::free (p); }
void operator delete[] (void* p, std::size_t, std::align_val_t) noexcept { std::free (p); }

namespace
{
    /** A block's worth of MIDI prepared before the count starts, as a host does. */
    struct AudioPath
    {
        AudioPath()
        {
            // A host's buffer that has already grown to the heaviest load it carries.
            midi.ensureSize (256 * 1024);
            processor.prepareToPlay (48000.0, blockSize);
            block ({});
        }

        int block (const std::vector<Event>& events)
        {
            midi.clear();

            for (const auto& e : events)
                midi.addEvent (e.toMessage(), e.position);

            const ScopedAllocationCounter counter;
            processor.processBlock (audio, midi);
            return counter.count();
        }

        void setChoice (const char* id, int index)
        {
            auto* parameter = processor.parameters.getParameter (id);
            parameter->setValueNotifyingHost (parameter->convertTo0to1 ((float) index));
        }

        static constexpr int blockSize = 512;
        ScopedFreshSharedRecord fresh;
        CorvaneAudioProcessor processor;
        juce::AudioBuffer<float> audio { 2, blockSize };
        juce::MidiBuffer midi;
    };

    std::vector<Event> everyKeyOnEveryChannel (Event::Kind kind)
    {
        std::vector<Event> events;

        for (int channel = 1; channel <= 16; ++channel)
            for (int note = 0; note < 128; ++note)
                events.push_back ({ kind, note, 0, channel, kind == Event::on ? 100 : 0 });

        return events;
    }
}

TEST (AudioThreadAllocations, NoneInSteadyStateOrOnChanges)
{
    AudioPath path;
    std::vector<Event> burst;

    for (int i = 0; i < 256; ++i)
        burst.push_back ({ Event::on, 20 + i % 90, i, 1 + i % 16 });

    EXPECT_EQ (path.block ({}), 0) << "an empty block";
    EXPECT_EQ (path.block ({ { Event::on, 61, 3 }, { Event::controller, 1, 4, 1, 9 } }), 0) << "a note and a controller";
    EXPECT_EQ (path.block ({ { Event::off, 61, 3, 1, 0 } }), 0) << "a release";
    EXPECT_EQ (path.block (burst), 0) << "256 note-ons in one block";

    path.setChoice ("ROOT", 2);
    EXPECT_EQ (path.block ({}), 0) << "a scale change re-sounding held notes";

    path.setChoice ("SOURCE", 1);
    ScopedFreshSharedRecord::publishChord (0x091);
    EXPECT_EQ (path.block ({}), 0) << "a chord change";

    ScopedFreshSharedRecord::publishScale (5, 3);
    EXPECT_EQ (path.block ({}), 0) << "a published scale";

    juce::MemoryBlock state;
    CorvaneAudioProcessor other;
    other.parameters.getParameter ("ROOT")->setValueNotifyingHost (1.0f);
    other.getStateInformation (state);
    path.processor.setStateInformation (state.getData(), (int) state.getSize());
    EXPECT_EQ (path.block ({}), 0) << "the block after a state restore";

    EXPECT_EQ (path.block ({ { Event::controller, 123, 0, 1, 0 } }), 0) << "all notes off";
}

TEST (AudioThreadAllocations, EveryKeyOnEveryChannelHeldAndResounded)
{
    AudioPath path;
    EXPECT_EQ (path.block (everyKeyOnEveryChannel (Event::on)), 0);

    for (int root : { 2, 7, 0 })
    {
        path.setChoice ("ROOT", root);
        EXPECT_EQ (path.block ({}), 0) << "re-sounding 2048 held notes in root " << root;
    }

    EXPECT_EQ (path.block (everyKeyOnEveryChannel (Event::off)), 0);
    EXPECT_TRUE (path.processor.getActiveNotes().empty());
}

TEST (AudioThreadAllocations, ASmallHostBufferGrowsOnceOnly)
{
    AudioPath path;
    path.midi = juce::MidiBuffer();
    path.midi.ensureSize (2048);    // the size a VST3 host's buffer starts at

    path.block (everyKeyOnEveryChannel (Event::on));
    path.setChoice ("ROOT", 2);
    path.block ({});                // may grow the host's buffer, once
    path.setChoice ("ROOT", 0);
    EXPECT_EQ (path.block ({}), 0) << "a second block of the same load";
}

TEST (AudioThreadAllocations, BypassedBlocks)
{
    AudioPath path;
    path.block ({ { Event::on, 61 } });
    path.midi.clear();
    path.midi.addEvent (juce::MidiMessage::noteOff (1, 61), 0);
    path.midi.addEvent (juce::MidiMessage::noteOn (1, 64, (juce::uint8) 90), 1);

    const ScopedAllocationCounter counter;
    path.processor.processBlockBypassed (path.audio, path.midi);
    EXPECT_EQ (counter.count(), 0);
}
