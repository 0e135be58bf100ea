#include "TestSupport.h"

#include "engine/PluginProcessor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using testing_support::Format;
using testing_support::readLogLines;
using testing_support::TempFolder;
using testing_support::writeSampleFile;

namespace
{
std::vector<std::string> linesStartingWith (const std::string& prefix, size_t from = 0)
{
    std::vector<std::string> lines;
    const auto all = readLogLines();
    for (size_t i = from; i < all.size(); ++i)
        if (all[i].rfind (prefix, 0) == 0)
            lines.push_back (all[i]);
    return lines;
}

void runBlock (BolvanePluginAudioProcessor& processor, juce::MidiBuffer midi = {})
{
    juce::AudioBuffer<float> buffer (12, 64);
    processor.processBlock (buffer, midi);
}

juce::MidiBuffer note (int number)
{
    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::noteOn (1, number, (juce::uint8) 127), 0);
    return midi;
}

struct Samples
{
    Samples()
    {
        writeSampleFile (folder.file ("low.wav"), Format::wav, { std::vector<float> (4000, 0.25f) }, 44100.0, 32);
        writeSampleFile (folder.file ("high.wav"), Format::wav, { std::vector<float> (4000, 0.75f) }, 44100.0, 32);
    }

    TempFolder folder;
    const std::string low = folder.path ("low.wav");
    const std::string high = folder.path ("high.wav");
};
} // namespace

TEST (SampleHandOver, EntriesPileUpUntilABlockReportsThem)
{
    Samples samples;
    BolvanePluginAudioProcessor processor;
    for (int i = 0; i < 3; ++i)
        processor.sampleBufferHandler.loadSample (0, samples.low);
    EXPECT_TRUE (linesStartingWith ("Deleting").empty()) << "nothing is freed before the first block";

    runBlock (processor);
    const auto before = readLogLines().size();
    processor.sampleBufferHandler.loadSample (1, samples.low);

    const std::vector<std::string> deleted{ "Deleting sample for pad 0 with sequenceNo 1",
                                            "Deleting sample for pad 0 with sequenceNo 2",
                                            "Deleting sample for pad 0 with sequenceNo 3" };
    EXPECT_EQ (linesStartingWith ("Deleting", before), deleted);
    EXPECT_EQ (linesStartingWith ("Lowest sequenceNo in use for pad 0 ", before),
               std::vector<std::string>{ "Lowest sequenceNo in use for pad 0 is 4" });
    EXPECT_EQ (linesStartingWith ("Lowest sequenceNo in use for pad 1 ", before),
               std::vector<std::string>{ "Lowest sequenceNo in use for pad 1 is 1" })
        << "the block ran before pad 1's load";
}

TEST (SampleHandOver, ABlockDuringTheWaitFreesTheReplacedEntryInTheSameLoad)
{
    Samples samples;
    BolvanePluginAudioProcessor processor;
    runBlock (processor);

    std::atomic<bool> running{ true };
    std::thread audio (
        [&]
        {
            while (running.load())
            {
                runBlock (processor);
                std::this_thread::sleep_for (std::chrono::milliseconds (1));
            }
        });
    const auto before = readLogLines().size();
    processor.sampleBufferHandler.loadSample (0, samples.low);
    processor.sampleBufferHandler.loadSample (0, samples.high);
    running = false;
    audio.join();

    const std::vector<std::string> deleted{ "Deleting sample for pad 0 with sequenceNo 1",
                                            "Deleting sample for pad 0 with sequenceNo 2" };
    EXPECT_EQ (linesStartingWith ("Deleting", before), deleted);
}

TEST (SampleHandOver, AnEntryStaysWhileAVoicePlaysItAndTheVoiceKeepsIt)
{
    Samples samples;
    BolvanePluginAudioProcessor processor;
    const auto before = readLogLines().size();
    processor.sampleBufferHandler.loadSample (0, samples.low);
    runBlock (processor, note (60));

    processor.sampleBufferHandler.loadSample (0, samples.high);
    juce::AudioBuffer<float> buffer (2, 64);
    auto secondNote = note (60);
    processor.processBlock (buffer, secondNote); // a second voice, on the new entry
    EXPECT_EQ (buffer.getSample (0, 0), (float) (0.25 * 0.5946035575013605) + (float) (0.75 * 0.5946035575013605));
    EXPECT_EQ (processor.audioRenderer.pads[0].lowestSequenceNoInUse.load(), 2);

    processor.sampleBufferHandler.loadSample (5, samples.low);
    EXPECT_EQ (linesStartingWith ("Deleting sample for pad 0", before),
               std::vector<std::string>{ "Deleting sample for pad 0 with sequenceNo 1" });

    // Once the old voice is cut, a block reports the newer number and the next load frees it.
    runBlock (processor, note (60));
    processor.sampleBufferHandler.loadSample (5, samples.low);
    EXPECT_EQ (linesStartingWith ("Deleting sample for pad 0", before).back(),
               "Deleting sample for pad 0 with sequenceNo 2");
}

TEST (SampleHandOver, LoadsFromTwoThreadsNeverOverlap)
{
    // A restore on the host's thread while the user loads on the message thread: each load's
    // lines stay together, and every pad's numbers still count up by one.
    Samples samples;
    BolvanePluginAudioProcessor processor;
    std::thread host (
        [&]
        {
            for (int i = 0; i < 6; ++i)
                processor.sampleBufferHandler.loadSample (i % 2, samples.low);
        });
    for (int i = 0; i < 6; ++i)
        processor.sampleBufferHandler.loadSample (i % 2, samples.high);
    host.join();

    const auto lines = readLogLines();
    int loads = 0;
    for (size_t i = 0; i < lines.size(); ++i)
    {
        if (lines[i].rfind ("Loaded sample ", 0) != 0)
            continue;
        ++loads;
        ASSERT_LE (i + 12, lines.size() - 1);
        for (int pad = 0; pad < 12; ++pad)
            EXPECT_EQ (
                lines[i + 1 + (size_t) pad].rfind ("Lowest sequenceNo in use for pad " + std::to_string (pad) + " ", 0),
                0u);
    }
    EXPECT_EQ (loads, 12);
    EXPECT_EQ (processor.audioRenderer.pads[0].buffer.load()->sequenceNo, 7);
    EXPECT_EQ (processor.audioRenderer.pads[1].buffer.load()->sequenceNo, 7);
}
