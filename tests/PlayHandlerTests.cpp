#include "TestSupport.h"

#include "editor/PluginEditor.h"
#include "engine/PluginProcessor.h"

#include <gtest/gtest.h>

// Long enough for two ticks of the 50 ms timer.
constexpr int twoTicksMs = 120;

TEST (PlayHandler, AClickWaitsForABlockAndPlayButtonsShowTheLightCountersAtEveryTick)
{
    BolvanePluginAudioProcessor processor;
    auto& pads = processor.audioRenderer.pads;
    std::unique_ptr<BolvanePluginAudioProcessorEditor> editor;
    const auto playButtonColour = [&] (int pad)
    {
        for (auto* child : editor->drumPads[(size_t) pad].getChildren())
            if (child->getName() == "play button")
                return child->findColour (juce::TextButton::buttonColourId);
        ADD_FAILURE() << "row " << pad << " has no play button";
        return juce::Colour();
    };

    // Without an editor the ticks touch nothing, and with no block processed the last click waits.
    processor.playHandler.playPad (2);
    processor.playHandler.playPad (7);
    pads[3].lightCounter.store (5);
    testing_support::runMessageLoop (twoTicksMs);
    EXPECT_EQ (processor.audioRenderer.pendingPadTrigger.load(), 7);

    // An editor opened later catches up at its first tick.
    editor.reset (static_cast<BolvanePluginAudioProcessorEditor*> (processor.createEditor()));
    pads[11].lightCounter.store (1);
    testing_support::runMessageLoop (twoTicksMs);
    for (int pad = 0; pad < 12; ++pad)
        EXPECT_EQ (playButtonColour (pad), pad == 3 || pad == 11 ? PLAYING_COLOUR : BUTTON_COLOUR) << pad;

    pads[3].lightCounter.store (0);
    testing_support::runMessageLoop (twoTicksMs);
    EXPECT_EQ (playButtonColour (3), BUTTON_COLOUR);
    EXPECT_EQ (playButtonColour (11), PLAYING_COLOUR);

    editor.reset();
    testing_support::runMessageLoop (twoTicksMs);
}
