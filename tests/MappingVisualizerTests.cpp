#include "MappingVisualizer.h"
#include "ViewRendering.h"

#include <gtest/gtest.h>

namespace
{
    const juce::Colour windowBackground (0xff0a0a0f);
    const juce::Colour keyboardBackground (0xff1a1a24);
    const juce::Colour defaultHighlight (0xffc0e8e8);
    const juce::Colour inputArrowGrey (0xffaaaaaa);
    const juce::Colour crossGrey (0xff888888);
    const juce::Colour rootRed (0xffff496d);

    // The part of the warning mark's box (427, 61, 20, 28) right of the B key, which ends at x 430.
    const juce::Rectangle<int> markRightOfTheKeys (431, 61, 16, 28);

    juce::var makeArray (std::initializer_list<juce::var> values)
    {
        return juce::var (juce::Array<juce::var> (values));
    }

    const juce::var cDiatonicMap = makeArray ({ 0, 0, 2, 2, 4, 5, 5, 7, 7, 9, 9, 11 });

    /** The keyboard at its size in the window. Home points at a fresh folder, so a
        build with the debug log writes nothing on the real desktop. */
    struct Keyboard
    {
        Keyboard()  { view.setBounds (0, 0, 442, 150); }

        juce::Image render() { return ViewRendering::render (view, windowBackground); }

        ViewRendering::TemporaryHome home;
        MappingVisualizer view;
    };

    void expectRect (juce::Rectangle<float> actual, float x, float y, float w, float h)
    {
        constexpr float tolerance = 0.01f;
        EXPECT_NEAR (actual.getX(), x, tolerance);
        EXPECT_NEAR (actual.getY(), y, tolerance);
        EXPECT_NEAR (actual.getWidth(), w, tolerance);
        EXPECT_NEAR (actual.getHeight(), h, tolerance);
    }
}

//==============================================================================
TEST (MappingVisualizer, KeysAndLabelBoxesAtWindowSize)
{
    const MappingVisualizer::Geometry geometry (442.0f, 150.0f);

    const float whiteX[] { 10.0f, 70.29f, 130.57f, 190.86f, 251.14f, 311.43f, 371.71f };
    for (int i = 0; i < 7; ++i)
    {
        SCOPED_TRACE ("white key " + juce::String (i));
        expectRect (geometry.getWhiteKey (i), whiteX[i], 30.0f, 58.29f, 90.0f);
        expectRect (geometry.getWhiteLabel (i), whiteX[i], 93.0f, 58.29f, 27.0f);
    }

    const float blackX[] { 49.19f, 109.47f, 230.04f, 290.33f, 350.61f };
    for (int j = 0; j < 5; ++j)
    {
        SCOPED_TRACE ("black key " + juce::String (j));
        expectRect (geometry.getBlackKey (j), blackX[j], 30.0f, 42.2f, 49.5f);
        expectRect (geometry.getBlackLabel (j), blackX[j] + 2.0f, 50.275f, 38.2f, 27.225f);
    }

    EXPECT_NEAR (geometry.getKeyX (0), 40.14f, 0.01f);
    EXPECT_NEAR (geometry.getKeyX (1), 70.29f, 0.01f);
    EXPECT_NEAR (geometry.getKeyX (11), 401.86f, 0.01f);
    EXPECT_NEAR (geometry.getKeyX (-1), -20.14f, 0.01f);    // a silent note: off the view
    EXPECT_FLOAT_EQ (geometry.getOutputArrowY(), 136.0f);
    EXPECT_EQ (geometry.getWarningBox(), juce::Rectangle<int> (427, 61, 20, 28));
    EXPECT_EQ (geometry.getCrossBox (0), juce::Rectangle<int> (30, 8, 20, 20));
}

TEST (MappingVisualizer, TinySizeKeepsLabelBoxesNonNegative)
{
    const MappingVisualizer::Geometry geometry (30.0f, 64.0f);   // KH 4, BKH 2.2
    const auto label = geometry.getBlackLabel (0);

    EXPECT_GE (label.getWidth(), 0.0f);
    EXPECT_FLOAT_EQ (label.getHeight(), 0.0f);
    EXPECT_FLOAT_EQ (label.getY(), 32.0f);
}

