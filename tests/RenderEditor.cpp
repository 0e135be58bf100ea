// Draws the editor, as the user story leaves it, into a PNG: resources/editor.png, or the path
// given as the first argument. Three samples are loaded through the rows (dropped, stepped to, and
// browsed for: the browse needs a display, so run it under xvfb-run) and a few settings made with
// the rows' widgets; the kick has just been hit.
//
// The plug-in truncates HOME/bolvanelog/log.txt when it loads: run it through
// scripts/with-temp-home.sh to keep your own log.

#include "DisplayLikeAHost.h"
#include "UserStory.h"

#include <iostream>

int main (int argc, char** argv)
{
    const juce::ScopedJuceInitialiser_GUI juce;
    const juce::File output =
        argc > 1 ? juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]) : juce::File (QM70_EDITOR_PICTURE);

    const testing_support::TempFolder folder;
    const user_story::Kit kit (folder.get());
    padrow_support::OpenEditor host;
    host.processor.prepareToPlay (48000.0, 256);
    host.open();
    const bool browsed = user_story::loadAndSetUp (host, kit, testing_support::displayLikeAHost());

    juce::AudioBuffer<float> buffer (12, 256);
    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::noteOn (1, 36, (juce::uint8) 110), 0);
    host.processor.processBlock (buffer, midi);
    // The play-light timer colours the kick's play button.
    padrow_support::settle();

    const juce::Image picture = host.editor->createComponentSnapshot (host.editor->getLocalBounds(), true, 1.0f);
    output.deleteFile();
    juce::FileOutputStream stream (output);
    if (! browsed || ! stream.openedOk() || ! juce::PNGImageFormat().writeImageToStream (picture, stream))
    {
        std::cerr << "could not make " << output.getFullPathName() << "\n";
        return 1;
    }
    std::cout << "wrote " << output.getFullPathName() << "\n";
    return 0;
}
