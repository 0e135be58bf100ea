#pragma once

#include "../editor/BolvaneLookAndFeel.h"
#include "AudioRenderer.h"
#include "EditorWrapper.h"
#include "ParameterModel.h"
#include "ParameterTranslator.h"
#include "PlayHandler.h"
#include "SampleBufferHandler.h"

#include <juce_audio_processors/juce_audio_processors.h>

// The object the host talks to. Owns every engine object by value; they reach each other through
// the references handed over here.
class BolvanePluginAudioProcessor : public juce::AudioProcessor
{
public:
    BolvanePluginAudioProcessor();
    ~BolvanePluginAudioProcessor() override;

    const juce::String getName() const override;

    void prepareToPlay (double sampleRate, int samplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    using juce::AudioProcessor::processBlock;

    double getTailLengthSeconds() const override;
    bool acceptsMidi() const override;
    bool producesMidi() const override;
    bool isMidiEffect() const override;

    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override;

    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;

    void getStateInformation (juce::MemoryBlock& block) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    bool isBusesLayoutSupported (const BusesLayout& layout) const override;

    // Declaration order is construction order: each member is built from references to members
    // that either exist already or are only stored until they do.
    BolvaneLookAndFeel lookAndFeel;
    EditorWrapper editorWrapper{ *this, parameterModel, playHandler };
    AudioRenderer audioRenderer;
    ParameterTranslator parameterTranslator{ audioRenderer, parameterModel };
    SampleBufferHandler sampleBufferHandler{ editorWrapper, audioRenderer };
    ParameterModel parameterModel{ editorWrapper, parameterTranslator, sampleBufferHandler };
    // Last: its timer reads the members above from the end of its construction on.
    PlayHandler playHandler{ editorWrapper, audioRenderer };

private:
    // No input; six stereo outputs, all enabled.
    static BusesProperties makeBuses();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BolvanePluginAudioProcessor)
};
