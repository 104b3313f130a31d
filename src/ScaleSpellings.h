#pragma once

#include <juce_core/juce_core.h>

#include "ScaleUtils.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>
#include <vector>

/** Names pitch classes the way a catalogue scale spells them, so that each note of a
    seven-note scale gets a letter of its own (F♭ in A♭ harmonic minor, not E).

    The spelling table holds one row of 12 spelling codes per catalogue scale, keyed by
    the scale's catalogue name; a code is a lower-case letter followed by "s", "ss", "f"
    or "ff" (or nothing for a natural), and the empty text marks a pitch class that the
    scale does not contain.

    Threading: meant for the message thread. The table and the accidental texts are
    built once, on first use, under the thread-safe initialisation of function-local
    statics, and are only read afterwards, so concurrent readers are safe.
*/
namespace ScaleSpellings
{
    //==============================================================================
    /** "♭" (U+266D) */
    inline const juce::String& flatSymbol()
    {
        static const juce::String symbol = juce::String::charToString ((juce::juce_wchar) 0x266D);
        return symbol;
    }

    /** "♯" (U+266F) */
    inline const juce::String& sharpSymbol()
    {
        static const juce::String symbol = juce::String::charToString ((juce::juce_wchar) 0x266F);
        return symbol;
    }

    /** "𝄫" (U+1D12B) */
    inline const juce::String& doubleFlatSymbol()
    {
        static const juce::String symbol = juce::String::charToString ((juce::juce_wchar) 0x1D12B);
        return symbol;
    }

    /** "𝄪" (U+1D12A) */
    inline const juce::String& doubleSharpSymbol()
    {
        static const juce::String symbol = juce::String::charToString ((juce::juce_wchar) 0x1D12A);
        return symbol;
    }

    //==============================================================================
    namespace detail
    {
        constexpr int notesPerOctave = 12;
        constexpr int lettersPerOctave = 7;

        /** The root keys by which catalogue names start, always with sharps. */
        inline constexpr std::array<const char*, notesPerOctave> rootNames
        {
            "c", "cs", "d", "ds", "e", "f", "fs", "g", "gs", "a", "as", "b"
        };

        /** How the tonic of a rooted scale is spelled, whatever its class. These are
            also the default names: flats on the black keys except F♯. */
        inline constexpr std::array<const char*, notesPerOctave> tonicCodes
        {
            "c", "df", "d", "ef", "e", "f", "fs", "g", "af", "a", "bf", "b"
        };

        inline constexpr std::array<char, lettersPerOctave> letters { 'c', 'd', 'e', 'f', 'g', 'a', 'b' };
        inline constexpr std::array<int, lettersPerOctave> letterPitchClasses { 0, 2, 4, 5, 7, 9, 11 };

        /** Accidental codes by their offset in semitones from the letter's natural, −2 to +2. */
        inline constexpr std::array<const char*, 5> accidentalCodes { "ff", "f", "", "s", "ss" };
        constexpr int largestAccidental = 2;

        struct RootedClass
        {
            const char* classKey;
            std::array<int, lettersPerOctave> intervals;   // above the tonic, ascending
        };

        inline constexpr std::array<RootedClass, 4> rootedClasses
        { {
            { "acoustic",       { 0, 2, 4, 6, 7, 9, 10 } },
            { "diatonic",       { 0, 2, 4, 5, 7, 9, 11 } },
            { "harmonic_major", { 0, 2, 4, 5, 7, 8, 11 } },
            { "harmonic_minor", { 0, 2, 3, 5, 7, 8, 11 } },
        } };

        struct FixedRow
        {
            const char* name;
            std::array<const char*, notesPerOctave> codes;
        };

        /** The collections of limited transposition have no tonic to spell from, so
            their rows are written out. */
        inline constexpr std::array<FixedRow, 9> limitedTranspositionRows
        { {
            { "octatonic_1",  { "c", "cs", "",  "ds", "e",  "",   "fs", "g",  "",   "a",  "bf", ""  } },
            { "octatonic_2",  { "",  "cs", "d", "",   "e",  "f",  "",   "g",  "gs", "",   "as", "b" } },
            { "octatonic_3",  { "c", "",   "d", "ef", "",   "f",  "fs", "",   "gs", "a",  "",   "b" } },
            { "hexatonic_1",  { "c", "df", "",  "",   "e",  "f",  "",   "",   "gs", "a",  "",   ""  } },
            { "hexatonic_2",  { "",  "cs", "d", "",   "",   "f",  "gf", "",   "",   "a",  "bf", ""  } },
            { "hexatonic_3",  { "",  "",   "d", "ef", "",   "",   "fs", "g",  "",   "",   "as", "b" } },
            { "hexatonic_4",  { "c", "",   "",  "ds", "e",  "",   "",   "g",  "af", "",   "",   "b" } },
            { "whole_tone_1", { "c", "",   "d", "",   "e",  "",   "fs", "",   "gs", "",   "as", ""  } },
            { "whole_tone_2", { "",  "df", "",  "ef", "",   "f",  "",   "g",  "",   "a",  "",   "b" } },
        } };

