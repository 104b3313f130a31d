#include "ProcessorHarness.h"

#include <gtest/gtest.h>

namespace
{
    juce::MemoryBlock stateOf (CorvaneAudioProcessor& processor)
    {
        juce::MemoryBlock block;
        processor.getStateInformation (block);
        return block;
    }

    juce::String valuesOf (CorvaneAudioProcessor& processor)
    {
        juce::StringArray values;

        for (auto* parameter : processor.getParameters())
            values.add (parameter->getCurrentValueAsText());

        return values.joinIntoString ("|");
    }

    juce::MemoryBlock wrap (const juce::String& xml)
    {
        juce::MemoryBlock block;
        const auto utf8 = xml.toUTF8();
        const juce::uint32 magic = 0x21324356, length = (juce::uint32) utf8.sizeInBytes() - 1;
        block.append (&magic, 4);
        block.append (&length, 4);
        block.append (utf8.getAddress(), utf8.sizeInBytes());
        return block;
    }

    const juce::String changed = "Chord|Filter|Off|D|Whole Tone";
    const juce::String defaults = "Scale|Corrective|On|C|Diatonic";

    void changeEverything (CorvaneAudioProcessor& p)
    {
        for (const auto& [id, value] : { std::pair { "SOURCE", 1.0f }, { "CORRECTION", 1.0f / 3.0f },
                                        { "INTERRUPT", 0.0f }, { "ROOT", 2.0f / 11.0f }, { "SCALE_CLASS", 1.0f } })
            p.parameters.getParameter (id)->setValueNotifyingHost (value);
    }
}

TEST (State, SavedBytesOfANewInstance)
{
    CorvaneAudioProcessor processor;
    const auto block = stateOf (processor);
    const auto* bytes = static_cast<const char*> (block.getData());

    ASSERT_GT (block.getSize(), 9u);
    EXPECT_EQ (juce::String (bytes, 4), "VC2!");
    EXPECT_EQ (juce::ByteOrder::littleEndianInt (bytes + 4), block.getSize() - 9);
    EXPECT_EQ (bytes[block.getSize() - 1], 0);

    const auto text = juce::String::fromUTF8 (bytes + 8, (int) block.getSize() - 9);
    EXPECT_FALSE (text.containsChar ('\n'));
    EXPECT_EQ (text, "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <CorvaneParams>"
                     "<PARAM id=\"CORRECTION\" value=\"0.0\"/><PARAM id=\"INTERRUPT\" value=\"1.0\"/>"
                     "<PARAM id=\"ROOT\" value=\"0.0\"/><PARAM id=\"SCALE_CLASS\" value=\"1.0\"/>"
                     "<PARAM id=\"SOURCE\" value=\"0.0\"/></CorvaneParams>");
}

TEST (State, RoundTripsAndReadsBothNumberForms)
{
    CorvaneAudioProcessor saved, restored;
    changeEverything (saved);
    const auto block = stateOf (saved);
    restored.setStateInformation (block.getData(), (int) block.getSize());
    EXPECT_EQ (valuesOf (restored), changed);

    // Saving again gives the same bytes.
    EXPECT_EQ (stateOf (restored), block);

    // Back to the defaults from a fresh instance's block.
    CorvaneAudioProcessor fresh;
    const auto defaultBlock = stateOf (fresh);
    restored.setStateInformation (defaultBlock.getData(), (int) defaultBlock.getSize());
    EXPECT_EQ (valuesOf (restored), defaults);

    // Whole numbers as "2" as well as "2.0", and a tag in another letter case.
    const auto plain = wrap ("<?xml version=\"1.0\" encoding=\"UTF-8\"?> <corvaneparams>"
                             "<PARAM id=\"ROOT\" value=\"2\"/><PARAM id=\"SCALE_CLASS\" value=\"6\"/>"
                             "<PARAM id=\"SOURCE\" value=\"1\"/><PARAM id=\"CORRECTION\" value=\"1\"/>"
                             "<PARAM id=\"INTERRUPT\" value=\"0\"/></corvaneparams>");
    restored.setStateInformation (plain.getData(), (int) plain.getSize());
    EXPECT_EQ (valuesOf (restored), changed);
}

TEST (State, RestoredRootReachesTheNextBlock)
{
    const ScopedFreshSharedRecord fresh;
    ProcessorHarness h;
    h.run ({ { Event::on, 65 } });

    const auto block = wrap ("<?xml version=\"1.0\" encoding=\"UTF-8\"?> <CorvaneParams>"
                             "<PARAM id=\"ROOT\" value=\"2\"/></CorvaneParams>");
    h.processor.setStateInformation (block.getData(), (int) block.getSize());
    EXPECT_EQ (h.run ({}), (std::vector<Event> { { Event::off, 65, 0, 1, 0 }, { Event::on, 64, 1, 1, 99 } }));
}

