#pragma once

#include "PadRowSupport.h"

#include <cmath>

// One user's session, worked through the editor's own widgets: three samples loaded by dropping a
// file, stepping to the next file and browsing, then pitch, pan, level and a cut group set.
namespace user_story
{
// A small kit in a folder: sorted, the folder reads hat.aif, kick.wav, snare.wav.
struct Kit
{
    explicit Kit (const juce::File& folderToUse)
        : folder (folderToUse)
    {
        using testing_support::Format;
        testing_support::writeSampleFile (folder.getChildFile ("kick.wav"), Format::wav, { wave (4000, 0.02, 0.9f) },
                                          48000.0, 24);
        testing_support::writeSampleFile (folder.getChildFile ("snare.wav"), Format::wav,
                                          { wave (3000, 0.31, 0.6f), wave (3000, 0.17, 0.5f) }, 44100.0, 16);
        testing_support::writeSampleFile (folder.getChildFile ("hat.aif"), Format::aiff, { wave (1500, 1.3, 0.3f) },
                                          48000.0, 16);
    }

    std::string path (const char* name) const { return folder.getChildFile (name).getFullPathName().toStdString(); }

    static std::vector<float> wave (int length, double step, float amplitude)
    {
        std::vector<float> samples ((size_t) length);
        for (int i = 0; i < length; ++i)
            samples[(size_t) i] = amplitude * (float) std::sin (step * i) * (float) (length - i) / (float) length;
        return samples;
    }

    juce::File folder;
};

// Works the story on an open editor. The browse needs a display; without one, pad 2's sample is
// dropped instead. Returns whether every step took.
inline bool loadAndSetUp (padrow_support::OpenEditor& host, const Kit& kit, bool canBrowse)
{
    using padrow_support::child;

    host.row (0).filesDropped ({ kit.path ("kick.wav") }, 10, 10);

    // From the kick, the next file of the folder is the snare.
    host.row (1).filesDropped ({ kit.path ("kick.wav") }, 10, 10);
    host.row (1).buttonClicked (&child<juce::TextButton> (host.row (1), "next button"));

    bool browsed = true;
    if (canBrowse)
    {
        browsed = padrow_support::browse (host.row (2),
                                          [&] (juce::FileChooserDialogBox& dialog, juce::FileBrowserComponent& browser)
                                          {
                                              browser.setRoot (kit.folder);
                                              browser.setFileName ("hat.aif");
                                              dialog.exitModalState (1);
                                          });
    }
    else
    {
        host.row (2).filesDropped ({ kit.path ("hat.aif") }, 10, 10);
    }

    child<juce::Slider> (host.row (0), "pitch slider").setValue (-3.5, juce::sendNotificationSync);
    child<juce::Slider> (host.row (0), "level slider").setValue (-4.0, juce::sendNotificationSync);
    child<juce::Slider> (host.row (1), "pan slider").setValue (-40.0, juce::sendNotificationSync);
    child<juce::ComboBox> (host.row (1), "output combo box").setSelectedItemIndex (2, juce::sendNotificationSync);
    child<juce::ComboBox> (host.row (1), "group combo box").setSelectedItemIndex (1, juce::sendNotificationSync);
    child<juce::ComboBox> (host.row (2), "group combo box").setSelectedItemIndex (1, juce::sendNotificationSync);
    child<juce::Slider> (host.row (2), "decay slider").setValue (60.0, juce::sendNotificationSync);
    padrow_support::settle();
    return browsed;
}

// Hits on every loaded pad: the snare at 200, cut by the hat of its group at 900, and the kick
// twice.
inline juce::MidiBuffer notes()
{
    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::noteOn (1, 36, (juce::uint8) 127), 0);
    midi.addEvent (juce::MidiMessage::noteOn (10, 37, (juce::uint8) 100), 200);
    midi.addEvent (juce::MidiMessage::noteOn (1, 38, (juce::uint8) 90), 900);
    midi.addEvent (juce::MidiMessage::noteOn (2, 60, (juce::uint8) 64), 2600);
    return midi;
}

// Plays the events in blocks of 256 into six stereo outputs.
inline juce::AudioBuffer<float>
play (BolvanePluginAudioProcessor& processor, const juce::MidiBuffer& events, int length)
{
    constexpr int blockSize = 256;
    juce::AudioBuffer<float> result (12, length);
    juce::AudioBuffer<float> block (12, blockSize);
    for (int start = 0; start < length; start += blockSize)
    {
        const int size = std::min (blockSize, length - start);
        juce::AudioBuffer<float> view (block.getArrayOfWritePointers(), 12, size);
        juce::MidiBuffer midi;
        midi.addEvents (events, start, size, -start);
        processor.processBlock (view, midi);
        for (int channel = 0; channel < 12; ++channel)
            result.copyFrom (channel, start, view, channel, 0, size);
    }
    return result;
}
} // namespace user_story
