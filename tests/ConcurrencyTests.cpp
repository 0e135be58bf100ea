#include "Support.h"

// Audio plays the pads being loaded while the host restores pad 0 on a thread of its own and the user
// steps and mutes pads 1 to 4, saves and reopens the editor: the last restore, posted, reaches the row.
TEST (Concurrency, AudioPlaysOnWhileTheHostRestoresAndTheUserEditsAndTheLastRestoreReachesTheRow)
{
    const qm70::TempFolder folder;
    qm70::writeAudio (folder.file ("a.wav"), { qm70::wave (2000) });
    qm70::Plugin plugin;
    const auto hits =
        qm70::midi ({ { 0, juce::MidiMessage::noteOn (1, 0, 0.9f) }, { 9, juce::MidiMessage::noteOn (1, 4, 0.9f) } });
    std::atomic<bool> playing{ true };
    std::thread audio (
        [&]
        {
            while (playing)
                EXPECT_TRUE (
                    std::isfinite (qm70::render (plugin.processor, hits, 128, 128, 2).getRMSLevel (0, 0, 128)));
        });
    for (int edit = 0; edit < 60; ++edit)
    {
        plugin.openEditor(); // a new window, then the old one closes
        std::thread host (&qm70::Plugin::restore, &plugin,
                          "<a><b Muted=\"" + std::to_string (edit % 2) + "\" SamplePath=\"" +
                              folder.path (edit % 3 == 1 ? "none.wav" : "a.wav") + "\"/></a>");
        qm70::child<juce::Button> (plugin.row (1 + edit % 4), edit % 2 ? "mute button" : "next button").triggerClick();
        EXPECT_EQ (plugin.save().substr (0, 5), "<?xml");
        qm70::settle (3);
        host.join();
    }
    qm70::settle();
    playing = false;
    audio.join();
    auto& row = plugin.row (0);
    auto& label = qm70::child<juce::Label> (row, "filename label");
    EXPECT_EQ (
        std::tuple (plugin.engine (0).gain.load(), label.getText(), label.findColour (juce::Label::textColourId),
                    qm70::child<juce::Button> (row, "mute button").findColour (juce::TextButton::buttonColourId)),
        std::tuple (0.0, juce::String ("a"), LOADED_COLOUR, MUTED_COLOUR));
}
