#include "EditorTestAccess.h"

#include <gtest/gtest.h>

#include "ChordLookup.h"

#include <atomic>
#include <functional>
#include <optional>
#include <regex>
#include <thread>

using Access = EditorTestAccess;

namespace
{
    juce::String utf8 (const char* text)   { return juce::String (juce::CharPointer_UTF8 (text)); }

    const juce::Colour captionGrey (0xff8888aa);
    const juce::Colour windowBackground (0xff0a0a0f);

    juce::Colour rootColour (int index)    { return juce::Colour (ScaleUtils::ROOT_COLOURS[(size_t) index]); }

    /** Chooses an item of a list as a user does: the attachment tells the host. */
    void choose (juce::ComboBox& list, int itemId)    { list.setSelectedId (itemId, juce::sendNotificationSync); }

    #define SKIP_WITHOUT_RECORD() \
        if (ScopedFreshSharedRecord::record() == nullptr) GTEST_SKIP() << "no shared record on this machine"
}

//==============================================================================
TEST (Editor, ConstructionShowsTheParametersInTheRootColour)
{
    SKIP_WITHOUT_RECORD();

    EditorFixture window;
    window.harness.setChoice ("CORRECTION", 3);
    window.harness.setScale (4, ScaleUtils::Octatonic);
    window.editor.reset();
    window.open();

    auto& editor = *window.editor;
    EXPECT_EQ (editor.getWidth(), 462);
    EXPECT_EQ (editor.getHeight(), 500);
    EXPECT_EQ (Access::chordLabel (editor).getText(), utf8 ("\xe2\x80\x94"));

    // The lists start on the parameters' choices.
    EXPECT_EQ (Access::rootCombo (editor).getText(), "E");
    EXPECT_EQ (Access::scaleClassCombo (editor).getText(), "Octatonic");
    EXPECT_EQ (Access::sourceCombo (editor).getSelectedId(), 1);
    EXPECT_EQ (Access::correctionCombo (editor).getText(), "Stack (White)");
    EXPECT_EQ (Access::scaleMap (editor).getCentreShape().getScaleClass(), ScaleUtils::Octatonic);

    // Octatonic on E is the second transposition: its colour is the root colour of D♭.
    auto children = Access::children (editor);
    for (const auto* name : { "sourceLabel", "correctionLabel", "rootLabel", "scaleClassLabel" })
        EXPECT_EQ (children[name]->findColour (juce::Label::textColourId), rootColour (1)) << name;

    EXPECT_EQ (children["interruptButton"]->findColour (juce::ToggleButton::tickColourId), rootColour (1));
    EXPECT_EQ (children["chordCaptionLabel"]->findColour (juce::Label::textColourId), captionGrey);

    const auto version = dynamic_cast<juce::Label*> (children["versionLabel"])->getText();
    EXPECT_TRUE (std::regex_match (version.toStdString(),
                                   std::regex (R"(v1\.0\.3 \| [A-Z][a-z]{2} [ 0-9][0-9] [0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2})")))
        << version;
}

