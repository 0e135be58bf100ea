#include "editor/PadLegendComponent.h"

#include <gtest/gtest.h>

// That it paints no background is seen through the editor window.
TEST (PadLegend, SevenFixedHeadingsWithTooltipsOverTheRowColumns)
{
    PadLegendComponent legend;
    const std::tuple<const char*, const char*, const char*, juce::Rectangle<int>> headings[] = {
        { "group label", "Grp", "Cut group", { 112, 0, 56, 24 } },
        { "sample label", "Sample", "Sample filename", { 160, 0, 344, 24 } },
        { "pitch label", "Pitch", "Pitch shift in semitones", { 512, 0, 56, 24 } },
        { "decay label", "Decay", "Decay amount", { 568, 0, 56, 24 } },
        { "pan label", "Pan", "Pan amount", { 626, 0, 56, 24 } },
        { "level label", "Level", "Level in dB", { 684, 0, 104, 24 } },
        { "out label", "Out", "Output routing", { 792, 0, 47, 24 } },
    };

    // Creation order: the sample heading lies over the 8 px it shares with "Grp".
    ASSERT_EQ (legend.getNumChildComponents(), 7);
    int i = 0;
    for (const auto& [name, text, tooltip, bounds] : headings)
    {
        auto* label = dynamic_cast<juce::Label*> (legend.getChildComponent (i++));
        ASSERT_NE (label, nullptr) << name;
        EXPECT_EQ (label->getName(), name);
        EXPECT_EQ (label->getText(), text);
        EXPECT_EQ (label->getTooltip(), tooltip);
        EXPECT_EQ (label->getBounds(), bounds) << name;
        EXPECT_TRUE (label->isVisible()) << name;
        EXPECT_FLOAT_EQ (label->getFont().getHeight(), 15.0f) << name;
        EXPECT_EQ (label->getFont().getTypefaceStyle(), "Regular") << name;
        EXPECT_EQ (label->getJustificationType(), juce::Justification::centredLeft) << name;
        // No editor on any click; text and ground are the palette's.
        EXPECT_FALSE (label->isEditableOnSingleClick() || label->isEditableOnDoubleClick() ||
                      label->doesLossOfFocusDiscardChanges())
            << name;
        EXPECT_FALSE (label->isColourSpecified (juce::Label::textColourId) ||
                      label->isColourSpecified (juce::Label::backgroundColourId))
            << name;
    }
}
