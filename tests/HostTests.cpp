#include "DisplayLikeAHost.h"
#include "HostSupport.h"

#include <gtest/gtest.h>

#include <juce_audio_processors/juce_audio_processors.h>

#include <cmath>
#include <cstring>

// The built bundles, loaded through JUCE's hosting classes as a DAW would load them.
namespace
{
std::unique_ptr<juce::AudioPluginInstance> loadVst3()
{
    return host_support::load (host_support::Kind::vst3, 48000.0, 512);
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

    EXPECT_TRUE (plugin->checkBusesLayoutSupported (host_support::stereoBuses (6)));

    auto withMono = host_support::stereoBuses (6);
    withMono.outputBuses.getReference (2) = juce::AudioChannelSet::mono();
    EXPECT_FALSE (plugin->checkBusesLayoutSupported (withMono));

    auto withSurround = host_support::stereoBuses (6);
    withSurround.outputBuses.getReference (0) = juce::AudioChannelSet::create5point1();
    EXPECT_FALSE (plugin->checkBusesLayoutSupported (withSurround));

    // VST3 has a fixed bus count: a host that wants one stereo output switches the other five off.
    EXPECT_TRUE (plugin->setBusesLayout (host_support::stereoBuses (1)));
    EXPECT_TRUE (plugin->getBus (false, 0)->isEnabled());
}

namespace
{
using namespace host_support;

// The pan law at the centre, written out: sqrt (cos (pi/4) * ((pi/2 - pi/4) * 2/pi)).
double centreGain()
{
    const double angle = 0.7853981633974483;
    return std::sqrt (std::cos (angle) * ((1.5707963267948966 - angle) * 0.6366197723675814));
}

// Where a user story leaves the kit: three samples, one at another rate, with pitch, pan, level, a
// cut group and outputs set.
struct Kit
{
    Kit()
    {
        std::vector<float> kick (4000), snare (3000), hat (1500);
        for (size_t i = 0; i < kick.size(); ++i)
            kick[i] = (float) std::sin (0.02 * (double) i) * 0.9f;
        for (size_t i = 0; i < snare.size(); ++i)
            snare[i] = (float) ((int) (i * 7919 % 200) - 100) / 120.0f;
        for (size_t i = 0; i < hat.size(); ++i)
            hat[i] = (i % 2 == 0 ? 0.3f : -0.3f);
        writeWav (folder.folder.getChildFile ("kick.wav"), kick, 48000.0);
        writeWav (folder.folder.getChildFile ("snare.wav"), snare, 44100.0);
        writeWav (folder.folder.getChildFile ("hat.wav"), hat, 48000.0);

        std::vector<Pad> pads (12);
        pads[0].samplePath = path ("kick.wav");
        pads[0].level = -6;
        pads[1].samplePath = path ("snare.wav");
        pads[1].pitch = 5;
        pads[1].pan = -10;
        pads[1].output = 2;
        pads[2].samplePath = path ("hat.wav");
        pads[2].cutGroup = 0;
        pads[2].decay = 60;
        pads[3].samplePath = path ("hat.wav");
        pads[3].cutGroup = 0;
        pads[3].pitch = -7;
        text = stateText (pads, folder.folder.getFullPathName().toStdString());

        events.addEvent (juce::MidiMessage::noteOn (1, 36, (juce::uint8) 127), 0);
        events.addEvent (juce::MidiMessage::noteOn (10, 37, (juce::uint8) 90), 300);
        events.addEvent (juce::MidiMessage::noteOn (1, 38, (juce::uint8) 100), 700);
        events.addEvent (juce::MidiMessage::noteOn (1, 39, (juce::uint8) 64), 1100); // cuts pad 2
        events.addEvent (juce::MidiMessage::noteOn (1, 48, (juce::uint8) 127), 2500);
    }

    std::string path (const char* name) const
    {
        return folder.folder.getChildFile (name).getFullPathName().toStdString();
    }

