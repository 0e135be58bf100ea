#include "TestSupport.h"

#include "engine/PluginProcessor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <map>
#include <set>
#include <thread>

using testing_support::Format;
using testing_support::readLogLines;
using testing_support::TempFolder;
using testing_support::writeSampleFile;

// The host's audio thread renders while the host's state thread and the message thread load
// samples into the very pads the notes keep hitting, and the editor changes settings.
TEST (EngineStress, BlocksPlayOnWhileTwoThreadsLoadIntoThePadsTheyPlay)
{
    TempFolder folder;
    std::vector<std::string> paths;
    for (const int length : { 50, 900, 20000 })
    {
        std::vector<float> samples ((size_t) length);
        for (int i = 0; i < length; ++i)
            samples[(size_t) i] = (float) std::sin (0.02 * i);
        const auto name = "s" + juce::String (length) + ".wav";
        ASSERT_TRUE (writeSampleFile (folder.file (name), Format::wav, { samples, samples }, 48000.0, 16));
        paths.push_back (folder.path (name));
    }
    paths.push_back (folder.path ("missing.wav"));

    BolvanePluginAudioProcessor processor;
    processor.prepareToPlay (48000.0, 128);
    auto& renderer = processor.audioRenderer;

    juce::MidiBuffer notes;
    for (int i = 0; i < 8; ++i)
        notes.addEvent (juce::MidiMessage::noteOn (1, 60 + i % 4, (juce::uint8) 100), i * 16);
    juce::MidiBuffer stop;
    stop.addEvent (juce::MidiMessage::allNotesOff (1), 64);

    std::atomic<bool> running{ true };
    std::atomic<bool> finite{ true };
    std::atomic<int> blocks{ 0 };
    std::thread audio (
        [&]
        {
            juce::AudioBuffer<float> buffer (12, 128);
            juce::MidiBuffer none;
            for (int block = 0; running.load(); ++block)
            {
                processor.processBlock (buffer, block % 3 == 0 ? notes : (block % 50 == 49 ? stop : none));
                for (int channel = 0; channel < 12; ++channel)
                    for (int i = 0; i < 128; ++i)
                        if (! std::isfinite (buffer.getSample (channel, i)))
                            finite = false;
                blocks.fetch_add (1);
            }
        });

    std::map<int, int> loadsPerPad;
    std::mutex countMutex;
    auto loader = [&] (int offset)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds (3);
        for (int i = 0; std::chrono::steady_clock::now() < end; ++i)
        {
            const int pad = (i + offset) % 4;
            processor.sampleBufferHandler.loadSample (pad, paths[(size_t) (i + offset) % paths.size()]);
            const std::lock_guard<std::mutex> lock (countMutex);
            ++loadsPerPad[pad];
        }
    };
    std::thread stateThread (loader, 0);
    std::thread messageThread (loader, 1);

    // The editor's side: settings and clicks, stored as the model and the play buttons do.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds (3);
    for (int i = 0; std::chrono::steady_clock::now() < end; ++i)
    {
        auto& pad = renderer.pads[(size_t) (i % 4)];
        pad.cutGroup.store (i % 5 - 1, std::memory_order_seq_cst);
        pad.output.store (i % 6, std::memory_order_seq_cst);
        pad.pitchRatio.store (0.5 + (i % 7) * 0.25, std::memory_order_seq_cst);
        pad.decayFactor.store (i % 2 == 0 ? 1.0 : 0.001, std::memory_order_seq_cst);
        pad.panAngle.store ((i % 3) * 0.7853981633974483, std::memory_order_seq_cst);
        renderer.pendingPadTrigger.store (i % 12, std::memory_order_seq_cst);
        std::this_thread::sleep_for (std::chrono::milliseconds (1));
    }

    stateThread.join();
    messageThread.join();
    running = false;
    audio.join();

    EXPECT_TRUE (finite.load());
    EXPECT_GT (blocks.load(), 100);

    // Quiet the voices, let a block report it, and sweep once more: every entry but each pad's
    // newest is then freed, each exactly once.
    juce::AudioBuffer<float> buffer (12, 128);
    processor.processBlock (buffer, stop);
    processor.sampleBufferHandler.loadSample (11, paths[0]);

    std::map<int, std::multiset<int>> deleted;
    for (const auto& line : readLogLines())
    {
        int pad = 0, sequenceNo = 0;
        if (std::sscanf (line.c_str(), "Deleting sample for pad %d with sequenceNo %d", &pad, &sequenceNo) == 2)
            deleted[pad].insert (sequenceNo);
    }
    for (int pad = 0; pad < 4; ++pad)
    {
        const int newest = renderer.pads[(size_t) pad].buffer.load()->sequenceNo;
        EXPECT_EQ (newest, 1 + loadsPerPad[pad]) << pad;
        std::multiset<int> expected;
        for (int sequenceNo = 1; sequenceNo < newest; ++sequenceNo)
            expected.insert (sequenceNo);
        EXPECT_EQ (deleted[pad], expected) << pad;
        EXPECT_EQ (renderer.pads[(size_t) pad].activeVoiceCount.load(), 0) << pad;
    }
}
