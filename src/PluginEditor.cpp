#include "PluginEditor.h"

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
