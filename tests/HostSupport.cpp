#include "HostSupport.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <cmath>

namespace host_support
{
namespace
{
const juce::String lv2Uri = "https://www.varnolt.example/plugins/qm70";
const juce::String lv2StateKey = lv2Uri + ":StateString> \"";

std::unique_ptr<juce::AudioPluginInstance>
loadWith (juce::AudioPluginFormat& format, const juce::String& identifier, double sampleRate, int blockSize)
{
    juce::OwnedArray<juce::PluginDescription> types;
    format.findAllTypesForFile (types, identifier);
    if (types.isEmpty())
        return {};

    juce::String error;
    return format.createInstanceFromDescription (*types[0], sampleRate, blockSize, error);
}

juce::LV2PluginFormat& lv2Format()
{
    // One world for the process. It finds the built bundle where hosts look first, in the (test's
    // own) home folder: scanning a second folder later would make lilv load everything twice, which
    // leaks.
    static juce::LV2PluginFormat format = []
    {
        const juce::File bundle (QM70_LV2_BUNDLE);
        bundle.copyDirectoryTo (juce::File ("~/.lv2").getChildFile (bundle.getFileName()));
        return juce::LV2PluginFormat();
    }();
    return format;
}

std::string fromBlock (const juce::MemoryBlock& block)
{
    return { static_cast<const char*> (block.getData()), block.getSize() };
}
} // namespace

const char* nameOf (Kind kind)
{
    return kind == Kind::vst3 ? "VST3" : "LV2";
}

std::unique_ptr<juce::AudioPluginInstance> load (Kind kind, double sampleRate, int blockSize)
{
    if (kind == Kind::vst3)
    {
        juce::VST3PluginFormat format;
        return loadWith (format, QM70_VST3_BUNDLE, sampleRate, blockSize);
    }
    return loadWith (lv2Format(), lv2Uri, sampleRate, blockSize);
}

juce::MemoryBlock wrapState (Kind kind, juce::AudioPluginInstance& plugin, const std::string& bytes)
{
    juce::MemoryBlock current;
    plugin.getStateInformation (current);
    juce::MemoryBlock payload (bytes.data(), bytes.size());

    if (kind == Kind::vst3)
    {
        // JUCE's VST3 host keeps the component's stream in base64 inside an XML document. Without
        // the wrapper's private trailer, the whole stream goes to the plug-in.
        auto xml = juce::AudioProcessor::getXmlFromBinary (current.getData(), (int) current.getSize());
        xml->getChildByName ("IComponent")->deleteAllTextElements();
        xml->getChildByName ("IComponent")->addTextElement (payload.toBase64Encoding());
        juce::MemoryBlock wrapped;
        juce::AudioProcessor::copyXmlToBinary (*xml, wrapped);
        return wrapped;
    }

    // JUCE's LV2 host keeps a Turtle preset whose state string carries the bytes in base64.
    const auto text = juce::String::fromUTF8 (static_cast<const char*> (current.getData()), (int) current.getSize());
    const int start = text.indexOf (lv2StateKey) + lv2StateKey.length();
    const int end = text.indexOf (start, "\"");
    const auto wrapped = text.substring (0, start) + payload.toBase64Encoding() + text.substring (end);
    return { wrapped.toRawUTF8(), wrapped.getNumBytesAsUTF8() };
}

std::string unwrapState (Kind kind, const juce::MemoryBlock& hostState)
{
    juce::String encoded;
    if (kind == Kind::vst3)
    {
        auto xml = juce::AudioProcessor::getXmlFromBinary (hostState.getData(), (int) hostState.getSize());
        encoded = xml->getChildByName ("IComponent")->getAllSubText();
    }
    else
    {
        const auto text =
            juce::String::fromUTF8 (static_cast<const char*> (hostState.getData()), (int) hostState.getSize());
        const int start = text.indexOf (lv2StateKey) + lv2StateKey.length();
        encoded = text.substring (start, text.indexOf (start, "\""));
    }

    juce::MemoryBlock bytes;
    bytes.fromBase64Encoding (encoded);
    // The VST3 wrapper appends its private data after a run of zero bytes.
    const auto all = fromBlock (bytes);
    return all.substr (0, all.find ('\0'));
}

std::string saveText (Kind kind, juce::AudioPluginInstance& plugin)
{
    juce::MemoryBlock state;
    plugin.getStateInformation (state);
    return unwrapState (kind, state);
}

void restoreText (Kind kind, juce::AudioPluginInstance& plugin, const std::string& text)
{
    const auto state = wrapState (kind, plugin, text);
    plugin.setStateInformation (state.getData(), (int) state.getSize());
}

std::string stateText (std::vector<Pad> pads, const std::string& lastDirectory)
{
    pads.resize (12);
    juce::XmlElement root ("BolvaneState");
    for (const auto& pad : pads)
    {
        auto* element = root.createNewChildElement ("DrumPad");
        element->setAttribute ("SamplePath", juce::String::fromUTF8 (pad.samplePath.c_str()));
        element->setAttribute ("CutGroup", pad.cutGroup);
        element->setAttribute ("Pitch", pad.pitch);
        element->setAttribute ("Decay", pad.decay);
        element->setAttribute ("Pan", pad.pan);
        element->setAttribute ("Level", pad.level);
        element->setAttribute ("Output", pad.output);
        element->setAttribute ("Muted", pad.muted ? 1 : 0);
        element->setAttribute ("Soloed", pad.soloed ? 1 : 0);
    }
    root.createNewChildElement ("LastDirectory")->addTextElement (juce::String::fromUTF8 (lastDirectory.c_str()));
    return root.toString().toStdString();
}

void writeWav (const juce::File& file, const std::vector<float>& samples, double sampleRate)
{
    file.deleteFile();
    auto stream = std::make_unique<juce::FileOutputStream> (file);
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (stream.get(), sampleRate, 2, 32, {}, 0));
    stream.release();
    const float* channels[] = { samples.data(), samples.data() };
    writer->writeFromFloatArrays (channels, 2, (int) samples.size());
}

