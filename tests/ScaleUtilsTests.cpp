#include "ScaleUtils.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace
{
    using namespace ScaleUtils;

    std::vector<int> ints (const juce::var& array)
    {
        std::vector<int> out;

        if (auto* a = array.getArray())
            for (const auto& v : *a)
                out.push_back ((int) v);

        return out;
    }

    std::vector<juce::String> strings (const juce::var& array)
    {
        std::vector<juce::String> out;

        if (auto* a = array.getArray())
            for (const auto& v : *a)
                out.push_back (v.toString());

        return out;
    }

    std::map<juce::String, juce::var> byName (const juce::var& scales)
    {
        std::map<juce::String, juce::var> out;

        for (const auto& s : *scales.getArray())
            out[s["name"].toString()] = s;

        return out;
    }
}

TEST (ScaleCatalogue, RecordsInTheirOrder)
{
    const auto scales = getScalesJson();
    ASSERT_TRUE (scales.isArray());
    ASSERT_EQ (scales.size(), 57);

    std::vector<std::string> rooted;
    juce::StringArray limited;

    for (int i = 0; i < 57; ++i)
    {
        const auto& s = scales[i];
        const auto properties = s.getDynamicObject()->getProperties();
        ASSERT_EQ (properties.size(), 6);
        const char* expectedOrder[] { "name", "root", "adjacent_scales", "pitch_classes", "pitch_map", "scale_class" };

        for (int p = 0; p < 6; ++p)
            EXPECT_EQ (properties.getName (p).toString(), expectedOrder[p]);

        if (i < 48)
            rooted.push_back (s["name"].toString().toStdString());
        else
            limited.add (s["name"].toString());
    }

    EXPECT_TRUE (std::is_sorted (rooted.begin(), rooted.end()));
    EXPECT_EQ (rooted.front(), "a_acoustic");
    EXPECT_EQ (rooted.back(), "gs_harmonic_minor");
    EXPECT_EQ (limited.joinIntoString (" "), "octatonic_1 octatonic_2 octatonic_3 hexatonic_1 hexatonic_2 "
                                             "hexatonic_3 hexatonic_4 whole_tone_1 whole_tone_2");
}

TEST (ScaleCatalogue, Invariants)
{
    const auto scales = getScalesJson();
    const auto named = byName (scales);
    std::set<std::pair<int, juce::String>> pairs;

    for (const auto& s : *scales.getArray())
    {
        const auto name = s["name"].toString();
        const auto neighbours = strings (s["adjacent_scales"]);
        EXPECT_EQ (neighbours.size(), s["scale_class"] == "octatonic" ? 12u : 6u) << name;

        for (const auto& n : neighbours)
        {
            EXPECT_NE (n, name) << "a scale never names itself";
            ASSERT_EQ (named.count (n), 1u) << name << " names " << n;
            const auto back = strings (named.at (n)["adjacent_scales"]);
            EXPECT_NE (std::find (back.begin(), back.end(), name), back.end()) << n << " does not name " << name;
        }

        const auto map = ints (s["pitch_map"]);
        ASSERT_EQ (map.size(), 12u) << name;
        std::vector<int> fixedPoints;

        for (int p = 0; p < 12; ++p)
            if (map[(size_t) p] == p)
                fixedPoints.push_back (p);

        EXPECT_EQ (fixedPoints, ints (s["pitch_classes"])) << name;
        EXPECT_TRUE (pairs.insert ({ (int) s["root"], s["scale_class"].toString() }).second) << name;
    }
}

TEST (ScaleCatalogue, Examples)
{
    const auto named = byName (getScalesJson());

    const auto& a = named.at ("a_acoustic");
    EXPECT_EQ ((int) a["root"], 9);
    EXPECT_EQ (ints (a["pitch_classes"]), (std::vector<int> { 1, 3, 4, 6, 7, 9, 11 }));
    EXPECT_EQ (ints (a["pitch_map"]), (std::vector<int> { 11, 1, 1, 3, 4, 4, 6, 7, 7, 9, 9, 11 }));
    EXPECT_EQ (strings (a["adjacent_scales"]), (std::vector<juce::String> { "e_diatonic", "e_harmonic_minor", "octatonic_1",
                                                                            "d_diatonic", "b_harmonic_major", "whole_tone_2" }));

    const auto& h = named.at ("hexatonic_4");
    EXPECT_EQ ((int) h["root"], 3);
    EXPECT_EQ (ints (h["pitch_classes"]), (std::vector<int> { 0, 3, 4, 7, 8, 11 }));
    EXPECT_EQ (strings (h["adjacent_scales"]), (std::vector<juce::String> { "c_harmonic_minor", "e_harmonic_minor", "gs_harmonic_minor",
                                                                            "c_harmonic_major", "e_harmonic_major", "gs_harmonic_major" }));
}

