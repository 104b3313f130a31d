#include "ProcessorHarness.h"

#include <gtest/gtest.h>

namespace
{
    using Set = juce::AudioChannelSet;

    juce::AudioProcessor::BusesLayout layout (const Set& input, const Set& output)
    {
        juce::AudioProcessor::BusesLayout l;
        l.inputBuses.add (input);
        l.outputBuses.add (output);
        return l;
    }
}

TEST (ProcessorShell, IdentityAndFlags)
{
    CorvaneAudioProcessor processor;
    EXPECT_EQ (processor.getName(), "Aurelin");
    EXPECT_TRUE (processor.acceptsMidi());
    EXPECT_TRUE (processor.producesMidi());
    EXPECT_FALSE (processor.isMidiEffect());
    EXPECT_EQ (processor.getTailLengthSeconds(), 0.0);
    EXPECT_TRUE (processor.hasEditor());

    ASSERT_EQ (processor.getBusCount (true), 1);
    ASSERT_EQ (processor.getBusCount (false), 1);
    EXPECT_EQ (processor.getBus (true, 0)->getName(), "Input");
    EXPECT_EQ (processor.getBus (false, 0)->getName(), "Output");
    EXPECT_EQ (processor.getBus (true, 0)->getDefaultLayout(), Set::stereo());
    EXPECT_EQ (processor.getBus (false, 0)->getDefaultLayout(), Set::stereo());
    EXPECT_TRUE (processor.getBus (true, 0)->isEnabledByDefault());
    EXPECT_TRUE (processor.getActiveNotes().empty());
}

TEST (ProcessorShell, BusLayouts)
{
    struct Case { Set input, output; bool supported; };

    const Case cases[] {
        { Set::mono(),       Set::mono(),            true  },
        { Set::stereo(),     Set::stereo(),          true  },
        { Set::stereo(),     Set::mono(),            false },
        { Set::mono(),       Set::stereo(),          false },
        { Set::create5point1(), Set::create5point1(), false },
        { Set::disabled(),   Set::stereo(),          false },
        { Set::disabled(),   Set::disabled(),        false },
    };

    CorvaneAudioProcessor processor;

    for (const auto& c : cases)
        EXPECT_EQ (processor.isBusesLayoutSupported (layout (c.input, c.output)), c.supported)
            << c.input.getDescription() << " -> " << c.output.getDescription();

    juce::AudioProcessor::BusesLayout noBuses;
    EXPECT_FALSE (processor.isBusesLayoutSupported (noBuses));
}

TEST (ProcessorShell, TheOneProgramIsNamedAndFixed)
{
    CorvaneAudioProcessor processor;
    EXPECT_EQ (processor.getNumPrograms(), 1);

    for (int index : { 0, 1, -1, 99 })
        EXPECT_EQ (processor.getProgramName (index), "Default");

    processor.setCurrentProgram (3);
    processor.changeProgramName (0, "Renamed");
    EXPECT_EQ (processor.getCurrentProgram(), 0);
    EXPECT_EQ (processor.getProgramName (0), "Default");
}

TEST (ProcessorShell, EditorIsTheWindowSize)
{
    CorvaneAudioProcessor processor;
    const std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditor());
    ASSERT_NE (editor, nullptr);
    EXPECT_EQ (editor->getWidth(), 462);
    EXPECT_EQ (editor->getHeight(), 500);
}

