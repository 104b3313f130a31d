#include "PluginEditor.h"
#include "InterFont.h"
#include "PitchClassSet.h"

#include "ChordLookup.h"
#include "ScaleSpellings.h"

#include <algorithm>
#include <array>
#include <vector>

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

juce::Font InterFont::get (float height, int weight)
{
    return CorvaneAudioProcessorEditor::getInterFont (height, weight);
}

//==============================================================================
namespace
{
    constexpr int refreshPeriodMs = 33;
    constexpr int regular = 0, bold = 1;
    constexpr int numPitchClasses = MappingVisualizer::numPitchClasses;

    // The highest choice index of ROOT and SCALE_CLASS: index / highest is the
    // normalised value.
    constexpr float highestRoot = (float) (ScaleUtils::numRoots - 1);
    constexpr float highestScaleClass = (float) (ScaleUtils::numScaleClasses - 1);

    // Item IDs of the Source and Correction lists (the parameter's choice index + 1).
    constexpr int chordSourceId = 2;
    constexpr int filterCorrectionId = 2;

    // Choice indices of Correction as updateMappingVisualizer reads them.
    constexpr int filterCorrection = 1, stackChromCorrection = 2, stackWhiteCorrection = 3;

    constexpr juce::uint32 versionAndCreditsArgb = 0xff666666;

    /** What the chord display shows while there is no chord. */
    juce::String emDash()    { return juce::String::charToString ((juce::juce_wchar) 0x2014); }

    //==============================================================================
    /** The layout's measures, in pixels. */
    namespace Layout
    {
        constexpr int footerHeight = 36, creditsInsetY = 6;
        constexpr int headerHeight = 56;
        constexpr int titleWidth = 170, titleInsetX = 10, titleInsetY = 8, titleLineHeight = 22, brandTopTrim = 2;
        constexpr int toggleWidth = 110, toggleInsetX = 10, toggleInsetY = 8;
        constexpr int rowHeight = 50, captionHeight = 16, captionGap = 2, listBottomGap = 2;
        constexpr int sourceWidth = 85, correctionWidth = 110, leftColumnInset = 8;
        constexpr int chordWidth = 140, chordCaptionWidth = 45;
        constexpr int chordCaptionInsetX = 2, chordCaptionInsetY = 12, chordInsetX = 2, chordInsetY = 10;
        constexpr int scaleClassWidth = 140, rootWidth = 70, rightColumnInset = 4;
        constexpr int versionInsetX = 8, versionInsetY = 16;
        constexpr int keyboardHeight = 160, keyboardInsetX = 10, keyboardInsetY = 5;
        constexpr int paintedFooterHeight = 50;
    }

    /** Places a captioned list in its column of the settings row: the caption on
        top, the list below it, both inset from the column's sides. */
    void placeColumn (juce::Rectangle<int> column, int inset, juce::Component& caption, juce::Component& list)
    {
        const auto captionHeight = juce::jmin (Layout::captionHeight, column.getHeight());
        const auto listY = column.getY() + captionHeight + Layout::captionGap;
        const auto listHeight = juce::jmax (0, column.getHeight() - captionHeight - Layout::captionGap - Layout::listBottomGap);
        const auto x = column.getX() + inset;
        const auto width = juce::jmax (0, column.getWidth() - 2 * inset);

        caption.setBounds (x, column.getY(), width, captionHeight);
        list.setBounds (x, listY, width, listHeight);
    }

    /** Bit k set for each pitch class k that the pitch map sends to itself. */
    juce::uint16 maskOfPitchMap (const juce::var& pitchMap)
    {
        juce::uint16 mask = 0;

        if (const auto* entries = pitchMap.getArray())
            for (int k = 0; k < juce::jmin (numPitchClasses, entries->size()); ++k)
                if ((int) entries->getReference (k) == k)
                    mask = (juce::uint16) (mask | (1u << k));

        return mask;
    }

    /** The pitch classes of a mask from C upwards. */
    std::vector<int> ascendingPitchClasses (juce::uint16 mask)
    {
        PitchClassSet::List list {};
        const auto length = PitchClassSet::ascending (mask, list);
        return { list.begin(), list.begin() + length };
    }

    juce::var toVar (const std::array<int, numPitchClasses>& mappings)
    {
        juce::Array<juce::var> array;

        for (const auto m : mappings)
            array.add (m);

        return array;
    }
}

