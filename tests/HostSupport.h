#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <string>
#include <vector>

// Loading the built bundles through JUCE's hosting classes, and handing the plug-in state texts
// through each format's own state wrapping, as a DAW does.
namespace host_support
{
enum class Kind
{
    vst3,
    lv2
};

const char* nameOf (Kind kind);

// A fresh instance of the bundle, or null if the format can't load it.
std::unique_ptr<juce::AudioPluginInstance> load (Kind kind, double sampleRate, int blockSize);

// The host state that makes the plug-in's setStateInformation receive exactly these bytes.
juce::MemoryBlock wrapState (Kind kind, juce::AudioPluginInstance& plugin, const std::string& bytes);

// The plug-in's own state text inside a host state.
std::string unwrapState (Kind kind, const juce::MemoryBlock& hostState);

// Saves the plug-in's state through the host and returns the plug-in's own text.
std::string saveText (Kind kind, juce::AudioPluginInstance& plugin);

// Restores a state text of the plug-in's own format through the host.
void restoreText (Kind kind, juce::AudioPluginInstance& plugin, const std::string& text);

// One pad's settings in the state text's units.
struct Pad
{
    std::string samplePath;
    int cutGroup = -1, pitch = 0, decay = 100, pan = 0, level = 0, output = 0;
    bool muted = false, soloed = false;
};

// A state text with twelve pads (missing ones at their defaults) and a last directory.
std::string stateText (std::vector<Pad> pads, const std::string& lastDirectory = "/");

// Writes a 32-bit float WAV with the same samples in both channels.
void writeWav (const juce::File& file, const std::vector<float>& samples, double sampleRate);

bool isFinite (const juce::AudioBuffer<float>& buffer);

// Six output buses, the first `enabled` of them stereo and the rest switched off.
juce::AudioProcessor::BusesLayout stereoBuses (int enabled);

// Plays the events through the host in blocks of blockSize and returns every output channel of the
// whole run.
juce::AudioBuffer<float>
render (juce::AudioPluginInstance& plugin, const juce::MidiBuffer& events, int numSamples, int blockSize);

// A folder under HOME, removed at destruction.
struct TempFolder
{
    TempFolder();
    ~TempFolder();
    juce::File folder;
};
} // namespace host_support
