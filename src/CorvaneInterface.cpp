#include "CorvaneInterface.h"

#include <cmath>

namespace
{
    constexpr float centreProportion = 0.35f;      // of the smaller side
    constexpr float neighbourProportion = 0.22f;
    constexpr float maxRadiusProportion = 0.38f;
    constexpr float ringMargin = 5.0f;
    constexpr float fullTurn = 6.2831855f;
    constexpr float firstAngle = 3.1415927f;       // the first neighbour sits straight below the centre

    /** The class a catalogue key names; a key the catalogue does not use reads as acoustic. */
    ScaleUtils::ScaleClass classForKey (const juce::String& key)
    {
        for (int cls = 0; cls < ScaleUtils::numScaleClasses; ++cls)
            if (key == ScaleUtils::classKeyFor ((ScaleUtils::ScaleClass) cls))
                return (ScaleUtils::ScaleClass) cls;

        return ScaleUtils::Acoustic;
    }

    juce::var findByName (const juce::var& scales, const juce::String& name)
    {
        if (const auto* array = scales.getArray())
            for (const auto& scale : *array)
                if (scale.getProperty ("name", {}).toString() == name)
                    return scale;

        return {};
    }
}

//==============================================================================
CorvaneInterface::CorvaneInterface()
    : scalesJson (ScaleUtils::getScalesJson())
{
    addAndMakeVisible (centreShape);
}

CorvaneInterface::~CorvaneInterface() = default;

juce::Colour CorvaneInterface::getShapeColour (int root, ScaleUtils::ScaleClass cls)
{
    if (ScaleUtils::transpositionsOf (cls) > 0)
        return ScaleUtils::getLimitedTranspositionColour (root, cls);

    if (juce::isPositiveAndBelow (root, ScaleUtils::numRoots))
        return juce::Colour (ScaleUtils::ROOT_COLOURS[(size_t) root]);

    return juce::Colours::black;
}

//==============================================================================
void CorvaneInterface::setScaleName (ScaleUtils::NoteName root, ScaleUtils::ScaleClass scaleClass)
{
    currentRoot = root;
    currentScaleClass = scaleClass;

    const auto key = ScaleUtils::classKeyFor (scaleClass);
    const auto lookupRoot = ScaleUtils::reduceRoot (root, scaleClass);

    juce::var found;

    if (const auto* array = scalesJson.getArray())
        for (const auto& scale : *array)
            if ((int) scale.getProperty ("root", {}) == lookupRoot
                && scale.getProperty ("scale_class", {}).toString() == key)
                found = scale;

    if (found.isVoid())
        return;

    // The centre keeps the root it was given, so an octatonic centre asked for with
    // root 5 still reports 5; its label and grey follow the transposition.
    centreShape.setScale (root, scaleClass, getShapeColour (root, scaleClass));
    centreShape.isCentre = true;

    adjacentShapes.clear (true);

    if (const auto* neighbours = found.getProperty ("adjacent_scales", {}).getArray())
    {
        for (const auto& neighbourName : *neighbours)
        {
            const auto neighbour = findByName (scalesJson, neighbourName.toString());
            const auto cls = classForKey (neighbour.getProperty ("scale_class", {}).toString());
            const auto neighbourRoot = ScaleUtils::reduceRoot ((int) neighbour.getProperty ("root", {}), cls);

            auto* shape = adjacentShapes.add (std::make_unique<ScaleShape>());
            shape->setScale ((ScaleUtils::NoteName) neighbourRoot, cls, getShapeColour (neighbourRoot, cls));
            shape->isCentre = false;
            shape->addMouseListener (this, false);
            addAndMakeVisible (shape);
        }
    }

    resized();
}

//==============================================================================
void CorvaneInterface::resized()
{
    const auto width = getWidth();
    const auto height = getHeight();
    const auto size = (float) juce::jmin (width, height);

    const auto centreSize = centreProportion * size;
    centreShape.setBounds (juce::roundToInt (((float) width - centreSize) * 0.5f),
                           juce::roundToInt (((float) height - centreSize) * 0.5f),
                           juce::roundToInt (centreSize),
                           juce::roundToInt (centreSize));

    const auto count = adjacentShapes.size();

    if (count == 0)
        return;

    const auto neighbourSize = neighbourProportion * size;
    const auto radius = juce::jmin (size * 0.5f - neighbourSize * 0.5f - ringMargin, size * maxRadiusProportion);
    const auto step = fullTurn / (float) count;
    auto angle = firstAngle;

    for (auto* shape : adjacentShapes)
    {
        shape->setBounds (juce::roundToInt (((float) width * 0.5f + radius * std::sin (angle)) - neighbourSize * 0.5f),
                          juce::roundToInt (((float) height * 0.5f - radius * std::cos (angle)) - neighbourSize * 0.5f),
                          juce::roundToInt (neighbourSize),
                          juce::roundToInt (neighbourSize));
        angle += step;
    }
}

void CorvaneInterface::paint (juce::Graphics&) {}

//==============================================================================
void CorvaneInterface::mouseUp (const juce::MouseEvent& e)
{
    const auto index = adjacentShapes.indexOf (dynamic_cast<ScaleShape*> (e.eventComponent));

    if (index < 0)
        return;

    // setScaleName deletes the clicked figure with the others, so read it first.
    const auto* clicked = adjacentShapes.getUnchecked (index);
    const auto root = clicked->getRoot();
    const auto cls = clicked->getScaleClass();

    setScaleName (root, cls);

    if (onScaleSelected != nullptr)
        onScaleSelected (root, cls);
}