//==============================================================================
CorvaneAudioProcessorEditor::CorvaneAudioProcessorEditor (CorvaneAudioProcessor& p)
    : AudioProcessorEditor (&p),
      scalesJson (ScaleUtils::getScalesJson()),
      audioProcessor (p)
{
    constexpr float titleHeight = 20.0f, captionHeight = 11.0f, chordHeight = 14.0f, versionHeight = 10.0f;
    const juce::Colour versionAndCredits (versionAndCreditsArgb);

    addLabel (brandLabel, "Corvane", getInterFont (titleHeight, regular), textColour);
    addLabel (productLabel, "Aurelin", getInterFont (titleHeight, bold), textColour);

    scaleMapView.onScaleSelected = [this] (ScaleUtils::NoteName root, ScaleUtils::ScaleClass cls)
    {
        // Two plain value changes, no gesture: the host hears of the new scale at once.
        audioProcessor.parameters.getParameter ("ROOT")->setValueNotifyingHost ((float) root / highestRoot);
        audioProcessor.parameters.getParameter ("SCALE_CLASS")->setValueNotifyingHost ((float) cls / highestScaleClass);
        refresh();
    };

    addAndMakeVisible (scaleMapView);
    addAndMakeVisible (mappingVisualizer);

    const auto showListsScale = [this]
    {
        scaleMapView.setScaleName ((ScaleUtils::NoteName) (rootCombo.getSelectedId() - 1),
                                   (ScaleUtils::ScaleClass) (scaleClassCombo.getSelectedId() - 1));
        refresh();
    };

    juce::StringArray rootNames;

    for (int root = 0; root < ScaleUtils::numRoots; ++root)
        rootNames.add (ScaleUtils::noteToString ((ScaleUtils::NoteName) root));

    addLabel (rootLabel, "Scale Root", getInterFont (captionHeight, regular), captionColour);
    addList (rootCombo, rootNames, false, rootAttachment, "ROOT", showListsScale);

    addLabel (scaleClassLabel, "Scale Class", getInterFont (captionHeight, regular), captionColour);
    addList (scaleClassCombo,
             { "Acoustic", "Diatonic", "Harmonic Major", "Harmonic Minor", "Octatonic", "Hexatonic", "Whole Tone" },
             false, scaleClassAttachment, "SCALE_CLASS", showListsScale);

    addLabel (chordCaptionLabel, "Chord", getInterFont (captionHeight, regular), captionColour);
    addLabel (chordLabel, emDash(), getInterFont (chordHeight, bold), textColour);

    addLabel (sourceLabel, "Source", getInterFont (captionHeight, regular), captionColour);
    addList (sourceCombo, { "Scale", "Chord" }, true, sourceAttachment, "SOURCE", [this]
    {
        refresh();
        resized();   // the chord column comes and goes with the source
    });

    addLabel (correctionLabel, "Correction", getInterFont (captionHeight, regular), captionColour);
    addList (correctionCombo, { "Corrective", "Filter", "Stack (Chrom)", "Stack (White)" }, true,
             correctionAttachment, "CORRECTION", [this] { refresh(); });

    const auto buildStamp = juce::String ("v") + AURELIN_VERSION_STRING + " | " + __DATE__ + " " + __TIME__;
    addLabel (versionLabel, buildStamp, getInterFont (versionHeight, regular), versionAndCredits);
    versionLabel.setTooltip (buildStamp);   // the row leaves the stamp little room
    addLabel (creditsLabel, "by Corvane and Dovetone", getInterFont (titleHeight, regular), versionAndCredits);
    creditsLabel.setJustificationType (juce::Justification::centred);

    interruptButton.setButtonText ("Interrupt");
    interruptButton.setColour (juce::ToggleButton::textColourId, textColour);
    addAndMakeVisible (interruptButton);
    interruptAttachment = std::make_unique<juce::AudioProcessorValueTreeState::ButtonAttachment> (
        audioProcessor.parameters, "INTERRUPT", interruptButton);

    audioProcessor.onRootGestureStart = [this] { refresh(); };
    audioProcessor.onScaleClassGestureStart = [this] { refresh(); };
    audioProcessor.onModeGestureStart = [this] { refresh(); };

    updateDisplayLabels();
    updateMappingVisualizer();
    applyRootColour();

    startTimer (refreshPeriodMs);
    setSize (windowWidth, windowHeight);
}

CorvaneAudioProcessorEditor::~CorvaneAudioProcessorEditor()
{
    stopTimer();

    // The processor outlives this window and keeps calling whatever hooks it holds.
    audioProcessor.onRootGestureStart = nullptr;
    audioProcessor.onScaleClassGestureStart = nullptr;
    audioProcessor.onModeGestureStart = nullptr;

    // The look-and-feel is declared after the lists, so it goes before them.
    for (auto* list : { &rootCombo, &scaleClassCombo, &sourceCombo, &correctionCombo })
        list->setLookAndFeel (nullptr);
}