//==============================================================================
TEST (Editor, LayoutFollowsTheRecordAndTheSource)
{
    SKIP_WITHOUT_RECORD();

    using Bounds = std::optional<juce::Rectangle<int>>;   // none: hidden
    const Bounds hidden;
    enum Case { noRecord, scaleSource, chordSource };

    struct Row { const char* name; Bounds bounds[3]; };
    const Row rows[]
    {
        { "sourceLabel",       { hidden,                              juce::Rectangle<int> (8, 414, 69, 16),   juce::Rectangle<int> (8, 414, 69, 16) } },
        { "sourceCombo",       { hidden,                              juce::Rectangle<int> (8, 432, 69, 30),   juce::Rectangle<int> (8, 432, 69, 30) } },
        { "correctionLabel",   { juce::Rectangle<int> (8, 414, 94, 16),   juce::Rectangle<int> (93, 414, 94, 16),  juce::Rectangle<int> (93, 414, 94, 16) } },
        { "correctionCombo",   { juce::Rectangle<int> (8, 432, 94, 30),   juce::Rectangle<int> (93, 432, 94, 30),  juce::Rectangle<int> (93, 432, 94, 30) } },
        { "chordCaptionLabel", { hidden,                              hidden,                                  juce::Rectangle<int> (197, 426, 41, 26) } },
        { "chordLabel",        { hidden,                              hidden,                                  juce::Rectangle<int> (242, 424, 91, 30) } },
        { "scaleClassLabel",   { juce::Rectangle<int> (326, 414, 132, 16), juce::Rectangle<int> (326, 414, 132, 16), juce::Rectangle<int> (339, 414, 119, 16) } },
        { "scaleClassCombo",   { juce::Rectangle<int> (326, 432, 132, 30), juce::Rectangle<int> (326, 432, 132, 30), juce::Rectangle<int> (339, 432, 119, 30) } },
        { "rootLabel",         { juce::Rectangle<int> (256, 414, 62, 16), juce::Rectangle<int> (256, 414, 62, 16),  juce::Rectangle<int> (339, 414, 0, 16) } },
        { "rootCombo",         { juce::Rectangle<int> (256, 432, 62, 30), juce::Rectangle<int> (256, 432, 62, 30),  juce::Rectangle<int> (339, 432, 0, 30) } },
        { "versionLabel",      { juce::Rectangle<int> (118, 430, 126, 18), juce::Rectangle<int> (203, 430, 41, 18), juce::Rectangle<int> (343, 430, 0, 18) } },
        // the same in every case
        { "creditsLabel",      { juce::Rectangle<int> (0, 470, 462, 24),  juce::Rectangle<int> (0, 470, 462, 24),   juce::Rectangle<int> (0, 470, 462, 24) } },
        { "brandLabel",        { juce::Rectangle<int> (10, 10, 150, 20),  juce::Rectangle<int> (10, 10, 150, 20),   juce::Rectangle<int> (10, 10, 150, 20) } },
        { "productLabel",      { juce::Rectangle<int> (10, 30, 150, 18),  juce::Rectangle<int> (10, 30, 150, 18),   juce::Rectangle<int> (10, 30, 150, 18) } },
        { "interruptButton",   { juce::Rectangle<int> (362, 8, 90, 40),   juce::Rectangle<int> (362, 8, 90, 40),    juce::Rectangle<int> (362, 8, 90, 40) } },
        { "mappingVisualizer", { juce::Rectangle<int> (10, 259, 442, 150), juce::Rectangle<int> (10, 259, 442, 150), juce::Rectangle<int> (10, 259, 442, 150) } },
        { "scaleMapView",      { juce::Rectangle<int> (0, 56, 462, 198),  juce::Rectangle<int> (0, 56, 462, 198),   juce::Rectangle<int> (0, 56, 462, 198) } },
    };

    EditorFixture window;
    auto& editor = *window.editor;
    auto& sourceParameter = *window.harness.processor.parameters.getParameter ("SOURCE");
    window.tick();   // the first tick sees the record and lays out once more

    const auto expectLayout = [&] (Case c, const char* step)
    {
        auto children = Access::children (editor);

        for (const auto& row : rows)
        {
            auto* child = children.at (row.name);
            const auto& expected = row.bounds[c];
            EXPECT_EQ (child->isVisible(), expected.has_value()) << step << ": " << row.name;

            if (expected.has_value())
            {
                EXPECT_EQ (child->getBounds(), *expected) << step << ": " << row.name;
            }
        }
    };

    // Steps in one window, as a user meets them: the list changes the parameter,
    // and the layout follows both the list and the record's availability.
    expectLayout (scaleSource, "record, Scale");

    choose (Access::sourceCombo (editor), 2);
    EXPECT_EQ (sourceParameter.getValue(), 1.0f);
    expectLayout (chordSource, "record, Chord chosen");

    choose (Access::sourceCombo (editor), 1);
    expectLayout (scaleSource, "record, Scale chosen again");

    // Without a record the Source list and the chord go, whatever the source says.
    choose (Access::sourceCombo (editor), 2);
    Access::withholdSharedRecord (editor);
    window.tick();
    expectLayout (noRecord, "no record, Chord chosen");
}

