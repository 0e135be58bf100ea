#include "PadRowSupport.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <thread>

using padrow_support::child;
using padrow_support::OpenEditor;
using testing_support::runMessageLoop;

namespace
{
constexpr int settleMs = 100;

// What a state restore on the host's thread does to pad 6.
void restoreOnAnotherThread (BolvanePluginAudioProcessor& processor)
{
    std::thread host (
        [&processor]
        {
            auto& model = processor.parameterModel;
            model.setMuted (6, true);
            model.setSamplePath (6, "/samples/tom.wav");
            model.setPitch (6, 6);
            processor.editorWrapper.updateRow (6, EditorWrapper::RowUpdate::pitch);
        });
    host.join();
}
} // namespace

TEST (PadRowThreads, UpdatesFromAnotherThreadReachTheRowOnlyOnTheMessageThread)
{
    OpenEditor host;
    host.open();
    runMessageLoop (settleMs);
    auto& row = host.row (6);

    restoreOnAnotherThread (host.processor);

    // Nothing has touched a widget yet: the updates wait for the message loop.
    EXPECT_EQ (child<juce::TextButton> (row, "mute button").findColour (juce::TextButton::buttonColourId),
               BUTTON_COLOUR);
    EXPECT_EQ (child<juce::Label> (row, "filename label").getText(), "");
    EXPECT_EQ (child<juce::Slider> (row, "pitch slider").getValue(), 0.0);

    runMessageLoop (settleMs);
    EXPECT_EQ (child<juce::TextButton> (row, "mute button").findColour (juce::TextButton::buttonColourId),
               MUTED_COLOUR);
    EXPECT_EQ (child<juce::Label> (row, "filename label").getText(), "tom");
    EXPECT_EQ (child<juce::Slider> (row, "pitch slider").getValue(), 3.0);
    EXPECT_EQ (host.pad (6).pitch, 6);
}

TEST (PadRowThreads, UpdatesPostedBeforeTheEditorClosesAreDropped)
{
    OpenEditor host;
    host.open();

    restoreOnAnotherThread (host.processor);
    host.editor.reset();
    runMessageLoop (settleMs);

    EXPECT_TRUE (host.pad (6).muted);
    EXPECT_EQ (host.pad (6).samplePath, "/samples/tom.wav");
}
