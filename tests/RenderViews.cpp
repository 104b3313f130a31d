// Renders each view to PNG so that anyone can look at what is drawn:
//   AURELIN_RENDER_DIR=/some/folder aurelin_tests --gtest_filter='RenderViews.*'
// Without the variable the pictures go to <build dir>/renders.

#include "CorvaneInterface.h"
#include "MappingVisualizer.h"
#include "ViewRendering.h"

#include <gtest/gtest.h>

namespace
{
    const juce::Colour windowBackground (0xff0a0a0f);

    void save (juce::Component& component, const juce::String& name)
    {
        EXPECT_EQ (ViewRendering::savePictures (component, name, windowBackground), juce::String()) << "could not write";
    }

    void renderScaleMap (int root, ScaleUtils::ScaleClass cls, const juce::String& name)
    {
        CorvaneInterface view;
        view.setBounds (0, 0, 462, 198);
        view.setScaleName ((ScaleUtils::NoteName) root, cls);
        save (view, name);
    }

    juce::var makeMapping (std::initializer_list<int> values)
    {
        juce::Array<juce::var> array;

        for (const auto v : values)
            array.add (v);

        return array;
    }

    /** The keyboard as the editor sets it up for C (or the given scale name). */
    struct Keyboard
    {
        explicit Keyboard (const juce::String& scaleName)
        {
            view.setBounds (0, 0, 442, 150);
            view.setHighlightColour (juce::Colour (ScaleUtils::ROOT_COLOURS[0]));
            view.setSpellingScaleName (scaleName);
        }

        ViewRendering::TemporaryHome home;   // a build with the debug log writes there
        MappingVisualizer view;
    };
}

//==============================================================================
TEST (RenderViews, ScaleMaps)
{
    renderScaleMap (0, ScaleUtils::Diatonic, "scalemap_c_diatonic");
    renderScaleMap (0, ScaleUtils::Octatonic, "scalemap_octatonic_1");
    renderScaleMap (3, ScaleUtils::Hexatonic, "scalemap_hexatonic_4");
    renderScaleMap (1, ScaleUtils::WholeTone, "scalemap_whole_tone_2");
}

TEST (RenderViews, KeyboardCorrective)
{
    // C diatonic; C♯ is played and sounds as C, F♯ sounds as F.
    Keyboard keyboard ("c_diatonic");
    keyboard.view.setMappings (makeMapping ({ 0, 0, 2, 2, 4, 5, 5, 7, 7, 9, 9, 11 }));
    keyboard.view.setActiveNotes ({ { 1, 0, true }, { 6, 5, true } });
    save (keyboard.view, "keyboard_corrective");
}

TEST (RenderViews, KeyboardFilter)
{
    // C diatonic; C♯ is dropped and crossed out, E passes.
    Keyboard keyboard ("c_diatonic");
    keyboard.view.setFilterMode (true);
    keyboard.view.setHighlightMask (0x0ab5);
    keyboard.view.setMappings (makeMapping ({ 0, -1, 2, -1, 4, 5, -1, 7, -1, 9, -1, 11 }));
    keyboard.view.setActiveNotes ({ { 1, -1, true }, { 4, 4, false } });
    save (keyboard.view, "keyboard_filter");
}

TEST (RenderViews, KeyboardStackWhite)
{
    // The first octatonic collection stacked on the white keys: eight notes do not
    // fit on seven keys, hence the warning.
    Keyboard keyboard ("octatonic_1");
    keyboard.view.setStackWhiteMode (true);
    keyboard.view.setStackNoteCount (8);
    keyboard.view.setMappings (makeMapping ({ 0, -1, 1, -1, 3, 4, -1, 6, -1, 7, -1, 9 }));
    keyboard.view.setHighlightMask (0x0ab5);
    keyboard.view.setActiveNotes ({ { 2, 1, false } });
    save (keyboard.view, "keyboard_stack_white");
}