//==============================================================================
TEST (Editor, ChordDisplay)
{
    SKIP_WITHOUT_RECORD();

    // A pitch-class set the chord catalogue has no entry for.
    const juce::uint16 unnamedSet = 0x003;
    ASSERT_EQ (ChordLookup::getInstance().chordsByKey.count ("0,1"), 0u);

    struct Case
    {
        const char* what;
        bool withRecord;
        int root, cls;
        juce::uint16 mask;
        int chordRoot;
        const char* type;
        const char* expected;
    };

    const Case cases[]
    {
        { "no record",                        false, 0, 1, 0x091,      0, "_M7-0", "\xe2\x80\x94" },
        { "mask 0",                           true,  0, 1, 0,          0, "_M7-0", "\xe2\x80\x94" },
        { "typed, A diatonic spells C sharp", true,  9, 1, 0x122,      1, "_M7-0", "C\xe2\x99\xaf M7" },
        { "typed, G# diatonic spells D flat", true,  8, 1, 0x122,      1, "_M7-0", "D\xe2\x99\xad M7" },
        { "untyped, found in the catalogue",  true,  0, 1, 0x245,      2, "",      "D 7" },
        { "untyped, respelled by the scale",  true,  9, 1, 0x922,      1, "",      "C\xe2\x99\xaf 7" },
        { "untyped, the entry on the root",   true,  0, 1, 0x123,      1, "",      "D\xe2\x99\xad M7" },
        { "untyped, no entry on the root",    true,  0, 1, 0x123,      5, "",      "F m9" },
        { "untyped, not in the catalogue",    true,  0, 1, unnamedSet, 1, "",      "D\xe2\x99\xad (unknown)" },
        { "untyped, unknown, respelled",      true,  9, 1, unnamedSet, 1, "",      "C\xe2\x99\xaf (unknown)" },
    };

    for (const auto& c : cases)
    {
        EditorFixture window;
        window.harness.setScale (c.root, c.cls);
        window.record()->chordMask = c.mask;
        window.record()->chordRoot = c.chordRoot;
        window.setChordName (c.type);

        if (! c.withRecord)
            Access::withholdSharedRecord (*window.editor);

        window.editor->updateDisplayLabels();
        auto& display = Access::chordLabel (*window.editor);
        const auto expected = utf8 (c.expected);
        EXPECT_EQ (display.getText(), expected) << c.what;

        // The narrow display squeezes a long name; resting on it shows it whole.
        EXPECT_EQ (display.getTooltip(), expected == utf8 ("\xe2\x80\x94") ? juce::String() : expected) << c.what;
    }
}

//==============================================================================
namespace
{
    enum Source { scale = 1, chord = 2 };
    enum Correction { corrective, filter, stackChrom, stackWhite };

    struct MappingCase
    {
        const char* what;
        int root, cls;
        Source source;
        Correction correction;
        juce::uint16 publishedChord;
        std::array<int, 12> mappings;
        juce::uint16 highlighted;   // keys drawn in the highlight colour
        int colourIndex;
        const char* labelOnC;       // the text on the C key
        bool warning;
    };

    // The part of the warning mark's box right of the B key.
    const juce::Rectangle<int> markRightOfTheKeys (431, 61, 16, 28);
}