//==============================================================================
TEST (Parameters, LayoutInHostOrder)
{
    struct Expected { const char* id; const char* name; juce::StringArray choices; float defaultValue; };

    const Expected expected[] {
        { "SOURCE",      "Source",      { "Scale", "Chord" }, 0.0f },
        { "CORRECTION",  "Correction",  { "Corrective", "Filter", "Stack (Chrom)", "Stack (White)" }, 0.0f },
        { "INTERRUPT",   "Interrupt",   {}, 1.0f },
        { "ROOT",        "Root",        { "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B" }, 0.0f },
        { "SCALE_CLASS", "Scale Class", { "Acoustic", "Diatonic", "Harmonic Major", "Harmonic Minor",
                                          "Octatonic", "Hexatonic", "Whole Tone" }, 1.0f / 6.0f },
    };

    CorvaneAudioProcessor processor;
    const auto& all = processor.getParameters();
    ASSERT_EQ (all.size(), 5);

    for (int i = 0; i < 5; ++i)
    {
        auto* parameter = dynamic_cast<juce::RangedAudioParameter*> (all[i]);
        ASSERT_NE (parameter, nullptr);
        EXPECT_EQ (parameter->getParameterID(), expected[i].id);
        EXPECT_EQ (parameter->getName (100), expected[i].name);
        EXPECT_EQ (parameter->getVersionHint(), 0);
        EXPECT_TRUE (parameter->isAutomatable());
        EXPECT_FALSE (parameter->isMetaParameter());
        EXPECT_EQ (parameter->getLabel(), "");
        EXPECT_FLOAT_EQ (parameter->getDefaultValue(), expected[i].defaultValue);
        EXPECT_FLOAT_EQ (parameter->getValue(), expected[i].defaultValue);

        if (auto* choice = dynamic_cast<juce::AudioParameterChoice*> (parameter))
            EXPECT_EQ (choice->choices, expected[i].choices);
        else
            EXPECT_NE (dynamic_cast<juce::AudioParameterBool*> (parameter), nullptr);
    }
}

TEST (Parameters, NormalisedValuesReadAsIndices)
{
    const ScopedFreshSharedRecord fresh;
    ProcessorHarness h;
    auto& params = h.processor.parameters;

    params.getParameter ("ROOT")->setValueNotifyingHost (7.0f / 11.0f);
    params.getParameter ("SCALE_CLASS")->setValueNotifyingHost (1.0f);
    EXPECT_EQ (params.getParameter ("ROOT")->getCurrentValueAsText(), "G");
    EXPECT_EQ (params.getParameter ("SCALE_CLASS")->getCurrentValueAsText(), "Whole Tone");

    // G whole tone (G A B C# D# F) lets C# through the filter, not F#.
    h.setChoice ("CORRECTION", 1);
    h.run ({});
    EXPECT_EQ (h.processor.getRemappedMidiNote (61), 61);
    EXPECT_EQ (h.processor.getRemappedMidiNote (66), -1);
}

TEST (Parameters, InterruptAtExactlyHalfIsOff)
{
    const ScopedFreshSharedRecord fresh;

    for (const auto& [value, expectResound] : { std::pair { 0.5f, false }, std::pair { 0.51f, true } })
    {
        ProcessorHarness h;
        h.processor.parameters.getParameter ("INTERRUPT")->setValueNotifyingHost (value);
        h.run ({ { Event::on, 65 } });
        h.setChoice ("ROOT", 2);
        EXPECT_EQ (! h.run ({}).empty(), expectResound) << value;
    }
}

TEST (Parameters, GestureStartsRunTheirHooks)
{
    CorvaneAudioProcessor processor;
    juce::StringArray calls;
    processor.onRootGestureStart       = [&] { calls.add ("root"); };
    processor.onScaleClassGestureStart = [&] { calls.add ("class"); };
    processor.onModeGestureStart       = [&] { calls.add ("mode"); };

    struct Case { const char* id; const char* hook; };

    for (const auto& c : { Case { "ROOT", "root" }, Case { "SCALE_CLASS", "class" },
                           Case { "SOURCE", "mode" }, Case { "CORRECTION", "mode" }, Case { "INTERRUPT", "" } })
    {
        calls.clear();
        auto* parameter = processor.parameters.getParameter (c.id);
        parameter->beginChangeGesture();
        EXPECT_EQ (calls.joinIntoString (","), c.hook) << c.id;

        calls.clear();
        parameter->endChangeGesture();
        EXPECT_TRUE (calls.isEmpty()) << c.id << ": ending a gesture runs no hook";
    }

    // With no hooks installed a gesture does nothing at all.
    processor.onRootGestureStart = nullptr;
    processor.parameters.getParameter ("ROOT")->beginChangeGesture();
    processor.parameters.getParameter ("ROOT")->endChangeGesture();
}
