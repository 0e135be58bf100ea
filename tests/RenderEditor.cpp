// Draws the editor of a plug-in with a few pads set up, as a host would show it, into a PNG:
// resources/editor.png, or the path given as the first argument. No display is needed.
//
// The plug-in truncates HOME/bolvanelog/log.txt when it loads: run it through
// scripts/with-temp-home.sh to keep your own log.

#include "TestSupport.h"
#include "editor/PluginEditor.h"
#include "engine/PluginProcessor.h"

#include <cmath>
#include <iostream>
#include <memory>

namespace
{
constexpr double sampleRate = 44100.0;
constexpr int blockSize = 512;

// A short decaying tone, so every file holds something to play.
std::vector<std::vector<float>> tone (int numChannels, double frequency)
{
    const int length = (int) (0.2 * sampleRate);
    std::vector<std::vector<float>> channels ((size_t) numChannels, std::vector<float> ((size_t) length));
    for (auto& channel : channels)
        for (int i = 0; i < length; ++i)
            channel[(size_t) i] =
                (float) (0.5 * std::sin (2.0 * juce::MathConstants<double>::pi * frequency * i / sampleRate) *
                         std::exp (-8.0 * i / length));
    return channels;
}

void setUpPads (BolvanePluginAudioProcessor& processor, const juce::File& folder)
{
    using testing_support::Format;
    const struct
    {
        const char* file;
        Format format;
        int channels;
        double frequency;
    } samples[] = {
        { "Kick 01.wav", Format::wav, 1, 55.0 },      { "Snare Tight.wav", Format::wav, 2, 180.0 },
        { "Hat Closed.wav", Format::wav, 1, 3000.0 }, { "Hat Open.aif", Format::aiff, 2, 2800.0 },
        { "Clap.wav", Format::wav, 2, 900.0 },        { "Tom Low.aiff", Format::aiff, 1, 110.0 },
    };

    auto& model = processor.parameterModel;
    for (int pad = 0; pad < (int) std::size (samples); ++pad)
    {
        const juce::File file = folder.getChildFile (samples[pad].file);
        testing_support::writeSampleFile (file, samples[pad].format,
                                          tone (samples[pad].channels, samples[pad].frequency), sampleRate, 16);
        model.setSamplePath (pad, file.getFullPathName().toStdString());
    }
    // A sample that has gone missing since the project was saved.
    model.setSamplePath (6, folder.getChildFile ("Cowbell (moved).wav").getFullPathName().toStdString());

    model.setPitch (1, 3);
    model.setDecay (1, 64);
    model.setPan (1, -8);
    model.setCutGroup (2, 0);
    model.setCutGroup (3, 0);
    model.setDecay (3, 30);
    model.setLevel (2, -12);
    model.setMuted (4, true);
    model.setSoloed (5, true);
    model.setOutput (5, 2);
    model.setPitch (5, -10);
    model.setPan (5, 20);
    model.setLevel (0, 6);
}

// One block with a note on pad 0, so its play light is on when the window opens.
void playKick (BolvanePluginAudioProcessor& processor)
{
    processor.prepareToPlay (sampleRate, blockSize);
    juce::AudioBuffer<float> buffer (processor.getTotalNumOutputChannels(), blockSize);
    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::noteOn (1, 36, (juce::uint8) 110), 0);
    processor.processBlock (buffer, midi);
}
} // namespace

int main (int argc, char** argv)
{
    const juce::ScopedJuceInitialiser_GUI juce;
    const juce::File output =
        argc > 1 ? juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]) : juce::File (QM70_EDITOR_PICTURE);

    const juce::File folder =
        juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("qm70-render", {}, false);
    folder.createDirectory();

    int result = 0;
    {
        BolvanePluginAudioProcessor processor;
        setUpPads (processor, folder);
        playKick (processor);

        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditor());
        // Let the rows' write-backs and the play-light timer run.
        testing_support::runMessageLoop (300);

        const juce::Image picture = editor->createComponentSnapshot (editor->getLocalBounds(), true, 1.0f);
        output.deleteFile();
        juce::FileOutputStream stream (output);
        if (stream.openedOk() && juce::PNGImageFormat().writeImageToStream (picture, stream))
        {
            std::cout << "wrote " << output.getFullPathName() << " (" << picture.getWidth() << " x "
                      << picture.getHeight() << ")\n";
        }
        else
        {
            std::cerr << "could not write " << output.getFullPathName() << "\n";
            result = 1;
        }
    }

    folder.deleteRecursively();
    return result;
}