TEST (Editor, KeyboardMapping)
{
    SKIP_WITHOUT_RECORD();

    const MappingCase cases[]
    {
        { "C diatonic, Corrective",   0, 1, scale, corrective, 0, { 0, 0, 2, 2, 4, 5, 5, 7, 7, 9, 9, 11 },          0xab5, 0, "C", false },
        { "C diatonic, Filter",       0, 1, scale, filter,     0, { 0, -1, 2, -1, 4, 5, -1, 7, -1, 9, -1, 11 },    0xab5, 0, "C", false },
        { "C diatonic, Stack Chrom",  0, 1, scale, stackChrom, 0, { 0, 2, 4, 5, 7, 9, 11, 0, 2, 4, 5, 7 },         0x07f, 0, "C", false },
        { "C diatonic, Stack White",  0, 1, scale, stackWhite, 0, { 0, -1, 2, -1, 4, 5, -1, 7, -1, 9, -1, 11 },    0xab5, 0, "C", false },
        { "octatonic, Stack White",   0, 4, scale, stackWhite, 0, { 0, -1, 1, -1, 3, 4, -1, 6, -1, 7, -1, 9 },     0xab5, 0, "C", true },
        { "whole tone, Stack White",  0, 6, scale, stackWhite, 0, { 0, -1, 2, -1, 4, 6, -1, 8, -1, 10, -1, 0 },    0x2b5, 0, "C", false },
        { "D diatonic, Stack Chrom",  2, 1, scale, stackChrom, 0, { 1, 2, 4, 6, 7, 9, 11, 1, 2, 4, 6, 7 },         0x07f, 2, "C\xe2\x99\xaf", false },
        { "octatonic on E",           4, 4, scale, corrective, 0, { 1, 1, 2, 4, 4, 5, 7, 7, 8, 10, 10, 11 },       0xdb6, 1, "C\xe2\x99\xaf", false },
        { "chord C E G, Corrective",  0, 1, chord, corrective, 0x091, { 0, 0, 0, 4, 4, 4, 7, 7, 7, 7, 0, 0 },      0x091, 0, "C", false },
        { "chord C E G, Filter",      0, 1, chord, filter,     0x091, { 0, -1, -1, -1, 4, -1, -1, 7, -1, -1, -1, -1 }, 0x091, 0, "C", false },
        { "chord C E G, Stack Chrom", 0, 1, chord, stackChrom, 0x091, { 0, 4, 7, 0, 4, 7, 0, 4, 7, 0, 4, 7 },       0x007, 0, "C", false },
        { "chord C E G, Stack White", 0, 1, chord, stackWhite, 0x091, { 0, -1, 4, -1, 7, 0, -1, 4, -1, 7, -1, 0 },  0x015, 0, "C", false },
        { "chord published, source Scale", 0, 1, scale, corrective, 0x091, { 0, 0, 2, 2, 4, 5, 5, 7, 7, 9, 9, 11 }, 0xab5, 0, "C", false },
        // No chord published: the view takes the nearest scale tone, ties going to
        // the lower pitch class, where the pitch map (and so the processor) goes up
        // or down as the catalogue says.
        { "source Chord, no chord, D diatonic", 2, 1, chord, corrective, 0, { 1, 1, 2, 2, 4, 4, 6, 7, 7, 9, 9, 11 }, 0xad6, 2, "C\xe2\x99\xaf", false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);

        EditorFixture window;
        auto& harness = window.harness;
        harness.setScale (c.root, c.cls);
        harness.setChoice ("SOURCE", c.source - 1);
        harness.setChoice ("CORRECTION", c.correction);
        window.record()->chordMask = c.publishedChord;

        auto& editor = *window.editor;
        editor.updateMappingVisualizer();
        const auto& keyboard = Access::keyboard (editor);
        const auto colour = rootColour (c.colourIndex);

        for (int k = 0; k < 12; ++k)
        {
            EXPECT_EQ (keyboard.getMappedPitchClass (k), c.mappings[(size_t) k]) << "key " << k;
            EXPECT_EQ (keyboard.getKeyColour (k), ((c.highlighted >> k) & 1) ? colour : juce::Colours::white) << "key " << k;
        }

        EXPECT_EQ (keyboard.getKeyLabel (keyboard.getMappedPitchClass (0)), utf8 (c.labelOnC));

        const auto image = ViewRendering::render (Access::keyboard (editor), windowBackground);
        EXPECT_EQ (ViewRendering::countPixels (image, markRightOfTheKeys, colour, 8) > 10, c.warning);
    }
}