//==============================================================================
TEST (MappingVisualizer, ReadsAnyMappingValue)
{
    auto object = juce::var (new juce::DynamicObject());

    struct Case { const char* what; juce::var mapping; int pitchClass; int expected; };

    const Case cases[]
    {
        { "pitch map",      cDiatonicMap,                    1, 0 },
        { "pitch map",      cDiatonicMap,                    5, 5 },
        { "dropped",        makeArray ({ -1, -1 }),          1, -1 },
        { "short",          makeArray ({ 3, 3 }),            1, 3 },
        { "short",          makeArray ({ 3, 3 }),            2, 2 },
        { "not an array",   juce::var(),                     7, 7 },
        { "not an array",   object,                          4, 4 },
        { "text entry",     makeArray ({ "7" }),             0, 7 },
        { "real entry",     makeArray ({ 2.7 }),             0, 2 },
        { "negative asked", cDiatonicMap,                   -1, -1 },
        { "beyond the end", cDiatonicMap,                   12, 12 },
    };

    for (const auto& c : cases)
    {
        MappingVisualizer view;
        view.setMappings (c.mapping);
        EXPECT_EQ (view.getMappedPitchClass (c.pitchClass), c.expected) << c.what << " " << c.pitchClass;
    }

    MappingVisualizer fresh;
    for (int p = 0; p < 12; ++p)
        EXPECT_EQ (fresh.getMappedPitchClass (p), p);
}

TEST (MappingVisualizer, SetMappingsKeepsItsOwnCopy)
{
    auto mapping = makeArray ({ 4, 4 });
    MappingVisualizer view;
    view.setMappings (mapping);

    mapping.getArray()->set (0, 9);
    EXPECT_EQ (view.getMappedPitchClass (0), 4);
}

TEST (MappingVisualizer, KeyLabelsAreSpelledByTheScale)
{
    struct Case { const char* scale; int mapped; const char* expected; };

    const Case cases[]
    {
        { "gs_harmonic_minor", 4, "F\xe2\x99\xad" },    // F♭
        { "octatonic_1",       3, "D\xe2\x99\xaf" },    // D♯, though the default is E♭
        { "c_diatonic",        1, "D\xe2\x99\xad" },    // outside the scale: the default name
        { "",                  6, "F\xe2\x99\xaf" },
        { "x",                 0, "C" },
        { "c_diatonic",       12, "" },
        { "",                 -1, "" },
    };

    for (const auto& c : cases)
    {
        MappingVisualizer view;
        view.setSpellingScaleName (c.scale);
        EXPECT_EQ (view.getKeyLabel (c.mapped), juce::String (juce::CharPointer_UTF8 (c.expected))) << c.scale << " " << c.mapped;
    }
}

TEST (MappingVisualizer, HighlightRules)
{
    auto allDropped = makeArray ({});
    for (int p = 0; p < 12; ++p)
        allDropped.append (-1);

    struct Case { const char* what; juce::var mapping; juce::uint16 mask; int pitchClass; bool highlighted; };

    const Case cases[]
    {
        { "identity",                       {},            0,      1,  true },
        { "sent to itself",                 cDiatonicMap,  0,      2,  true },
        { "sent elsewhere",                 cDiatonicMap,  0,      1,  false },
        { "dropped",                        allDropped,    0,      0,  false },
        { "mask: white key",                {},            0x0ab5, 4,  true },
        { "mask: black key, sent to itself",{},            0x0ab5, 3,  false },
        { "mask: white key, dropped",       allDropped,    0x0ab5, 11, true },
    };

    for (const auto& c : cases)
    {
        MappingVisualizer view;
        view.setHighlightColour (rootRed);
        if (! c.mapping.isVoid())
            view.setMappings (c.mapping);
        view.setHighlightMask (c.mask);

        EXPECT_EQ (view.getKeyColour (c.pitchClass), c.highlighted ? rootRed : juce::Colours::white) << c.what;
    }
}

//==============================================================================
TEST (MappingVisualizer, PaintsKeysLabelsAndArrows)
{
    Keyboard keyboard;
    keyboard.view.setHighlightColour (rootRed);
    keyboard.view.setSpellingScaleName ("c_diatonic");
    keyboard.view.setMappings (cDiatonicMap);
    keyboard.view.setActiveNotes ({ { 1, 0, true }, { 4, 4, false } });   // C♯ corrected to C, and E
    const auto image = keyboard.render();

    EXPECT_EQ (image.getPixelAt (2, 75), keyboardBackground);
    EXPECT_EQ (image.getPixelAt (25, 60), rootRed);                   // C, sent to itself
    EXPECT_EQ (image.getPixelAt (70, 40), juce::Colours::white);      // C♯, sent to C
    EXPECT_FALSE (ViewRendering::findDark (image, { 10, 93, 58, 27 }).isEmpty());   // "C" on the C key
    EXPECT_FALSE (ViewRendering::findDark (image, { 51, 50, 38, 27 }).isEmpty());   // "C" on the C♯ key

    // Input arrow into C♯: tip at (70.29, 26), ten pixels high.
    EXPECT_EQ (image.getPixelAt (70, 20), inputArrowGrey);
    EXPECT_EQ (image.getPixelAt (70, 14), keyboardBackground);
    EXPECT_EQ (image.getPixelAt (70, 28), keyboardBackground);
    // Output arrow under C: its top edge 6 pixels below the keys, tip at y 136.
    EXPECT_EQ (image.getPixelAt (40, 130), rootRed);
    EXPECT_EQ (image.getPixelAt (40, 124), keyboardBackground);
    EXPECT_EQ (image.getPixelAt (40, 140), keyboardBackground);
    // ...and under E, at x 160.71.
    EXPECT_EQ (image.getPixelAt (160, 130), rootRed);
    // No mark without Filter or the eight-note stack.
    EXPECT_EQ (ViewRendering::countPixels (image, markRightOfTheKeys, rootRed, 40), 0);
}