void CorvaneAudioProcessorEditor::addLabel (juce::Label& label, const juce::String& text, juce::Font font, juce::Colour colour)
{
    label.setText (text, juce::dontSendNotification);
    label.setFont (font);
    label.setColour (juce::Label::textColourId, colour);
    addAndMakeVisible (label);
}

void CorvaneAudioProcessorEditor::addList (juce::ComboBox& list, const juce::StringArray& items, bool startOnFirstItem,
                                           std::unique_ptr<juce::AudioProcessorValueTreeState::ComboBoxAttachment>& attachment,
                                           const juce::String& parameterID, std::function<void()> onChange)
{
    list.addItemList (items, 1);

    if (startOnFirstItem)
        list.setSelectedId (1, juce::dontSendNotification);

    // Installed before the attachment, which selects the parameter's choice with a
    // synchronous notification, so the handler sees the first selection too.
    list.onChange = std::move (onChange);
    attachment = std::make_unique<juce::AudioProcessorValueTreeState::ComboBoxAttachment> (audioProcessor.parameters,
                                                                                           parameterID, list);
    list.setLookAndFeel (&interLookAndFeel);
    addAndMakeVisible (list);
}

//==============================================================================
void CorvaneAudioProcessorEditor::paint (juce::Graphics& g)
{
    g.fillAll (backgroundColour);

    g.setColour (footerColour);
    g.fillRect (getLocalBounds().removeFromBottom (Layout::paintedFooterHeight));
}

void CorvaneAudioProcessorEditor::resized()
{
    using namespace Layout;

    auto area = getLocalBounds();

    creditsLabel.setBounds (area.removeFromBottom (footerHeight).reduced (0, creditsInsetY));

    auto header = area.removeFromTop (headerHeight);
    auto titleArea = header.removeFromLeft (titleWidth).reduced (titleInsetX, titleInsetY);
    brandLabel.setBounds (titleArea.removeFromTop (titleLineHeight).withTrimmedTop (brandTopTrim));
    productLabel.setBounds (titleArea.removeFromTop (titleLineHeight));
    interruptButton.setBounds (header.removeFromRight (toggleWidth).reduced (toggleInsetX, toggleInsetY));

    auto row = area.removeFromBottom (rowHeight);
    const auto recordAvailable = getSharedRecord() != nullptr;

    sourceLabel.setVisible (recordAvailable);
    sourceCombo.setVisible (recordAvailable);

    if (recordAvailable)
        placeColumn (row.removeFromLeft (sourceWidth), leftColumnInset, sourceLabel, sourceCombo);

    placeColumn (row.removeFromLeft (correctionWidth), leftColumnInset, correctionLabel, correctionCombo);

    const auto showChord = recordAvailable && sourceCombo.getSelectedId() == chordSourceId;
    chordCaptionLabel.setVisible (showChord);
    chordLabel.setVisible (showChord);

    if (showChord)
    {
        auto chordColumn = row.removeFromLeft (chordWidth);
        chordCaptionLabel.setBounds (chordColumn.removeFromLeft (chordCaptionWidth).reduced (chordCaptionInsetX, chordCaptionInsetY));
        chordLabel.setBounds (chordColumn.reduced (chordInsetX, chordInsetY));
    }

    placeColumn (row.removeFromRight (scaleClassWidth), rightColumnInset, scaleClassLabel, scaleClassCombo);
    placeColumn (row.removeFromRight (rootWidth), rightColumnInset, rootLabel, rootCombo);
    versionLabel.setBounds (row.reduced (versionInsetX, versionInsetY));

    mappingVisualizer.setBounds (area.removeFromBottom (Layout::keyboardHeight).reduced (keyboardInsetX, keyboardInsetY));
    scaleMapView.setBounds (area);
}