TEST (Editor, KeyboardAndProcessorDisagreeOnlyWhereTheViewBreaksATie)
{
    SKIP_WITHOUT_RECORD();

    EditorFixture window;
    auto& harness = window.harness;
    harness.setScale (2, ScaleUtils::Diatonic);
    harness.setChoice ("SOURCE", 1);
    harness.run ({});
    window.editor->updateMappingVisualizer();

    // The key C shows C♯, but the processor follows the pitch map and plays B below.
    EXPECT_EQ (Access::keyboard (*window.editor).getMappedPitchClass (0), 1);
    EXPECT_EQ (harness.processor.getRemappedMidiNote (60), 59);
}

TEST (Editor, KeyboardDebugLinesOnlyForThePitchMap)
{
    if (! MappingVisualizer::isDebugLogEnabled)
        GTEST_SKIP() << "built without AURELIN_DEBUG_LOG";

    SKIP_WITHOUT_RECORD();

    EditorFixture window;
    const auto log = window.home.log();
    ASSERT_TRUE (window.home.desktop().createDirectory());

    window.editor->updateMappingVisualizer();
    EXPECT_EQ (log.loadFileAsString(), "ELSE BRANCH HIT - calling setMappings with scaleMappings\r\n"
                                       "setMappings data: 0 0 2 2 4 5 5 7 7 9 9 11 \r\n");

    // The chord source with no chord takes the nearest-tone rule: no lines.
    log.deleteFile();
    window.harness.setChoice ("SOURCE", 1);
    log.deleteFile();
    window.editor->updateMappingVisualizer();
    EXPECT_FALSE (log.existsAsFile());
}

//==============================================================================
namespace
{
    /** Marks that the timer's full update overwrites, so a test sees whether it ran. */
    void plantMarks (CorvaneAudioProcessorEditor& editor)
    {
        Access::chordLabel (editor).setText ("mark", juce::dontSendNotification);
        Access::rootLabel (editor).setColour (juce::Label::textColourId, juce::Colours::lime);
        Access::keyboard (editor).setMappings (juce::Array<juce::var> { 11, 11, 11 });
        Access::scaleMap (editor).setScaleName (ScaleUtils::B, ScaleUtils::HarmonicMinor);
    }

    /** Which of the marks the full update replaced: all or none, or it is broken. */
    int marksReplaced (CorvaneAudioProcessorEditor& editor)
    {
        return (Access::chordLabel (editor).getText() != "mark")
             + (Access::rootLabel (editor).findColour (juce::Label::textColourId) != juce::Colours::lime)
             + (Access::keyboard (editor).getMappedPitchClass (0) != 11)
             + (Access::scaleMap (editor).getCurrentRoot() != ScaleUtils::B);
    }
}

TEST (EditorRefresh, ChangeOfRootClassOrMaskUpdatesOnceOnTheNextTick)
{
    SKIP_WITHOUT_RECORD();

    struct Case { const char* what; std::function<void (EditorFixture&)> change; bool updates; };

    const Case cases[]
    {
        { "nothing",          [] (EditorFixture&) {},                                          false },
        { "root",             [] (EditorFixture& w) { w.harness.setChoice ("ROOT", 7); },        true },
        { "scale class",      [] (EditorFixture& w) { w.harness.setChoice ("SCALE_CLASS", 3); }, true },
        { "chord mask",       [] (EditorFixture& w) { w.record()->chordMask = 0x091; },          true },
        { "published scale",  [] (EditorFixture& w) { ScopedFreshSharedRecord::publishScale (5, 2); w.harness.run ({}); }, true },
        // What the mask does not show waits for the next full update.
        { "chord root alone", [] (EditorFixture& w) { w.record()->chordRoot = 4; },              false },
        { "chord name alone", [] (EditorFixture& w) { w.setChordName ("_M7-0"); },               false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);

        EditorFixture window;
        window.record()->chordMask = 0x245;
        window.record()->chordRoot = 2;
        window.tick();   // the first tick always updates in full

        c.change (window);
        plantMarks (*window.editor);
        window.tick();
        EXPECT_EQ (marksReplaced (*window.editor), c.updates ? 4 : 0);

        plantMarks (*window.editor);
        window.tick();
        EXPECT_EQ (marksReplaced (*window.editor), 0) << "a second update without a change";
    }
}

