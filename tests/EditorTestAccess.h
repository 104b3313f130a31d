#pragma once

#include "PluginEditor.h"
#include "ProcessorHarness.h"
#include "ViewRendering.h"

#include <map>
#include <memory>

/** What the editor tests reach inside the window: its children, its timer, and the
    switch that makes it behave as if the machine-wide record could not be had. */
struct EditorTestAccess
{
    using Editor = CorvaneAudioProcessorEditor;

    static void tick (Editor& e)                        { e.timerCallback(); }
    static void withholdSharedRecord (Editor& e)        { e.sharedRecordWithheld = true; }

    static CorvaneInterface& scaleMap (Editor& e)       { return e.scaleMapView; }
    static MappingVisualizer& keyboard (Editor& e)      { return e.mappingVisualizer; }
    static juce::Label& chordLabel (Editor& e)          { return e.chordLabel; }
    static juce::Label& rootLabel (Editor& e)           { return e.rootLabel; }
    static juce::ComboBox& rootCombo (Editor& e)        { return e.rootCombo; }
    static juce::ComboBox& scaleClassCombo (Editor& e)  { return e.scaleClassCombo; }
    static juce::ComboBox& sourceCombo (Editor& e)      { return e.sourceCombo; }
    static juce::ComboBox& correctionCombo (Editor& e)  { return e.correctionCombo; }

    /** Every child by its member name. */
    static std::map<juce::String, juce::Component*> children (Editor& e)
    {
        return { { "scaleMapView", &e.scaleMapView },         { "mappingVisualizer", &e.mappingVisualizer },
                 { "brandLabel", &e.brandLabel },             { "productLabel", &e.productLabel },
                 { "rootLabel", &e.rootLabel },               { "rootCombo", &e.rootCombo },
                 { "scaleClassLabel", &e.scaleClassLabel },   { "scaleClassCombo", &e.scaleClassCombo },
                 { "chordCaptionLabel", &e.chordCaptionLabel }, { "chordLabel", &e.chordLabel },
                 { "sourceLabel", &e.sourceLabel },           { "sourceCombo", &e.sourceCombo },
                 { "correctionLabel", &e.correctionLabel },   { "correctionCombo", &e.correctionCombo },
                 { "versionLabel", &e.versionLabel },         { "creditsLabel", &e.creditsLabel },
                 { "interruptButton", &e.interruptButton } };
    }
};

/** A window on a processor, with the machine-wide record held at its fresh state and
    HOME pointed at a fresh folder, so that a build with the keyboard's debug log
    writes nothing on the real desktop. */
struct EditorFixture
{
    EditorFixture()     { open(); }

    void open()         { editor = std::make_unique<CorvaneAudioProcessorEditor> (harness.processor); }

    void tick()                         { EditorTestAccess::tick (*editor); }
    static SharedScaleData* record()    { return ScopedFreshSharedRecord::record(); }

    void setChordName (const char* name)
    {
        auto* r = record();
        std::fill (std::begin (r->chordName), std::end (r->chordName), '\0');
        juce::String (juce::CharPointer_UTF8 (name)).copyToUTF8 (r->chordName, sizeof (r->chordName));
    }

    ViewRendering::TemporaryHome home;
    ScopedFreshSharedRecord sharedRecord;
    ProcessorHarness harness;
    std::unique_ptr<CorvaneAudioProcessorEditor> editor;
};
