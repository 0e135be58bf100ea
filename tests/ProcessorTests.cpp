#include "engine/PluginProcessor.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace
{
using Layout = juce::AudioProcessor::BusesLayout;

Layout outputs (std::initializer_list<juce::AudioChannelSet> buses)
{
    Layout layout;
    for (const auto& bus : buses)
        layout.outputBuses.add (bus);
    return layout;
}

Layout stereoOutputs (int count)
{
    Layout layout;
    for (int i = 0; i < count; ++i)
        layout.outputBuses.add (juce::AudioChannelSet::stereo());
    return layout;
}
} // namespace

TEST (Processor, IdentityAsTheHostSeesIt)
{
    BolvanePluginAudioProcessor processor;

    EXPECT_EQ (processor.getName(), "QM-70");
    EXPECT_TRUE (processor.acceptsMidi());
    EXPECT_FALSE (processor.producesMidi());
    EXPECT_FALSE (processor.isMidiEffect());
    EXPECT_EQ (processor.getTailLengthSeconds(), 0.0);
    EXPECT_TRUE (processor.hasEditor());
    EXPECT_TRUE (processor.getParameters().isEmpty());
    EXPECT_EQ (processor.getLatencySamples(), 0);
    EXPECT_FALSE (processor.supportsDoublePrecisionProcessing());
}

TEST (Processor, DeclaresSixEnabledStereoOutputsAndNoInput)
{
    BolvanePluginAudioProcessor processor;

    EXPECT_EQ (processor.getBusCount (true), 0);
    ASSERT_EQ (processor.getBusCount (false), 6);
    for (int i = 0; i < 6; ++i)
    {
        const auto* bus = processor.getBus (false, i);
        EXPECT_EQ (bus->getName(), "Output #" + juce::String (i + 1));
        EXPECT_EQ (bus->getDefaultLayout(), juce::AudioChannelSet::stereo());
        EXPECT_TRUE (bus->isEnabled());
    }
    EXPECT_EQ (processor.getTotalNumOutputChannels(), 12);
    EXPECT_FALSE (processor.canAddBus (false));
    EXPECT_FALSE (processor.canRemoveBus (false));
}

TEST (Processor, AcceptsOneOrSixStereoOutputsAndNothingElse)
{
    BolvanePluginAudioProcessor processor;
    const auto stereo = juce::AudioChannelSet::stereo();
    const auto mono = juce::AudioChannelSet::mono();
    const auto disabled = juce::AudioChannelSet::disabled();

    struct Case
    {
        const char* what;
        Layout layout;
        bool accepted;
    };

    const Case cases[] = {
        { "one stereo", stereoOutputs (1), true },
        { "six stereo", stereoOutputs (6), true },
        { "two discrete channels", outputs ({ juce::AudioChannelSet::discreteChannels (2) }), true },
        { "no outputs", stereoOutputs (0), false },
        { "two stereo", stereoOutputs (2), false },
        { "three stereo", stereoOutputs (3), false },
        { "four stereo", stereoOutputs (4), false },
        { "five stereo", stereoOutputs (5), false },
        { "seven stereo", stereoOutputs (7), false },
        { "one mono", outputs ({ mono }), false },
        { "one three-channel", outputs ({ juce::AudioChannelSet::createLCR() }), false },
        { "six with a mono", outputs ({ stereo, stereo, stereo, mono, stereo, stereo }), false },
        { "six with a disabled", outputs ({ stereo, stereo, stereo, stereo, stereo, disabled }), false },
        { "six with a 5.1",
          outputs ({ juce::AudioChannelSet::create5point1(), stereo, stereo, stereo, stereo, stereo }), false },
    };

    for (const auto& c : cases)
        EXPECT_EQ (processor.isBusesLayoutSupported (c.layout), c.accepted) << c.what;

    // The input side is not looked at.
    auto withInput = stereoOutputs (6);
    withInput.inputBuses.add (mono);
    EXPECT_TRUE (processor.isBusesLayoutSupported (withInput));
}

TEST (Processor, LightHoldIsTheWholeNumberOfBlocksInAQuarterSecond)
{
    BolvanePluginAudioProcessor processor;
    EXPECT_EQ (processor.audioRenderer.lightHoldBlocks.load(), 20);

    struct Case
    {
        double rate;
        int block;
        int hold;
    };

    const Case cases[] = {
        { 44100.0, 512, 20 },
        { 48000.0, 512, 22 }, // 22.5 truncated, not rounded
        { 48000.0, 480, 24 },
        { 96000.0, 64, 360 },
        { 44100.0, 16384, 0 },
        { 44100.0, 10584, 1 }, // exactly 0.24 s per block
        // Arguments without a whole-number quotient still give a hold of 0..INT_MAX.
        { 44100.0, 0, 0 },
        { 44100.0, -512, 0 },
        { -44100.0, 512, 0 },
        { 1.0e300, 1, INT_MAX },
        { std::numeric_limits<double>::infinity(), 512, INT_MAX },
        { std::numeric_limits<double>::quiet_NaN(), 512, 0 },
    };

    for (const auto& c : cases)
    {
        processor.prepareToPlay (c.rate, c.block);
        EXPECT_EQ (processor.audioRenderer.lightHoldBlocks.load(), c.hold) << c.rate << " Hz, " << c.block;
    }
}

TEST (Processor, PrepareToPlaySetsTheRateForLaterLoads)
{
    BolvanePluginAudioProcessor processor;
    EXPECT_EQ (processor.sampleBufferHandler.sampleRate.load(), 44100.0);
    processor.prepareToPlay (48000.0, 512);
    EXPECT_EQ (processor.sampleBufferHandler.sampleRate.load(), 48000.0);
    processor.releaseResources();
    EXPECT_EQ (processor.sampleBufferHandler.sampleRate.load(), 48000.0);
}

TEST (Processor, HasOneUnnamedProgram)
{
    BolvanePluginAudioProcessor processor;

    EXPECT_EQ (processor.getNumPrograms(), 1);
    EXPECT_EQ (processor.getCurrentProgram(), 0);
    processor.setCurrentProgram (3);
    EXPECT_EQ (processor.getCurrentProgram(), 0);
    EXPECT_EQ (processor.getProgramName (0), "");
    EXPECT_EQ (processor.getProgramName (7), "");
    processor.changeProgramName (0, "Kit");
    EXPECT_EQ (processor.getProgramName (0), "");
}

TEST (Processor, InstallsItsLookAndFeelAsTheDefaultUntilDestroyed)
{
    auto& frameworkDefault = juce::LookAndFeel::getDefaultLookAndFeel();
    {
        BolvanePluginAudioProcessor first;
        EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), &first.lookAndFeel);
        {
            BolvanePluginAudioProcessor second;
            EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), &second.lookAndFeel);
        }
        // Destroying any instance hands the default back to the framework.
        EXPECT_NE (&juce::LookAndFeel::getDefaultLookAndFeel(), &first.lookAndFeel);
    }
    EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), &frameworkDefault);
}

TEST (Processor, RendersSilenceIntoEveryChannelOfABlock)
{
    BolvanePluginAudioProcessor processor;
    processor.prepareToPlay (48000.0, 256);

    juce::AudioBuffer<float> buffer (12, 256);
    for (int c = 0; c < 12; ++c)
        juce::FloatVectorOperations::fill (buffer.getWritePointer (c), 0.5f, 256);
    juce::MidiBuffer midi;
    processor.processBlock (buffer, midi);

    for (int c = 0; c < 12; ++c)
        EXPECT_EQ (buffer.getMagnitude (c, 0, 256), 0.0f) << "channel " << c;
}