        using Row = std::vector<juce::String>;

        /** Seven consecutive letters from the tonic's, each with the accidental that
            brings it onto the scale tone it names. */
        inline Row spellRootedScale (int root, const RootedClass& cls)
        {
            Row row ((size_t) notesPerOctave);
            const auto firstLetter = std::find (letters.begin(), letters.end(), tonicCodes[(size_t) root][0]) - letters.begin();

            for (size_t degree = 0; degree < cls.intervals.size(); ++degree)
            {
                const auto pitchClass = (root + cls.intervals[degree]) % notesPerOctave;
                const auto letterIndex = (size_t) (firstLetter + (int) degree) % letters.size();

                auto offset = (pitchClass - letterPitchClasses[letterIndex] + notesPerOctave) % notesPerOctave;
                if (offset > notesPerOctave / 2)
                    offset -= notesPerOctave;

                jassert (std::abs (offset) <= largestAccidental);
                row[(size_t) pitchClass] = juce::String::charToString ((juce::juce_wchar) letters[letterIndex])
                                         + accidentalCodes[(size_t) (offset + largestAccidental)];
            }

            return row;
        }

        inline std::map<juce::String, Row> buildTable()
        {
            std::map<juce::String, Row> table;

            for (const auto& cls : rootedClasses)
                for (int root = 0; root < notesPerOctave; ++root)
                    table.emplace (juce::String (rootNames[(size_t) root]) + "_" + cls.classKey,
                                   spellRootedScale (root, cls));

            for (const auto& fixed : limitedTranspositionRows)
                table.emplace (fixed.name, Row (fixed.codes.begin(), fixed.codes.end()));

            return table;
        }

        inline const std::map<juce::String, Row>& spellings()
        {
            static const auto table = buildTable();
            return table;
        }
    }

    //==============================================================================
    /** The 12 spelling codes of a catalogue scale, indexed by pitch class; 12 empty
        texts for a name that is not in the table. */
    inline std::vector<juce::String> getSpelling (const juce::String& scaleName)
    {
        const auto& table = detail::spellings();
        const auto found = table.find (scaleName);
        return found != table.end() ? found->second
                                    : std::vector<juce::String> ((size_t) detail::notesPerOctave);
    }

    /** The name of a pitch class when no scale spells it. Callers pass 0 to 11. */
    inline juce::String getDefaultNoteName (int pitchClass)
    {
        return ScaleUtils::noteToString ((ScaleUtils::NoteName) pitchClass);
    }

    /** The display name of a pitch class as the scale spells it, the default name where
        the scale does not contain it, and the empty text outside 0 to 11. */
    inline juce::String getNoteNameForScale (int pitchClass, const juce::String& scaleName)
    {
        if (! juce::isPositiveAndBelow (pitchClass, detail::notesPerOctave))
            return {};

        const auto code = getSpelling (scaleName)[(size_t) pitchClass];

        if (code.isEmpty())
            return getDefaultNoteName (pitchClass);

        if (code.length() == 1)
            return code.toUpperCase();

        const auto letter = code.substring (0, 1).toUpperCase();
        const auto rest = code.substring (1);

        if (rest == "ss")  return letter + doubleSharpSymbol();
        if (rest == "ff")  return letter + doubleFlatSymbol();
        if (rest == "s")   return letter + sharpSymbol();
        if (rest == "f")   return letter + flatSymbol();

        return code.toUpperCase();
    }

    /** The catalogue name of the scale on this root and class, which is also its key in
        the spelling table; the empty text for a root outside 0 to 11. */
    inline juce::String buildScaleName (int root, const juce::String& classKey)
    {
        if (! juce::isPositiveAndBelow (root, detail::notesPerOctave))
            return {};

        for (const auto cls : { ScaleUtils::Octatonic, ScaleUtils::Hexatonic, ScaleUtils::WholeTone })
            if (classKey == ScaleUtils::classKeyFor (cls))
                return classKey + "_" + juce::String (root % ScaleUtils::transpositionsOf (cls) + 1);

        return juce::String (detail::rootNames[(size_t) root]) + "_" + classKey;
    }
}
