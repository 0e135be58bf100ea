#include "EngineTestSupport.h"

#include <atomic>
#include <thread>

using namespace engine_test;
using Lines = std::vector<std::string>;

namespace
{
// Two DC samples, 0.25 and 0.75, in 32-bit float so they decode exactly.
struct Samples
{
    Samples()
    {
        writeSampleFile (folder.file ("low.wav"), Format::wav, { std::vector<float> (4000, 0.25f) }, 44100.0, 32);
        writeSampleFile (folder.file ("high.wav"), Format::wav, { std::vector<float> (4000, 0.75f) }, 44100.0, 32);
    }

    void load (int pad, const std::string& path) { processor.sampleBufferHandler.loadSample (pad, path); }
    Lines deleted() const { return logLines ("Deleting sample for pad ", before); }

    TempFolder folder;
    const std::string low = folder.path ("low.wav"), high = folder.path ("high.wav");
    BolvanePluginAudioProcessor processor;
    const size_t before = testing_support::readLogLines().size(); // lines of earlier tests in this process
};
} // namespace

TEST (SampleHandOver, EntriesPileUpUntilABlockReportsThemAndABlockDuringTheWaitFreesTheReplacedOne)
{
    Samples s;
    for (int i = 0; i < 3; ++i)
        s.load (0, s.low);
    EXPECT_EQ (s.deleted(), Lines{}) << "nothing is freed before the first block";

    std::atomic<bool> running{ true };
    std::thread audio (
        [&]
        {
            for (; running.load (std::memory_order_relaxed);
                 std::this_thread::sleep_for (std::chrono::milliseconds (1)))
                runBlock (s.processor);
        });
    s.load (1, s.low);
    s.load (0, s.high);
    running = false;
    audio.join();

    EXPECT_EQ (s.deleted(),
               (Lines{ "Deleting sample for pad 0 with sequenceNo 1", "Deleting sample for pad 0 with sequenceNo 2",
                       "Deleting sample for pad 0 with sequenceNo 3", "Deleting sample for pad 1 with sequenceNo 1",
                       "Deleting sample for pad 0 with sequenceNo 4" }));
}

TEST (SampleHandOver, AnEntryStaysWhileAVoicePlaysItAndTheVoiceKeepsIt)
{
    Samples s;
    s.load (0, s.low);
    runBlock (s.processor, midi ({ { 0, noteOn (60) } }));

    // A second voice, on the new entry, sounds with the first one, which keeps the old entry.
    s.load (0, s.high);
    const auto block = runBlock (s.processor, midi ({ { 0, noteOn (60) } }), 64, 2);
    EXPECT_EQ (block.getSample (0, 0), (float) (0.25 * centreGain) + (float) (0.75 * centreGain));
    EXPECT_EQ (s.processor.audioRenderer.pads[0].lowestSequenceNoInUse.load(), 2);
    s.load (5, s.low);
    EXPECT_EQ (s.deleted(), Lines{ "Deleting sample for pad 0 with sequenceNo 1" });

    // Once the old voice is cut, a block reports the newer number and the next load frees it.
    runBlock (s.processor, midi ({ { 0, noteOn (60) } }));
    s.load (5, s.low);
    EXPECT_EQ (s.deleted(),
               (Lines{ "Deleting sample for pad 0 with sequenceNo 1", "Deleting sample for pad 0 with sequenceNo 2",
                       "Deleting sample for pad 5 with sequenceNo 1" }));
}