TEST (MappingVisualizer, SilentNoteShowsOnlyItsInputArrow)
{
    Keyboard keyboard;
    keyboard.view.setHighlightColour (rootRed);
    keyboard.view.setActiveNotes ({ { 1, -1, false } });
    const auto image = keyboard.render();

    EXPECT_EQ (image.getPixelAt (70, 20), inputArrowGrey);
    EXPECT_EQ (ViewRendering::countPixels (image, { 0, 120, 442, 30 }, rootRed, 40), 0);
}

TEST (MappingVisualizer, FilterMarksADroppedNoteWithACross)
{
    Keyboard keyboard;
    keyboard.view.setHighlightColour (rootRed);
    keyboard.view.setFilterMode (true);
    keyboard.view.setActiveNotes ({ { 1, -1, true } });
    const auto image = keyboard.render();

    const juce::Rectangle<int> crossBox (60, 8, 20, 20);
    EXPECT_GT (ViewRendering::countPixels (image, crossBox, crossGrey, 8), 5);
    EXPECT_EQ (ViewRendering::countPixels (image, crossBox.withY (0).withHeight (30), inputArrowGrey, 8), 0);
    EXPECT_EQ (ViewRendering::countPixels (image, { 0, 120, 442, 30 }, rootRed, 40), 0);

    // A note inside the mask still gets its arrows in Filter mode.
    keyboard.view.setActiveNotes ({ { 1, 1, false } });
    EXPECT_EQ (keyboard.render().getPixelAt (70, 20), inputArrowGrey);
}

TEST (MappingVisualizer, WarningMarkOnlyForEightNotesStackedOnWhiteKeys)
{

    struct Case { bool stackWhite; int count; bool shown; };

    for (const auto& c : { Case { true, 8, true }, Case { true, 7, false }, Case { true, 6, false }, Case { false, 8, false } })
    {
        Keyboard keyboard;
        keyboard.view.setHighlightColour (rootRed);
        keyboard.view.setStackWhiteMode (c.stackWhite);
        keyboard.view.setStackNoteCount (c.count);

        EXPECT_EQ (ViewRendering::countPixels (keyboard.render(), markRightOfTheKeys, rootRed, 8) > 10, c.shown)
            << c.stackWhite << " " << c.count;
    }
}

//==============================================================================
namespace
{
    juce::String readBytes (const juce::File& file)
    {
        juce::MemoryBlock block;
        file.loadFileAsData (block);
        return block.toString();
    }
}

TEST (MappingVisualizerDebugLog, TracesPitchClassFiveInTheEnabledBuild)
{
    if (! MappingVisualizer::isDebugLogEnabled)
        GTEST_SKIP() << "built without AURELIN_DEBUG_LOG";

    Keyboard keyboard;
    const auto& home = keyboard.home;
    ASSERT_TRUE (home.desktop().createDirectory());

    keyboard.render();   // F is asked twice while the mask is 0: for its label and its colour

    const juce::String five ("getMappedPitchClass(5) returning 5 from mMappings\r\n");
    EXPECT_EQ (readBytes (home.log()), five + five);

    keyboard.view.setHighlightMask (0x0ab5);
    keyboard.render();
    EXPECT_EQ (readBytes (home.log()), five + five + five);

    keyboard.view.setMappings (makeArray ({ 0, 0, 0, 0, 0, -1 }));
    keyboard.view.getMappedPitchClass (4);
    keyboard.view.getMappedPitchClass (5);
    MappingVisualizer::appendDebugLog ("setMappings data: 0 0 \n");
    EXPECT_EQ (readBytes (home.log()), five + five + five
                                         + "getMappedPitchClass(5) returning -1 from mMappings\r\n"
                                         + "setMappings data: 0 0 \r\n");
}

TEST (MappingVisualizerDebugLog, MissingDesktopLosesTheLineQuietly)
{
    const ViewRendering::TemporaryHome home;

    MappingVisualizer::appendDebugLog ("lost\n");

    EXPECT_FALSE (home.desktop().exists());
}

TEST (MappingVisualizerDebugLog, WritesNothingInTheShippedBuild)
{
    if (MappingVisualizer::isDebugLogEnabled)
        GTEST_SKIP() << "built with AURELIN_DEBUG_LOG";

    Keyboard keyboard;
    const auto& home = keyboard.home;
    ASSERT_TRUE (home.desktop().createDirectory());

    keyboard.render();
    MappingVisualizer::appendDebugLog ("ELSE BRANCH HIT - calling setMappings with scaleMappings\n");

    EXPECT_FALSE (home.log().exists());
}
