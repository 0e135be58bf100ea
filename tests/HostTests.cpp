#include <gtest/gtest.h>
#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_audio_processors/juce_audio_processors.h>

// The built bundles, loaded through JUCE's own hosting as a DAW loads them. HOME is the test's own.
namespace
{
// The formats built, each as "is it LV2": one left out of the build has an empty bundle path.
const std::vector<bool> formats = *QM70_LV2_BUNDLE == 0    ? std::vector<bool>{ false }
                                  : *QM70_VST3_BUNDLE == 0 ? std::vector<bool>{ true }
                                                           : std::vector<bool>{ false, true };
std::unique_ptr<juce::AudioPluginInstance> load (bool lv2, double rate, int block)
{
    // One lilv world per process, made once the bundle is in ~/.lv2, where it looks first.
    static juce::LV2PluginFormat lv2Format =
        (juce::File (QM70_LV2_BUNDLE).copyDirectoryTo (juce::File ("~/.lv2/qm70.lv2")), juce::LV2PluginFormat());
    juce::VST3PluginFormat vst3Format;
    auto& format = lv2 ? static_cast<juce::AudioPluginFormat&> (lv2Format) : vst3Format;
    juce::OwnedArray<juce::PluginDescription> types;
    format.findAllTypesForFile (types, lv2 ? "https://www.varnolt.example/plugins/qm70" : QM70_VST3_BUNDLE);
    return types.isEmpty() ? nullptr : format.createInstanceFromDescription (*types[0], rate, block);
}
// Restores a state text through the host, inside the host's own state: in base64 after <IComponent>
// in JUCE's VST3 host's XML, between the state string's quotes in its LV2 host's Turtle.
void restore (bool lv2, juce::AudioPluginInstance& plugin, const std::string& text)
{
    juce::MemoryBlock block;
    plugin.getStateInformation (block);
    auto state = lv2 ? block.toString()
                     : juce::AudioProcessor::getXmlFromBinary (block.getData(), (int) block.getSize())->toString();
    const juce::String key = lv2 ? "StateString> \"" : "<IComponent>";
    const int start = state.indexOf (key) + key.length(), end = state.indexOf (start, lv2 ? "\"" : "<");
    state = state.replaceSection (start, end - start, juce::MemoryBlock (text.data(), text.size()).toBase64Encoding());
    lv2 ? block.replaceAll (state.toRawUTF8(), state.getNumBytesAsUTF8())
        : juce::AudioProcessor::copyXmlToBinary (*juce::parseXML (state), block);
    plugin.setStateInformation (block.getData(), (int) block.getSize());
}
// One block of 8192 samples through the host, each of them finite; every output channel in turn.
std::vector<float> render (juce::AudioPluginInstance& plugin, juce::MidiBuffer events)
{
    juce::AudioBuffer<float> out (12, 8192);
    plugin.processBlock (out, events);
    std::vector<float> all;
    for (int c = 0; c < 12; ++c)
        all.insert (all.end(), out.getReadPointer (c), out.getReadPointer (c) + 8192);
    EXPECT_TRUE (std::isfinite (std::accumulate (all.begin(), all.end(), 0.0)));
    return all;
}
} // namespace

TEST (HostedBundles, DescribeAnInstrumentWithSixStereoOutputsAndOpenTheEditor)
{
    for (const bool lv2 : formats)
    {
        SCOPED_TRACE (lv2 ? "LV2" : "VST3");
        const auto plugin = load (lv2, 48000.0, 256);
        ASSERT_NE (plugin, nullptr);
        const auto about = plugin->getPluginDescription();
        EXPECT_EQ (std::tuple (about.name, about.isInstrument, about.numInputChannels, about.numOutputChannels),
                   std::tuple (juce::String ("QM-70"), true, 0, 12));
        EXPECT_TRUE (lv2 || about.version == "1.1.0"); // JUCE's LV2 host reads no version
        ASSERT_EQ (plugin->getBusCount (false), 6);
        for (int bus = 0; bus < 6; ++bus)
            EXPECT_EQ (plugin->getBus (false, bus)->getName(), "Output #" + juce::String (bus + 1));
        if (lv2) // JUCE's LV2 host can neither switch ports off nor show this editor
            continue;
        auto layout = plugin->getBusesLayout();
        for (int bus = 1; bus < 6; ++bus)
            layout.outputBuses.getReference (bus) = juce::AudioChannelSet::disabled();
        EXPECT_TRUE (plugin->setBusesLayout (layout)); // one stereo output kept, the other five off
        if (juce::Desktop::getInstance().getDisplays().getPrimaryDisplay() != nullptr) // else no window to show
            EXPECT_EQ (std::unique_ptr<juce::AudioProcessorEditor> (plugin->createEditorIfNeeded())->getBounds(),
                       juce::Rectangle<int> (852, 466));
    }
}

