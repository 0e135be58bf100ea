#include "PadRowSupport.h"

#include <gtest/gtest.h>

#include <thread>
#include <tuple>

using padrow_support::child;
using padrow_support::settle;

namespace
{
// What a state restore on the host's thread does to pad 6.
void restoreOnAnotherThread (BolvanePluginAudioProcessor& processor, bool muted, int pitch)
{
    std::thread host (
        [&processor, muted, pitch]
        {
            processor.parameterModel.setMuted (6, muted);
            processor.parameterModel.setSamplePath (6, "/samples/tom.wav");
            processor.parameterModel.setPitch (6, pitch);
            processor.editorWrapper.updateRow (6, EditorWrapper::RowUpdate::pitch);
        });
    host.join();
}

std::tuple<juce::Colour, juce::String, double> shown (DrumPadComponent& row)
{
    return { child<juce::TextButton> (row, "mute button").findColour (juce::TextButton::buttonColourId),
             child<juce::Label> (row, "filename label").getText(),
             child<juce::Slider> (row, "pitch slider").getValue() };
}
} // namespace

TEST (PadRowThreads, UpdatesFromAnotherThreadReachTheRowOnlyOnTheMessageThreadAndNotOnceTheEditorClosed)
{
    padrow_support::OpenEditor host;
    host.open();

    restoreOnAnotherThread (host.processor, true, 6);
    EXPECT_EQ (shown (host.row (6)), std::tuple (BUTTON_COLOUR, juce::String(), 0.0));
    settle();
    EXPECT_EQ (shown (host.row (6)), std::tuple (MUTED_COLOUR, juce::String ("tom"), 3.0));

    // A failed load posted from the host's thread must not recolour a load the user made since.
    testing_support::TempFolder folder;
    ASSERT_TRUE (testing_support::writeSampleFile (folder.file ("tom.wav"), testing_support::Format::wav,
                                                   { { 0.5f, -0.5f } }, 44100.0, 16));
    auto& label = child<juce::Label> (host.row (6), "filename label");
    std::thread (
        [&]
        {
            host.processor.parameterModel.setSamplePath (6, folder.path ("missing.wav"));
        })
        .join();
    host.processor.parameterModel.setSamplePath (6, folder.path ("tom.wav"));
    settle();
    EXPECT_EQ (label.findColour (juce::Label::textColourId), LOADED_COLOUR);

    // Posted, then the editor goes before they are delivered.
    restoreOnAnotherThread (host.processor, false, 8);
    host.editor.reset();
    settle();
    EXPECT_EQ (std::pair (host.pad (6).muted, host.pad (6).pitch), std::pair (false, 8));
}
