#include "PadLegendComponent.h"

PadLegendComponent::PadLegendComponent()
{
    setSize (832, 24);
}

PadLegendComponent::~PadLegendComponent() = default;

void PadLegendComponent::paint (juce::Graphics&) {}
void PadLegendComponent::resized() {}
