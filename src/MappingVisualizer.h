#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "InterFont.h"
#include "ScaleSpellings.h"

#include <array>
#include <vector>

#ifndef AURELIN_DEBUG_LOG
 #define AURELIN_DEBUG_LOG 0
#endif

//==============================================================================
/** One octave of a keyboard showing what the plug-in does to each pitch class:
    each key is labelled with the pitch class it is sent to, keys are highlighted
    in the root's colour, and every held note gets a grey arrow into the key that
    was played and a coloured arrow under the key that sounds. In Filter mode a
    dropped note is marked with a grey cross instead.

    The view computes nothing musical itself; the editor hands it the mapping,
    highlighting, mode flags and held notes.

    Threads: message thread only (setters, queries, painting). appendDebugLog may
    be called from any thread but the audio thread.
*/
class MappingVisualizer final : public juce::Component
{
public:
    /** One held note as the keyboard draws it. */
    struct ActiveNote
    {
        int inputPitchClass = 0;    // 0-11, the key that was played
        int outputPitchClass = 0;   // 0-11, or negative while the note is silent
        bool outsideMask = false;   // the played pitch class is not an active one
    };

    static constexpr int numPitchClasses = 12;
    static constexpr std::array<int, 7> WHITE_KEYS { 0, 2, 4, 5, 7, 9, 11 };
    static constexpr std::array<int, 5> BLACK_KEYS { 1, 3, 6, 8, 10 };

    /** Centre of each black key, in white-key widths from the keyboard's left edge. */
    static constexpr std::array<float, 5> BLACK_KEY_POSITIONS { 1.0f, 2.0f, 4.0f, 5.0f, 6.0f };

    //==============================================================================
    /** Where everything goes for a given size of the view. */
    struct Geometry
    {
        static constexpr float margin = 10.0f;           // either side of the keys
        static constexpr float keysTop = 30.0f;          // above the keys: input arrows and crosses
        static constexpr float freeHeight = 60.0f;       // what the keys leave: 30 above them, 30 below for the output arrows
        static constexpr float outputArrowDrop = 16.0f;  // tip below the keys; the arrow's top edge is 6 below them
        static constexpr float whiteKeyGap = 2.0f;
        static constexpr float blackKeyProportion = 0.7f;
        static constexpr float blackKeyLength = 0.55f;
        static constexpr float labelProportion = 0.3f;
        static constexpr float blackLabelInset = 2.0f;
        static constexpr float inputArrowY = 26.0f;      // tip 4 pixels above the keys

        Geometry (float width, float height) noexcept
            : keyboardHeight (height - freeHeight),
              whiteKeyWidth ((width - 2.0f * margin) / (float) WHITE_KEYS.size()),
              blackKeyWidth (blackKeyProportion * whiteKeyWidth),
              blackKeyHeight (blackKeyLength * keyboardHeight)
        {
        }

        juce::Rectangle<float> getWhiteKey (int index) const noexcept
        {
            return { margin + (float) index * whiteKeyWidth, keysTop, whiteKeyWidth - whiteKeyGap, keyboardHeight };
        }

        juce::Rectangle<float> getWhiteLabel (int index) const noexcept
        {
            const auto labelHeight = juce::jmin (keyboardHeight, labelProportion * keyboardHeight);
            return { margin + (float) index * whiteKeyWidth, keysTop + keyboardHeight - labelHeight,
                     whiteKeyWidth - whiteKeyGap, labelHeight };
        }

        float getBlackKeyCentre (int index) const noexcept
        {
            return margin + BLACK_KEY_POSITIONS[(size_t) index] * whiteKeyWidth;
        }

        juce::Rectangle<float> getBlackKey (int index) const noexcept
        {
            return { getBlackKeyCentre (index) - blackKeyWidth * 0.5f, keysTop, blackKeyWidth, blackKeyHeight };
        }

        /** The key shrunk by a small inset on every side, keeping only its lower part. */
        juce::Rectangle<float> getBlackLabel (int index) const noexcept
        {
            const auto innerHeight = juce::jmax (0.0f, blackKeyHeight - 2.0f * blackLabelInset);
            const auto labelHeight = juce::jmin (innerHeight, blackKeyLength * blackKeyHeight);
            return { getBlackKeyCentre (index) - blackKeyWidth * 0.5f + blackLabelInset,
                     keysTop + blackLabelInset + innerHeight - labelHeight,
                     juce::jmax (0.0f, blackKeyWidth - 2.0f * blackLabelInset),
                     labelHeight };
        }

