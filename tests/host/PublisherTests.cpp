#include "HostTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
    struct PublishRun
    {
        int exitCode = -1;
        juce::String output;
    };

    PublishRun publish (const juce::StringArray& args)
    {
        juce::StringArray command { AURELIN_PUBLISH_PATH };
        command.addArray (args);

        juce::ChildProcess process;
        PublishRun run;

        if (process.start (command, juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr))
        {
            run.output = process.readAllProcessOutput();
            process.waitForProcessToFinish (10000);
            run.exitCode = (int) process.getExitCode();
        }

        return run;
    }

    juce::String chordName (const SharedScaleData& record)
    {
        return juce::String::fromUTF8 (record.chordName, (int) chordNameLength (record));
    }

    /** The record as this process maps it, with a test's changes put back afterwards. */
    struct PublisherTest : ::testing::Test
    {
        HostTest::SharedRecordGuard guard;
        SharedScaleState mapping;
        SharedScaleData& record() { return *mapping.data; }
    };
}

TEST_F (PublisherTest, WritesTheFieldsAndAdvancesTheSequence)
{
    ASSERT_NE (mapping.data, nullptr);

    struct Case { juce::StringArray args; int root, scaleClass; juce::uint16 mask; int chordRoot; juce::String type; };

    const juce::String flatFive = juce::CharPointer_UTF8 ("_m7\xe2\x99\xad" "5-25");

    const Case cases[] {
        { { "scale", "D", "diatonic" },                                   2, 1, 0,     0, "" },
        { { "scale", "C#", "octatonic" },                                 1, 4, 0,     0, "" },
        { { "scale", "Eb", "harmonic_minor" },                            3, 3, 0,     0, "" },
        { { "chord", "C", "E", "G", "--root", "C", "--type", "_M7-0" },   3, 3, 0x091, 0, "_M7-0" },
        { { "chord", "E", "G", "C" },                                     3, 3, 0x091, 4, "" },
        { { "chord", "Db", "F", "Ab", "--type", flatFive },              3, 3, 0x122, 1, flatFive },
        { { "scale", "B", "whole_tone" },                                 11, 6, 0x122, 1, flatFive },
        { { "chord", "--clear" },                                         11, 6, 0,     0, "" },
    };

    for (const auto& c : cases)
    {
        const auto before = record().sequence;
        const auto run = publish (c.args);
        const auto what = c.args.joinIntoString (" ");

        EXPECT_EQ (run.exitCode, 0) << what << "\n" << run.output;
        EXPECT_EQ (record().sequence, before + 1) << what;
        EXPECT_EQ (record().root, c.root) << what;
        EXPECT_EQ (record().scaleClass, c.scaleClass) << what;
        EXPECT_EQ (record().chordMask, c.mask) << what;
        EXPECT_EQ (record().chordRoot, c.chordRoot) << what;
        EXPECT_EQ (chordName (record()), c.type) << what;
        EXPECT_EQ (record().reservedWord, 12000) << what << ": the reserved fields are not the publisher's";
    }

    const auto shown = publish ({ "show" });
    EXPECT_EQ (shown.exitCode, 0);
    EXPECT_TRUE (shown.output.contains ("scale: B whole_tone")) << shown.output;
    EXPECT_TRUE (shown.output.contains ("chord: none")) << shown.output;
}

TEST_F (PublisherTest, BadInputLeavesTheRecordAlone)
{
    ASSERT_NE (mapping.data, nullptr);
    publish ({ "chord", "C", "E", "G" });

    const juce::StringArray cases[] {
        {},
        { "bogus" },
        { "scale", "H", "diatonic" },
        { "scale", "C", "minor" },
        { "scale", "C" },
        { "scale", "C", "diatonic", "extra" },
        { "chord" },
        { "chord", "C", "--root" },
        { "chord", "C", "--root", "X" },
        { "chord", "C", "--type", "0123456789012345678901234567890123" },
        { "chord", "C#x" },
        { "show", "extra" },
    };

    for (const auto& args : cases)
    {
        const auto before = record();
        const auto run = publish (args);
        EXPECT_NE (run.exitCode, 0) << args.joinIntoString (" ");
        EXPECT_EQ (std::memcmp (&before, &record(), sizeof (SharedScaleData)), 0) << args.joinIntoString (" ");
        EXPECT_TRUE (run.output.contains ("aurelin-publish") || run.output.contains ("usage")) << run.output;
    }
}

TEST_F (PublisherTest, EveryInstanceFollowsWhatItPublishes)
{
    ASSERT_EQ (publish ({ "scale", "D", "diatonic" }).exitCode, 0);

    const auto run = HostTest::runHost ({ "play", HostTest::getBundle().getFullPathName(), "--note", "65@0+4800" });
    ASSERT_EQ (run.exitCode, 0) << run.err;

    const auto out = HostTest::midiEvents (run.out, "out");
    ASSERT_EQ (out.size(), 2u) << run.out;
    EXPECT_EQ (out[0], "0 note-on 1 64 100");
    EXPECT_EQ (out[1], "4800 note-off 1 64 0");
}