    TempFolder folder;
    std::string text;
    juce::MidiBuffer events;
};

bool sameAudio (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b)
{
    if (a.getNumChannels() != b.getNumChannels() || a.getNumSamples() != b.getNumSamples())
        return false;
    for (int c = 0; c < a.getNumChannels(); ++c)
        if (std::memcmp (a.getReadPointer (c), b.getReadPointer (c), sizeof (float) * (size_t) a.getNumSamples()) != 0)
            return false;
    return true;
}

std::unique_ptr<juce::AudioPluginInstance> preparedInstance (Kind kind)
{
    auto plugin = load (kind, 48000.0, 256);
    if (plugin != nullptr)
        plugin->prepareToPlay (48000.0, 256);
    return plugin;
}
} // namespace

TEST (HostedVst3, PlaysASampleToTheBitOnThePadsOutput)
{
    const TempFolder folder;
    writeWav (folder.folder.getChildFile ("half.wav"), std::vector<float> (100, 0.5f), 48000.0);
    std::vector<Pad> pads (12);
    pads[0].samplePath = folder.folder.getChildFile ("half.wav").getFullPathName().toStdString();
    pads[0].output = 3;

    auto plugin = preparedInstance (Kind::vst3);
    ASSERT_NE (plugin, nullptr);
    restoreText (Kind::vst3, *plugin, stateText (pads));

    juce::MidiBuffer events;
    events.addEvent (juce::MidiMessage::noteOn (5, 72, (juce::uint8) 127), 10);
    const auto audio = render (*plugin, events, 512, 256);

    // Unity gain, centre pan, no decay, velocity 127: each output sample is the source sample
    // through the pan law, rounded to float.
    const float expected = (float) ((double) 0.5f * centreGain() * 1.0);
    for (int c = 0; c < audio.getNumChannels(); ++c)
        for (int i = 0; i < 512; ++i)
            ASSERT_EQ (audio.getSample (c, i), (c == 6 || c == 7) && i >= 10 && i < 110 ? expected : 0.0f)
                << "channel " << c << ", sample " << i;
}

TEST (HostedVst3, ARestoredStatePlaysAndSavesAsTheSavedOne)
{
    const Kit kit;
    auto plugin = preparedInstance (Kind::vst3);
    ASSERT_NE (plugin, nullptr);
    restoreText (Kind::vst3, *plugin, kit.text);
    const auto played = render (*plugin, kit.events, 4096, 256);
    EXPECT_GT (played.getMagnitude (4, 0, 4096), 0.0f) << "the snare plays on output 3";

    juce::MemoryBlock saved;
    plugin->getStateInformation (saved);
    const auto savedText = unwrapState (Kind::vst3, saved);

    // Changed: different sounds, settings and folder.
    std::vector<Pad> other (12);
    other[0].samplePath = kit.path ("hat.wav");
    other[0].pan = 25;
    restoreText (Kind::vst3, *plugin, stateText (other, "/tmp"));
    EXPECT_FALSE (sameAudio (render (*plugin, kit.events, 4096, 256), played));

    // Back, in the same instance and in a fresh one.
    plugin->setStateInformation (saved.getData(), (int) saved.getSize());
    EXPECT_TRUE (sameAudio (render (*plugin, kit.events, 4096, 256), played));
    EXPECT_EQ (saveText (Kind::vst3, *plugin), savedText);

    auto fresh = preparedInstance (Kind::vst3);
    ASSERT_NE (fresh, nullptr);
    fresh->setStateInformation (saved.getData(), (int) saved.getSize());
    EXPECT_TRUE (sameAudio (render (*fresh, kit.events, 4096, 256), played));
    EXPECT_EQ (saveText (Kind::vst3, *fresh), savedText);
}

TEST (HostedFormats, ARestoredProjectSoundsTheSameInVst3AndLv2WhicheverComesFirst)
{
    const Kit kit;
    auto vst3 = preparedInstance (Kind::vst3);
    ASSERT_NE (vst3, nullptr);
    restoreText (Kind::vst3, *vst3, kit.text);
    const auto reference = render (*vst3, kit.events, 4096, 256);

    // As a host reopens a project: the state first, then prepareToPlay (which JUCE's LV2 host
    // answers by building the plug-in anew and restoring the state into it).
    for (const auto kind : { Kind::vst3, Kind::lv2 })
    {
        SCOPED_TRACE (nameOf (kind));
        auto plugin = load (kind, 48000.0, 256);
        ASSERT_NE (plugin, nullptr);
        restoreText (kind, *plugin, kit.text);
        plugin->prepareToPlay (48000.0, 256);
        EXPECT_TRUE (sameAudio (render (*plugin, kit.events, 4096, 256), reference));
    }
}

TEST (HostedVst3, EditorOpensAtItsSizeAndCloses)
{
    if (! testing_support::displayLikeAHost())
        GTEST_SKIP() << "needs a display";

    auto plugin = preparedInstance (Kind::vst3);
    ASSERT_NE (plugin, nullptr);
    for (int round = 0; round < 2; ++round)
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (plugin->createEditorIfNeeded());
        ASSERT_NE (editor, nullptr);
        juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
        EXPECT_EQ (editor->getWidth(), 852);
        EXPECT_EQ (editor->getHeight(), 466);
    }
}
