#include "HostSupport.h"

#include <gtest/gtest.h>

#include <juce_audio_processors/juce_audio_processors.h>

#include <cmath>

// The built bundles, loaded through JUCE's hosting classes as a DAW would load them.
namespace
{
std::unique_ptr<juce::AudioPluginInstance> loadVst3()
{
    return host_support::load (host_support::Kind::vst3, 48000.0, 512);
}

juce::AudioProcessor::BusesLayout stereoOutputs (int enabled, int total)
{
    juce::AudioProcessor::BusesLayout layout;
    for (int i = 0; i < total; ++i)
        layout.outputBuses.add (i < enabled ? juce::AudioChannelSet::stereo() : juce::AudioChannelSet::disabled());
    return layout;
}
} // namespace

TEST (HostedVst3, DescribesAnInstrumentWithSixStereoOutputs)
{
    juce::VST3PluginFormat format;
    juce::OwnedArray<juce::PluginDescription> types;
    format.findAllTypesForFile (types, QM70_VST3_BUNDLE);
    ASSERT_EQ (types.size(), 1);

    const auto& description = *types[0];
    EXPECT_EQ (description.name, "QM-70");
    EXPECT_EQ (description.version, "1.1.0");
    EXPECT_TRUE (description.isInstrument);
    EXPECT_EQ (description.numInputChannels, 0);
    EXPECT_EQ (description.numOutputChannels, 12);

    auto plugin = loadVst3();
    ASSERT_NE (plugin, nullptr);
    EXPECT_EQ (plugin->getName(), "QM-70");
    EXPECT_TRUE (plugin->acceptsMidi());
    EXPECT_FALSE (plugin->producesMidi());
    // The plug-in has no parameters of its own: the host sees only the VST3 wrapper's bypass,
    // and its hidden controller stand-ins, which are not automatable.
    juce::StringArray automatable;
    for (auto* parameter : plugin->getParameters())
        if (parameter->isAutomatable())
            automatable.add (parameter->getName (100));
    EXPECT_EQ (automatable, juce::StringArray ("Bypass"));
    EXPECT_EQ (plugin->getBusCount (true), 0);
    ASSERT_EQ (plugin->getBusCount (false), 6);
    for (int i = 0; i < 6; ++i)
    {
        EXPECT_EQ (plugin->getBus (false, i)->getName(), "Output #" + juce::String (i + 1));
        EXPECT_EQ (plugin->getBus (false, i)->getCurrentLayout(), juce::AudioChannelSet::stereo());
    }
}

TEST (HostedVst3, AcceptsOnlyStereoOutputBuses)
{
    auto plugin = loadVst3();
    ASSERT_NE (plugin, nullptr);

    EXPECT_TRUE (plugin->checkBusesLayoutSupported (stereoOutputs (6, 6)));

    auto withMono = stereoOutputs (6, 6);
    withMono.outputBuses.getReference (2) = juce::AudioChannelSet::mono();
    EXPECT_FALSE (plugin->checkBusesLayoutSupported (withMono));

    auto withSurround = stereoOutputs (6, 6);
    withSurround.outputBuses.getReference (0) = juce::AudioChannelSet::create5point1();
    EXPECT_FALSE (plugin->checkBusesLayoutSupported (withSurround));

    // VST3 has a fixed bus count: a host that wants one stereo output switches the other five off.
    EXPECT_TRUE (plugin->setBusesLayout (stereoOutputs (1, 6)));
    EXPECT_TRUE (plugin->getBus (false, 0)->isEnabled());
}

TEST (HostedVst3, RendersABlockOfFiniteAudio)
{
    auto plugin = loadVst3();
    ASSERT_NE (plugin, nullptr);
    plugin->prepareToPlay (48000.0, 512);

    juce::AudioBuffer<float> buffer (plugin->getTotalNumOutputChannels(), 512);
    for (int c = 0; c < buffer.getNumChannels(); ++c)
        juce::FloatVectorOperations::fill (buffer.getWritePointer (c), 0.25f, 512);
    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::noteOn (1, 36, (juce::uint8) 100), 10);
    plugin->processBlock (buffer, midi);

    // No sample is loaded: every pad is silent, and the host's junk is cleared.
    for (int c = 0; c < buffer.getNumChannels(); ++c)
        EXPECT_EQ (buffer.getMagnitude (c, 0, 512), 0.0f) << "channel " << c;

    plugin->releaseResources();
}
