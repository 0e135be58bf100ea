#include "EngineTestSupport.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <set>
#include <thread>
#include <utility>

using namespace engine_test;

// The host's audio thread plays the pads that the host's state thread and the message thread keep
// loading into, while the editor changes their settings and clicks them.
TEST (EngineStress, BlocksPlayOnWhileTwoThreadsLoadIntoThePadsTheyPlay)
{
    TempFolder folder;
    std::vector<std::string> paths{ folder.path ("missing.wav") };
    // Full scale: while a decoder fills a buffer, its integer samples sit there as floats that are
    // not numbers, which an entry published too early would play.
    for (const int length : { 50, 900, 20000 })
    {
        const auto name = juce::String (length) + ".wav";
        const auto samples = sine (length, 1.0f, 0.02);
        ASSERT_TRUE (writeSampleFile (folder.file (name), Format::wav, { samples, samples }, 48000.0, 16));
        paths.push_back (folder.path (name));
    }
    BolvanePluginAudioProcessor processor;
    processor.prepareToPlay (48000.0, 128);
    auto& pads = processor.audioRenderer.pads;
    juce::MidiBuffer notes, stop = midi ({ { 64, juce::MidiMessage::allNotesOff (1) } });
    for (int i = 0; i < 8; ++i)
        notes.addEvent (noteOn (60 + i % 4, 100), i * 16);

    std::atomic<bool> running{ true };
    bool finite = true;
    int blocks = 0;
    std::thread audio (
        [&]
        {
            for (; running.load(); ++blocks)
            {
                const auto out = runBlock (
                    processor, blocks % 3 == 0 ? notes : (blocks % 50 == 49 ? stop : juce::MidiBuffer()), 128);
                for (int channel = 0; channel < 12; ++channel)
                    for (int i = 0; i < 128; ++i)
                        finite = finite && std::isfinite (out.getSample (channel, i));
            }
        });

    std::atomic<int> loads[4]{};
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds (3);
    const auto loader = [&] (int i)
    {
        for (; std::chrono::steady_clock::now() < end; ++i)
        {
            processor.sampleBufferHandler.loadSample (i % 4, paths[(size_t) (i % 4 + i / 4) % 4]);
            loads[i % 4].fetch_add (1);
        }
    };
    std::thread stateThread (loader, 0), messageThread (loader, 1);

    // The editor's side, stored as the translator and the play buttons do.
    for (int i = 0; std::chrono::steady_clock::now() < end; ++i)
    {
        auto& pad = pads[(size_t) (i % 4)];
        pad.cutGroup.store (i % 5 - 1, std::memory_order_seq_cst);
        pad.output.store (i % 6, std::memory_order_seq_cst);
        pad.pitchRatio.store (0.5 + (i % 7) * 0.25, std::memory_order_seq_cst);
        pad.decayFactor.store (i % 2 == 0 ? 1.0 : 0.001, std::memory_order_seq_cst);
        processor.audioRenderer.pendingPadTrigger.store (i % 12, std::memory_order_seq_cst);
        std::this_thread::sleep_for (std::chrono::milliseconds (1));
    }
    stateThread.join();
    messageThread.join();
    running = false;
    audio.join();
    EXPECT_TRUE (finite);
    EXPECT_GT (blocks, 100);

    // Quiet the voices, let a block report it and sweep once more: every entry but each pad's
    // newest is then freed, each exactly once.
    runBlock (processor, stop, 128);
    processor.sampleBufferHandler.loadSample (11, paths[0]);
    std::multiset<std::string> expected;
    for (int pad = 0; pad < 4; ++pad)
    {
        EXPECT_EQ (pads[(size_t) pad].buffer.load()->sequenceNo, 1 + loads[pad].load()) << pad;
        EXPECT_EQ (pads[(size_t) pad].activeVoiceCount.load(), 0) << pad;
        for (int sequenceNo = 1; sequenceNo <= loads[pad].load(); ++sequenceNo)
            expected.insert ("Deleting sample for pad " + std::to_string (pad) + " with sequenceNo " +
                             std::to_string (sequenceNo));
    }
    const auto deleted = logLines ("Deleting");
    EXPECT_EQ (std::multiset<std::string> (deleted.begin(), deleted.end()), expected);

    // The two loaders never overlap: each load's line is followed by its sweep's, pad by pad.
    int nextPad = 12;
    for (const auto& line : testing_support::readLogLines())
    {
        int pad = -1;
        if (line.rfind ("Loaded sample ", 0) == 0 || line.rfind ("Failed to load sample ", 0) == 0)
        {
            ASSERT_EQ (std::exchange (nextPad, 0), 12) << line;
        }
        else if (std::sscanf (line.c_str(), "Lowest sequenceNo in use for pad %d", &pad) == 1)
        {
            ASSERT_EQ (pad, nextPad++) << line;
        }
    }
}
