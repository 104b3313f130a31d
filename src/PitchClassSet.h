#pragma once

#include <array>
#include <cstdint>

/** Sets of pitch classes held as 16-bit masks (bit k for pitch class k, C = 0), and
    the rules that the note engine and the keyboard view share. Free of allocation
    and locks, so the audio thread may use every function here.
*/
namespace PitchClassSet
{
    constexpr int size = 12;

    using List = std::array<int, size>;

    /** The pitch class of a note number, 0-11, also for negative numbers. */
    constexpr int pitchClassOf (int note) noexcept
    {
        return ((note % size) + size) % size;
    }

    constexpr bool contains (std::uint16_t mask, int pitchClass) noexcept
    {
        return ((mask >> pitchClass) & 1u) != 0;
    }

    /** Fills list with the pitch classes of the mask from C upwards; returns how many. */
    constexpr int ascending (std::uint16_t mask, List& list) noexcept
    {
        int length = 0;

        for (int k = 0; k < size; ++k)
            if (contains (mask, k))
                list[(size_t) length++] = k;

        return length;
    }

    /** Steps between two pitch classes the short way round the octave. */
    constexpr int circularDistance (int a, int b) noexcept
    {
        const auto up = pitchClassOf (a - b);
        const auto down = pitchClassOf (b - a);
        return up < down ? up : down;
    }

    /** The pitch class of the mask nearest to pitchClass. Among equally near ones the
        lowest number wins, whichever side it lies on; -1 for an empty mask. */
    constexpr int nearest (std::uint16_t mask, int pitchClass) noexcept
    {
        int best = -1;
        int bestDistance = size;

        for (int k = 0; k < size; ++k)
        {
            if (contains (mask, k) && circularDistance (pitchClass, k) < bestDistance)
            {
                best = k;
                bestDistance = circularDistance (pitchClass, k);
            }
        }

        return best;
    }
}
