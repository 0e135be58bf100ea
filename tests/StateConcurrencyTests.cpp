#include "TestSupport.h"

#include "editor/PluginEditor.h"
#include "engine/PluginProcessor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{
using Processor = BolvanePluginAudioProcessor;
using Editor = BolvanePluginAudioProcessorEditor;

// Every setting changes from round to round (the reader keeps them in range); every tenth round
// also names a sample for pad 0.
std::string stateText (int round)
{
    std::string pad = "<DrumPad", text = "<BolvaneState>";
    for (const char* name : { "CutGroup", "Pitch", "Decay", "Pan", "Level", "Output", "Muted", "Soloed" })
        pad += std::string (" ") + name + "=\"" + std::to_string (round % 49 - 24) + "\"";
    if (round % 10 == 0)
        text += "<DrumPad SamplePath=\"/nowhere/" + std::to_string (round) + ".wav\"/>";
    for (int i = 0; i < 12; ++i)
        text += pad + "/>";
    return text + "<LastDirectory>/nowhere/" + std::to_string (round) + "</LastDirectory></BolvaneState>";
}

juce::Colour buttonColour (Editor& editor, int pad, const juce::String& name)
{
    for (auto* child : editor.drumPads[(size_t) pad].getChildren())
        if (child->getName() == name)
            return child->findColour (juce::TextButton::buttonColourId);
    ADD_FAILURE() << "row " << pad << " has no " << name;
    return {};
}
} // namespace

// Under ThreadSanitizer this finds any unguarded field; anywhere, a widget touched off the message
// thread or after its window closed.
TEST (StateConcurrency, HostSavesAndRestoresWhileTheUserEditsAndAudioPlays)
{
    Processor processor;
    processor.prepareToPlay (44100.0, 256);
    std::unique_ptr<Editor> editor (static_cast<Editor*> (processor.createEditor()));
    auto& model = processor.parameterModel;

    std::atomic<bool> audioRunning{ true };
    std::thread audio (
        [&]
        {
            juce::AudioBuffer<float> buffer (12, 256);
            for (int block = 0; audioRunning.load (std::memory_order_acquire); ++block)
            {
                juce::MidiBuffer midi (juce::MidiMessage::noteOn (1, 36 + block % 12, 1.0f));
                processor.processBlock (buffer, midi);
            }
        });

    std::atomic<int> hostThreadsRunning{ 2 };
    const auto host = [&] (bool restoring)
    {
        for (int round = 0; round < 150; ++round)
        {
            const auto text = stateText (round);
            juce::MemoryBlock saved;
            if (restoring)
                processor.setStateInformation (text.data(), static_cast<int> (text.size()));
            else
                processor.getStateInformation (saved);
            EXPECT_TRUE (restoring || saved.toString().endsWith ("</BolvaneState>\r\n"));
        }
        hostThreadsRunning.fetch_sub (1, std::memory_order_release);
    };
    std::thread restorer (host, true), saver (host, false);

    for (int edit = 0; hostThreadsRunning.load (std::memory_order_acquire) > 0; ++edit)
    {
        const int pad = edit % 12;
        model.setPitch (pad, edit % 49 - 24);
        model.setMuted (pad, ! model.getPad (pad).muted);
        model.setSoloed (pad, edit % 5 == 0);
        model.setLastDirectory ("/user/" + std::to_string (edit));
        if (edit % 25 == 0)
            model.setSamplePath (pad, "/nowhere/user " + std::to_string (edit) + ".wav");

        // A widget read while the host thread's refreshes arrive.
        buttonColour (*editor, pad, "mute button");
        testing_support::runMessageLoop (2);
        if (edit % 10 == 9)
        {
            editor.reset();
            testing_support::runMessageLoop (2);
            editor.reset (static_cast<Editor*> (processor.createEditor()));
        }
    }

    restorer.join();
    saver.join();
    audioRunning.store (false, std::memory_order_release);
    audio.join();
    testing_support::runMessageLoop (50);
}

// Row refreshes from a host thread are posted to the message thread, and dropped there once the
// window, or the whole processor, has gone.
TEST (StateConcurrency, ARestoreOffTheMessageThreadRefreshesTheRowsThereWhileTheyExist)
{
    const std::string text = "<BolvaneState><a/><a/><a/><a/><DrumPad Muted=\"1\" Soloed=\"1\"/></BolvaneState>";
    for (const int gone : { 0, 1, 2 }) // nothing, the window, the window and the processor
    {
        auto processor = std::make_unique<Processor>();
        std::unique_ptr<Editor> editor (static_cast<Editor*> (processor->createEditor()));
        std::thread (&Processor::setStateInformation, processor.get(), text.data(), (int) text.size()).join();
        EXPECT_TRUE (processor->parameterModel.getPad (4).muted);
        EXPECT_EQ (buttonColour (*editor, 4, "mute button"), BUTTON_COLOUR);

        if (gone >= 1)
            editor.reset();
        if (gone == 2)
            processor.reset();
        testing_support::runMessageLoop (20);
        if (gone == 0)
        {
            EXPECT_EQ (buttonColour (*editor, 4, "mute button"), MUTED_COLOUR);
            EXPECT_EQ (buttonColour (*editor, 4, "solo button"), SOLOED_COLOUR);
        }
    }
}
