#include <gtest/gtest.h>

#include <juce_audio_processors/juce_audio_processors.h>

// The host's message thread is this one, as in a DAW.
int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    const juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
