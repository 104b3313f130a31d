#include "PluginEditor.h"

#include <gtest/gtest.h>

namespace
{
    constexpr float expectedKerning = -0.005f;

    void expectInter (const juce::Font& font, const juce::String& style, float height)
    {
        ASSERT_NE (font.getTypefacePtr(), nullptr);
        EXPECT_EQ (font.getTypefacePtr()->getName(), "Inter");
        EXPECT_EQ (font.getTypefacePtr()->getStyle(), style);
        EXPECT_FLOAT_EQ (font.getHeight(), height);
        EXPECT_EQ (font.getExtraKerningFactor(), expectedKerning);
    }
}

TEST (InterFont, WeightZeroIsRegularAnyOtherWeightIsBold)
{
    const auto regular = CorvaneAudioProcessorEditor::getInterFont (11.0f, 0);
    const auto bold = CorvaneAudioProcessorEditor::getInterFont (20.0f, 1);
    const auto alsoBold = CorvaneAudioProcessorEditor::getInterFont (20.0f, 7);

    expectInter (regular, "Regular", 11.0f);
    expectInter (bold, "Bold", 20.0f);
    expectInter (alsoBold, "Bold", 20.0f);

    // The same typeface every time: the embedded data are turned into a face once.
    EXPECT_EQ (bold.getTypefacePtr(), alsoBold.getTypefacePtr());
    EXPECT_EQ (regular.getTypefacePtr(), CorvaneAudioProcessorEditor::getInterFont (14.0f, 0).getTypefacePtr());
    EXPECT_NE (regular.getTypefacePtr(), bold.getTypefacePtr());
}

TEST (InterFont, DrawsWithTheEmbeddedFaceNotTheSystemDefault)
{
    // Inter's glyphs differ from any installed fallback: the same text in the
    // default sans-serif face must come out with a different width.
    const auto inter = CorvaneAudioProcessorEditor::getInterFont (20.0f, 0);
    const juce::Font fallback (20.0f);

    EXPECT_GT (inter.getStringWidthFloat ("Aurelin"), 0.0f);
    EXPECT_NE (inter.getStringWidthFloat ("Aurelin"), fallback.getStringWidthFloat ("Aurelin"));
}

#if JUCE_MAJOR_VERSION < 8   // JUCE 8 falls back for missing glyphs by itself
TEST (InterFont, AccidentalsInterLacksAreBorrowedNotBoxed)
{
    // Inter has no ♭ or ♯; drawing them as its missing-glyph box would spoil every
    // note name with an accidental.
    const auto outlineOf = [] (const juce::Font& font, juce::juce_wchar character)
    {
        juce::Array<int> glyphs;
        juce::Array<float> offsets;
        font.getTypefacePtr()->getGlyphPositions (juce::String::charToString (character), glyphs, offsets);

        juce::Path outline;
        if (! glyphs.isEmpty())
            font.getTypefacePtr()->getOutlineForGlyph (glyphs.getFirst(), outline);
        return outline;
    };

    constexpr juce::juce_wchar unmapped = 0x10fffd;

    for (const auto& font : { CorvaneAudioProcessorEditor::getInterFont (16.0f, 1),
                              CorvaneAudioProcessorEditor::getInterFont (14.0f, 0),
                              InterLookAndFeel().getPopupMenuFont() })
    {
        const auto missing = outlineOf (font, unmapped);

        for (const auto accidental : { (juce::juce_wchar) 0x266d, (juce::juce_wchar) 0x266f })
        {
            const auto outline = outlineOf (font, accidental);
            EXPECT_FALSE (outline.isEmpty()) << font.getTypefaceStyle() << " " << (int) accidental;
            EXPECT_FALSE (outline == missing) << font.getTypefaceStyle() << " " << (int) accidental;
        }

        // Letters stay Inter's own.
        EXPECT_FALSE (outlineOf (font, 'D') == missing);
    }
}
#endif

TEST (InterLookAndFeel, ListTextMenuAndInnerLabelAreInterRegular14)
{
    InterLookAndFeel lookAndFeel;
    juce::ComboBox box;
    juce::Label label;
    label.setFont (CorvaneAudioProcessorEditor::getInterFont (20.0f, 1));   // not consulted

    expectInter (lookAndFeel.getComboBoxFont (box), "Regular", 14.0f);
    expectInter (lookAndFeel.getPopupMenuFont(), "Regular", 14.0f);
    expectInter (lookAndFeel.getLabelFont (label), "Regular", 14.0f);

    // The label inside a list takes its font from the look-and-feel when laid out.
    box.setLookAndFeel (&lookAndFeel);
    box.setBounds (0, 0, 120, 30);
    auto* innerLabel = [&box]() -> juce::Label*
    {
        for (auto* child : box.getChildren())
            if (auto* l = dynamic_cast<juce::Label*> (child))
                return l;
        return nullptr;
    }();

    ASSERT_NE (innerLabel, nullptr);
    expectInter (innerLabel->getFont(), "Regular", 14.0f);
    box.setLookAndFeel (nullptr);
}

TEST (InterLookAndFeel, EachInstanceMakesItsOwnTypeface)
{
    const auto shared = CorvaneAudioProcessorEditor::getInterFont (14.0f, 0).getTypefacePtr();

    juce::Typeface::Ptr first, second;
    {
        InterLookAndFeel a;
        first = a.getPopupMenuFont().getTypefacePtr();
    }
    {
        InterLookAndFeel b;
        second = b.getPopupMenuFont().getTypefacePtr();
    }

    EXPECT_NE (first, second);
    EXPECT_NE (first, shared);
    EXPECT_EQ (CorvaneAudioProcessorEditor::getInterFont (14.0f, 0).getTypefacePtr(), shared);
}
