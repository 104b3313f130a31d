// Renders the whole window to PNG in its three layouts, so that anyone can look at it:
//   AURELIN_RENDER_DIR=/some/folder aurelin_tests --gtest_filter='RenderEditor.*'
// Without the variable the pictures go to <build dir>/renders.

#include "EditorTestAccess.h"

#include <gtest/gtest.h>

namespace
{
    const juce::Colour windowBackground (0xff0a0a0f);

    void save (CorvaneAudioProcessorEditor& editor, const juce::String& name)
    {
        EXPECT_EQ (ViewRendering::savePictures (editor, name, windowBackground), juce::String()) << "could not write";
    }

    /** A window with C♯ and E held, C♯ corrected to C in C diatonic. */
    struct Window : EditorFixture
    {
        Window()
        {
            harness.run ({ { Event::on, 61 }, { Event::on, 64 } });
        }
    };
}

//==============================================================================
TEST (RenderEditor, NoRecord)
{
    Window window;
    EditorTestAccess::withholdSharedRecord (*window.editor);
    window.tick();
    window.editor->resized();
    save (*window.editor, "editor_no_record");
}

TEST (RenderEditor, RecordWithScaleSource)
{
    if (ScopedFreshSharedRecord::record() == nullptr)
        GTEST_SKIP() << "no shared record on this machine";

    Window window;
    window.tick();
    save (*window.editor, "editor_scale_source");
}

TEST (RenderEditor, RecordWithChordSourceAndAPublishedChord)
{
    if (ScopedFreshSharedRecord::record() == nullptr)
        GTEST_SKIP() << "no shared record on this machine";

    // E♭ major seventh, published with its type, heard under E♭ diatonic.
    Window window;
    window.harness.setChoice ("SOURCE", 1);
    ScopedFreshSharedRecord::publishScale (3, ScaleUtils::Diatonic);
    window.setChordName ("_M7-0");
    ScopedFreshSharedRecord::publishChord (0x48c, 3);   // E♭ G B♭ D
    window.harness.run ({});
    window.tick();
    save (*window.editor, "editor_chord_source");
}
