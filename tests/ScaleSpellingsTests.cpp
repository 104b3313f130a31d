#include "ScaleSpellings.h"
#include "ScaleUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace
{
    juce::String utf8 (const char* text)
    {
        return juce::String::fromUTF8 (text);
    }

    /** The pitch class a spelling code stands for, or -1 for a malformed code. */
    int pitchClassOfCode (const juce::String& code)
    {
        static const juce::String letters ("cdefgab");
        static constexpr int naturals[] { 0, 2, 4, 5, 7, 9, 11 };

        const auto letter = letters.indexOfChar (code[0]);
        if (letter < 0)
            return -1;

        const auto accidental = code.substring (1);
        const auto offset = accidental == ""   ?  0
                          : accidental == "s"  ?  1
                          : accidental == "ss" ?  2
                          : accidental == "f"  ? -1
                          : accidental == "ff" ? -2
                          : 99;

        return offset == 99 ? -1 : (naturals[letter] + offset + 12) % 12;
    }
}

//==============================================================================
TEST (ScaleSpellings, EveryCatalogueScaleHasARowThatSpellsExactlyItsPitchClasses)
{
    const auto scales = ScaleUtils::getScalesJson();
    ASSERT_EQ (scales.size(), 57);

    for (const auto& scale : *scales.getArray())
    {
        const auto name = scale["name"].toString();
        SCOPED_TRACE (name);

        std::set<int> inScale;
        for (const auto& p : *scale["pitch_classes"].getArray())
            inScale.insert ((int) p);

        const auto row = ScaleSpellings::getSpelling (name);
        ASSERT_EQ (row.size(), 12u);

        std::set<juce::juce_wchar> lettersUsed;

        for (int p = 0; p < 12; ++p)
        {
            const auto& code = row[(size_t) p];
            EXPECT_EQ (code.isNotEmpty(), inScale.count (p) == 1) << "pitch class " << p;

            if (code.isNotEmpty())
            {
                EXPECT_EQ (pitchClassOfCode (code), p) << "code " << code;
                lettersUsed.insert (code[0]);
            }
        }

        const auto cls = scale["scale_class"].toString();
        const auto isRooted = cls == "acoustic" || cls == "diatonic" || cls == "harmonic_major" || cls == "harmonic_minor";

        if (isRooted)
        {
            EXPECT_EQ (lettersUsed.size(), inScale.size()) << "a letter is used twice";
        }
    }
}

TEST (ScaleSpellings, RootedRowsReadUpwardsFromTheTonic)
{
    struct Case { int root; const char* name; const char* expected; };
    const Case cases[]
    {
        { 1,  "cs_harmonic_major", "D♭ E♭ F G♭ A♭ B𝄫 C" },
        { 8,  "gs_harmonic_minor", "A♭ B♭ C♭ D♭ E♭ F♭ G" },
        { 6,  "fs_acoustic",       "F♯ G♯ A♯ B♯ C♯ D♯ E" },
        { 1,  "cs_acoustic",       "D♭ E♭ F G A♭ B♭ C♭" },
        { 10, "as_diatonic",       "B♭ C D E♭ F G A" },
        { 4,  "e_diatonic",        "E F♯ G♯ A B C♯ D♯" },
    };

    for (const auto& c : cases)
    {
        juce::StringArray names;
        for (int step = 0; step < 12; ++step)
        {
            const auto p = (c.root + step) % 12;
            if (ScaleSpellings::getSpelling (c.name)[(size_t) p].isNotEmpty())
                names.add (ScaleSpellings::getNoteNameForScale (p, c.name));
        }

        EXPECT_EQ (names.joinIntoString (" "), utf8 (c.expected)) << c.name;
    }
}

