#include "ProcessorHarness.h"

#include <gtest/gtest.h>

namespace
{
    enum { corrective, filter, stackChrom, stackWhite };
    enum { acoustic, diatonic, harmonicMajor, harmonicMinor, octatonic, hexatonic, wholeTone };

    /** A processor set to a scale and correction, with its first block run so the
        pitch map is in place. */
    struct Remapper : ProcessorHarness
    {
        Remapper (int root, int scaleClass, int correction, int source = 0)
        {
            setScale (root, scaleClass);
            setChoice ("CORRECTION", correction);
            setChoice ("SOURCE", source);
            run ({});
        }

        std::vector<int> remap (int first, int last) const
        {
            std::vector<int> out;

            for (int n = first; n <= last; ++n)
                out.push_back (processor.getRemappedMidiNote (n));

            return out;
        }

        ScopedFreshSharedRecord fresh;
    };
}

TEST (Remapping, CDiatonicNotes55To72InEveryMode)
{
    struct Case { int correction; std::vector<int> expected; };

    const Case cases[] {
        { corrective, { 55, 55, 57, 57, 59, 60, 60, 62, 62, 64, 65, 65, 67, 67, 69, 69, 71, 72 } },
        { filter,     { 55, -1, 57, -1, 59, 60, -1, 62, -1, 64, 65, -1, 67, -1, 69, -1, 71, 72 } },
        { stackChrom, { 52, 53, 55, 57, 59, 60, 62, 64, 65, 67, 69, 71, 72, 74, 76, 77, 79, 81 } },
        { stackWhite, { 55, -1, 57, -1, 59, 60, -1, 62, -1, 64, 65, -1, 67, -1, 69, -1, 71, 72 } },
    };

    for (const auto& c : cases)
        EXPECT_EQ (Remapper (0, diatonic, c.correction).remap (55, 72), c.expected) << "mode " << c.correction;
}

TEST (Remapping, SingleNotes)
{
    struct Case { const char* what; int root, scaleClass, correction, note, expected; };

    const Case cases[] {
        { "D diatonic stacks from C#, its lowest pitch class",  2, diatonic, stackChrom, 60, 61 },
        { "... and the next key plays D",                       2, diatonic, stackChrom, 61, 62 },
        { "D diatonic corrects C down to B",                    2, diatonic, corrective, 60, 59 },
        { "octatonic white stacking drifts by octaves",         0, octatonic, stackWhite, 60, 52 },
        { "white stacking drops black keys",                    0, octatonic, stackWhite, 61, -1 },
        { "white key index runs from note 0",                   0, diatonic, stackWhite, 0, 0 },
        { "stacking low keys goes below zero",                  0, diatonic, stackChrom, 24, -1 },
        // The moves may leave the MIDI range; the caller drops such notes.
        { "C corrected down to B from note 0",                  2, diatonic, corrective, 0, -1 },
        { "C harmonic major keeps note 127, a B",             0, harmonicMajor, corrective, 127, 127 },
        { "A harmonic major moves 127 up to 128",               9, harmonicMajor, corrective, 127, 128 },
        { "chromatic stacking passes 127",                      0, diatonic, stackChrom, 100, 129 },
        { "octatonic_1 root 3 finds the first collection",      3, octatonic, filter, 61, 61 },
    };

    for (const auto& c : cases)
        EXPECT_EQ (Remapper (c.root, c.scaleClass, c.correction).processor.getRemappedMidiNote (c.note), c.expected) << c.what;
}

TEST (Remapping, WhiteKeyIndex)
{
    const Remapper r (0, diatonic, corrective);

    for (const auto& [note, index] : { std::pair { 0, 0 }, { 2, 1 }, { 12, 7 }, { 60, 35 }, { 61, -1 }, { 127, 74 } })
        EXPECT_EQ (r.processor.getWhiteKeyIndex (note), index) << note;
}

TEST (Remapping, ChordSourceTakesTheNearestChordTone)
{
    struct Case { juce::uint16 chord; int note, expected; };

    const Case cases[] {
        { 0x091, 62, 60 },  // C E G: D is two from C and from E; the lower pitch class wins
        { 0x091, 58, 60 },  // A# moves up to C
        { 0x091, 56, 55 },  // G# moves down to G
        { 0x091, 64, 64 },  // chord tones stay
        { 0x111, 70, 72 },  // C E G#: A# ties between G# and C; C (0) wins and lies above
    };

    for (const auto& c : cases)
    {
        Remapper r (0, diatonic, corrective, 1);
        ScopedFreshSharedRecord::publishChord (c.chord);
        r.run ({});
        EXPECT_EQ (r.processor.getPitchClassMask(), c.chord);
        EXPECT_EQ (r.processor.getRemappedMidiNote (c.note), c.expected) << c.note;
    }
}

TEST (Remapping, ChordSourceWithoutAChordFollowsTheScale)
{
    Remapper chord (2, diatonic, corrective, 1);
    const Remapper scale (2, diatonic, corrective, 0);
    EXPECT_EQ (chord.remap (0, 127), scale.remap (0, 127));
    EXPECT_EQ (chord.processor.getPitchClassMask(), scale.processor.getPitchClassMask());
}

TEST (Remapping, CorrectiveNeverDropsInsideTheRangeAndOnlyFilterAndWhiteStackDrop)
{
    for (int correction : { corrective, filter, stackChrom, stackWhite })
    {
        const Remapper r (0, diatonic, correction);
        const auto out = r.remap (25, 127);
        const auto drops = std::count_if (out.begin(), out.end(), [] (int n) { return n < 0; });
        EXPECT_EQ (drops > 0, correction == filter || correction == stackWhite) << correction;
    }
}
