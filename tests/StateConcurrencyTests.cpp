#include "TestSupport.h"

#include "editor/PluginEditor.h"
#include "engine/PluginProcessor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{
std::string stateText (int round, bool withSamplePath)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<BolvaneState>\r\n";
    for (int pad = 0; pad < 12; ++pad)
    {
        const int v = round + pad;
        text += "  <DrumPad";
        if (withSamplePath && pad == round % 12)
            text += " SamplePath=\"/nowhere/round " + std::to_string (round) + ".wav\"";
        text += " CutGroup=\"" + std::to_string (v % 5 - 1) + "\" Pitch=\"" + std::to_string (v % 49 - 24) +
                "\" Decay=\"" + std::to_string (v % 101) + "\" Pan=\"" + std::to_string (v % 51 - 25) + "\" Level=\"" +
                std::to_string (v % 101 - 70) + "\" Output=\"" + std::to_string (v % 6) + "\" Muted=\"" +
                std::to_string (v % 2) + "\" Soloed=\"" + std::to_string (v % 7 == 0 ? 1 : 0) + "\"/>\r\n";
    }
    text += "  <LastDirectory>/nowhere/" + std::to_string (round) + "</LastDirectory>\r\n</BolvaneState>\r\n";
    return text;
}

void restore (BolvanePluginAudioProcessor& processor, const std::string& text)
{
    processor.setStateInformation (text.data(), static_cast<int> (text.size()));
}

BolvanePluginAudioProcessorEditor* openEditor (BolvanePluginAudioProcessor& processor)
{
    return static_cast<BolvanePluginAudioProcessorEditor*> (processor.createEditor());
}

juce::Colour buttonColour (BolvanePluginAudioProcessorEditor& editor, int pad, const juce::String& name)
{
    for (auto* child : editor.drumPads[(size_t) pad].getChildren())
        if (child->getName() == name)
            return child->findColour (juce::TextButton::buttonColourId);
    ADD_FAILURE() << "row " << pad << " has no " << name;
    return {};
}

// Restores on a thread of its own, as a host may, and waits for it.
void restoreOnHostThread (BolvanePluginAudioProcessor& processor, const std::string& text)
{
    std::thread host (
        [&]
        {
            restore (processor, text);
        });
    host.join();
}
} // namespace

// The host saves and restores on its own threads while the user edits and reopens the window on
// the message thread and the audio thread plays. Run under ThreadSanitizer, this finds any
// unguarded field; anywhere, a widget touched off the message thread or after its window closed.
TEST (StateConcurrency, HostSavesAndRestoresWhileTheUserEditsAndAudioPlays)
{
    BolvanePluginAudioProcessor processor;
    processor.prepareToPlay (44100.0, 256);
    std::unique_ptr<BolvanePluginAudioProcessorEditor> editor (openEditor (processor));
    auto& model = processor.parameterModel;

    std::atomic<bool> audioRunning{ true };
    std::thread audio (
        [&]
        {
            juce::AudioBuffer<float> buffer (12, 256);
            juce::MidiBuffer midi;
            for (int block = 0; audioRunning.load (std::memory_order_acquire); ++block)
            {
                midi.clear();
                midi.addEvent (juce::MidiMessage::noteOn (1, 36 + block % 12, 1.0f), block % 256);
                processor.processBlock (buffer, midi);
            }
        });

    constexpr int rounds = 150;
    std::atomic<int> hostRoundsLeft{ 2 };
    std::thread restorer (
        [&]
        {
            for (int round = 0; round < rounds; ++round)
                restore (processor, stateText (round, round % 10 == 0));
            hostRoundsLeft.fetch_sub (1, std::memory_order_release);
        });
    std::thread saver (
        [&]
        {
            for (int round = 0; round < rounds; ++round)
            {
                juce::MemoryBlock block;
                processor.getStateInformation (block);
                EXPECT_NE (block.toString().indexOf ("</BolvaneState>"), -1);
            }
            hostRoundsLeft.fetch_sub (1, std::memory_order_release);
        });

    for (int edit = 0; hostRoundsLeft.load (std::memory_order_acquire) > 0; ++edit)
    {
        const int pad = edit % 12;
        model.setPitch (pad, edit % 49 - 24);
        model.setLevel (pad, edit % 101 - 70);
        model.setMuted (pad, ! model.getPad (pad).muted);
        model.setSoloed (pad, edit % 5 == 0);
        model.setLastDirectory ("/user/" + std::to_string (edit));
        EXPECT_FALSE (model.getLastDirectory().empty());
        if (edit % 25 == 0)
            model.setSamplePath (pad, "/nowhere/user " + std::to_string (edit) + ".wav");

        // Widgets are read here while the host thread's refreshes arrive.
        buttonColour (*editor, pad, "mute button");
        testing_support::runMessageLoop (2);

        if (edit % 10 == 9)
        {
            editor.reset();
            testing_support::runMessageLoop (2);
            editor.reset (openEditor (processor));
        }
    }

    restorer.join();
    saver.join();
    audioRunning.store (false, std::memory_order_release);
    audio.join();
    testing_support::runMessageLoop (50);
    editor.reset();
}

TEST (StateConcurrency, ARestoreOffTheMessageThreadRefreshesTheRowsThere)
{
    BolvanePluginAudioProcessor processor;
    std::unique_ptr<BolvanePluginAudioProcessorEditor> editor (openEditor (processor));
    ASSERT_EQ (buttonColour (*editor, 4, "mute button"), BUTTON_COLOUR);

    restoreOnHostThread (processor, "<BolvaneState><a/><a/><a/><a/><DrumPad Muted=\"1\" Soloed=\"1\"/></BolvaneState>");

    // The model has it at once; the row only once the message loop has run.
    EXPECT_TRUE (processor.parameterModel.getPad (4).muted);
    EXPECT_EQ (buttonColour (*editor, 4, "mute button"), BUTTON_COLOUR);
    testing_support::runMessageLoop (20);
    EXPECT_EQ (buttonColour (*editor, 4, "mute button"), MUTED_COLOUR);
    EXPECT_EQ (buttonColour (*editor, 4, "solo button"), SOLOED_COLOUR);
}

TEST (StateConcurrency, RefreshesForAClosedWindowOrAGoneProcessorAreDropped)
{
    const std::string text = stateText (3, false);

    {
        BolvanePluginAudioProcessor processor;
        std::unique_ptr<BolvanePluginAudioProcessorEditor> editor (openEditor (processor));
        restoreOnHostThread (processor, text);
        editor.reset();
        testing_support::runMessageLoop (20);

        // A window opened after the restore shows it from its own construction.
        editor.reset (openEditor (processor));
        testing_support::runMessageLoop (20);
        EXPECT_EQ (buttonColour (*editor, 0, "mute button"),
                   processor.parameterModel.getPad (0).muted ? MUTED_COLOUR : BUTTON_COLOUR);
        editor.reset();
    }

    auto processor = std::make_unique<BolvanePluginAudioProcessor>();
    std::unique_ptr<BolvanePluginAudioProcessorEditor> editor (openEditor (*processor));
    restoreOnHostThread (*processor, text);
    editor.reset();
    processor.reset();
    testing_support::runMessageLoop (20);
}
