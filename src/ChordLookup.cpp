#include "ChordLookup.h"

#include "BinaryData.h"

#include <algorithm>
#include <array>
#include <string>

namespace
{
    constexpr int pitchClasses = 12;

    constexpr juce::juce_wchar sharpSign = 0x266F;
    constexpr juce::juce_wchar flatSign  = 0x266D;

    // The UTF-8 bytes of the two signs, each byte read as one character: how they
    // arrive when a sender's UTF-8 text has been decoded one byte at a time.
    constexpr juce::juce_wchar misreadLead      = 0xE2;
    constexpr juce::juce_wchar misreadMiddle    = 0x99;
    constexpr juce::juce_wchar misreadSharpTail = 0xAF;
    constexpr juce::juce_wchar misreadFlatTail  = 0xAD;

    ChordLookup::Index buildIndex (const juce::String& catalogueJson)
    {
        ChordLookup::Index index;
        const auto catalogue = juce::JSON::parse (catalogueJson);

        const juce::Identifier chordTypeProperty ("chord_type");
        const juce::Identifier rootProperty ("root");
        const juce::Identifier pitchClassesProperty ("prime_form_kinda");

        if (auto* entries = catalogue.getDynamicObject())
        {
            // DynamicObject keeps its properties in the order of the text, and that
            // order decides which entry of a key a lookup meets first.
            for (const auto& property : entries->getProperties())
            {
                const auto& fields = property.value;

                if (fields.getDynamicObject() == nullptr)
                    continue;

                ChordLookup::ChordEntry entry;
                entry.chordType = fields.getProperty (chordTypeProperty, {}).toString();
                entry.root = (int) fields.getProperty (rootProperty, 0);

                const auto pitchClassSet = fields.getProperty (pitchClassesProperty, {});

                if (const auto* elements = pitchClassSet.getArray())
                    for (const auto& pitchClass : *elements)
                        entry.primeForm.push_back ((int) pitchClass);

                index[ChordLookup::keyFor (entry.primeForm)].push_back (std::move (entry));
            }
        }

        return index;
    }

    bool isLowerCaseLetter (char32_t c) noexcept    { return c >= 'a' && c <= 'z'; }
    bool isDecimalDigit (char32_t c) noexcept       { return c >= '0' && c <= '9'; }

    std::u32string toCodePoints (const juce::String& text)
    {
        std::u32string codePoints;

        for (auto p = text.getCharPointer(); ! p.isEmpty();)
            codePoints.push_back ((char32_t) p.getAndAdvance());

        return codePoints;
    }

    /** The chord symbol of a type text: without a leading "_", a root-key prefix such
        as "cs_", or a trailing "-" and type number. */
    std::u32string symbolOf (const juce::String& chordType)
    {
        auto t = toCodePoints (chordType);

        if (! t.empty() && t.front() == U'_')
            t.erase (0, 1);

        const auto underscore = t.find (U'_');

        if (t.size() >= 2 && (underscore == 1 || underscore == 2)
            && std::all_of (t.begin(), t.begin() + (std::ptrdiff_t) underscore, isLowerCaseLetter))
            t.erase (0, underscore + 1);

        const auto dash = t.rfind (U'-');

        if (dash != std::u32string::npos && dash >= 1
            && std::all_of (t.begin() + (std::ptrdiff_t) dash + 1, t.end(), isDecimalDigit))
            t.erase (dash);

        return t;
    }
}

//==============================================================================
ChordLookup& ChordLookup::getInstance()
{
    static ChordLookup instance;
    return instance;
}

ChordLookup::ChordLookup()
    : ChordLookup (juce::String::fromUTF8 (BinaryData::chords_json, BinaryData::chords_jsonSize))
{
}

ChordLookup::ChordLookup (const juce::String& catalogueJson)
    : chordsByKey (buildIndex (catalogueJson))
{
}

//==============================================================================
juce::String ChordLookup::formatChordName (const juce::String& rootName, const juce::String& chordType) const
{
    const auto t = symbolOf (chordType);
    juce::String symbol;

    for (size_t i = 0; i < t.size(); ++i)
    {
        const auto c = t[i];

        if (c == U'#')
        {
            symbol << juce::String::charToString (sharpSign);
        }
        else if (c == U'b' && symbol.isNotEmpty())
        {
            // A "b" that begins the symbol is a letter; anywhere else it is a flat.
            symbol << juce::String::charToString (flatSign);
        }
        else if (c == misreadLead && i + 2 < t.size() && t[i + 1] == misreadMiddle
                 && (t[i + 2] == misreadSharpTail || t[i + 2] == misreadFlatTail))
        {
            symbol << juce::String::charToString (t[i + 2] == misreadSharpTail ? sharpSign : flatSign);
            i += 2;
        }
        else
        {
            symbol << juce::String::charToString ((juce::juce_wchar) c);
        }
    }

    return rootName + " " + symbol;
}

juce::String ChordLookup::getRootName (int pitchClass) const
{
    static const juce::String flat = juce::String::charToString (flatSign);
    static const std::array<juce::String, pitchClasses> names
    {
        "C", "D" + flat, "D", "E" + flat, "E", "F", "G" + flat, "G", "A" + flat, "A", "B" + flat, "B"
    };

    return juce::isPositiveAndBelow (pitchClass, pitchClasses) ? names[(size_t) pitchClass] : names[0];
}

juce::String ChordLookup::keyFor (const std::vector<int>& pitchClassSet)
{
    juce::String key;

    for (size_t i = 0; i < pitchClassSet.size(); ++i)
        key << (i == 0 ? "" : ",") << pitchClassSet[i];

    return key;
}
