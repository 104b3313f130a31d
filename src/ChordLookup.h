#pragma once

#include <juce_core/juce_core.h>

#include <map>
#include <vector>

/** The embedded chord catalogue, indexed by pitch-class set, and the naming of chords.

    Every chord type of the catalogue exists on all twelve roots. The index files each
    entry under the text of its absolute pitch classes ("0,4,7,11"); within one key the
    entries keep the order of the catalogue, which decides the entry a lookup meets first.

    Threading: getInstance() builds the shared index on its first call, under the
    thread-safe initialisation of function-local statics; the plug-in calls it from the
    message thread. Nothing changes an instance after construction, so every member may
    be read from any thread.
*/
class ChordLookup final
{
public:
    //==============================================================================
    /** One catalogue entry as the index holds it. */
    struct ChordEntry
    {
        juce::String chordType;     // e.g. "_M7-0": symbol and type number
        int root = 0;               // pitch class of the chord's root
        std::vector<int> primeForm; // the chord's absolute pitch classes, ascending
    };

    using Index = std::map<juce::String, std::vector<ChordEntry>>;

    //==============================================================================
    /** The index the plug-in shares, built from the embedded catalogue on first use. */
    static ChordLookup& getInstance();

    /** Builds an index of its own from the embedded catalogue. The plug-in goes through
        getInstance(); separate instances are for tests and measurements. */
    ChordLookup();

    /** Builds an index from catalogue text; text that is not a JSON object gives an
        empty index. */
    explicit ChordLookup (const juce::String& catalogueJson);

    //==============================================================================
    /** The display name of a chord: the root name, one space and the chord symbol with
        proper accidental signs. The chord type may be a catalogue type text ("_7#9-67")
        or a whole entry name ("cs_m7♭5-25"). */
    juce::String formatChordName (const juce::String& rootName, const juce::String& chordType) const;

    /** The root name used for chords named from the index: flats throughout, and "C"
        for anything outside 0 to 11. */
    juce::String getRootName (int pitchClass) const;

    /** The index's key for a set of pitch classes: their numbers in decimal, joined by
        "," with no spaces ("0,4,7,11"). */
    static juce::String keyFor (const std::vector<int>& pitchClassSet);

    //==============================================================================
    /** Entries by pitch-class key, each list in catalogue order. */
    const Index chordsByKey;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ChordLookup)
};