// A project reopened: state, then prepareToPlay, which JUCE's LV2 host answers by rebuilding the plug-in
// with its state; unusable rates change nothing. A save returns after a hostile state, and into a new one.
TEST (HostedBundles, PlayAtTheHostRateToTheBitAndComeBackWholeFromASavedState)
{
    std::vector<float> kick (3000), expected (12 * 8192);
    for (size_t i = 0; i < kick.size(); ++i)
        kick[i] = (float) std::cos (0.02 * (double) i) * (float) (kick.size() - i) / 4096.0f;
    // At 96 kHz a 48 kHz file steps half a source sample: interpolated, rounded to float, then the pan
    // law at the centre times the level's 0.5, on the third stereo output from the note on.
    for (size_t n = 0; n < 6000; ++n)
    {
        const double s0 = kick[n / 2], s1 = n / 2 + 1 < 3000 ? kick[n / 2 + 1] : 0.0, f = n % 2 * 0.5;
        expected[4 * 8192 + 230 + n] = expected[5 * 8192 + 230 + n] =
            (float) ((double) (float) (s1 * f + s0 * (1.0 - f)) * (0.5946035575013605 * 0.5));
    }
    const auto file = juce::File ("~/kick.wav");
    std::unique_ptr<juce::AudioFormatWriter> (
        juce::WavAudioFormat().createWriterFor (new juce::FileOutputStream (file), 48000.0, 1, 32, {}, 0))
        ->writeFromFloatArrays (std::array<const float*, 1>{ kick.data() }.data(), 1, (int) kick.size());
    const auto project = "<BolvaneState><DrumPad SamplePath=\"" + file.getFullPathName().toStdString() +
                         "\" Level=\"-12\" Output=\"2\"/></BolvaneState>";
    juce::MidiBuffer note;
    note.addEvent (juce::MidiMessage::noteOn (10, 36, (juce::uint8) 127), 230);
    for (const bool lv2 : formats)
    {
        SCOPED_TRACE (lv2 ? "LV2" : "VST3");
        const auto plugin = load (lv2, 44100.0, 8192), fresh = load (lv2, 44100.0, 8192);
        ASSERT_TRUE (plugin != nullptr && fresh != nullptr);
        restore (lv2, *plugin, project);
        for (const double rate : { 44100.0, 96000.0, 0.0, -1.0, std::nan (""), HUGE_VAL })
            if (! lv2 || rate == 44100.0 || rate == 96000.0) // JUCE's LV2 host rebuilds the plug-in at any rate
                plugin->prepareToPlay (rate, 8192);
        EXPECT_EQ (render (*plugin, note), expected);
        juce::MemoryBlock saved, resaved;
        plugin->getStateInformation (saved);
        restore (lv2, *plugin, "<a><b Decay=\"-50\" Level=\"99\" CutGroup=\"9\" Output=\"-7\"/></a>");
        fresh->prepareToPlay (96000.0, 8192);
        for (auto* instance : { plugin.get(), fresh.get() })
        {
            instance->setStateInformation (saved.getData(), (int) saved.getSize());
            instance->getStateInformation (resaved);
            EXPECT_EQ (resaved, saved);
            EXPECT_EQ (render (*instance, note), expected);
        }
    }
}

// The host's message thread is this one, as in a DAW.
int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    const juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