TEST (State, BadBlocksChangeNothing)
{
    const auto xmlHead = juce::String ("<?xml version=\"1.0\" encoding=\"UTF-8\"?> ");
    const auto good = "<PARAM id=\"ROOT\" value=\"5\"/>";

    struct Case { const char* what; juce::MemoryBlock block; };

    std::vector<Case> cases {
        { "another root tag",        wrap (xmlHead + "<OtherParams>" + good + "</OtherParams>") },
        { "not XML",                 wrap ("this is not xml at all") },
        { "wrong magic",             [&] { auto b = wrap (xmlHead + "<CorvaneParams>" + good + "</CorvaneParams>");
                                           static_cast<char*> (b.getData())[0] = 'X'; return b; }() },
        { "zero length",             [&] { auto b = wrap (xmlHead + "<CorvaneParams>" + good + "</CorvaneParams>");
                                           std::memset (b.begin() + 4, 0, 4); return b; }() },
        { "missing value",           wrap (xmlHead + "<CorvaneParams>" + good + "<PARAM id=\"SOURCE\"/></CorvaneParams>") },
        { "non-numeric value",       wrap (xmlHead + "<CorvaneParams>" + good + "<PARAM id=\"SOURCE\" value=\"chord\"/></CorvaneParams>") },
        { "empty value",             wrap (xmlHead + "<CorvaneParams>" + good + "<PARAM id=\"SOURCE\" value=\"\"/></CorvaneParams>") },
        { "infinite value",          wrap (xmlHead + "<CorvaneParams>" + good + "<PARAM id=\"SOURCE\" value=\"1e999\"/></CorvaneParams>") },
    };

    for (size_t size = 0; size <= 9; ++size)
        cases.push_back ({ "short block", juce::MemoryBlock (size, true) });

    for (const auto& c : cases)
    {
        CorvaneAudioProcessor processor;
        changeEverything (processor);
        processor.setStateInformation (c.block.getData(), (int) c.block.getSize());
        EXPECT_EQ (valuesOf (processor), changed) << c.what;
    }
}

TEST (State, UnknownParametersAreIgnoredAndLongLengthsCut)
{
    CorvaneAudioProcessor processor;
    auto block = wrap ("<?xml version=\"1.0\" encoding=\"UTF-8\"?> <CorvaneParams>"
                       "<PARAM id=\"VOLUME\" value=\"3\"/><PARAM id=\"ROOT\" value=\"4\"/></CorvaneParams>");
    const juce::uint32 tooLong = 1 << 30;
    std::memcpy (block.begin() + 4, &tooLong, 4);
    processor.setStateInformation (block.getData(), (int) block.getSize());
    EXPECT_EQ (valuesOf (processor), "Scale|Corrective|On|E|Diatonic");
    const auto saved = stateOf (processor);
    EXPECT_EQ (std::string (static_cast<const char*> (saved.getData()), saved.getSize()).find ("VOLUME"), std::string::npos);
}

TEST (State, RandomAndDamagedBlocksNeverCrashOrHalfApply)
{
    CorvaneAudioProcessor source;
    changeEverything (source);
    const auto good = stateOf (source);
    juce::Random random (42);

    for (int i = 0; i < 2000; ++i)
    {
        juce::MemoryBlock block;

        if (i % 2 == 0)
        {
            block.setSize ((size_t) random.nextInt (200), true);

            for (auto& byte : block)
                byte = (char) random.nextInt (256);

            if (i % 4 == 0 && block.getSize() >= 4)
                std::memcpy (block.getData(), "VC2!", 4);
        }
        else
        {
            // A good block with a few bytes flipped or cut short.
            block = good;

            for (int flips = 1 + random.nextInt (3); --flips >= 0;)
                block[(size_t) random.nextInt ((int) block.getSize())] = (char) random.nextInt (256);

            if (random.nextBool())
                block.setSize ((size_t) random.nextInt ((int) block.getSize()));
        }

        CorvaneAudioProcessor processor;
        processor.setStateInformation (block.getData(), (int) block.getSize());

        // Noise never reads as a state; a damaged block may, but only as a whole one.
        if (i % 2 == 0)
            EXPECT_EQ (valuesOf (processor), defaults) << "random block " << i;
        else
            EXPECT_EQ (stateOf (processor).getSize() > 9, true);
    }
}
