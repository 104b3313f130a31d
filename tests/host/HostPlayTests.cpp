#include "HostTestSupport.h"

#include <gtest/gtest.h>

#include <regex>

using namespace HostTest;

namespace
{
    struct PlayCase
    {
        const char* name;
        juce::StringArray args;
        std::vector<std::string> expectedOut;
    };

    /** Plays each case through the real bundle and checks every event that came out,
        and that nothing is left sounding once every key is up. */
    void checkPlayCases (const std::vector<PlayCase>& cases)
    {
        for (const auto& c : cases)
        {
            SCOPED_TRACE (c.name);
            auto args = juce::StringArray { "play", getBundle().getFullPathName() };
            args.addArray (c.args);

            const auto run = runHost (args);
            ASSERT_EQ (run.exitCode, 0) << run.err;
            EXPECT_EQ (midiEvents (run.out, "out"), c.expectedOut) << run.out;
            EXPECT_EQ (valueAfter (run.out, "sounding at the end"), "none") << run.out;
        }
    }
}

//==============================================================================
/** Every test here plays through an instance that reads the machine-wide scale
    record, so the record is kept fresh (nothing published) while it runs. */
class HostPlay : public ::testing::Test
{
protected:
    SharedRecordGuard record;
    TempFolder temp;
};

TEST_F (HostPlay, NotesComeOutCorrectedAndAreReleasedAtTheSentPitch)
{
    checkPlayCases ({
        { "C diatonic, Corrective: C# goes down to C",
          { "--set", "ROOT=C", "--set", "SCALE_CLASS=Diatonic", "--set", "CORRECTION=Corrective", "--note", "61@10+1000" },
          { "10 note-on 1 60 100", "1010 note-off 1 60 0" } },

        { "Filter drops a note outside the scale and its release, and passes one inside",
          { "--set", "CORRECTION=Filter", "--note", "61@0+100", "--note", "64@0+100" },
          { "0 note-on 1 64 100", "100 note-off 1 64 0" } },

        { "D diatonic on channel 3: F down to E, C down to B, velocities kept",
          { "--set", "root=D", "--note", "65@0+600,ch=3", "--note", "60@300+600,ch=3,vel=90" },
          { "0 note-on 3 64 100", "300 note-on 3 59 90", "600 note-off 3 64 0", "900 note-off 3 59 0" } },

        // A VST3 host passes controllers as parameter changes; the framework's hosting
        // gives each one the start of its block.
        { "Controllers pass through on their channel",
          { "--cc", "64=127@5,ch=2", "--cc", "64=0@700,ch=2" },
          { "0 cc 2 64 127", "512 cc 2 64 0" } },
    });
}

TEST_F (HostPlay, BypassWithAKeyHeldReleasesThePitchThatWasSent)
{
    checkPlayCases ({
        { "bypass switched on while the key is down",
          { "--note", "61@0+2048", "--bypass-from", "1024" },
          { "0 note-on 1 60 100", "2048 note-off 1 60 0" } },

        // Without Interrupt the note keeps its pitch when the plug-in comes back.
        { "bypass switched off while the key is down",
          { "--set", "INTERRUPT=off", "--note", "61@0+2048", "--bypass-until", "1024" },
          { "0 note-on 1 61 100", "2048 note-off 1 61 0" } },

        { "bypassed throughout: notes pass unchanged",
          { "--bypass", "--note", "61@0+100" },
          { "0 note-on 1 61 100", "100 note-off 1 61 0" } },
    });
}