TEST (ScaleSpellings, NoteNamesForScale)
{
    struct Case { int pitchClass; const char* scale; const char* expected; };
    const Case cases[]
    {
        { 4,  "gs_harmonic_minor", "F♭" },
        { 11, "gs_harmonic_minor", "C♭" },
        { 0,  "fs_acoustic",       "B♯" },
        { 9,  "cs_harmonic_major", "B𝄫" },
        { 1,  "a_diatonic",        "C♯" },
        { 1,  "gs_diatonic",       "D♭" },
        { 4,  "e_diatonic",        "E" },
        { 3,  "octatonic_1",       "D♯" },
        { 6,  "hexatonic_2",       "G♭" },
        // pitch classes the scale does not spell take the default name
        { 6,  "c_diatonic",        "F♯" },
        { 1,  "c_diatonic",        "D♭" },
        { 3,  "whole_tone_1",      "E♭" },
        { 3,  "",                  "E♭" },
        { 3,  "C_diatonic",        "E♭" },
        // outside the octave nothing is named
        { 12, "c_diatonic",        "" },
        { -1, "c_diatonic",        "" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (ScaleSpellings::getNoteNameForScale (c.pitchClass, c.scale), utf8 (c.expected))
            << c.pitchClass << " in " << c.scale;
}

TEST (ScaleSpellings, UnknownScaleGivesEmptyRowAndDefaultNames)
{
    const auto row = ScaleSpellings::getSpelling ("x");
    ASSERT_EQ (row.size(), 12u);

    const char* const defaults[] { "C", "D♭", "D", "E♭", "E", "F", "F♯", "G", "A♭", "A", "B♭", "B" };

    for (int p = 0; p < 12; ++p)
    {
        EXPECT_TRUE (row[(size_t) p].isEmpty());
        EXPECT_EQ (ScaleSpellings::getDefaultNoteName (p), utf8 (defaults[p]));
        EXPECT_EQ (ScaleSpellings::getNoteNameForScale (p, "Unknown"), utf8 (defaults[p]));
    }
}

TEST (ScaleSpellings, AccidentalSymbolsAreSingleCodePoints)
{
    EXPECT_EQ (ScaleSpellings::flatSymbol(), juce::String::charToString (0x266D));
    EXPECT_EQ (ScaleSpellings::sharpSymbol(), juce::String::charToString (0x266F));
    EXPECT_EQ (ScaleSpellings::doubleFlatSymbol(), juce::String::charToString (0x1D12B));
    EXPECT_EQ (ScaleSpellings::doubleSharpSymbol(), juce::String::charToString (0x1D12A));
    EXPECT_EQ (ScaleSpellings::doubleSharpSymbol().length(), 1);
}

TEST (ScaleSpellings, BuildScaleName)
{
    struct Case { int root; const char* classKey; const char* expected; };
    const Case cases[]
    {
        { 0,  "diatonic",       "c_diatonic" },
        { 10, "acoustic",       "as_acoustic" },
        { 1,  "harmonic_minor", "cs_harmonic_minor" },
        { 3,  "octatonic",      "octatonic_1" },
        { 4,  "octatonic",      "octatonic_2" },
        { 7,  "hexatonic",      "hexatonic_4" },
        { 11, "whole_tone",     "whole_tone_2" },
        { 5,  "Unknown",        "f_Unknown" },
        { 12, "diatonic",       "" },
        { -1, "octatonic",      "" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (ScaleSpellings::buildScaleName (c.root, c.classKey), juce::String (c.expected))
            << c.root << " " << c.classKey;
}

TEST (ScaleSpellings, EveryBuiltNameOfACatalogueScaleHasARow)
{
    for (int cls = 0; cls < ScaleUtils::numScaleClasses; ++cls)
        for (int root = 0; root < 12; ++root)
        {
            const auto name = ScaleSpellings::buildScaleName (root, ScaleUtils::classKeyFor ((ScaleUtils::ScaleClass) cls));
            const auto row = ScaleSpellings::getSpelling (name);
            EXPECT_TRUE (std::any_of (row.begin(), row.end(), [] (const auto& code) { return code.isNotEmpty(); }))
                << name;
        }
}