//==============================================================================
void CorvaneAudioProcessorEditor::timerCallback()
{
    const auto root = readRootIndex();
    const auto scaleClass = readScaleClassIndex();
    const auto* record = getSharedRecord();
    const auto chordMask = record != nullptr ? record->chordMask : (juce::uint16) 0;

    if ((record != nullptr) != lastSharedStateAvailable)
    {
        lastSharedStateAvailable = record != nullptr;
        resized();   // the Source and chord columns depend on the record
    }

    if (root != lastRoot || scaleClass != lastScaleClass || chordMask != lastChordMask)
    {
        lastRoot = root;
        lastScaleClass = scaleClass;
        lastChordMask = chordMask;

        scaleMapView.setScaleName ((ScaleUtils::NoteName) root, (ScaleUtils::ScaleClass) scaleClass);
        applyRootColour();
        updateDisplayLabels();
        updateMappingVisualizer();
    }

    // The held notes and the filter flag change between full updates, so they are
    // handed over on every tick.
    juce::uint16 membership = 0;

    if (sourceCombo.getSelectedId() == chordSourceId && chordMask != 0)
        membership = chordMask;
    else
        membership = maskOfPitchMap (ScaleUtils::findScale (root, (ScaleUtils::ScaleClass) scaleClass, scalesJson));

    mappingVisualizer.setFilterMode (correctionCombo.getSelectedId() == filterCorrectionId);

    std::vector<MappingVisualizer::ActiveNote> notes;

    for (const auto& held : audioProcessor.getActiveNotes())
    {
        const auto inside = juce::isPositiveAndBelow (held.inputPitchClass, numPitchClasses)
                         && ((membership >> held.inputPitchClass) & 1) != 0;
        notes.push_back ({ held.inputPitchClass, held.outputPitchClass, ! inside });
    }

    mappingVisualizer.setActiveNotes (std::move (notes));
}

void CorvaneAudioProcessorEditor::updateDisplayLabels()
{
    auto text = emDash();

    if (const auto* shared = getSharedRecord())
    {
        // One copy, so the fields used below belong to the same moment as far as
        // a publisher writing at the same time allows.
        const auto record = *shared;

        if (record.chordMask != 0)
        {
            const auto classKey = ScaleUtils::classKeyFor ((ScaleUtils::ScaleClass) readScaleClassIndex());
            const auto scaleName = ScaleSpellings::buildScaleName (readRootIndex(), classKey);
            const auto rootName = ScaleSpellings::getNoteNameForScale (record.chordRoot, scaleName);
            const auto chordType = juce::String::fromUTF8 (record.chordName, (int) chordNameLength (record));
            const auto& chords = ChordLookup::getInstance();

            if (chordType.isNotEmpty())
            {
                text = chords.formatChordName (rootName, chordType);
            }
            else
            {
                juce::String name;
                const auto found = chords.chordsByKey.find (ChordLookup::keyFor (ascendingPitchClasses (record.chordMask)));

                if (found != chords.chordsByKey.end() && ! found->second.empty())
                {
                    const auto& entries = found->second;
                    const auto onRoot = std::find_if (entries.begin(), entries.end(),
                                                      [&] (const auto& entry) { return entry.root == record.chordRoot; });
                    const auto& entry = onRoot != entries.end() ? *onRoot : entries.front();

                    name = chords.formatChordName (chords.getRootName (record.chordRoot), entry.chordType);
                }

                const auto firstSpace = name.indexOfChar (' ');

                if (name.isEmpty())
                    text = rootName + " (unknown)";
                else if (firstSpace > 0)
                    text = rootName + name.substring (firstSpace);   // the scale's spelling of the root
                else
                    text = name;
            }
        }
    }

    chordLabel.setText (text, juce::dontSendNotification);
    chordLabel.setTooltip (text != emDash() ? text : juce::String());   // a long name is squeezed to fit

    if (rootCombo.getSelectedId() > 0 && scaleClassCombo.getSelectedId() > 0)
        scaleMapView.setScaleName ((ScaleUtils::NoteName) (rootCombo.getSelectedId() - 1),
                                   (ScaleUtils::ScaleClass) (scaleClassCombo.getSelectedId() - 1));
}

