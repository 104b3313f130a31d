#pragma once

#include <juce_core/juce_core.h>
#include <juce_graphics/juce_graphics.h>

#include "BinaryData.h"

#include <array>

/** The shared musical vocabulary: roots, scale classes, the embedded scale catalogue
    and the colours and labels by which the views tell scales apart.

    Free functions without state; all are reentrant and may be called from any thread.
    Each caller of getScalesJson() keeps its own parsed copy of the catalogue.
*/
namespace ScaleUtils
{
    enum NoteName : int
    {
        C = 0, Db, D, Eb, E, F, Gb, G, Ab, A, Bb, B
    };

    enum ScaleClass : int
    {
        Acoustic = 0, Diatonic, HarmonicMajor, HarmonicMinor, Octatonic, Hexatonic, WholeTone
    };

    constexpr int numRoots = 12;
    constexpr int numScaleClasses = 7;

    inline constexpr std::array<juce::uint32, numRoots> ROOT_COLOURS
    {
        0xFFFF496D, 0xFF01CB91, 0xFFDA8EFF, 0xFFFBE906, 0xFF017AE6, 0xFFEE7A3C,
        0xFF08D2D1, 0xFFFF73CB, 0xFF8EFF04, 0xFF877DF9, 0xFFFFAB00, 0xFF03A6D0
    };

    /** The number of distinct transpositions of a class of limited transposition
        (octatonic 3, hexatonic 4, whole tone 2), or 0 for the rooted classes. */
    inline constexpr int transpositionsOf (int cls) noexcept
    {
        switch (cls)
        {
            case Octatonic:  return 3;
            case Hexatonic:  return 4;
            case WholeTone:  return 2;
            default:         return 0;
        }
    }

    /** The root reduced to its transposition index for the classes of limited
        transposition: the remainder of integer division, so a negative root stays
        negative. Other classes keep the root as it is. */
    inline constexpr int reduceRoot (int root, int cls) noexcept
    {
        const auto n = transpositionsOf (cls);
        return n > 0 ? root % n : root;
    }

    /** The index into ROOT_COLOURS of the colour that stands for (root, cls). */
    inline constexpr int rootColourIndex (int root, int cls) noexcept
    {
        return reduceRoot (root, cls);
    }

    inline juce::String noteToString (NoteName note)
    {
        static const juce::String flat  = juce::String::charToString ((juce::juce_wchar) 0x266D);
        static const juce::String sharp = juce::String::charToString ((juce::juce_wchar) 0x266F);

        switch (note)
        {
            case C:   return "C";
            case Db:  return "D" + flat;
            case D:   return "D";
            case Eb:  return "E" + flat;
            case E:   return "E";
            case F:   return "F";
            case Gb:  return "F" + sharp;
            case G:   return "G";
            case Ab:  return "A" + flat;
            case A:   return "A";
            case Bb:  return "B" + flat;
            case B:   return "B";
            default:  return "?";
        }
    }

    inline juce::String classKeyFor (ScaleClass cls)
    {
        switch (cls)
        {
            case Acoustic:       return "acoustic";
            case Diatonic:       return "diatonic";
            case HarmonicMajor:  return "harmonic_major";
            case HarmonicMinor:  return "harmonic_minor";
            case Octatonic:      return "octatonic";
            case Hexatonic:      return "hexatonic";
            case WholeTone:      return "whole_tone";
            default:             return "Unknown";
        }
    }

    /** The display name of a class, as the parameter's choices show it. */
    inline juce::String classDisplayName (ScaleClass cls)
    {
        static const char* const names[] { "Acoustic", "Diatonic", "Harmonic Major", "Harmonic Minor",
                                           "Octatonic", "Hexatonic", "Whole Tone" };
        return juce::isPositiveAndBelow ((int) cls, numScaleClasses) ? juce::String (names[(int) cls])
                                                                   : juce::String ("Unknown");
    }

    /** The "scales" array of the embedded catalogue, freshly parsed. */
    inline juce::var getScalesJson()
    {
        juce::MemoryInputStream stream (BinaryData::scales_json, (size_t) BinaryData::scales_jsonSize, true);
        const auto parsed = juce::JSON::parse (stream.readEntireStreamAsString());
        return parsed.getProperty ("scales", {});
    }

    /** The pitch map of the catalogue scale with this root and class, or a void var. */
    inline juce::var findScale (int root, ScaleClass cls, juce::var scales)
    {
        const auto key = classKeyFor (cls).toLowerCase();
        const auto lookupRoot = reduceRoot (root, cls);

        if (auto* array = scales.getArray())
            for (const auto& scale : *array)
                if ((int) scale.getProperty ("root", {}) == lookupRoot
                    && scale.getProperty ("scale_class", {}).toString() == key)
                    return scale.getProperty ("pitch_map", {});

        return {};
    }

    namespace detail
    {
        struct LimitedTransposition
        {
            int first, second;
            juce::uint8 grey;
        };

        /** Labels (the two lowest pitch classes) and greys of each collection. */
        inline const LimitedTransposition* limitedTransposition (int root, ScaleClass cls) noexcept
        {
            static constexpr LimitedTransposition octatonic[]  { { 0, 1, 200 }, { 1, 2, 167 }, { 0, 2, 133 } };
            static constexpr LimitedTransposition hexatonic[]  { { 0, 1, 167 }, { 1, 2, 133 }, { 2, 3, 100 }, { 0, 3, 200 } };
            static constexpr LimitedTransposition wholeTone[]  { { 0, 2, 200 }, { 1, 3, 150 } };

            // A negative root has a negative remainder; fold it into the table
            // rather than read in front of it.
            const auto index = [root] (int n) { return ((root % n) + n) % n; };

            switch (cls)
            {
                case Octatonic:  return &octatonic[index (3)];
                case Hexatonic:  return &hexatonic[index (4)];
                case WholeTone:  return &wholeTone[index (2)];
                case Acoustic:
                case Diatonic:
                case HarmonicMajor:
                case HarmonicMinor:
                default:         return nullptr;
            }
        }
    }

    inline juce::String getLimitedTranspositionLabel (int root, ScaleClass cls)
    {
        if (const auto* t = detail::limitedTransposition (root, cls))
            return "[" + juce::String (t->first) + "," + juce::String (t->second) + "]";

        return {};
    }

    inline juce::Colour getLimitedTranspositionColour (int root, ScaleClass cls)
    {
        if (const auto* t = detail::limitedTransposition (root, cls))
            return juce::Colour (t->grey, t->grey, t->grey);

        return juce::Colours::black;
    }
}
