#include "DisplayLikeAHost.h"
#include "UserStory.h"

#include <gtest/gtest.h>

#include <cstring>

TEST (UserStory, AKitSetUpThroughTheRowsPlaysTheSameAfterReloadingInAFreshInstance)
{
    if (! testing_support::displayLikeAHost())
        GTEST_SKIP() << "the browse dialog needs a display";

    const testing_support::TempFolder folder;
    const user_story::Kit kit (folder.get());
    padrow_support::OpenEditor host;
    host.processor.prepareToPlay (48000.0, 256);
    host.open();
    ASSERT_TRUE (user_story::loadAndSetUp (host, kit, true));

    // What the widgets did, in model units.
    EXPECT_EQ (host.pad (0).samplePath, kit.path ("kick.wav"));
    EXPECT_EQ (host.pad (1).samplePath, kit.path ("snare.wav"));
    EXPECT_EQ (host.pad (2).samplePath, kit.path ("hat.aif"));
    EXPECT_EQ (host.pad (0).pitch, -7);
    EXPECT_EQ (host.pad (0).level, -8);
    EXPECT_EQ (host.pad (1).pan, -10);
    EXPECT_EQ (host.pad (1).output, 2);
    EXPECT_EQ (host.pad (1).cutGroup, 0);
    EXPECT_EQ (host.pad (2).cutGroup, 0);
    EXPECT_EQ (host.pad (2).decay, 60);
    for (int pad = 0; pad < 3; ++pad)
        EXPECT_TRUE (host.processor.editorWrapper.sampleLoaded[(size_t) pad].load()) << "pad " << pad;

    const auto played = user_story::play (host.processor, user_story::notes(), 6000);
    EXPECT_GT (played.getMagnitude (4, 200, 700), 0.0f) << "the snare plays on output 3";
    EXPECT_EQ (played.getMagnitude (4, 900, 5100), 0.0f) << "the hat, in its group, cut the snare";

    juce::MemoryBlock state;
    host.processor.getStateInformation (state);

    BolvanePluginAudioProcessor fresh;
    fresh.prepareToPlay (48000.0, 256);
    fresh.setStateInformation (state.getData(), (int) state.getSize());
    const auto replayed = user_story::play (fresh, user_story::notes(), 6000);

    for (int channel = 0; channel < 12; ++channel)
        EXPECT_EQ (
            std::memcmp (played.getReadPointer (channel), replayed.getReadPointer (channel), sizeof (float) * 6000), 0)
            << "channel " << channel;

    juce::MemoryBlock saved;
    fresh.getStateInformation (saved);
    EXPECT_EQ (saved, state);
}
