#include "TestSupport.h"

#include "editor/PluginEditor.h"
#include "engine/PluginProcessor.h"

#include <gtest/gtest.h>

namespace
{
juce::Colour playButtonColour (BolvanePluginAudioProcessorEditor& editor, int pad)
{
    for (auto* child : editor.drumPads[(size_t) pad].getChildren())
        if (child->getName() == "play button")
            return child->findColour (juce::TextButton::buttonColourId);
    ADD_FAILURE() << "row " << pad << " has no play button";
    return {};
}

// Long enough for two ticks of the 50 ms timer.
constexpr int twoTicksMs = 120;
} // namespace

TEST (PlayHandler, ALaterClickOverwritesOneNotYetStarted)
{
    BolvanePluginAudioProcessor processor;
    processor.playHandler.playPad (2);
    processor.playHandler.playPad (7);
    EXPECT_EQ (processor.audioRenderer.pendingPadTrigger.load(), 7);

    // With no block processed the click stays pending.
    testing_support::runMessageLoop (twoTicksMs);
    EXPECT_EQ (processor.audioRenderer.pendingPadTrigger.load(), 7);
}

TEST (PlayHandler, PlayButtonsShowTheLightCountersAtEveryTick)
{
    BolvanePluginAudioProcessor processor;
    auto& pads = processor.audioRenderer.pads;

    // Without an editor the timer runs and touches nothing.
    pads[3].lightCounter.store (5);
    testing_support::runMessageLoop (twoTicksMs);

    std::unique_ptr<BolvanePluginAudioProcessorEditor> editor (
        static_cast<BolvanePluginAudioProcessorEditor*> (processor.createEditor()));
    pads[11].lightCounter.store (1);
    testing_support::runMessageLoop (twoTicksMs);

    for (int pad = 0; pad < 12; ++pad)
        EXPECT_EQ (playButtonColour (*editor, pad), pad == 3 || pad == 11 ? PLAYING_COLOUR : BUTTON_COLOUR) << pad;

    pads[3].lightCounter.store (0);
    testing_support::runMessageLoop (twoTicksMs);
    EXPECT_EQ (playButtonColour (*editor, 3), BUTTON_COLOUR);
    EXPECT_EQ (playButtonColour (*editor, 11), PLAYING_COLOUR);

    // Closed again: the ticks go on without a window to colour.
    editor.reset();
    EXPECT_EQ (processor.editorWrapper.editor, nullptr);
    testing_support::runMessageLoop (twoTicksMs);
}