        /** The x at which the arrows of a pitch class point. Anything that is not a
            pitch class (a silent note) goes one white key left of C, off the view. */
        float getKeyX (int pitchClass) const noexcept
        {
            for (size_t i = 0; i < WHITE_KEYS.size(); ++i)
                if (WHITE_KEYS[i] == pitchClass)
                    return margin + (float) i * whiteKeyWidth + whiteKeyWidth * 0.5f;

            for (size_t j = 0; j < BLACK_KEYS.size(); ++j)
                if (BLACK_KEYS[j] == pitchClass)
                    return margin + BLACK_KEY_POSITIONS[j] * whiteKeyWidth;

            return margin - whiteKeyWidth + whiteKeyWidth * 0.5f;
        }

        float getOutputArrowY() const noexcept
        {
            return keysTop + keyboardHeight + outputArrowDrop;
        }

        /** Just right of the last white key, at the keyboard's mid-height. */
        juce::Rectangle<int> getWarningBox() const noexcept
        {
            constexpr int width = 20, height = 28;
            constexpr float overlap = 5.0f;   // the box starts a little over the last key

            return { (int) ((float) WHITE_KEYS.size() * whiteKeyWidth + margin - overlap),
                     (int) (keyboardHeight * 0.5f + keysTop - (float) height * 0.5f),
                     width, height };
        }

        /** Above the played key, in the space of the input arrows. */
        juce::Rectangle<int> getCrossBox (int pitchClass) const noexcept
        {
            constexpr int size = 20, top = 8;
            return { (int) (getKeyX (pitchClass) - (float) size * 0.5f), top, size, size };
        }

        float keyboardHeight, whiteKeyWidth, blackKeyWidth, blackKeyHeight;
    };

    //==============================================================================
    MappingVisualizer()
    {
        juce::Array<juce::var> identity;

        for (int pitchClass = 0; pitchClass < numPitchClasses; ++pitchClass)
            identity.add (pitchClass);

        mMappings = juce::var (identity);
    }

    ~MappingVisualizer() override = default;

    //==============================================================================
    /** Entry k is the pitch class that k is sent to, -1 when it is dropped. Any value
        is taken; what is not an array, or is short, leaves pitch classes unmoved. */
    void setMappings (const juce::var& newMappings)             { mMappings = newMappings.clone(); repaint(); }
    void setHighlightColour (juce::Colour newColour)            { highlightColour = newColour; repaint(); }
    void setSpellingScaleName (const juce::String& name)        { spellingScaleName = name; repaint(); }
    void setActiveNotes (std::vector<ActiveNote> notes)         { activeNotes = std::move (notes); repaint(); }
    void setFilterMode (bool shouldFilter)                      { filterMode = shouldFilter; repaint(); }
    void setStackWhiteMode (bool shouldStackWhite)              { stackWhiteMode = shouldStackWhite; repaint(); }
    void setStackNoteCount (int count)                          { stackNoteCount = count; repaint(); }

    /** Bit k highlights the key of pitch class k; 0 highlights the keys that are sent
        to themselves. */
    void setHighlightMask (juce::uint16 mask)                   { highlightMask = mask; repaint(); }

    //==============================================================================
    /** The pitch class that the given one is sent to: negative when it is dropped. */
    int getMappedPitchClass (int pitchClass) const
    {
        if (pitchClass < 0)
            return pitchClass;

        const auto* array = mMappings.getArray();

        if (array == nullptr || pitchClass >= array->size())
            return pitchClass;

        const int result = array->getReference (pitchClass);

        // The debug build follows a single pitch class, F, through every lookup.
        if (isDebugLogEnabled && pitchClass == tracedPitchClass)
            appendDebugLog ("getMappedPitchClass(5) returning " + juce::String (result) + " from mMappings\n");

        return result;
    }

    /** The text shown on a key whose pitch class is sent to mappedPitchClass. */
    juce::String getKeyLabel (int mappedPitchClass) const
    {
        if (! juce::isPositiveAndBelow (mappedPitchClass, numPitchClasses))
            return {};

        if (spellingScaleName.isNotEmpty())
        {
            const auto spelled = ScaleSpellings::getNoteNameForScale (mappedPitchClass, spellingScaleName);

            if (spelled.isNotEmpty())
                return spelled;
        }

        return ScaleSpellings::getDefaultNoteName (mappedPitchClass);
    }

    juce::Colour getKeyColour (int pitchClass) const
    {
        if (highlightMask != 0)
            return ((highlightMask >> pitchClass) & 1) != 0 ? highlightColour : juce::Colours::white;

        return getMappedPitchClass (pitchClass) == pitchClass ? highlightColour : juce::Colours::white;
    }

