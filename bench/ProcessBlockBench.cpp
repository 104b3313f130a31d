// processBlock against a baseline that does only what any MIDI plug-in must: clear
// the audio and copy the block's events across. Each case prints its ratio to the
// baseline of the same load, measured in the same run.

#include "PluginProcessor.h"
#include "SharedScaleState.h"

#include <benchmark/benchmark.h>

#include <map>

namespace
{
    constexpr int blockSize = 512;

    /** n events: key presses and releases in pairs, so nothing piles up. */
    juce::MidiBuffer makeEvents (int n)
    {
        juce::MidiBuffer midi;

        for (int i = 0; i < n; ++i)
        {
            const auto note = 48 + (i / 2) % 40;
            midi.addEvent (i % 2 == 0 ? juce::MidiMessage::noteOn (1, note, (juce::uint8) 100)
                                      : juce::MidiMessage::noteOff (1, note),
                           i * blockSize / juce::jmax (1, n));
        }

        return midi;
    }

    struct Fixture
    {
        Fixture()
        {
            midi.ensureSize (64 * 1024);
            scratch.ensureSize (64 * 1024);
            processor.prepareToPlay (48000.0, blockSize);
            processor.processBlock (audio, midi);
        }

        /** What a host does before every block: fresh input audio and the block's events. */
        void deliver (const juce::MidiBuffer& events)
        {
            audio.setSample (0, 0, 1.0f);
            midi.clear();
            midi.addEvents (events, 0, -1, 0);
        }

        void setRoot (int root)
        {
            processor.parameters.getParameter ("ROOT")->setValueNotifyingHost ((float) root / 11.0f);
        }

        CorvaneAudioProcessor processor;
        juce::AudioBuffer<float> audio { 2, blockSize };
        juce::MidiBuffer midi, scratch;
    };

    void baseline (benchmark::State& state)
    {
        Fixture f;
        const auto events = makeEvents ((int) state.range (0));

        for (auto _ : state)
        {
            f.deliver (events);
            f.audio.clear();
            f.scratch.clear();
            f.scratch.addEvents (f.midi, 0, -1, 0);
            f.midi.clear();
            f.midi.addEvents (f.scratch, 0, -1, 0);
            benchmark::DoNotOptimize (f.midi.data.getRawDataPointer());
        }
    }

    void processBlock (benchmark::State& state)
    {
        Fixture f;
        const auto events = makeEvents ((int) state.range (0));

        for (auto _ : state)
        {
            f.deliver (events);
            f.processor.processBlock (f.audio, f.midi);
            benchmark::DoNotOptimize (f.midi.data.getRawDataPointer());
        }
    }

    /** 16 held keys re-sounded on every block: the scale flips between C and D
        diatonic, which moves every F and C each time. Its baseline is the copy of
        the 32 events a re-sounding of 16 notes sends. */
    void processBlockScaleChange (benchmark::State& state)
    {
        Fixture f;
        f.midi.clear();

        for (int i = 0; i < 16; ++i)
            f.midi.addEvent (juce::MidiMessage::noteOn (1, (i % 2 == 0 ? 0 : 5) + 12 * (1 + i / 2), (juce::uint8) 100), 0);

        f.processor.processBlock (f.audio, f.midi);
        int root = 0;
        const juce::MidiBuffer none;

        for (auto _ : state)
        {
            root = root == 0 ? 2 : 0;
            f.setRoot (root);
            f.deliver (none);
            f.processor.processBlock (f.audio, f.midi);
            benchmark::DoNotOptimize (f.midi.data.getRawDataPointer());
        }
    }

    /** Prints each case's time as a multiple of its baseline's. */
    class RatioReporter final : public benchmark::ConsoleReporter
    {
    public:
        void ReportRuns (const std::vector<Run>& runs) override
        {
            ConsoleReporter::ReportRuns (runs);

            for (const auto& run : runs)
                if (run.run_type == Run::RT_Iteration)
                    timings[run.benchmark_name()] = run.GetAdjustedRealTime();
        }

        void Finalize() override
        {
            ConsoleReporter::Finalize();

            const std::pair<const char*, const char*> pairs[] {
                { "processBlock/0",             "baseline/0" },
                { "processBlock/8",             "baseline/8" },
                { "processBlock/256",           "baseline/256" },
                { "processBlockScaleChange",    "baseline/32" },
            };

            std::printf ("\nratio to baseline (same load, same run):\n");

            for (const auto& [name, base] : pairs)
                if (timings.count (name) != 0 && timings.count (base) != 0)
                    std::printf ("  %-26s %6.2fx\n", name, timings[name] / timings[base]);
        }

    private:
        std::map<std::string, double> timings;
    };
}

BENCHMARK (baseline)->Arg (0)->Arg (8)->Arg (32)->Arg (256);
BENCHMARK (processBlock)->Arg (0)->Arg (8)->Arg (256);
BENCHMARK (processBlockScaleChange);

int main (int argc, char** argv)
{
    const juce::ScopedJuceInitialiser_GUI juce;

    // The record stays as the machine has it; only its presence matters here.
    SharedScaleState::getInstance();

    benchmark::Initialize (&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks (&reporter);
    benchmark::Shutdown();
    return 0;
}
