#include "HeaderComponent.h"

HeaderComponent::HeaderComponent()
{
    setSize (832, 36);
}

HeaderComponent::~HeaderComponent() = default;

void HeaderComponent::paint (juce::Graphics&) {}
void HeaderComponent::resized() {}
void HeaderComponent::buttonClicked (juce::Button*) {}