    /** A downward triangle 12 pixels wide and 10 high with its tip at (x, y). */
    void drawArrow (juce::Graphics& g, float x, float y, juce::Colour colour) const
    {
        constexpr float halfWidth = 6.0f, height = 10.0f;

        juce::Path arrow;
        arrow.startNewSubPath (x, y);
        arrow.lineTo (x - halfWidth, y - height);
        arrow.lineTo (x + halfWidth, y - height);
        arrow.closeSubPath();

        g.setColour (colour);
        g.fillPath (arrow);
    }

    void paint (juce::Graphics&) override;

    //==============================================================================
    /** Appends text to aurelin_debug.txt on the user's desktop, in the build that
        enables the trace; otherwise does nothing. Failures are ignored: the desktop
        folder is not created. */
    static void appendDebugLog (const juce::String& text)
    {
       #if AURELIN_DEBUG_LOG
        juce::File::getSpecialLocation (juce::File::userDesktopDirectory)
            .getChildFile ("aurelin_debug.txt")
            .appendText (text);
       #else
        juce::ignoreUnused (text);
       #endif
    }

    static constexpr bool isDebugLogEnabled = AURELIN_DEBUG_LOG != 0;

private:
    //==============================================================================
    static constexpr int tracedPitchClass = 5;

    juce::var mMappings;
    juce::Colour highlightColour { 0xffc0e8e8 };
    juce::String spellingScaleName;
    std::vector<ActiveNote> activeNotes;
    bool filterMode = false;
    bool stackWhiteMode = false;
    int stackNoteCount = 7;
    juce::uint16 highlightMask = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MappingVisualizer)
};

//==============================================================================
inline void MappingVisualizer::paint (juce::Graphics& g)
{
    constexpr float backgroundCorner = 8.0f;
    constexpr float whiteKeyCorner = 4.0f;
    constexpr float blackKeyCorner = 3.0f;
    constexpr float outlineThickness = 1.0f;
    constexpr float labelFontHeight = 16.0f;
    constexpr float warningFontHeight = 28.0f;
    constexpr float crossFontHeight = 20.0f;
    constexpr int bold = 1;
    constexpr int warnedNoteCount = 8;   // eight active pitch classes cannot fill the seven white keys

    const juce::Colour background (0xff1a1a24);
    const juce::Colour keyOutline (0x33000000);
    const juce::Colour crossColour (0xff888888);
    const juce::Colour inputArrowColour (0xffaaaaaa);

    const Geometry geometry ((float) getWidth(), (float) getHeight());

    g.setColour (background);
    g.fillRoundedRectangle (getLocalBounds().toFloat(), backgroundCorner);

    const auto labelFont = InterFont::get (labelFontHeight, bold);

    const auto drawKey = [&] (int pitchClass, juce::Rectangle<float> key, juce::Rectangle<float> label, float corner)
    {
        g.setColour (getKeyColour (pitchClass));
        g.fillRoundedRectangle (key, corner);
        g.setColour (keyOutline);
        g.drawRoundedRectangle (key, corner, outlineThickness);

        if (const auto mapped = getMappedPitchClass (pitchClass); mapped >= 0)
        {
            g.setColour (juce::Colours::black);
            g.setFont (labelFont);
            g.drawText (getKeyLabel (mapped), label, juce::Justification::centred, true);
        }
    };

    for (size_t i = 0; i < WHITE_KEYS.size(); ++i)
        drawKey (WHITE_KEYS[i], geometry.getWhiteKey ((int) i), geometry.getWhiteLabel ((int) i), whiteKeyCorner);

    // The black keys go over the white ones.
    for (size_t j = 0; j < BLACK_KEYS.size(); ++j)
        drawKey (BLACK_KEYS[j], geometry.getBlackKey ((int) j), geometry.getBlackLabel ((int) j), blackKeyCorner);

    if (stackWhiteMode && stackNoteCount == warnedNoteCount)
    {
        g.setColour (highlightColour);
        g.setFont (InterFont::get (warningFontHeight, bold));
        g.drawText ("!", geometry.getWarningBox(), juce::Justification::centred, true);
    }

    for (const auto& note : activeNotes)
    {
        if (filterMode && note.outsideMask)
        {
            const auto multiplicationSign = juce::String::charToString ((juce::juce_wchar) 0x00d7);

            g.setColour (crossColour);
            g.setFont (InterFont::get (crossFontHeight, bold));
            g.drawText (multiplicationSign, geometry.getCrossBox (note.inputPitchClass), juce::Justification::centred, true);
            continue;
        }

        drawArrow (g, geometry.getKeyX (note.inputPitchClass), Geometry::inputArrowY, inputArrowColour);
        drawArrow (g, geometry.getKeyX (note.outputPitchClass), geometry.getOutputArrowY(), highlightColour);
    }
}
