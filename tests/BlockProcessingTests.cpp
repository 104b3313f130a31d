#include "ProcessorHarness.h"

#include <gtest/gtest.h>

namespace
{
    using E = Event;
    using Events = std::vector<Event>;

    enum { diatonic = 1 };

    /** Starts in C diatonic, Corrective, Interrupt on, with nothing published. */
    struct BlockProcessing : ::testing::Test
    {
        void SetUp() override
        {
            h.run ({});
        }

        ScopedFreshSharedRecord fresh;
        ProcessorHarness h;
    };
}

TEST_F (BlockProcessing, SilencesAudioAndPassesNothingWhenNothingHappens)
{
    h.audio.setSize (2, 512);
    h.audio.applyGain (0.0f);
    h.audio.setSample (0, 10, 0.5f);
    h.audio.setSample (1, 300, -0.5f);
    h.midi.clear();
    h.processor.processBlock (h.audio, h.midi);
    EXPECT_EQ (h.audio.getMagnitude (0, 512), 0.0f);
    EXPECT_TRUE (h.midi.isEmpty());
}

TEST_F (BlockProcessing, NoteOffReleasesThePitchThatWasSent)
{
    EXPECT_EQ (h.run ({ { E::on, 61, 10 } }), (Events { { E::on, 60, 10 } }));
    EXPECT_EQ (h.run ({ { E::off, 61, 5, 1, 0 } }), (Events { { E::off, 60, 5, 1, 0 } }));

    // A note-on of velocity 0 releases too, and stays a note-on on its way out.
    h.run ({ { E::on, 61 } });
    h.midi.clear();
    h.midi.addEvent (juce::MidiMessage::noteOn (1, 61, (juce::uint8) 0), 3);
    h.processor.processBlock (h.audio, h.midi);
    ASSERT_EQ (h.midi.getNumEvents(), 1);
    const auto out = (*h.midi.begin()).getMessage();
    EXPECT_TRUE (out.isNoteOn (true));
    EXPECT_EQ (out.getNoteNumber(), 60);
    EXPECT_TRUE (h.processor.getActiveNotes().empty());
}

TEST_F (BlockProcessing, Pairing)
{
    // Two presses of one key: the first release ends the older record.
    h.setChoice ("ROOT", 0);
    h.run ({ { E::on, 61, 0, 1 }, { E::on, 61, 1, 1 } });
    EXPECT_EQ (h.processor.getActiveNotes().size(), 2u);
    EXPECT_EQ (h.run ({ { E::off, 61, 0, 1, 0 } }), (Events { { E::off, 60, 0, 1, 0 } }));
    EXPECT_EQ (h.processor.getActiveNotes().size(), 1u);

    // A release on another channel finds nothing and is swallowed.
    EXPECT_TRUE (h.run ({ { E::off, 61, 0, 2, 0 } }).empty());
    EXPECT_EQ (h.processor.getActiveNotes().size(), 1u);

    // So is one for a key pressed before the plug-in was there.
    EXPECT_TRUE (h.run ({ { E::off, 70, 0, 1, 0 } }).empty());
}

TEST_F (BlockProcessing, FilterSwallowsOutsideNotesAndTheirReleases)
{
    h.setChoice ("CORRECTION", 1);
    EXPECT_TRUE (h.run ({ { E::on, 61 } }).empty());
    EXPECT_TRUE (h.run ({ { E::off, 61, 0, 1, 0 } }).empty());
}

TEST_F (BlockProcessing, OtherEventsPassUnchanged)
{
    h.midi.clear();
    h.midi.addEvent (juce::MidiMessage::pitchWheel (2, 9000), 4);
    h.midi.addEvent (juce::MidiMessage::aftertouchChange (1, 61, 50), 5);
    h.midi.addEvent (juce::MidiMessage::controllerEvent (3, 1, 64), 6);
    h.midi.addEvent (juce::MidiMessage::midiClock(), 7);
    const auto input = h.midi;
    h.processor.processBlock (h.audio, h.midi);

    ASSERT_EQ (h.midi.getNumEvents(), input.getNumEvents());

    for (auto a = input.begin(), b = h.midi.begin(); a != input.end(); ++a, ++b)
    {
        EXPECT_EQ ((*a).samplePosition, (*b).samplePosition);
        EXPECT_EQ ((*a).getMessage().getDescription(), (*b).getMessage().getDescription());
    }
}

