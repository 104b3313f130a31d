#include "ScaleShape.h"

#include "PluginEditor.h"

namespace
{
    constexpr float barProportion = 0.7f;            // thickness of the two bars, and the parallelograms' side height
    constexpr float hexatonicStartAngle = -1.5707964f; // puts a vertex of the triangle at the middle of the left edge

    constexpr float nameFontHeight = 14.0f;
    constexpr float classFontHeight = 10.0f;
    constexpr int regularWeight = 0;

    constexpr int nameTop = 4;
    constexpr int hexatonicNameTop = 8;               // the triangle is narrow at the top
    constexpr int classBaselineOffset = 9;
    constexpr int hexatonicClassBaselineOffset = 10;
    constexpr int splitWordHeight = 10;
    constexpr int splitWordInset = 4;
    constexpr int hexBaselineOffset = 13;
}

//==============================================================================
ScaleShape::ScaleShape() = default;
ScaleShape::~ScaleShape() = default;

void ScaleShape::setScale (ScaleUtils::NoteName newRoot, ScaleUtils::ScaleClass newScaleClass, juce::Colour newColour)
{
    root = newRoot;
    scaleClass = newScaleClass;
    colour = newColour;
    repaint();
}

//==============================================================================
juce::Rectangle<int> ScaleShape::getBarBounds (ScaleUtils::ScaleClass cls, int width, int height)
{
    if (cls == ScaleUtils::Acoustic)
    {
        const auto thickness = (int) ((float) height * barProportion);
        return { 0, (height - thickness) / 2, width, thickness };
    }

    if (cls == ScaleUtils::WholeTone)
    {
        const auto thickness = (int) ((float) width * barProportion);
        return { (width - thickness) / 2, 0, thickness, height };
    }

    return {};
}

juce::Path ScaleShape::createPolygon (ScaleUtils::ScaleClass cls, int width, int height)
{
    const auto w = (float) width;
    const auto h = (float) height;
    const juce::Point<float> centre (w * 0.5f, h * 0.5f);
    const auto radius = w * 0.5f;   // the owner keeps shapes square

    juce::Path path;

    switch (cls)
    {
        case ScaleUtils::Diatonic:
            path.addPolygon (centre, 6, radius, 0.0f);
            break;

        case ScaleUtils::HarmonicMajor:
            path.startNewSubPath (0.0f, h);
            path.lineTo (0.0f, h + (-h) * barProportion);
            path.lineTo (w, 0.0f);
            path.lineTo (w, h * barProportion);
            path.closeSubPath();
            break;

        case ScaleUtils::HarmonicMinor:
            path.startNewSubPath (w, h);
            path.lineTo (w, h + (-h) * barProportion);
            path.lineTo (0.0f, 0.0f);
            path.lineTo (0.0f, h * barProportion);
            path.closeSubPath();
            break;

        case ScaleUtils::Octatonic:
            path.addPolygon (centre, 12, radius, 0.0f);
            break;

        case ScaleUtils::Hexatonic:
            path.addPolygon (centre, 3, radius, hexatonicStartAngle);
            break;

        case ScaleUtils::Acoustic:
        case ScaleUtils::WholeTone:
        default:
            break;
    }

    return path;
}

//==============================================================================
void ScaleShape::paint (juce::Graphics& g)
{
    const auto width = getWidth();
    const auto height = getHeight();

    g.setColour (colour);
    g.fillRect (getBarBounds (scaleClass, width, height));
    g.fillPath (createPolygon (scaleClass, width, height));

    g.setColour (juce::Colours::black);

    const auto isLimited = ScaleUtils::transpositionsOf (scaleClass) > 0;
    const auto label = isLimited ? ScaleUtils::getLimitedTranspositionLabel (root, scaleClass)
                                 : ScaleUtils::noteToString (root);

    const auto halfHeight = (int) ((float) height * 0.5f);
    const auto top = scaleClass == ScaleUtils::Hexatonic ? hexatonicNameTop : nameTop;

    g.setFont (CorvaneAudioProcessorEditor::getInterFont (nameFontHeight, regularWeight));
    g.drawText (label, juce::Rectangle<int> (0, top, width, halfHeight), juce::Justification::centred, true);

    paintClassName (g, halfHeight);
}

void ScaleShape::paintClassName (juce::Graphics& g, int halfHeight) const
{
    const auto width = getWidth();
    const auto name = ScaleUtils::classDisplayName (scaleClass).toLowerCase();
    const auto baseline = halfHeight + classBaselineOffset;

    g.setFont (CorvaneAudioProcessorEditor::getInterFont (classFontHeight, regularWeight));

    if (isCentre)
    {
        const auto centreBaseline = scaleClass == ScaleUtils::Hexatonic ? halfHeight + hexatonicClassBaselineOffset
                                                                        : baseline;
        g.drawMultiLineText (name, 0, centreBaseline, width, juce::Justification::centred, 0.0f);
        return;
    }

    // A neighbour is too small for the long names on one line.
    if (name == "whole tone")
    {
        g.drawMultiLineText ("whole\ntone", 0, baseline, width, juce::Justification::centred, 0.0f);
    }
    else if (name == "harmonic minor" || name == "harmonic major")
    {
        // "minor" leans right and "major" left, echoing the slant of their figures.
        const auto isMinor = name == "harmonic minor";
        g.drawText ("harmonic", juce::Rectangle<int> (0, halfHeight - 2, width, splitWordHeight),
                    juce::Justification::centred, true);
        g.drawText (isMinor ? "minor" : "major",
                    juce::Rectangle<int> (splitWordInset, halfHeight + 7, width - 2 * splitWordInset, splitWordHeight),
                    isMinor ? juce::Justification::right : juce::Justification::left, true);
    }
    else if (scaleClass == ScaleUtils::Hexatonic)
    {
        g.drawMultiLineText ("hex", splitWordInset, halfHeight + hexBaselineOffset, width,
                             juce::Justification::centred, 0.0f);
    }
    else
    {
        g.drawMultiLineText (name, 0, baseline, width, juce::Justification::centred, 0.0f);
    }
}

void ScaleShape::resized() {}
