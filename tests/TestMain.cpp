#include <gtest/gtest.h>

#include <juce_events/juce_events.h>

// Tests run on the message thread, as the editor and the plug-in's timers expect.
int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    const juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