TEST (EditorRefresh, HeldNotesReachTheKeyboardWithTheirOutsideFlags)
{
    SKIP_WITHOUT_RECORD();

    const juce::Colour inputArrowGrey (0xffaaaaaa);
    const juce::Colour crossGrey (0xff888888);
    const juce::Colour red = rootColour (0);

    EditorFixture window;
    auto& keyboard = Access::keyboard (*window.editor);

    // C diatonic, Corrective: C♯ sounds as C; E is a scale tone.
    window.harness.run ({ { Event::on, 61 }, { Event::on, 64 } });
    window.tick();
    auto image = ViewRendering::render (keyboard, windowBackground);
    EXPECT_EQ (image.getPixelAt (70, 20), inputArrowGrey);    // into C♯
    EXPECT_EQ (image.getPixelAt (40, 130), red);              // under C
    EXPECT_EQ (image.getPixelAt (160, 20), inputArrowGrey);   // into E
    EXPECT_EQ (image.getPixelAt (160, 130), red);             // under E

    // Filter, chosen in the list: the held C♯ is outside the scale and gets its cross
    // on the same tick, while E keeps its arrows.
    choose (Access::correctionCombo (*window.editor), 2);
    window.tick();
    image = ViewRendering::render (keyboard, windowBackground);

    EXPECT_GT (ViewRendering::countPixels (image, { 60, 8, 20, 20 }, crossGrey, 8), 5);
    EXPECT_EQ (ViewRendering::countPixels (image, { 60, 0, 20, 30 }, inputArrowGrey, 8), 0);
    EXPECT_EQ (image.getPixelAt (160, 20), inputArrowGrey);
    EXPECT_EQ (image.getPixelAt (40, 130), juce::Colour (0xff1a1a24));   // no arrow under C any more

    // C♯ diatonic: the held C♯ now sounds as itself, and the held E falls silent and
    // outside, so the crosses change places.
    window.harness.setChoice ("ROOT", 1);
    window.harness.run ({});
    window.tick();
    image = ViewRendering::render (keyboard, windowBackground);

    EXPECT_EQ (image.getPixelAt (70, 20), inputArrowGrey);
    EXPECT_EQ (image.getPixelAt (70, 130), rootColour (1));
    EXPECT_GT (ViewRendering::countPixels (image, { 150, 8, 20, 20 }, crossGrey, 8), 5);
    EXPECT_EQ (ViewRendering::countPixels (image, { 150, 0, 20, 30 }, inputArrowGrey, 8), 0);
    EXPECT_EQ (ViewRendering::countPixels (image, { 0, 120, 442, 30 }, rootColour (1), 8),
               ViewRendering::countPixels (image, { 60, 120, 20, 30 }, rootColour (1), 8));   // one output arrow

    // Released notes leave the keyboard on the next tick.
    window.harness.run ({ { Event::off, 61 }, { Event::off, 64 } });
    window.tick();
    image = ViewRendering::render (keyboard, windowBackground);
    EXPECT_EQ (ViewRendering::countPixels (image, { 0, 0, 442, 30 }, inputArrowGrey, 8), 0);
    EXPECT_EQ (ViewRendering::countPixels (image, { 0, 0, 442, 30 }, crossGrey, 8), 0);
}

