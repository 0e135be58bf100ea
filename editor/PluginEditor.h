#pragma once

#include "DrumPadComponent.h"
#include "HeaderComponent.h"
#include "PadLegendComponent.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <vector>

class BolvanePluginAudioProcessor;
class EditorWrapper;
class ParameterModel;
class PlayHandler;

// The plug-in's fixed-size window: the column legend, twelve pad rows and the logo strip.
class BolvanePluginAudioProcessorEditor : public juce::AudioProcessorEditor
{
public:
    BolvanePluginAudioProcessorEditor (BolvanePluginAudioProcessor& processor,
                                       EditorWrapper& editorWrapper,
                                       ParameterModel& parameterModel,
                                       PlayHandler& playHandler);
    ~BolvanePluginAudioProcessorEditor() override;

    void paint (juce::Graphics& g) override;
    void resized() override;

    EditorWrapper& editorWrapper;
    ParameterModel& parameterModel;
    juce::TooltipWindow tooltipWindow;
    PadLegendComponent padLegendComponent;
    // Never resized: rows keep their place in memory for the editor's life.
    std::vector<DrumPadComponent> drumPads;
    HeaderComponent headerComponent;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BolvanePluginAudioProcessorEditor)
};
