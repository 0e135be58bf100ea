#include "SampleBufferHandler.h"

#include "AudioRenderer.h"
#include "EditorWrapper.h"
#include "Shared.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <new>
#include <thread>

namespace
{
// A buffer's length is an int: a longer file can't be held and loads as a failed load.
constexpr juce::int64 maxFrames = std::numeric_limits<int>::max();

// Decodes the reader's whole file into two float channels (a mono file fills both, a file with
// more channels gives its first two). Leaves the buffer with no channels when the file is too long
// or its memory can't be had: the load then counts as failed instead of taking the plug-in down.
void decodeWholeFile (juce::AudioFormatReader& reader, juce::AudioBuffer<float>& buffer)
{
    const juce::int64 length = reader.lengthInSamples;
    if (length < 0 || length > maxFrames)
        return;

    const int numFrames = static_cast<int> (length);
    try
    {
        // Cleared, so frames a damaged file can't deliver play as silence rather than stale memory.
        buffer.setSize (2, numFrames, false, true, false);
        if (numFrames > 0)
            reader.read (&buffer, 0, numFrames, 0, true, true);
    }
    catch (const std::bad_alloc&)
    {
        buffer = juce::AudioBuffer<float>();
    }
}
} // namespace

SampleBufferHandler::SampleBufferHandler (EditorWrapper& editorWrapperToUse, AudioRenderer& audioRendererToUse)
    : sampleBuffers ((size_t) AudioRenderer::numPads),
      editorWrapper (editorWrapperToUse),
      audioRenderer (audioRendererToUse)
{
    for (size_t pad = 0; pad < sampleBuffers.size(); ++pad)
    {
        auto& entry = sampleBuffers[pad].emplace_back();
        entry.buffer.setSize (2, 0);
        audioRenderer.pads[pad].buffer.store (&entry, std::memory_order_release);
    }
}

SampleBufferHandler::~SampleBufferHandler() = default;

// Runs on the message thread (pad rows) or the host's thread (state restore), never on the audio
// thread. Loads are serialised here; the audio thread never waits for this lock.
void SampleBufferHandler::loadSample (int pad, const std::string& path)
{
    if (pad < 0 || pad >= AudioRenderer::numPads)
        return;

    const std::lock_guard<std::mutex> lock (loadMutex);

    const juce::File file (juce::String::fromUTF8 (path.data(), static_cast<int> (path.size())));
    juce::AudioFormatManager formatManager;
    formatManager.registerBasicFormats();
    const std::unique_ptr<juce::AudioFormatReader> reader (formatManager.createReaderFor (file));

    auto& entries = sampleBuffers[(size_t) pad];
    const int32_t sequenceNo = entries.back().sequenceNo + 1;

    auto& entry = entries.emplace_back();
    entry.fileSampleRate = reader != nullptr ? reader->sampleRate : 0.0;
    entry.hostSampleRate = &sampleRate;
    entry.sequenceNo = sequenceNo;
    if (reader != nullptr)
        decodeWholeFile (*reader, entry.buffer);

    const bool loaded = entry.buffer.getNumSamples() > 0;
    editorWrapper.sampleLoaded[(size_t) pad].store (loaded, std::memory_order_seq_cst);
    editorWrapper.sampleLoadedUpdated (pad);

    // Only now is the entry complete; release so the audio thread sees it whole.
    audioRenderer.pads[(size_t) pad].buffer.store (&entry, std::memory_order_release);

    logLine (loaded ? "Loaded sample " : "Failed to load sample ", path, " for pad ", pad, " with sequenceNo ",
             sequenceNo);

    // Gives the host time to end a block after the publish, so the entry it replaced is reported
    // unused and can go in the sweep below.
    std::this_thread::sleep_for (std::chrono::milliseconds (handOverWaitMs));

    freeUnusedEntries();
}

// Takes no lock: the host may call this while a load runs on another thread, and its audio
// callback may be waiting for it.
void SampleBufferHandler::setSampleRate (double rate)
{
    if (rate > 0.0 && std::isfinite (rate))
        sampleRate.store (rate, std::memory_order_relaxed);
}

void SampleBufferHandler::freeUnusedEntries()
{
    for (int pad = 0; pad < AudioRenderer::numPads; ++pad)
    {
        const int32_t lowest = audioRenderer.pads[(size_t) pad].lowestSequenceNoInUse.load (std::memory_order_acquire);
        logLine ("Lowest sequenceNo in use for pad ", pad, " is ", lowest);

        // The newest entry is the one the pad record designates: it stays whatever is reported.
        auto& entries = sampleBuffers[(size_t) pad];
        while (entries.size() > 1 && entries.front().sequenceNo < lowest)
        {
            logLine ("Deleting sample for pad ", pad, " with sequenceNo ", entries.front().sequenceNo);
            entries.pop_front();
        }
    }
}