TEST (EditorRefresh, ListsFollowTheParameters)
{
    SKIP_WITHOUT_RECORD();

    EditorFixture window;
    auto& editor = *window.editor;

    struct Case { const char* id; int index; juce::ComboBox& list; };
    const Case cases[]
    {
        { "ROOT",        11, Access::rootCombo (editor) },
        { "SCALE_CLASS",  6, Access::scaleClassCombo (editor) },
        { "SOURCE",       1, Access::sourceCombo (editor) },
        { "CORRECTION",   3, Access::correctionCombo (editor) },
    };

    for (const auto& c : cases)
    {
        window.harness.setChoice (c.id, c.index);
        EXPECT_EQ (c.list.getSelectedId(), c.index + 1) << c.id;
    }

    // From the audio thread, following the publisher: the lists follow once the
    // message thread has had its turn, and the scale map, the colours and the
    // keyboard on the next tick.
    window.harness.setChoice ("SOURCE", 0);
    window.harness.setChoice ("CORRECTION", 0);
    ScopedFreshSharedRecord::publishScale (2, 0);
    std::thread audio ([&] { window.harness.run ({}); });
    audio.join();

    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
    window.tick();

    EXPECT_EQ (Access::rootCombo (editor).getSelectedId(), 3);
    EXPECT_EQ (Access::scaleClassCombo (editor).getSelectedId(), 1);
    EXPECT_EQ (Access::scaleMap (editor).getCentreShape().getScaleClass(), ScaleUtils::Acoustic);
    EXPECT_EQ ((int) Access::scaleMap (editor).getCentreShape().getRoot(), 2);
    EXPECT_EQ (Access::rootLabel (editor).findColour (juce::Label::textColourId), rootColour (2));
    EXPECT_EQ (Access::keyboard (editor).getKeyColour (8), rootColour (2));         // G♯ is in D acoustic
    EXPECT_EQ (Access::keyboard (editor).getKeyColour (7), juce::Colours::white);   // G is not
}

//==============================================================================
namespace
{
    /** Counts what a parameter tells its listeners. */
    struct ParameterWatch final : juce::AudioProcessorParameter::Listener
    {
        explicit ParameterWatch (juce::AudioProcessorParameter& p) : parameter (p)  { parameter.addListener (this); }
        ~ParameterWatch() override                                                   { parameter.removeListener (this); }

        void parameterValueChanged (int, float) override     { ++values; }
        void parameterGestureChanged (int, bool) override    { ++gestures; }

        juce::AudioProcessorParameter& parameter;
        int values = 0, gestures = 0;
    };

    void releaseOn (CorvaneInterface& view, juce::Component& target)
    {
        const auto now = juce::Time::getCurrentTime();
        const juce::MouseEvent e (juce::Desktop::getInstance().getMainMouseSource(), {}, {}, 0.0f, 0.0f, 0.0f,
                                  0.0f, 0.0f, &target, &target, now, {}, now, 1, false);
        view.mouseUp (e);
    }
}

TEST (Editor, ClickInTheScaleMapSetsTheScaleWithoutAGesture)
{
    SKIP_WITHOUT_RECORD();

    EditorFixture window;
    auto& parameters = window.harness.processor.parameters;
    window.harness.setScale (0, ScaleUtils::HarmonicMajor);

    auto& editor = *window.editor;
    auto& map = Access::scaleMap (editor);
    ParameterWatch root (*parameters.getParameter ("ROOT")), scaleClass (*parameters.getParameter ("SCALE_CLASS"));

    // The hexatonic neighbour of C harmonic major is the fourth transposition.
    auto* hexatonic = map.getAdjacentShape (5);
    ASSERT_NE (hexatonic, nullptr);
    ASSERT_EQ (hexatonic->getScaleClass(), ScaleUtils::Hexatonic);
    releaseOn (map, *hexatonic);

    EXPECT_FLOAT_EQ (parameters.getParameter ("ROOT")->getValue(), 3.0f / 11.0f);
    EXPECT_FLOAT_EQ (parameters.getParameter ("SCALE_CLASS")->getValue(), 5.0f / 6.0f);
    EXPECT_GE (root.values, 1);
    EXPECT_GE (scaleClass.values, 1);
    EXPECT_EQ (root.gestures + scaleClass.gestures, 0);

    EXPECT_EQ (Access::rootCombo (editor).getSelectedId(), 4);
    EXPECT_EQ (Access::scaleClassCombo (editor).getSelectedId(), 6);
    EXPECT_EQ (map.getCentreShape().getScaleClass(), ScaleUtils::Hexatonic);
    EXPECT_EQ (Access::keyboard (editor).getMappedPitchClass (3), 3);   // E♭ is in the collection now
}

