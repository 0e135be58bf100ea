#pragma once

#include "editor/PluginEditor.h"
#include "engine/PluginProcessor.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

// What every test file shares: the plug-in as a host holds it, files made in the test's own HOME,
// the log, and the message loop. Each test runs in a process of its own with a fresh HOME.
namespace qm70
{
// A folder under HOME, removed at the end.
struct TempFolder
{
    TempFolder() { folder.createDirectory(); }
    ~TempFolder() { folder.deleteRecursively(); }
    juce::File file (const juce::String& name) const { return folder.getChildFile (name); }
    std::string path (const juce::String& name) const { return file (name).getFullPathName().toStdString(); }
    const juce::File folder = juce::File::getSpecialLocation (juce::File::userHomeDirectory)
                                  .getChildFile ("test-" + juce::String (juce::Random::getSystemRandom().nextInt64()));
};

// Writes one channel per vector in the format the extension names (wav, aif, flac, ogg); 32 bits
// are float where the format has them.
void writeAudio (const juce::File& file,
                 const std::vector<std::vector<float>>& channels,
                 double rate = 48000.0,
                 int bits = 32);

// A decaying sine: every sample differs from its neighbours, so misplaced reads show.
std::vector<float> wave (int length, double step = 0.05, float amplitude = 0.5f);

std::vector<std::string> logLines();

juce::MidiBuffer midi (std::initializer_list<std::pair<int, juce::MidiMessage>> events);

// Plays events through the processor in host-sized blocks, each handed over full of junk, and
// returns the whole run.
juce::AudioBuffer<float> render (
    juce::AudioProcessor& processor, const juce::MidiBuffer& events, int length, int blockSize = 64, int channels = 12);

// Delivers posted messages, asynchronous widget notices and timer ticks.
void settle (int milliseconds = 120);

// Whether there is a display to open windows on, set up as a host has it.
bool hasDisplay();

template <typename Widget>
Widget& child (juce::Component& parent, const juce::String& name)
{
    for (auto* component : parent.getChildren())
        if (auto* widget = dynamic_cast<Widget*> (component); widget != nullptr && component->getName() == name)
            return *widget;
    throw std::runtime_error ("no widget named " + name.toStdString());
}

// A plug-in instance; the editor, once opened, goes before the processor, as in a host.
struct Plugin
{
    ~Plugin() { editor.reset(); }
    void openEditor() { editor.reset (processor.createEditor()); }
    DrumPadComponent& row (int pad)
    {
        return dynamic_cast<BolvanePluginAudioProcessorEditor&> (*editor).drumPads[(size_t) pad];
    }
    ParameterModel::DrumPadParameters pad (int pad) const { return processor.parameterModel.getPad (pad); }
    RendererPadState& engine (int pad) { return processor.audioRenderer.pads[(size_t) pad]; }
    std::string save();
    void restore (const std::string& text) { processor.setStateInformation (text.data(), (int) text.size()); }

    BolvanePluginAudioProcessor processor;
    std::unique_ptr<juce::AudioProcessorEditor> editor;
};
} // namespace qm70