bool isFinite (const juce::AudioBuffer<float>& buffer)
{
    for (int c = 0; c < buffer.getNumChannels(); ++c)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            if (! std::isfinite (buffer.getSample (c, i)))
                return false;
    return true;
}

juce::AudioProcessor::BusesLayout stereoBuses (int enabled)
{
    juce::AudioProcessor::BusesLayout layout;
    for (int i = 0; i < 6; ++i)
        layout.outputBuses.add (i < enabled ? juce::AudioChannelSet::stereo() : juce::AudioChannelSet::disabled());
    return layout;
}

juce::AudioBuffer<float>
render (juce::AudioPluginInstance& plugin, const juce::MidiBuffer& events, int numSamples, int blockSize)
{
    const int numChannels = plugin.getTotalNumOutputChannels();
    juce::AudioBuffer<float> result (numChannels, numSamples);
    juce::AudioBuffer<float> block (numChannels, blockSize);
    for (int start = 0; start < numSamples; start += blockSize)
    {
        const int length = std::min (blockSize, numSamples - start);
        juce::AudioBuffer<float> view (block.getArrayOfWritePointers(), numChannels, length);
        juce::MidiBuffer midi;
        midi.addEvents (events, start, length, -start);
        plugin.processBlock (view, midi);
        for (int c = 0; c < numChannels; ++c)
            result.copyFrom (c, start, view, c, 0, length);
    }
    return result;
}

TempFolder::TempFolder()
    : folder (
          juce::File::getSpecialLocation (juce::File::userHomeDirectory)
              .getChildFile ("host-test-" + juce::String::toHexString (juce::Random::getSystemRandom().nextInt64())))
{
    folder.createDirectory();
}

TempFolder::~TempFolder()
{
    folder.deleteRecursively();
}
} // namespace host_support
