#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// The column headings above the pad rows, each with a tooltip saying what its column sets.
class PadLegendComponent : public juce::Component
{
public:
    PadLegendComponent();
    ~PadLegendComponent() override;

    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    std::unique_ptr<juce::Label> groupLabel;
    std::unique_ptr<juce::Label> sampleLabel;
    std::unique_ptr<juce::Label> pitchLabel;
    std::unique_ptr<juce::Label> decayLabel;
    std::unique_ptr<juce::Label> panLabel;
    std::unique_ptr<juce::Label> levelLabel;
    std::unique_ptr<juce::Label> outLabel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PadLegendComponent)
};