TEST_F (BlockProcessing, ResoundingWithInterrupt)
{
    struct Case { const char* what; int heldNote; int correction; bool interrupt; Events expected; };

    const Case cases[] {
        { "E stays E in D diatonic",          64, 0, true,  {} },
        { "F moves to E",                     65, 0, true,  { { E::off, 65, 0, 3, 0 }, { E::on, 64, 1, 3, 99 } } },
        { "interrupt off leaves it sounding", 65, 0, false, {} },
        { "filter silences an outside note",  65, 1, true,  { { E::off, 65, 0, 3, 0 } } },
    };

    for (const auto& c : cases)
    {
        ProcessorHarness p;
        p.setChoice ("CORRECTION", c.correction);
        p.processor.parameters.getParameter ("INTERRUPT")->setValueNotifyingHost (c.interrupt ? 1.0f : 0.0f);
        p.run ({ { E::on, c.heldNote, 0, 3, 100 } });
        p.setChoice ("ROOT", 2);
        EXPECT_EQ (p.run ({}), c.expected) << c.what;

        // The key's release ends whatever sounds for it, and nothing is left.
        p.run ({ { E::off, c.heldNote, 0, 3, 0 } });
        EXPECT_EQ (p.synth.numSounding(), 0) << c.what;
        EXPECT_EQ (p.synth.strayNoteOffs, 0) << c.what;
    }
}

TEST_F (BlockProcessing, ResoundedVelocities)
{
    for (const auto& [in, out] : { std::pair { 127, 126 }, { 100, 99 }, { 64, 64 }, { 1, 1 } })
    {
        ProcessorHarness p;
        p.run ({ { E::on, 65, 0, 1, in } });
        p.setChoice ("ROOT", 2);
        const auto events = p.run ({});
        ASSERT_EQ (events.size(), 2u);
        EXPECT_EQ (events[1].velocity, out) << in;
    }
}

TEST_F (BlockProcessing, SilentRecordSoundsAgainWithANoteOnOnly)
{
    h.setChoice ("CORRECTION", 1);
    h.run ({ { E::on, 65 } });
    h.setChoice ("ROOT", 2);                 // F leaves the scale
    EXPECT_EQ (h.run ({}), (Events { { E::off, 65, 0, 1, 0 } }));
    EXPECT_EQ (h.processor.getActiveNotes().front().outputPitchClass, -1);
    h.setChoice ("ROOT", 0);                 // and comes back
    EXPECT_EQ (h.run ({}), (Events { { E::on, 65, 1, 1, 99 } }));
    EXPECT_EQ (h.run ({ { E::off, 65, 7, 1, 0 } }), (Events { { E::off, 65, 7, 1, 0 } }));
}

TEST_F (BlockProcessing, SharedRecordFollowedOnlyOnANewSequence)
{
    ScopedFreshSharedRecord::publishScale (2, 0);
    h.run ({});
    EXPECT_EQ (h.processor.parameters.getParameter ("ROOT")->getCurrentValueAsText(), "D");
    EXPECT_EQ (h.processor.parameters.getParameter ("SCALE_CLASS")->getCurrentValueAsText(), "Acoustic");

    // The chord mask alone, without a new counter, is not taken.
    h.setChoice ("SOURCE", 1);
    ScopedFreshSharedRecord::record()->chordMask = 0x091;
    h.run ({});
    EXPECT_NE (h.processor.getPitchClassMask(), 0x091);

    // The same scale published again: the parameters are written, nothing re-sounds.
    h.setChoice ("SOURCE", 0);
    h.run ({ { E::on, 65 } });
    ScopedFreshSharedRecord::record()->chordMask = 0;
    ScopedFreshSharedRecord::publishScale (2, 0);
    EXPECT_EQ (h.run ({}).size(), 0u);
}

TEST_F (BlockProcessing, ChordChangeUnderScaleSourceResoundsNothing)
{
    h.run ({ { E::on, 65 } });
    ScopedFreshSharedRecord::publishChord (0x091);
    EXPECT_TRUE (h.run ({}).empty());
    h.setChoice ("SOURCE", 1);
    h.run ({});                              // the source is no scale change
    ScopedFreshSharedRecord::publishChord (0x211);      // C E A: F moves to E
    EXPECT_EQ (h.run ({}), (Events { { E::off, 65, 0, 1, 0 }, { E::on, 64, 1, 1, 99 } }));
}

TEST_F (BlockProcessing, NewInstanceTakesAPublishedScaleOverItsOwn)
{
    ScopedFreshSharedRecord::publishScale (9, 3);
    ProcessorHarness second;
    second.setScale (0, 1);
    second.run ({});
    EXPECT_EQ (second.processor.parameters.getParameter ("ROOT")->getCurrentValueAsText(), "A");
    EXPECT_EQ (second.processor.parameters.getParameter ("SCALE_CLASS")->getCurrentValueAsText(), "Harmonic Minor");
}

//==============================================================================
// Faults that once left notes hanging or sent what MIDI cannot carry.

