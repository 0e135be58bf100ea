// The audio path must never allocate, free or lock. This executable replaces the C allocator, the
// global operator new and delete, and the mutex lock functions with versions that count the calls
// made by whichever thread is being audited, then renders blocks of every kind on that thread.

#include "RealTimeAudit.h"
#include "TestSupport.h"

#include "engine/PluginProcessor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <thread>

namespace
{
using testing_support::Format;
using testing_support::TempFolder;
using testing_support::writeSampleFile;

using Audit = realtime_audit::ScopedAudit;
using realtime_audit::allocations;
using realtime_audit::frees;
using realtime_audit::locks;

// Twelve pads of long samples, except pad 11's, which ends a few blocks after each hit.
void loadPads (BolvanePluginAudioProcessor& processor, TempFolder& folder)
{
    for (int pad = 0; pad < 12; ++pad)
    {
        const int length = pad == 11 ? 700 : 48000;
        std::vector<float> samples ((size_t) length);
        for (int i = 0; i < length; ++i)
            samples[(size_t) i] = 0.5f * (float) std::sin (0.01 * (i + pad));
        const auto name = "pad" + juce::String (pad) + ".wav";
        ASSERT_TRUE (writeSampleFile (folder.file (name), Format::wav, { samples, samples }, 44100.0, 24));
        processor.sampleBufferHandler.loadSample (pad, folder.path (name));
    }
}

int soundingVoices (const BolvanePluginAudioProcessor& processor)
{
    int sounding = 0;
    for (const auto& voice : processor.audioRenderer.voices)
        sounding += voice.buffer != nullptr ? 1 : 0;
    return sounding;
}

juce::MidiBuffer notesFor (std::initializer_list<int> pads, int spacing)
{
    juce::MidiBuffer midi;
    int position = 0;
    for (const int pad : pads)
    {
        midi.addEvent (juce::MidiMessage::noteOn (1 + pad % 16, 48 + pad, (juce::uint8) 100), position);
        position += spacing;
    }
    return midi;
}
} // namespace

TEST (RealTimeSafety, TheCountingHooksSeeAllocationsFreesAndLocks)
{
    void* (*volatile allocate) (size_t) = std::malloc;
    void (*volatile deallocate) (void*) = std::free;
    std::mutex mutex;
    {
        const Audit audit;
        deallocate (allocate (64));
        void* fromNew = ::operator new (64);
        ::operator delete (fromNew);
        const std::lock_guard<std::mutex> lock (mutex);
    }
    EXPECT_GE (allocations(), 2);
    EXPECT_GE (frees(), 2);
    EXPECT_GE (locks(), 1);
}

TEST (RealTimeSafety, EveryKindOfBlockRendersWithoutAllocatingFreeingOrLocking)
{
    static_assert (std::atomic<double>::is_always_lock_free);
    static_assert (std::atomic<int32_t>::is_always_lock_free);
    static_assert (std::atomic<const SampleBufferEntry*>::is_always_lock_free);

    TempFolder folder;
    BolvanePluginAudioProcessor processor;
    processor.prepareToPlay (48000.0, 256);
    loadPads (processor, folder);
    auto& renderer = processor.audioRenderer;

    // Everything the host would own is made before the audit starts.
    juce::AudioBuffer<float> stereoPairs (12, 256);
    juce::AudioBuffer<float> onePair (2, 256);
    juce::AudioBuffer<float> mono (1, 256);
    auto everyPadTwice = notesFor ({ 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11 }, 10);
    auto groupPads = notesFor ({ 0, 1, 2, 3 }, 0);
    auto cuts = notesFor ({ 4, 5, 4, 5, 6, 11 }, 40);
    juce::MidiBuffer stops;
    stops.addEvent (juce::MidiMessage::controllerEvent (3, 120, 0), 100);
    stops.addEvent (juce::MidiMessage::controllerEvent (9, 123, 0), 100);
    stops.addEvent (juce::MidiMessage::noteOn (1, 50, (juce::uint8) 90), 100);
    stops.addEvent (juce::MidiMessage::noteOff (1, 50), 180);
    juce::MidiBuffer none;

    int mostSounding = 0;
    {
        const Audit audit;
        for (int round = 0; round < 50; ++round)
        {
            // 24 voices from MIDI, then four more in the cut-group slots: all 28 sound.
            for (int pad = 0; pad < 12; ++pad)
                renderer.pads[(size_t) pad].cutGroup.store (-1, std::memory_order_seq_cst);
            processor.processBlock (stereoPairs, everyPadTwice);
            for (int group = 0; group < 4; ++group)
                renderer.pads[(size_t) group].cutGroup.store (group, std::memory_order_seq_cst);
            processor.processBlock (stereoPairs, groupPads);
            mostSounding = std::max (mostSounding, soundingVoices (processor));

            // Cuts inside a group, output and setting changes, clicks, a one-channel block.
            renderer.pads[4].cutGroup.store (1, std::memory_order_seq_cst);
            renderer.pads[5].cutGroup.store (1, std::memory_order_seq_cst);
            for (int pad = 0; pad < 12; ++pad)
            {
                renderer.pads[(size_t) pad].output.store ((pad + round) % 7 - 1, std::memory_order_seq_cst);
                renderer.pads[(size_t) pad].pitchRatio.store (0.5 + 0.1 * pad, std::memory_order_seq_cst);
                renderer.pads[(size_t) pad].decayFactor.store (round % 2 == 0 ? 1.0 : 1e-20, std::memory_order_seq_cst);
            }
            processor.processBlock (stereoPairs, cuts);
            renderer.pendingPadTrigger.store (round % 12, std::memory_order_seq_cst);
            processor.processBlock (mono, cuts);
            processor.processBlock (onePair, none);
            for (int block = 0; block < 20; ++block)
                processor.processBlock (block % 2 == 0 ? stereoPairs : onePair, none);
            processor.processBlock (stereoPairs, stops);
        }
    }

    EXPECT_EQ (mostSounding, 28);
    EXPECT_EQ (allocations(), 0);
    EXPECT_EQ (frees(), 0);
    EXPECT_EQ (locks(), 0);
}

TEST (RealTimeSafety, BlocksNeverWaitForALoadHoldingTheLoaderLock)
{
    TempFolder folder;
    BolvanePluginAudioProcessor processor;
    loadPads (processor, folder);
    auto notes = notesFor ({ 0, 1, 2, 3 }, 30);
    juce::AudioBuffer<float> buffer (12, 128);

    std::atomic<bool> loading{ true };
    std::atomic<int> loadsDone{ 0 };
    std::thread loader (
        [&]
        {
            for (int i = 0; i < 20; ++i)
            {
                processor.sampleBufferHandler.loadSample (i % 4,
                                                          folder.path ("pad" + juce::String (11 - i % 4) + ".wav"));
                loadsDone.fetch_add (1);
            }
            loading = false;
        });

    int blocksDuringLoads = 0;
    {
        const Audit audit;
        while (loading.load())
        {
            processor.processBlock (buffer, notes);
            ++blocksDuringLoads;
        }
    }
    loader.join();

    EXPECT_EQ (loadsDone.load(), 20);
    EXPECT_GT (blocksDuringLoads, 20) << "blocks went on through every load";
    EXPECT_EQ (locks(), 0);
    EXPECT_EQ (allocations(), 0);
    EXPECT_EQ (frees(), 0);
}
