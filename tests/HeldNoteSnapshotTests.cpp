// Built with ThreadSanitizer in CI: the snapshot the editor takes must never mix two
// states of the held-note list, whatever the audio thread is doing at the time.

#include "ProcessorHarness.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{
    constexpr int maxHeld = 24;

    /** In C diatonic, Corrective: the note that sounds for a key, as a pitch class. */
    int correctedPitchClass (int note)
    {
        static constexpr int map[] { 0, 0, 2, 2, 4, 5, 5, 7, 7, 9, 9, 11 };
        return map[note % 12];
    }

    /** The held list is always a run of consecutive keys from one of two first keys,
        so any snapshot taken halfway through a change would show. */
    bool isAStateTheListHad (const std::vector<ActiveNote>& snapshot)
    {
        if (snapshot.size() > (size_t) maxHeld)
            return false;

        for (const int first : { 48, 53 })
        {
            bool matches = true;

            for (size_t i = 0; i < snapshot.size() && matches; ++i)
                matches = snapshot[i].inputPitchClass == (first + (int) i) % 12
                       && snapshot[i].outputPitchClass == correctedPitchClass (first + (int) i);

            if (matches)
                return true;
        }

        return false;
    }
}

TEST (HeldNoteSnapshots, ReadersSeeOnlyWholeStatesWhileTheAudioThreadRuns)
{
    const ScopedFreshSharedRecord fresh;
    ProcessorHarness h;
    h.run ({});

    std::atomic<bool> running { true };
    std::atomic<int> blocks { 0 };

    std::thread audio ([&]
    {
        juce::MidiBuffer midi;
        juce::AudioBuffer<float> buffer (2, 64);
        int first = 48, held = 0;

        while (running.load())
        {
            midi.clear();

            if (held == maxHeld)
            {
                // Release them all in one block and start over from the other key.
                for (int i = 0; i < held; ++i)
                    midi.addEvent (juce::MidiMessage::noteOff (1, first + i), i);

                held = 0;
                first = first == 48 ? 53 : 48;
            }
            else
            {
                midi.addEvent (juce::MidiMessage::noteOn (1, first + held++, (juce::uint8) 90), 0);
            }

            h.processor.processBlock (buffer, midi);
            ++blocks;
        }
    });

    int snapshots = 0, torn = 0;
    const auto end = juce::Time::getMillisecondCounter() + 3000;

    while (juce::Time::getMillisecondCounter() < end)
    {
        if (! isAStateTheListHad (h.processor.getActiveNotes()))
            ++torn;

        ++snapshots;
    }

    running = false;
    audio.join();

    EXPECT_EQ (torn, 0) << "of " << snapshots << " snapshots";
    EXPECT_GT (blocks.load(), 1000);
}