TEST (Editor, GestureHooksRefreshAndAreEmptiedOnClose)
{
    SKIP_WITHOUT_RECORD();

    EditorFixture window;
    auto& processor = window.harness.processor;

    struct Hook { const char* id; std::function<void()>& hook; };
    const Hook hooks[]
    {
        { "ROOT",        processor.onRootGestureStart },
        { "SCALE_CLASS", processor.onScaleClassGestureStart },
        { "SOURCE",      processor.onModeGestureStart },
        { "CORRECTION",  processor.onModeGestureStart },
    };

    for (const auto& h : hooks)
    {
        ASSERT_TRUE (h.hook != nullptr) << h.id;

        window.editor->updateDisplayLabels();
        Access::chordLabel (*window.editor).setText ("mark", juce::dontSendNotification);

        auto* parameter = processor.parameters.getParameter (h.id);
        parameter->beginChangeGesture();
        parameter->endChangeGesture();

        EXPECT_NE (Access::chordLabel (*window.editor).getText(), "mark") << h.id;
    }

    window.editor.reset();

    for (const auto& h : hooks)
        EXPECT_TRUE (h.hook == nullptr) << h.id;
}

//==============================================================================
TEST (EditorLifetime, ComesAndGoesWhileAudioRunsAndThePublisherWrites)
{
    SKIP_WITHOUT_RECORD();

    EditorFixture window;
    window.editor.reset();

    auto& processor = window.harness.processor;
    std::atomic<bool> running { true };

    // One thread plays notes block after block while another publishes scales and
    // chords, so every window sees held notes and a record that moves under it.
    std::thread audio ([&]
    {
        for (int block = 0; running; ++block)
        {
            const auto note = 60 + block % 12;
            window.harness.run ({ { Event::on, note }, { Event::off, note - 3, 100 } });
        }
    });

    std::thread publisher ([&]
    {
        for (int step = 0; running; ++step)
        {
            ScopedFreshSharedRecord::publishScale (step % 12, step % 7);
            ScopedFreshSharedRecord::publishChord ((juce::uint16) ((step * 0x123) & 0xfff), step % 12);
            std::this_thread::sleep_for (std::chrono::milliseconds (1));
        }
    });

    constexpr int openings = 40;

    for (int i = 0; i < openings; ++i)
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
        ASSERT_NE (editor, nullptr);

        auto& ours = dynamic_cast<CorvaneAudioProcessorEditor&> (*editor);

        for (int t = 0; t < 3; ++t)
        {
            EditorTestAccess::tick (ours);
            juce::MessageManager::getInstance()->runDispatchLoopUntil (2);
        }

        ViewRendering::render (ours, windowBackground);

        if (i % 2 == 0)
            choose (Access::sourceCombo (ours), 2);   // a gesture from the window while audio runs

        processor.editorBeingDeleted (editor.get());   // as a host's wrapper does before it deletes the window
        editor.reset();

        EXPECT_EQ (processor.getActiveEditor(), nullptr);
        EXPECT_FALSE (processor.onRootGestureStart || processor.onScaleClassGestureStart || processor.onModeGestureStart)
            << "after closing window " << i;
    }

    running = false;
    audio.join();
    publisher.join();

    // Messages the audio thread posted for the closed windows find nothing to call.
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
}