TEST_F (HostPlay, StateSavedInOneInstanceIsRestoredInAnother)
{
    const auto bundle = getBundle().getFullPathName();
    const auto state = temp.file ("d-filter.state").getFullPathName();

    const auto saving = runHost ({ "play", bundle, "--set", "ROOT=D", "--set", "CORRECTION=Filter", "--set", "INTERRUPT=off",
                                   "--save-state", state });
    ASSERT_EQ (saving.exitCode, 0) << saving.err;

    const auto restored = runHost ({ "info", bundle, "--state", state });
    ASSERT_EQ (restored.exitCode, 0) << restored.err;
    EXPECT_TRUE (restored.out.contains ("\"Correction\", default \"Corrective\", current \"Filter\"")) << restored.out;
    EXPECT_TRUE (restored.out.contains ("\"Interrupt\", default \"On\", current \"Off\"")) << restored.out;
    EXPECT_TRUE (restored.out.contains ("\"Root\", default \"C\", current \"D\"")) << restored.out;
    EXPECT_TRUE (restored.out.contains ("magic \"VC2!\"")) << restored.out;

    // D diatonic with Filter: C is dropped, C# passes.
    const auto playing = runHost ({ "play", bundle, "--state", state, "--note", "60@0+100", "--note", "61@0+100" });
    ASSERT_EQ (playing.exitCode, 0) << playing.err;
    EXPECT_EQ (midiEvents (playing.out, "out"), (std::vector<std::string> { "0 note-on 1 61 100", "100 note-off 1 61 0" }));
}

TEST_F (HostPlay, ReadsAStandardMidiFileThroughItsTempoMap)
{
    constexpr int ticksPerQuarter = 960;
    constexpr int halfBeat = ticksPerQuarter / 2;

    struct TempoCase
    {
        const char* name;
        std::optional<double> secondsPerQuarter;
        int releaseSample;
    };

    // At 48 kHz half a beat is 12000 samples at 120 bpm, the rate a file without a
    // tempo plays at, and 24000 at 60 bpm.
    const std::vector<TempoCase> cases { { "no tempo", std::nullopt, 12000 }, { "60 bpm", 1.0, 24000 } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        juce::MidiMessageSequence track;

        if (c.secondsPerQuarter.has_value())
            track.addEvent (juce::MidiMessage::tempoMetaEvent (juce::roundToInt (*c.secondsPerQuarter * 1.0e6)), 0);

        track.addEvent (juce::MidiMessage::noteOn (1, 61, (juce::uint8) 80), 0);
        track.addEvent (juce::MidiMessage::noteOff (1, 61), halfBeat);

        juce::MidiFile midiFile;
        midiFile.setTicksPerQuarterNote (ticksPerQuarter);
        midiFile.addTrack (track);

        const auto file = temp.file ("phrase.mid");
        file.deleteFile();

        {
            juce::FileOutputStream stream (file);
            ASSERT_TRUE (midiFile.writeTo (stream));
        }

        const auto run = runHost ({ "play", getBundle().getFullPathName(), "--midi", file.getFullPathName() });
        ASSERT_EQ (run.exitCode, 0) << run.err;
        EXPECT_EQ (midiEvents (run.out, "out"),
                   (std::vector<std::string> { "0 note-on 1 60 80", std::to_string (c.releaseSample) + " note-off 1 60 0" }));
    }
}

TEST_F (HostPlay, FollowsAScalePublishedWhileItPlays)
{
    // 20 blocks of 0.1 s with a pause after each: time enough to publish mid-play.
    RunningHost host ({ "play", getBundle().getFullPathName(), "--note", "65@0+90000",
                        "--block", "4800", "--length", "96000", "--wait-ms", "50" });

    host.readUntil ("out  block 0");

    if (! record.publish (2, 1))
        GTEST_SKIP() << "no usable shared record on this machine";

    const auto run = host.finish();
    ASSERT_EQ (run.exitCode, 0) << run.err;

    // F held in C diatonic; once D diatonic is published it goes down to E, re-sounded
    // one sample after the old note's release, and the key releases E.
    const auto out = midiEvents (run.out, "out");
    ASSERT_EQ (out.size(), 4u) << run.out;
    EXPECT_EQ (out[0], "0 note-on 1 65 100");

    std::smatch parts;
    ASSERT_TRUE (std::regex_match (out[1], parts, std::regex (R"((\d+) note-off 1 65 0)"))) << out[1];
    const auto changedAt = std::stoi (parts[1].str());
    EXPECT_GT (changedAt, 0);
    EXPECT_EQ (changedAt % 4800, 0) << "re-sounding starts a block";
    EXPECT_EQ (out[2], std::to_string (changedAt + 1) + " note-on 1 64 99");
    EXPECT_EQ (out[3], "90000 note-off 1 64 0");

    EXPECT_TRUE (valueAfter (run.out, "parameters at the end").contains ("Root = D")) << run.out;
    EXPECT_EQ (valueAfter (run.out, "sounding at the end"), "none");
}
