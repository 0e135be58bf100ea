#include "SampleBufferHandler.h"

#include "AudioRenderer.h"
#include "EditorWrapper.h"
#include "Shared.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <chrono>
#include <cmath>
#include <fcntl.h>
#include <limits>
#include <new>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace
{
// A buffer's length is an int: a longer file can't be held and loads as a failed load.
constexpr juce::int64 maxFrames = std::numeric_limits<int>::max();

// No format here packs more frames into a byte of file than this (FLAC's constant blocks come
// closest, at about 5,500): a header claiming more describes no recording, truncated or not.
constexpr juce::int64 maxFramesPerFileByte = 8192;

// JUCE's WAV and AIFF readers copy whole frames through a buffer of this many bytes: a wider frame
// never advances and the read never ends.
constexpr int pcmCopyBytes = 5760;

// Decoded in pieces, so that memory follows the frames the file really delivers, not its header.
constexpr int chunkFrames = 1 << 17;

// Frames per byte of a compressed file that its first buffer has room for, more than recordings
// pack into a byte: only a file of near silence grows its buffer on the way.
constexpr juce::int64 expectedFramesPerFileByte = 8;

// A sample file opened for reading only if it is a regular file: opening a FIFO or a device would
// block the load, and every load after it. Remembers whether a read ran into the end of the file.
class SampleFileStream : public juce::InputStream
{
public:
    explicit SampleFileStream (const juce::File& file)
        : handle (::open (file.getFullPathName().toRawUTF8(), O_RDONLY | O_NONBLOCK | O_CLOEXEC))
    {
        struct stat status;
        if (handle >= 0 && ::fstat (handle, &status) == 0 && S_ISREG (status.st_mode))
            length = status.st_size;
        else
            close();
    }

    ~SampleFileStream() override { close(); }

    bool isOpen() const { return handle >= 0; }

    juce::int64 getTotalLength() override { return length; }
    bool isExhausted() override { return position >= length; }
    juce::int64 getPosition() override { return position; }

    bool setPosition (juce::int64 newPosition) override
    {
        position = juce::jlimit ((juce::int64) 0, length, newPosition);
        return true;
    }

    int read (void* destination, int bytes) override
    {
        int done = 0;
        while (isOpen() && done < bytes)
        {
            const auto got =
                ::pread (handle, static_cast<char*> (destination) + done, (size_t) (bytes - done), position);
            if (got <= 0)
                break;
            done += (int) got;
            position += got;
        }
        reachedEnd = reachedEnd || done < bytes;
        delivered += done;
        return done;
    }

    bool reachedEnd = false;
    juce::int64 delivered = 0;

private:
    void close()
    {
        if (handle >= 0)
            ::close (handle);
        handle = -1;
    }

    int handle;
    juce::int64 length = 0, position = 0;
};

struct OpenedFile
{
    std::unique_ptr<juce::AudioFormatReader> reader;
    SampleFileStream* stream = nullptr; // the reader's own
    bool framesAreBytes = false;        // the reader copies raw frames, as JUCE's WAV and AIFF readers do
};

// The file through the reader the format manager would choose for it (the first format that claims
// its extension and reads it), reading through a SampleFileStream.
OpenedFile openFile (juce::AudioFormatManager& formats, const juce::File& file)
{
    for (int index = 0; index < formats.getNumKnownFormats(); ++index)
    {
        auto* format = formats.getKnownFormat (index);
        if (! format->canHandleFile (file))
            continue;

        auto input = std::make_unique<SampleFileStream> (file);
        if (! input->isOpen())
            return {};

        auto* const candidate = input.get();
        if (std::unique_ptr<juce::AudioFormatReader> reader{ format->createReaderFor (input.release(), true) })
        {
            // A WAV file may hand its data on to another format's reader.
            const bool framesAreBytes = reader->getFormatName() == format->getFormatName() &&
                                        (dynamic_cast<juce::WavAudioFormat*> (format) != nullptr ||
                                         dynamic_cast<juce::AiffAudioFormat*> (format) != nullptr);
            return { std::move (reader), candidate, framesAreBytes };
        }
    }
    return {};
}

bool isSilent (const juce::AudioBuffer<float>& buffer, int start, int numFrames)
{
    for (int channel = 0; channel < buffer.getNumChannels(); ++channel)
        for (int i = start; i < start + numFrames; ++i)
            if (buffer.getSample (channel, i) != 0.0f)
                return false;
    return true;
}

// Decodes the file whole into two float channels (a mono file fills both, a file with more channels
// gives its first two), keeping only the frames the file really holds: JUCE's readers fill the
// frames a header claims beyond the data with zeros, which for 8-bit WAV data is full scale. Leaves
// the buffer with no channels when the file can't be taken: a length no buffer can have, a header
// claiming far more than the file holds, a frame the reader can't step over, or no memory.
void decodeWholeFile (const OpenedFile& file, juce::AudioBuffer<float>& buffer)
{
    auto& reader = *file.reader;
    auto& stream = *file.stream;
    const bool framesAreBytes = file.framesAreBytes;
    const juce::int64 claimed = reader.lengthInSamples;
    const juce::int64 fileBytes = stream.getTotalLength();
    const int bytesPerFrame = (int) (reader.numChannels * reader.bitsPerSample / 8);
    // The reader may round bitsPerSample down from the header's block size, hence the bit more.
    const bool stuck =
        framesAreBytes && (bytesPerFrame <= 0 || reader.numChannels * (reader.bitsPerSample + 1) / 8 > pcmCopyBytes);
    if (claimed < 0 || claimed > maxFrames || claimed > fileBytes * maxFramesPerFileByte || stuck)
        return;

    // Raw frames can't outnumber the bytes that hold them.
    const juce::int64 room = framesAreBytes ? fileBytes / bytesPerFrame : fileBytes * expectedFramesPerFileByte;
    const int total = (int) (framesAreBytes ? juce::jmin (claimed, room) : claimed);

    // Reading the header may have run to the file's end (an Ogg file's length sits in its last page).
    stream.reachedEnd = false;
    int frames = 0;
    try
    {
        buffer.setSize (2, (int) juce::jmin ((juce::int64) total, room), false, true, false);
        while (frames < total)
        {
            const int numFrames = juce::jmin (chunkFrames, total - frames);
            if (frames + numFrames > buffer.getNumSamples())
                buffer.setSize (2, (int) juce::jmin (claimed, 2 * (juce::int64) buffer.getNumSamples() + numFrames),
                                true, true, false);

            const bool dataUsedUp = stream.reachedEnd;
            const juce::int64 deliveredBefore = stream.delivered;
            reader.read (&buffer, frames, numFrames, frames, true, true);

            if (framesAreBytes)
            {
                // Raw frames: the bytes the file gave are the frames it has.
                const int got =
                    (int) juce::jmin ((juce::int64) numFrames, (stream.delivered - deliveredBefore) / bytesPerFrame);
                frames += got;
                if (got < numFrames)
                    break;
            }
            else if (dataUsedUp && isSilent (buffer, frames, numFrames))
            {
                // The decoder had nothing left to read and gave only the zeros of missing frames.
                break;
            }
            else
            {
                frames += numFrames;
            }
        }
        if (frames != buffer.getNumSamples())
            buffer.setSize (2, frames, true, false, false);
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
    const auto opened = openFile (formatManager, file);

    auto& entries = sampleBuffers[(size_t) pad];
    const int32_t sequenceNo = entries.back().sequenceNo + 1;

    auto& entry = entries.emplace_back();
    entry.fileSampleRate = opened.reader != nullptr ? opened.reader->sampleRate : 0.0;
    entry.hostSampleRate = &sampleRate;
    entry.sequenceNo = sequenceNo;
    if (opened.reader != nullptr)
        decodeWholeFile (opened, entry.buffer);

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