TEST_F (BlockProcessing, NotesOutsideTheMidiRangeAreDropped)
{
    h.setChoice ("CORRECTION", 2);           // C diatonic, Stack (Chrom): 100 would play 129
    EXPECT_TRUE (h.run ({ { E::on, 100 } }).empty());
    EXPECT_TRUE (h.run ({ { E::off, 100, 0, 1, 0 } }).empty());
    EXPECT_TRUE (h.processor.getActiveNotes().empty());

    // A held note re-sounded out of range falls silent, as a dropped one does.
    ProcessorHarness p;
    p.setScale (0, 2);                       // C harmonic major keeps 127
    p.run ({ { E::on, 127 } });
    p.setChoice ("ROOT", 9);                 // A harmonic major would move it to 128
    EXPECT_EQ (p.run ({}), (Events { { E::off, 127, 0, 1, 0 } }));
    EXPECT_EQ (p.processor.getActiveNotes().front().outputPitchClass, -1);
    EXPECT_TRUE (p.run ({ { E::off, 127, 0, 1, 0 } }).empty());
    EXPECT_EQ (p.synth.numSounding(), 0);
}

TEST_F (BlockProcessing, KeyReleasedInTheBlockThatResoundsItLeavesNothing)
{
    h.run ({ { E::on, 65 } });
    h.setChoice ("ROOT", 2);
    const auto out = h.run ({ { E::off, 65, 0, 1, 0 } });
    EXPECT_EQ (out, (Events { { E::off, 65, 0, 1, 0 }, { E::on, 64, 1, 1, 99 }, { E::off, 64, 1, 1, 0 } }));
    EXPECT_EQ (h.synth.numSounding(), 0);
    EXPECT_TRUE (h.processor.getActiveNotes().empty());
}

TEST_F (BlockProcessing, ResoundingStaysInsideAOneSampleBlock)
{
    h.run ({ { E::on, 65 } });
    h.setChoice ("ROOT", 2);
    EXPECT_EQ (h.run ({}, 1), (Events { { E::off, 65, 0, 1, 0 }, { E::on, 64, 0, 1, 99 } }));
}

TEST_F (BlockProcessing, PanicForgetsTheChannelsHeldNotes)
{
    for (int controller : { 123, 120 })
    {
        ProcessorHarness p;
        p.run ({ { E::on, 65, 0, 1 }, { E::on, 67, 0, 2 } });
        const auto passed = p.run ({ { E::controller, controller, 0, 1, 0 } });
        EXPECT_EQ (passed, (Events { { E::controller, controller, 0, 1, 0 } }));
        ASSERT_EQ (p.processor.getActiveNotes().size(), 1u) << "channel 2 keeps its note";

        // A later scale change brings back nothing the host has already silenced.
        p.setChoice ("ROOT", 2);
        EXPECT_TRUE (p.run ({}).empty());
    }
}

TEST_F (BlockProcessing, NothingSticksAcrossScaleChordAndBypassChanges)
{
    // Keys go down and up while scales, chords, interrupt and bypass change around
    // them; afterwards nothing may be left sounding.
    juce::Random random (1234);

    for (int round = 0; round < 200; ++round)
    {
        Events input;
        const auto bypassed = random.nextInt (5) == 0;

        switch (random.nextInt (6))
        {
            case 0:  h.setChoice ("ROOT", random.nextInt (12)); break;
            case 1:  h.setChoice ("SCALE_CLASS", random.nextInt (7)); break;
            case 2:  h.setChoice ("CORRECTION", random.nextInt (4)); break;
            case 3:  h.setChoice ("SOURCE", random.nextInt (2)); break;
            case 4:  ScopedFreshSharedRecord::publishChord ((juce::uint16) random.nextInt (0x1000)); break;
            default: h.processor.parameters.getParameter ("INTERRUPT")->setValueNotifyingHost (random.nextBool() ? 1.0f : 0.0f); break;
        }

        for (int i = random.nextInt (4); --i >= 0;)
        {
            const auto key = 40 + random.nextInt (50);
            input.push_back ({ random.nextBool() ? E::on : E::off, key, random.nextInt (64), 1 + random.nextInt (2), random.nextBool() ? 100 : 0 });
        }

        std::sort (input.begin(), input.end(), [] (const Event& a, const Event& b) { return a.position < b.position; });
        h.run (input, 64, bypassed);
    }

    // Release every key on both channels, some while bypassed.
    for (int channel : { 1, 2 })
        for (int key = 40; key < 90; ++key)
            for (int repeat = 0; repeat < 8; ++repeat)
                h.run ({ { E::off, key, 0, channel, 0 } }, 64, key % 3 == 0);

    EXPECT_EQ (h.synth.numSounding(), 0);
    EXPECT_TRUE (h.processor.getActiveNotes().empty());
}

TEST_F (BlockProcessing, BypassPassesNotesButReleasesWhatWasSent)
{
    h.run ({ { E::on, 61 } });                                              // sounds 60
    EXPECT_EQ (h.run ({ { E::on, 63 } }, 512, true), (Events { { E::on, 63 } }));
    EXPECT_EQ (h.run ({ { E::off, 61, 0, 1, 0 } }, 512, true), (Events { { E::off, 60, 0, 1, 0 } }));
    EXPECT_EQ (h.run ({ { E::off, 63, 0, 1, 0 } }), (Events { { E::off, 63, 0, 1, 0 } }));
    EXPECT_EQ (h.synth.numSounding(), 0);
}
