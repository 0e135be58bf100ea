#include "PadLegendComponent.h"

#include <iterator>

namespace
{
constexpr int legendWidth = 832;
constexpr int legendHeight = 24;

struct Heading
{
    const char* name;
    const char* text;
    const char* tooltip;
    // Each heading starts at the x of the row control it stands over.
    int x;
    int width;
};

// The out heading is 7 px wider than what shows: the legend clips it at its right edge.
const Heading headings[] = {
    { "group label", "Grp", "Cut group", 112, 56 },
    { "sample label", "Sample", "Sample filename", 160, 344 },
    { "pitch label", "Pitch", "Pitch shift in semitones", 512, 56 },
    { "decay label", "Decay", "Decay amount", 568, 56 },
    { "pan label", "Pan", "Pan amount", 626, 56 },
    { "level label", "Level", "Level in dB", 684, 104 },
    { "out label", "Out", "Output routing", 792, 47 },
};
} // namespace

PadLegendComponent::PadLegendComponent()
{
    std::unique_ptr<juce::Label>* const members[] = { &groupLabel, &sampleLabel, &pitchLabel, &decayLabel,
                                                      &panLabel,   &levelLabel,  &outLabel };
    static_assert (std::size (headings) == std::size (members));

    for (size_t i = 0; i < std::size (headings); ++i)
    {
        const Heading& heading = headings[i];
        auto& label = *members[i];

        label = std::make_unique<juce::Label> (heading.name, juce::translate (heading.text));
        addAndMakeVisible (*label);
        label->setTooltip (juce::translate (heading.tooltip));
        label->setFont (juce::Font (15.0f, juce::Font::plain).withTypefaceStyle ("Regular"));
        label->setJustificationType (juce::Justification::centredLeft);
        label->setEditable (false, false, false);
        // Only the in-place editor would use these, and it never opens.
        label->setColour (juce::TextEditor::textColourId, juce::Colours::black);
        label->setColour (juce::TextEditor::backgroundColourId, juce::Colour (0x00000000));
        label->setBounds (heading.x, 0, heading.width, legendHeight);
    }

    setSize (legendWidth, legendHeight);
}

PadLegendComponent::~PadLegendComponent()
{
    // Released in creation order.
    groupLabel = nullptr;
    sampleLabel = nullptr;
    pitchLabel = nullptr;
    decayLabel = nullptr;
    panLabel = nullptr;
    levelLabel = nullptr;
    outLabel = nullptr;
}

void PadLegendComponent::paint (juce::Graphics&) {}
void PadLegendComponent::resized() {}
