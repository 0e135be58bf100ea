#include "editor/PadLegendComponent.h"

#include <gtest/gtest.h>

TEST (PadLegend, SevenFixedHeadingsWithTooltipsOverTheRowColumns)
{
    PadLegendComponent legend;
    EXPECT_EQ (legend.getBounds(), juce::Rectangle<int> (0, 0, 832, 24));

    const struct
    {
        const char* name;
        const char* text;
        const char* tooltip;
        juce::Rectangle<int> bounds;
    } headings[] = {
        { "group label", "Grp", "Cut group", { 112, 0, 56, 24 } },
        { "sample label", "Sample", "Sample filename", { 160, 0, 344, 24 } },
        { "pitch label", "Pitch", "Pitch shift in semitones", { 512, 0, 56, 24 } },
        { "decay label", "Decay", "Decay amount", { 568, 0, 56, 24 } },
        { "pan label", "Pan", "Pan amount", { 626, 0, 56, 24 } },
        { "level label", "Level", "Level in dB", { 684, 0, 104, 24 } },
        { "out label", "Out", "Output routing", { 792, 0, 47, 24 } },
    };

    // Children in creation order: the sample heading lies over the 8 px it shares with "Grp".
    ASSERT_EQ (legend.getNumChildComponents(), 7);
    for (int i = 0; i < 7; ++i)
    {
        const auto& heading = headings[i];
        auto* label = dynamic_cast<juce::Label*> (legend.getChildComponent (i));
        ASSERT_NE (label, nullptr) << heading.name;

        EXPECT_EQ (label->getName(), heading.name);
        EXPECT_EQ (label->getText(), heading.text);
        EXPECT_EQ (label->getTooltip(), heading.tooltip);
        EXPECT_EQ (label->getBounds(), heading.bounds) << heading.name;
        EXPECT_TRUE (label->isVisible());

        EXPECT_FALSE (label->isEditableOnSingleClick()) << heading.name;
        EXPECT_FALSE (label->isEditableOnDoubleClick()) << heading.name;
        EXPECT_FALSE (label->doesLossOfFocusDiscardChanges()) << heading.name;

        EXPECT_FLOAT_EQ (label->getFont().getHeight(), 15.0f);
        EXPECT_EQ (label->getFont().getTypefaceStyle(), "Regular");
        EXPECT_EQ (label->getJustificationType(), juce::Justification::centredLeft);

        // Only the never-opened editor's colours are the label's own; the rest is the palette's.
        EXPECT_EQ (label->findColour (juce::TextEditor::textColourId), juce::Colours::black);
        EXPECT_EQ (label->findColour (juce::TextEditor::backgroundColourId).getARGB(), 0x00000000u);
        EXPECT_FALSE (label->isColourSpecified (juce::Label::textColourId));
        EXPECT_FALSE (label->isColourSpecified (juce::Label::backgroundColourId));
    }
}

TEST (PadLegend, PaintsNoBackgroundOfItsOwn)
{
    PadLegendComponent legend;
    // Labels have no text colour of their own: make the text invisible, leaving what the legend
    // itself would paint.
    juce::LookAndFeel_V4 clearText;
    clearText.setColour (juce::Label::textColourId, juce::Colour (0x00000000));
    clearText.setColour (juce::Label::backgroundColourId, juce::Colour (0x00000000));
    legend.setLookAndFeel (&clearText);

    const juce::Image image = legend.createComponentSnapshot (legend.getLocalBounds(), true, 1.0f);
    int painted = 0;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            painted += image.getPixelAt (x, y).getAlpha() != 0 ? 1 : 0;
    EXPECT_EQ (painted, 0);

    legend.setLookAndFeel (nullptr);
}
