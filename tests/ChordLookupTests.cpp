#include "ChordLookup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <utility>

namespace
{
    juce::String utf8 (const char* text)
    {
        return juce::String::fromUTF8 (text);
    }

    /** Entries of one key as "chordType@root", in index order. */
    juce::StringArray describe (const ChordLookup& lookup, const juce::String& key)
    {
        juce::StringArray result;
        const auto found = lookup.chordsByKey.find (key);

        if (found != lookup.chordsByKey.end())
            for (const auto& entry : found->second)
                result.add (entry.chordType + "@" + juce::String (entry.root));

        return result;
    }

    juce::String joined (const std::vector<int>& pitchClasses)
    {
        juce::StringArray parts;
        for (const auto p : pitchClasses)
            parts.add (juce::String (p));

        return parts.joinIntoString (",");
    }
}

//==============================================================================
TEST (ChordLookup, IndexFilesTheWholeCatalogueUnderItsPitchClassSets)
{
    const auto& index = ChordLookup::getInstance().chordsByKey;

    size_t entries = 0, singletons = 0, largest = 0;

    for (const auto& [key, list] : index)
    {
        entries += list.size();
        singletons += list.size() == 1 ? 1u : 0u;
        largest = std::max (largest, list.size());

        for (const auto& entry : list)
            EXPECT_EQ (joined (entry.primeForm), key) << entry.chordType;
    }

    EXPECT_EQ (entries, 1368u);
    EXPECT_EQ (index.size(), 417u);
    EXPECT_EQ (singletons, 144u);
    EXPECT_EQ (largest, 20u);
}

TEST (ChordLookup, ListsKeepCatalogueOrder)
{
    const auto& lookup = ChordLookup::getInstance();

    // Sorted by property name: "a_…" before "c_…", and "c_M7-0" before "c_M7-39".
    EXPECT_EQ (describe (lookup, "0,4,7,11"), juce::StringArray ("_m9-97@9", "_M7-0@0", "_M7-39@0"));
    EXPECT_EQ (describe (lookup, "0,4,7,10"), juce::StringArray ("_7-17@0", "_7-51@0"));
    EXPECT_EQ (describe (lookup, "0,2,6,9"),  juce::StringArray ("_7-17@2", "_7-51@2"));

    // Byte order puts "#" before "-" and the flat sign after every ASCII character.
    EXPECT_EQ (describe (lookup, "0,1,6,7,9"), juce::StringArray ("_13#9-110@9"));
    EXPECT_TRUE (describe (lookup, "").isEmpty());
}

TEST (ChordLookup, EveryTypeStandsOnEveryRootOnceWithItsPitchClassesMovedToTheRoot)
{
    constexpr int numTypes = 114;

    std::map<int, std::vector<int>> onC;
    std::set<std::pair<int, int>> seen;

    for (const auto& [key, list] : ChordLookup::getInstance().chordsByKey)
        for (const auto& entry : list)
        {
            const auto number = entry.chordType.fromLastOccurrenceOf ("-", false, false).getIntValue();
            EXPECT_TRUE (seen.insert ({ number, entry.root }).second) << entry.chordType << " on " << entry.root;

            if (entry.root == 0)
                onC[number] = entry.primeForm;
        }

    EXPECT_EQ (seen.size(), (size_t) numTypes * 12);
    ASSERT_EQ (onC.size(), (size_t) numTypes);

    for (const auto& [key, list] : ChordLookup::getInstance().chordsByKey)
        for (const auto& entry : list)
        {
            const auto number = entry.chordType.fromLastOccurrenceOf ("-", false, false).getIntValue();
            std::set<int> moved;
            for (const auto p : onC[number])
                moved.insert ((p + entry.root) % 12);

            EXPECT_EQ (std::vector<int> (moved.begin(), moved.end()), entry.primeForm) << entry.chordType;
        }
}

