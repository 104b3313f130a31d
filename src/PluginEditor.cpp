#include "PluginEditor.h"

namespace
{
    constexpr float interKerning = -0.005f;     // a little tighter than the face's own spacing
    constexpr float listFontHeight = 14.0f;

   #if JUCE_MAJOR_VERSION < 8
    /** A face made from memory in JUCE 7 draws its own missing-glyph box for every
        character it lacks, and Inter lacks the accidentals (♭ ♯ 𝄫 𝄪) that our note
        names use. This face serves Inter's glyphs and borrows the ones Inter lacks
        from the system's sans-serif face; JUCE 8 falls back by itself.

        Glyphs are copied on first use, on the message thread like all font work. */
    class InterTypeface final : public juce::CustomTypeface
    {
    public:
        InterTypeface (const char* data, int size)
            : inter (juce::Typeface::createSystemTypefaceFor (data, (size_t) size))
        {
            setCharacteristics (inter->getName(), inter->getStyle(), inter->getAscent(), L' ');

            // Loading a glyph here also starts JUCE's leak counter for glyphs before a
            // function-local static holding this face is complete, so the counter is
            // destroyed after the face and does not report its glyphs at exit.
            interMissing = copyGlyph (*inter, unmappedCharacter).outline;

            fallback = juce::Font (juce::Font::getDefaultSansSerifFontName(), inter->getStyle(), fallbackProbeHeight)
                           .getTypefacePtr();

            if (fallback != nullptr)
                fallbackMissing = copyGlyph (*fallback, unmappedCharacter).outline;
        }

    protected:
        bool loadGlyphIfPossible (juce::juce_wchar character) override
        {
            auto glyph = copyGlyph (*inter, character);

            if (glyph.outline == interMissing && fallback != nullptr)
            {
                auto borrowed = copyGlyph (*fallback, character);

                if (! (borrowed.outline == fallbackMissing))
                    glyph = std::move (borrowed);
            }

            addGlyph (character, glyph.outline, glyph.advance);
            return true;
        }

    private:
        struct Glyph
        {
            juce::Path outline;
            float advance = 0.0f;
        };

        /** A glyph in units of the face's height, with the baseline at y = 0. */
        static Glyph copyGlyph (juce::Typeface& face, juce::juce_wchar character)
        {
            juce::Array<int> glyphNumbers;
            juce::Array<float> offsets;
            face.getGlyphPositions (juce::String::charToString (character), glyphNumbers, offsets);

            Glyph glyph;

            if (! glyphNumbers.isEmpty() && offsets.size() > 1)
            {
                face.getOutlineForGlyph (glyphNumbers.getFirst(), glyph.outline);
                glyph.advance = offsets[1];
            }

            return glyph;
        }

        static constexpr juce::juce_wchar unmappedCharacter = 0x10fffd;   // private use: no face maps it
        static constexpr float fallbackProbeHeight = 10.0f;               // any height selects the same face

        juce::Typeface::Ptr inter, fallback;
        juce::Path interMissing, fallbackMissing;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (InterTypeface)
    };
   #endif

    juce::Typeface::Ptr makeTypeface (const char* data, int size)
    {
       #if JUCE_MAJOR_VERSION < 8
        return juce::Typeface::Ptr (new InterTypeface (data, size));
       #else
        return juce::Typeface::createSystemTypefaceFor (data, (size_t) size);
       #endif
    }

    juce::Font makeInterFont (const juce::Typeface::Ptr& typeface, float height)
    {
       #if JUCE_MAJOR_VERSION >= 8
        return juce::Font (juce::FontOptions (typeface).withHeight (height).withKerningFactor (interKerning));
       #else
        juce::Font font (typeface);
        font.setHeight (height);
        font.setExtraKerningFactor (interKerning);
        return font;
       #endif
    }
}

//==============================================================================
InterLookAndFeel::InterLookAndFeel()
    : typeface (makeTypeface (BinaryData::InterRegular_ttf, BinaryData::InterRegular_ttfSize))
{
}

InterLookAndFeel::~InterLookAndFeel() = default;

juce::Font InterLookAndFeel::makeFont() const                  { return makeInterFont (typeface, listFontHeight); }
juce::Font InterLookAndFeel::getPopupMenuFont()                 { return makeFont(); }
juce::Font InterLookAndFeel::getComboBoxFont (juce::ComboBox&)  { return makeFont(); }
juce::Font InterLookAndFeel::getLabelFont (juce::Label&)        { return makeFont(); }

//==============================================================================
juce::Font CorvaneAudioProcessorEditor::getInterFont (float height, int weight)
{
    static const juce::Typeface::Ptr interRegular = makeTypeface (BinaryData::InterRegular_ttf, BinaryData::InterRegular_ttfSize);
    static const juce::Typeface::Ptr interBold = makeTypeface (BinaryData::InterBold_ttf, BinaryData::InterBold_ttfSize);

    return makeInterFont (weight == 0 ? interRegular : interBold, height);
}

//==============================================================================
CorvaneAudioProcessorEditor::CorvaneAudioProcessorEditor (CorvaneAudioProcessor& p)
    : AudioProcessorEditor (&p), audioProcessor (p)
{
    setSize (462, 500);
}

CorvaneAudioProcessorEditor::~CorvaneAudioProcessorEditor()
{
    stopTimer();
}

void CorvaneAudioProcessorEditor::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff0a0a0fu));
}

void CorvaneAudioProcessorEditor::resized() {}
void CorvaneAudioProcessorEditor::timerCallback() {}
