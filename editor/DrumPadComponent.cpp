#include "DrumPadComponent.h"

#include "../engine/Shared.h"

DrumPadComponent::DrumPadComponent()
    : fileFilter (FILE_FILTER_PATTERNS, juce::String(), FILE_FILTER_DESCRIPTION)
{
    setSize (832, 24);
}

DrumPadComponent::~DrumPadComponent() = default;

void DrumPadComponent::paint (juce::Graphics&) {}
void DrumPadComponent::resized() {}
bool DrumPadComponent::isInterestedInFileDrag (const juce::StringArray&) { return false; }
void DrumPadComponent::buttonClicked (juce::Button*) {}
void DrumPadComponent::comboBoxChanged (juce::ComboBox*) {}
void DrumPadComponent::sliderValueChanged (juce::Slider*) {}
void DrumPadComponent::filesDropped (const juce::StringArray&, int, int) {}

void DrumPadComponent::initialize (int pad, ParameterModel& model, PlayHandler& handler)
{
    padIndex = pad;
    parameterModel = &model;
    playHandler = &handler;
}

void DrumPadComponent::samplePathUpdated() {}
void DrumPadComponent::mutedUpdated() {}
void DrumPadComponent::soloedUpdated() {}
void DrumPadComponent::playingUpdated (bool) {}
void DrumPadComponent::sampleLoadedUpdated (bool) {}
void DrumPadComponent::cutGroupUpdated() {}
void DrumPadComponent::pitchUpdated() {}
void DrumPadComponent::decayUpdated() {}
void DrumPadComponent::panUpdated() {}
void DrumPadComponent::levelUpdated() {}
void DrumPadComponent::outputUpdated() {}
void DrumPadComponent::browseForSample() {}
