// The audio path must never allocate, free or lock. This executable counts those calls made by the
// audited thread (RealTimeAudit) and renders blocks of every kind on it.

#include "EngineTestSupport.h"
#include "RealTimeAudit.h"

#include <algorithm>
#include <mutex>
#include <thread>

using namespace engine_test;

TEST (RealTimeSafety, TheCountingHooksSeeAllocationsFreesAndLocks)
{
    void* (*volatile allocate) (size_t) = std::malloc; // so the compiler can't drop the pair
    std::mutex mutex;
    {
        const realtime_audit::ScopedAudit audit;
        std::free (allocate (64));
        ::operator delete (::operator new (64));
        const std::lock_guard<std::mutex> lock (mutex);
    }
    EXPECT_TRUE (realtime_audit::allocations() >= 2 && realtime_audit::frees() >= 2 && realtime_audit::locks() >= 1);
}

TEST (RealTimeSafety, EveryKindOfBlockRendersWithoutAllocatingFreeingLockingOrWaitingForALoad)
{
    static_assert (std::atomic<double>::is_always_lock_free && std::atomic<int32_t>::is_always_lock_free &&
                   std::atomic<const SampleBufferEntry*>::is_always_lock_free);

    // Long samples, except pad 11's, which ends a few blocks after each hit.
    TempFolder folder;
    BolvanePluginAudioProcessor processor;
    processor.prepareToPlay (48000.0, 256);
    for (int pad = 0; pad < 12; ++pad)
    {
        const auto samples = sine (pad == 11 ? 700 : 48000, 0.5f, 0.01);
        const auto name = juce::String (pad) + ".wav";
        ASSERT_TRUE (writeSampleFile (folder.file (name), Format::wav, { samples, samples }, 44100.0, 24));
        processor.sampleBufferHandler.loadSample (pad, folder.path (name));
    }

    // Everything the host would own is made before the audit starts.
    juce::AudioBuffer<float> stereoPairs (12, 256), onePair (2, 256), mono (1, 256);
    juce::MidiBuffer notes, none;
    for (int i = 0; i < 24; ++i)
        notes.addEvent (noteOn (48 + i % 12, 100, 1 + i % 16), 10 * i);
    auto stops = midi ({ { 100, juce::MidiMessage::controllerEvent (3, 120, 0) }, { 100, noteOn (50, 90) } });
    stops.addEvent (juce::MidiMessage::controllerEvent (9, 123, 0), 100);
    stops.addEvent (juce::MidiMessage::noteOff (1, 50), 180);

    // Loads into the pads being played, holding the loader's lock, while the blocks run.
    std::atomic<bool> loading{ true };
    std::thread loader (
        [&]
        {
            for (int i = 0; i < 20; ++i)
                processor.sampleBufferHandler.loadSample (i % 4, folder.path (juce::String (i % 4) + ".wav"));
            loading = false;
        });

    int mostSounding = 0, roundsDuringLoads = 0;
    {
        const realtime_audit::ScopedAudit audit;
        for (int round = 0; round < 50 || loading.load(); ++round)
        {
            roundsDuringLoads += loading.load() ? 1 : 0;

            // Pads 0 to 3 join the cut groups every other round: their hits cut each other there
            // while the voices they left in their own slots play on, so all 28 slots sound.
            for (int pad = 0; pad < 12; ++pad)
            {
                auto& record = processor.audioRenderer.pads[(size_t) pad];
                record.cutGroup.store (round % 2 == 1 && pad < 4 ? pad : -1, std::memory_order_seq_cst);
                record.output.store ((pad + round) % 7 - 1, std::memory_order_seq_cst);
                record.pitchRatio.store (0.5 + 0.1 * pad, std::memory_order_seq_cst);
                record.decayFactor.store (round % 3 == 0 ? 1e-20 : 1.0, std::memory_order_seq_cst);
            }
            processor.processBlock (stereoPairs, notes);
            int sounding = 0;
            for (const auto& voice : processor.audioRenderer.voices)
                sounding += voice.buffer != nullptr ? 1 : 0;
            mostSounding = std::max (mostSounding, sounding);

            // A click waits through a one-channel block; pad 11's voices reach their end.
            processor.audioRenderer.pendingPadTrigger.store (round % 12, std::memory_order_seq_cst);
            processor.processBlock (mono, notes);
            for (int block = 0; block < 21; ++block)
                processor.processBlock (block % 2 == 0 ? onePair : stereoPairs, none);
            if (round % 4 == 3)
                processor.processBlock (stereoPairs, stops);
        }
    }
    loader.join();

    EXPECT_EQ (realtime_audit::allocations(), 0);
    EXPECT_EQ (realtime_audit::frees(), 0);
    EXPECT_EQ (realtime_audit::locks(), 0);
    EXPECT_EQ (mostSounding, 28);
    EXPECT_GT (roundsDuringLoads, 20) << "blocks went on through the loads";
}
