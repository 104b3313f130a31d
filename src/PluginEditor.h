#pragma once

#include "PluginProcessor.h"

/** The plug-in's window. Message thread only. */
class CorvaneAudioProcessorEditor final : public juce::AudioProcessorEditor,
                                          private juce::Timer
{
public:
    explicit CorvaneAudioProcessorEditor (CorvaneAudioProcessor&);
    ~CorvaneAudioProcessorEditor() override;

    void paint (juce::Graphics&) override;
    void resized() override;

private:
    void timerCallback() override;

    CorvaneAudioProcessor& audioProcessor;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CorvaneAudioProcessorEditor)
};