TEST (ScaleUtils, FindScale)
{
    const auto scales = getScalesJson();
    const std::vector<int> none;

    struct Case { int root; int cls; std::vector<int> expected; };

    const Case cases[] {
        { 3,  Octatonic,      { 0, 1, 3, 3, 4, 6, 6, 7, 9, 9, 10, 0 } },
        { 7,  Hexatonic,      ints (findScale (3, Hexatonic, scales)) },
        { 11, WholeTone,      ints (findScale (1, WholeTone, scales)) },
        { 1,  HarmonicMajor,  { 0, 1, 1, 3, 5, 5, 6, 6, 8, 9, 9, 0 } },
        { 0,  Diatonic,       { 0, 0, 2, 2, 4, 5, 5, 7, 7, 9, 9, 11 } },
        // The remainder keeps the sign of the root: -3, -4 and -2 reduce to 0 ...
        { -3, Octatonic,      ints (findScale (0, Octatonic, scales)) },
        { -4, Hexatonic,      ints (findScale (0, Hexatonic, scales)) },
        { -2, WholeTone,      ints (findScale (0, WholeTone, scales)) },
        // ... while roots that name nothing find nothing.
        { -1, Octatonic,      none },
        { 12, Diatonic,       none },
        { -1, Diatonic,       none },
        { 0,  7,              none },
    };

    for (const auto& c : cases)
        EXPECT_EQ (ints (findScale (c.root, (ScaleClass) c.cls, scales)), c.expected) << c.root << "/" << c.cls;

    EXPECT_EQ (ints (findScale (7, Hexatonic, scales)), ints (byName (scales).at ("hexatonic_4")["pitch_map"]));
    EXPECT_TRUE (findScale (0, Diatonic, {}).isVoid());
    EXPECT_TRUE (findScale (0, Diatonic, juce::var ("not an array")).isVoid());
    EXPECT_TRUE (findScale (12, Diatonic, scales).isVoid());
}

TEST (ScaleUtils, NamesLabelsAndGreys)
{
    struct Case { int root; int cls; const char* label; juce::uint32 grey; };

    const Case cases[] {
        { 5,  Octatonic, "[0,2]", 0xff858585 },
        { 4,  Octatonic, "[1,2]", 0xffa7a7a7 },
        { 7,  Hexatonic, "[0,3]", 0xffc8c8c8 },
        { 2,  Hexatonic, "[2,3]", 0xff646464 },
        { 11, WholeTone, "[1,3]", 0xff969696 },
        { 1,  WholeTone, "[1,3]", 0xff969696 },
        { -1, Octatonic, "[0,2]", 0xff858585 },   // never read outside the tables
        { -1, Hexatonic, "[0,3]", 0xffc8c8c8 },
        { 0,  Diatonic,  "",      0 },
    };

    for (const auto& c : cases)
    {
        EXPECT_EQ (getLimitedTranspositionLabel (c.root, (ScaleClass) c.cls), c.label) << c.root << "/" << c.cls;

        if (c.grey != 0)
        {
            EXPECT_EQ (getLimitedTranspositionColour (c.root, (ScaleClass) c.cls).getARGB(), c.grey) << c.root << "/" << c.cls;
        }
    }

    const juce::String names[] { "C", juce::CharPointer_UTF8 ("D\xe2\x99\xad"), "D", juce::CharPointer_UTF8 ("E\xe2\x99\xad"), "E", "F",
                                 juce::CharPointer_UTF8 ("F\xe2\x99\xaf"), "G", juce::CharPointer_UTF8 ("A\xe2\x99\xad"), "A",
                                 juce::CharPointer_UTF8 ("B\xe2\x99\xad"), "B" };

    for (int n = 0; n < 12; ++n)
        EXPECT_EQ (noteToString ((NoteName) n), names[n]);

    EXPECT_EQ (noteToString ((NoteName) 12), "?");
    EXPECT_EQ (noteToString ((NoteName) -1), "?");
    EXPECT_EQ (classKeyFor ((ScaleClass) 5), "hexatonic");
    EXPECT_EQ (classKeyFor ((ScaleClass) 7), "Unknown");
    EXPECT_EQ (ROOT_COLOURS[0], 0xFFFF496Du);
    EXPECT_EQ (ROOT_COLOURS[11], 0xFF03A6D0u);
}