void CorvaneAudioProcessorEditor::updateMappingVisualizer()
{
    const auto source = sourceCombo.getSelectedId();
    const auto correction = correctionCombo.getSelectedId() - 1;
    const auto root = readRootIndex();
    const auto cls = readScaleClassIndex();

    mappingVisualizer.setHighlightColour (rootColourFor());
    mappingVisualizer.setSpellingScaleName (ScaleSpellings::buildScaleName (root, ScaleUtils::classKeyFor ((ScaleUtils::ScaleClass) cls)));
    mappingVisualizer.setFilterMode (correction == filterCorrection);
    mappingVisualizer.setStackWhiteMode (correction == stackWhiteCorrection);
    mappingVisualizer.setStackNoteCount ((int) MappingVisualizer::WHITE_KEYS.size());

    const auto* record = getSharedRecord();
    const auto chordInUse = source == chordSourceId && record != nullptr && record->chordMask != 0;
    const auto scaleMappings = ScaleUtils::findScale (root, (ScaleUtils::ScaleClass) cls, scalesJson);

    auto mask = chordInUse ? record->chordMask : (juce::uint16) 0;

    if (mask == 0)
        mask = maskOfPitchMap (scaleMappings);

    mappingVisualizer.setHighlightMask (0);

    const auto active = ascendingPitchClasses (mask);
    const auto len = (int) active.size();
    const auto stackLength = juce::jmax (1, len);
    std::array<int, numPitchClasses> mappings {};

    if (correction == filterCorrection)
    {
        for (int k = 0; k < numPitchClasses; ++k)
            mappings[(size_t) k] = ((mask >> k) & 1) != 0 ? k : -1;

        mappingVisualizer.setHighlightMask (mask);
        mappingVisualizer.setMappings (toVar (mappings));
    }
    else if (correction == stackChromCorrection)
    {
        for (int k = 0; k < numPitchClasses; ++k)
            mappings[(size_t) k] = active.empty() ? k : active[(size_t) (k % stackLength)];

        mappingVisualizer.setMappings (toVar (mappings));
        mappingVisualizer.setHighlightMask ((juce::uint16) ((1u << juce::jmin (stackLength, numPitchClasses)) - 1u));
    }
    else if (correction == stackWhiteCorrection)
    {
        mappings.fill (-1);   // black keys are silent

        for (size_t w = 0; w < MappingVisualizer::WHITE_KEYS.size(); ++w)
        {
            const auto key = MappingVisualizer::WHITE_KEYS[w];
            mappings[(size_t) key] = active.empty() ? key : active[w % (size_t) stackLength];
        }

        // The keys that play the first pass through the list, C always among them.
        const auto highlightedKeys = juce::jlimit (1, (int) MappingVisualizer::WHITE_KEYS.size(), len);
        juce::uint16 highlight = 0;

        for (int w = 0; w < highlightedKeys; ++w)
            highlight = (juce::uint16) (highlight | (1u << MappingVisualizer::WHITE_KEYS[(size_t) w]));

        mappingVisualizer.setStackNoteCount (stackLength);
        mappingVisualizer.setMappings (toVar (mappings));
        mappingVisualizer.setHighlightMask (highlight);
    }
    else if (source == chordSourceId && mask != 0)
    {
        for (int k = 0; k < numPitchClasses; ++k)
            mappings[(size_t) k] = PitchClassSet::nearest (mask, k);

        mappingVisualizer.setMappings (toVar (mappings));
    }
    else
    {
        if (MappingVisualizer::isDebugLogEnabled)
        {
            MappingVisualizer::appendDebugLog ("ELSE BRANCH HIT - calling setMappings with scaleMappings\n");

            if (const auto* entries = scaleMappings.getArray())
            {
                juce::String line ("setMappings data: ");

                for (int k = 0; k < juce::jmin (numPitchClasses, entries->size()); ++k)
                    line << (int) entries->getReference (k) << " ";

                MappingVisualizer::appendDebugLog (line + "\n");
            }
        }

        mappingVisualizer.setMappings (scaleMappings);
    }
}

//==============================================================================
void CorvaneAudioProcessorEditor::refresh()
{
    updateMappingVisualizer();
    updateDisplayLabels();
}

juce::Colour CorvaneAudioProcessorEditor::rootColourFor() const
{
    const auto index = ScaleUtils::rootColourIndex (readRootIndex(), readScaleClassIndex());
    return juce::Colour (ScaleUtils::ROOT_COLOURS[(size_t) index]);
}

void CorvaneAudioProcessorEditor::applyRootColour()
{
    const auto colour = rootColourFor();

    for (auto* caption : { &sourceLabel, &correctionLabel, &rootLabel, &scaleClassLabel })
        caption->setColour (juce::Label::textColourId, colour);

    interruptButton.setColour (juce::ToggleButton::tickColourId, colour);
}

int CorvaneAudioProcessorEditor::readRootIndex() const
{
    return juce::roundToInt (audioProcessor.parameters.getParameter ("ROOT")->getValue() * highestRoot);
}

int CorvaneAudioProcessorEditor::readScaleClassIndex() const
{
    return juce::roundToInt (audioProcessor.parameters.getParameter ("SCALE_CLASS")->getValue() * highestScaleClass);
}

SharedScaleData* CorvaneAudioProcessorEditor::getSharedRecord() const noexcept
{
    return sharedRecordWithheld ? nullptr : SharedScaleState::getInstance().data;
}
