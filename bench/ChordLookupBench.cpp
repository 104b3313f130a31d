#include "ChordLookup.h"

#include <benchmark/benchmark.h>

// What the first chord display costs: decoding and parsing the embedded catalogue and
// filing its 1,368 entries.
static void ChordLookup_BuildIndex (benchmark::State& state)
{
    for (auto _ : state)
    {
        const ChordLookup lookup;
        benchmark::DoNotOptimize (lookup.chordsByKey.size());
    }
}
BENCHMARK (ChordLookup_BuildIndex)->Unit (benchmark::kMillisecond);

// One naming from the index, as the editor does it: a map search by key text, then a
// scan for the first entry on the chord's root. "0,3,6,9" is one of the three longest
// lists (20 entries) and its only entry on root 8 is the last.
static void ChordLookup_Lookup (benchmark::State& state)
{
    const auto& lookup = ChordLookup::getInstance();
    const juce::String key ("0,3,6,9");
    constexpr int chordRoot = 8;

    for (auto _ : state)
    {
        const ChordLookup::ChordEntry* chosen = nullptr;
        const auto found = lookup.chordsByKey.find (key);

        if (found != lookup.chordsByKey.end() && ! found->second.empty())
        {
            chosen = &found->second.front();

            for (const auto& entry : found->second)
            {
                if (entry.root == chordRoot)
                {
                    chosen = &entry;
                    break;
                }
            }
        }

        benchmark::DoNotOptimize (chosen);
    }
}
BENCHMARK (ChordLookup_Lookup);