TEST (ChordLookup, IndexFromTextKeepsTextOrderAndFilesIncompleteEntries)
{
    const ChordLookup lookup (R"({
        "z_second": { "chord_type": "_z", "root": 4, "prime_form_kinda": [0, 4, 7] },
        "a_first":  { "chord_type": "_a", "root": 1, "prime_form_kinda": [0, 4, 7] },
        "not an entry": [1, 2, 3],
        "bare": {}
    })");

    ASSERT_EQ (lookup.chordsByKey.size(), 2u);
    EXPECT_EQ (describe (lookup, "0,4,7"), juce::StringArray ("_z@4", "_a@1"));
    EXPECT_EQ (describe (lookup, ""), juce::StringArray ("@0"));
}

TEST (ChordLookup, TextThatIsNotAnObjectGivesAnEmptyIndex)
{
    for (const auto* text : { "", "{ \"a\": ", "[ { \"chord_type\": \"_M7-0\" } ]", "42" })
        EXPECT_TRUE (ChordLookup (text).chordsByKey.empty()) << text;
}

TEST (ChordLookup, FormatChordName)
{
    const auto misread = [] (juce::juce_wchar tail)
    {
        return juce::String::charToString (0xE2) + juce::String::charToString (0x99) + juce::String::charToString (tail);
    };

    struct Case { juce::String rootName, chordType; const char* expected; };
    const Case cases[]
    {
        { "C",          "_M7-0",                  "C M7" },
        { utf8 ("D♭"),  "_13#9-110",              "D♭ 13♯9" },
        { "A",          "_7 alt.-91",             "A 7 alt." },
        { "E",          utf8 ("cs_m7♭5-25"),      "E m7♭5" },
        { "G",          "_dim-21",                "G dim" },
        { utf8 ("F♯"),  utf8 ("_m7♭5-25"),        "F♯ m7♭5" },
        { "C",          "_M7(add#11/6)-23",       "C M7(add♯11/6)" },
        { "C",          "M7-0",                   "C M7" },
        // nothing left of the type
        { "C",          "",                       "C " },
        { "C",          "_",                      "C " },
        // a "b" is a flat unless it begins the symbol
        { "C",          "_b9-3",                  "C b9" },
        { "C",          "_7b9-32",                "C 7♭9" },
        { "C",          "bb",                     "C b♭" },
        // only an all-digit tail after the last "-" is a type number
        { "C",          "_7-alt",                 "C 7-alt" },
        { "C",          "_m7-",                   "C m7" },
        { "C",          "_9-11-5",                "C 9-11" },
        { "C",          "_-5",                    "C -5" },
        // a prefix is a root key only when one or two lower-case letters stand before "_"
        { "C",          "Cs_m7-1",                "C Cs_m7" },
        { "C",          "abc_m7-1",               "C a♭c_m7" },
        { "C",          "_cs_7#9-67",             "C 7♯9" },
        // UTF-8 signs that were read one byte per character
        { "C",          "_7" + misread (0xAF) + "9-35", "C 7♯9" },
        { "C",          "_7" + misread (0xAD) + "9-32", "C 7♭9" },
        { "C",          "_7" + misread (0xAE),    "C 7\xc3\xa2\xc2\x99\xc2\xae" },
    };

    const auto& lookup = ChordLookup::getInstance();

    for (const auto& c : cases)
        EXPECT_EQ (lookup.formatChordName (c.rootName, c.chordType), utf8 (c.expected)) << c.chordType;
}

TEST (ChordLookup, RootNamesUseFlats)
{
    const char* const expected[] { "C", "D♭", "D", "E♭", "E", "F", "G♭", "G", "A♭", "A", "B♭", "B" };
    const auto& lookup = ChordLookup::getInstance();

    for (int p = 0; p < 12; ++p)
        EXPECT_EQ (lookup.getRootName (p), utf8 (expected[p]));

    EXPECT_EQ (lookup.getRootName (12), "C");
    EXPECT_EQ (lookup.getRootName (-1), "C");
}
